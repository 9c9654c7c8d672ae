#include "names/additive_random.h"

#include <gtest/gtest.h>
