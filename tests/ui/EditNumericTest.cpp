#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/EditNumeric.h"

namespace {

using namespace korvex::ui;

TEST(EditNumeric, GroupingInsertsOneSeparator)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"12345.5", L"12,345.5"},
        {L"1234567", L"1234,567"},
        {L"999", L"999"},
        {L"1000", L"1,000"},
        {L"-1234.5", L"-1,234.5"},
        {L"-999.25", L"-999.25"},
        {L"1,234", L"1,234"},
        {L"", L""},
        {L"-", L"-"},
        {L".5", L".5"},
    };
    for (const auto& [text, grouped] : cases)
        EXPECT_EQ(GroupThousands(text), grouped) << std::string(text.begin(), text.end());
}

TEST(EditNumeric, IntegerStepsStayWithinLimits)
{
    const IntegerLimits limits{0, 10, true, true};
    EXPECT_EQ(StepInteger(L"10", true, limits), L"10");
    EXPECT_EQ(StepInteger(L"0", false, limits), L"0");
    EXPECT_EQ(StepInteger(L"4", true, limits), L"5");
    EXPECT_EQ(StepInteger(L"4", false, limits), L"3");
    EXPECT_EQ(StepInteger(L"", true, limits), L"1");
    // Only the limit in the direction of the step applies.
    EXPECT_EQ(StepInteger(L"-5", true, limits), L"-4");
    const IntegerLimits open{0, 0, false, false};
    EXPECT_EQ(StepInteger(L"0", false, open), L"-1");
    EXPECT_EQ(StepInteger(L"1,234", true, open), L"1235");
}

TEST(EditNumeric, IntegerStepsSaturateInsteadOfOverflowing)
{
    const IntegerLimits open{0, 0, false, false};
    EXPECT_EQ(StepInteger(L"2147483647", true, open), L"2147483647");
    EXPECT_EQ(StepInteger(L"-2147483648", false, open), L"-2147483648");
    EXPECT_EQ(StepInteger(L"99999999999999999999999", false, open), L"2147483646");
    EXPECT_EQ(ParseEditInteger(L"-99999999999"), INT_MIN);
}

TEST(EditNumeric, DecimalSteps)
{
    DecimalLimits limits{0.0, 100000.0, true, true, 1, false};
    EXPECT_EQ(StepDecimal(L"1.0", true, limits), L"1.1");
    EXPECT_EQ(StepDecimal(L"1.0", false, limits), L"0.9");
    EXPECT_EQ(StepDecimal(L"0.0", false, limits), L"0.0");
    EXPECT_EQ(StepDecimal(L"100000.0", true, limits), L"100000.0");
    limits.decimals = 3;
    EXPECT_EQ(StepDecimal(L"2", true, limits), L"2.100");
    limits.decimals = 1;
    limits.groupThousands = true;
    EXPECT_EQ(StepDecimal(L"12345.4", true, limits), L"12,345.5");
    // A grouped value steps from its full value, not from the digits before the ",".
    EXPECT_EQ(StepDecimal(L"12,345.5", true, limits), L"12,345.6");
    // Out-of-range decimal counts are bounded, not handed to the formatter.
    limits.decimals = -3;
    EXPECT_EQ(StepDecimal(L"1", true, limits), L"1");
    limits.decimals = 1000;
    EXPECT_EQ(StepDecimal(L"1", true, limits).size(), 22u);
}

// The edit reads and writes decimals without the C library's conversions;
// they must agree with them, ties and extreme magnitudes included.
TEST(EditNumeric, DecimalsReadAndWrittenAsStrtodAndPrintfDo)
{
    const struct {
        const char* text;
        int decimals;
    } cases[] = {
        {"1.0", 1},
        {"0.05", 1},
        {"2.4", 0},
        {"-3.05", 2},
        {"0.000000000123", 20},
        {"12345678901234567890123", 3},
        {"+.5", 0},
        {"7.", 20},
        {"-0.04", 1},
        {"0.1000000000000000055511151231257827", 20},
        {"4503599627370495.5", 1},
        {"1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895586327668781"
         "7154045895351438246423432132688946418276846754670353751698604991057655128207624549009038932894407586"
         "8508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184"
         "124858368",
         2},
    };
    for (const auto& c : cases) {
        const std::wstring text(c.text, c.text + std::char_traits<char>::length(c.text));
        const double value = ParseEditDecimal(text);
        EXPECT_DOUBLE_EQ(value, std::strtod(c.text, nullptr)) << c.text;
        const DecimalLimits open{0, 0, false, false, c.decimals, false};
        for (const bool up : {true, false}) {
            const double stepped = value + (up ? 0.1 : -0.1);
            std::string expected(400, '\0');
            expected.resize(
                static_cast<std::size_t>(std::snprintf(expected.data(), expected.size(), "%.*f", c.decimals, stepped)));
            EXPECT_EQ(StepDecimal(text, up, open), std::wstring(expected.begin(), expected.end())) << c.text;
        }
    }
}

TEST(EditNumeric, CharacterFilter)
{
    struct Case {
        int mode;
        bool allowNegative;
        wchar_t ch;
        bool accepted;
    };
    const Case cases[] = {
        {kEditInteger, false, L'7', true},  {kEditInteger, false, L'\b', true}, {kEditInteger, false, L'-', false},
        {kEditInteger, true, L'-', true},   {kEditInteger, true, L'.', false},  {kEditInteger, false, L'a', false},
        {kEditDecimal, false, L'.', true},  {kEditDecimal, false, L'-', false}, {kEditDecimal, true, L'-', true},
        {kEditDecimal, false, L',', false}, {kEditFreeText, false, L'x', true}, {kEditFreeText, false, L'-', true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditAcceptsChar(c.mode, c.allowNegative, c.ch), c.accepted)
            << "mode " << c.mode << " char " << static_cast<int>(c.ch);
    }
}

TEST(EditNumeric, KeyFilter)
{
    const unsigned passing[] = {0x30, 0x39, 0x60, 0x69, 0xBD, 0x6D, 0x08, 0x09, 0x0D, 0x1B, 0x25, 0x27};
    for (unsigned key : passing) {
        EXPECT_TRUE(NumericModeKeyPasses(kEditInteger, key)) << key;
        EXPECT_TRUE(NumericModeKeyPasses(kEditDecimal, key)) << key;
    }
    // Delete, Home, End, letters and the up/down arrows (handled by stepping) are swallowed.
    const unsigned swallowed[] = {0x2E, 0x24, 0x23, 0x41, 0x26, 0x28, 0x20};
    for (unsigned key : swallowed) EXPECT_FALSE(NumericModeKeyPasses(kEditDecimal, key)) << key;
    EXPECT_TRUE(NumericModeKeyPasses(kEditDecimal, 0xBE));
    EXPECT_TRUE(NumericModeKeyPasses(kEditDecimal, 0x6E));
    EXPECT_FALSE(NumericModeKeyPasses(kEditInteger, 0xBE));
}

}  // namespace
