#include "names/fragment_tables.h"

#include <gtest/gtest.h>
