#include <gtest/gtest.h>

#include "problem_data.h"

TEST(Smoke, Builds) { SUCCEED(); }
