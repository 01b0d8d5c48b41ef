#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "download/TransferRules.h"

using namespace korvex::download;

TEST(FileStatus, OnlyASuccessCarriesAFile)
{
    const struct {
        std::uint32_t nStatus;
        bool bAccepted;
    } cases[] = {
        {0, false},   {100, false}, {199, false}, {200, true},  {204, true},  {206, true},  {299, true},
        {300, false}, {302, false}, {402, false}, {404, false}, {405, false}, {407, false}, {500, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSuccessStatus(c.nStatus), c.bAccepted) << c.nStatus;
    }
}

TEST(ContentLength, ReadsPlainDecimalNumbers)
{
    const struct {
        const char* text;
        std::int64_t nLength;
    } cases[] = {
        {"0", 0}, {"1", 1}, {"1000", 1000}, {" 42 ", 42}, {"\t7", 7}, {"0000123", 123}, {"2147483647", 2147483647},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseContentLength(c.text), c.nLength) << c.text;
    }
}

TEST(ContentLength, UnusableTextCountsAsMissing)
{
    const char* cases[] = {"",    " ",    "-5",  "+5",         "abc",         "12abc",
                           "1 2", "0x10", "1e3", "2147483648", "99999999999", "184467440737095516160",
                           "4.5", "\xff"};
    for (const char* text : cases) {
        EXPECT_EQ(ParseContentLength(text), kUnusableLength) << text;
    }
}

TEST(Sha256Text, MatchesOnlyTheDigestsOwnDigitsInEitherCase)
{
    Sha256Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i) {
        digest[i] = static_cast<unsigned char>(i * 8 + 0x0F);
    }
    const std::wstring lower = L"0f171f272f373f474f575f676f777f878f979fa7afb7bfc7cfd7dfe7eff7ff07";
    std::wstring upper = lower;
    for (wchar_t& c : upper) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    std::wstring lastDigitWrong = lower;
    lastDigitWrong.back() = L'6';
    std::wstring notHex = lower;
    notHex[10] = L'g';
    const struct {
        std::wstring text;
        bool bMatches;
    } cases[] = {
        {lower, true},
        {upper, true},
        {lastDigitWrong, false},
        {notHex, false},
        {lower + L"0", false},
        {lower.substr(1), false},
        {L"", false},
        {L" " + lower.substr(1), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSha256Text(c.text, digest), c.bMatches) << std::string(c.text.begin(), c.text.end());
    }
}
