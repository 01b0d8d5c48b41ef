#include <gtest/gtest.h>
#include <windows.h>
TEST(Smoke, Works) { EXPECT_NE(GetCurrentProcessId(), 0u); }
