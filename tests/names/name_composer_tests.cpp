#include "names/name_composer.h"

#include <gtest/gtest.h>
