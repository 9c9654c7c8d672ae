#include "names/name_finishing.h"

#include <gtest/gtest.h>
