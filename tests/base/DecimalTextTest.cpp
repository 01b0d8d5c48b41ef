#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "base/DecimalText.h"

namespace {

using korvex::base::DecimalText;

TEST(DecimalText, EveryWidthAndSignAsPrintfWritesThem)
{
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(-7), L"-7");
    EXPECT_EQ(DecimalText(INT_MIN), L"-2147483648");
    EXPECT_EQ(DecimalText(LLONG_MIN), L"-9223372036854775808");
    EXPECT_EQ(DecimalText(UINT64_MAX), L"18446744073709551615");
    EXPECT_EQ(DecimalText(static_cast<unsigned char>(255)), L"255");
    EXPECT_EQ(DecimalText<char>(7, 3), "007");
    EXPECT_EQ(DecimalText<char>(-7, 3), "-007");
    EXPECT_EQ(DecimalText<char>(2026, 2), "2026");
}

}  // namespace
