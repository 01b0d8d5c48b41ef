#include <gtest/gtest.h>

#include <string>

#include "download/ResumeRules.h"

using namespace korvex::download;

namespace {

const std::string kSha(64, 'a');

PartRecord SampleRecord()
{
    return PartRecord{kSha, "\"5f-1a2b\"", 16777216, 67108864};
}

std::string SampleText()
{
    return "KorvexPart 1\nsha256 " + kSha + "\nvalidator \"5f-1a2b\"\nreceived 16777216\ntotal 67108864\n";
}

// Replaces the first occurrence of from in the sample record's text.
std::string Altered(const std::string& from, const std::string& to)
{
    std::string text = SampleText();
    text.replace(text.find(from), from.size(), to);
    return text;
}

}  // namespace

TEST(PartRecord, FormatsAndParsesBack)
{
    EXPECT_EQ(FormatPartRecord(SampleRecord()), SampleText());
    EXPECT_EQ(ParsePartRecord(SampleText()), SampleRecord());
    const PartRecord dated{kSha, "Thu, 10 Dec 2026 12:59:33 GMT", 1, 2};
    EXPECT_EQ(ParsePartRecord(FormatPartRecord(dated)), dated);
}

// A damaged or hostile record is no record, whatever part of it is wrong.
TEST(PartRecord, DamagedTextIsNoRecord)
{
    const std::string cases[] = {
        "",
        Altered("KorvexPart 1", "KorvexPart 2"),
        Altered("sha256 ", "sha256  "),
        Altered("sha256 a", "sha256 A"),
        Altered("sha256 a", "sha256 g"),
        Altered("validator \"5f-1a2b\"", "validator "),
        Altered("validator \"5f-1a2b\"", "validator \"a\"\rInjected: 1"),
        Altered("validator \"5f", "validator \x01\"5f"),
        Altered("received 16777216", "received -1"),
        Altered("received 16777216", "received 0"),
        Altered("received 16777216", "received 67108864"),
        Altered("received 16777216", "received 99999999999"),
        Altered("total 67108864", "total 2147483648"),
        Altered("total 67108864", "total 0x10"),
        Altered("total 67108864\n", "total 67108864"),
        Altered("total 67108864\n", "total 67108864\nextra 1\n"),
        Altered("received", "recieved"),
        SampleText() + std::string(kPartRecordLimit, 'x'),
        std::string(SampleText()).replace(0, 1, std::string(1, '\0')),
    };
    for (const std::string& text : cases) {
        EXPECT_FALSE(ParsePartRecord(text)) << text;
    }
    const std::string whole = SampleText();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(ParsePartRecord(whole.substr(0, length))) << length;
    }
}

TEST(PartRecord, Sha256TextAndValidatorChoice)
{
    EXPECT_EQ(Sha256RecordText(std::wstring(64, L'F')), std::string(64, 'f'));
    EXPECT_EQ(Sha256RecordText(std::wstring(63, L'f')), "");
    EXPECT_EQ(Sha256RecordText(std::wstring(64, L'g')), "");
    const struct {
        const char* etag;
        const char* lastModified;
        const char* chosen;
    } cases[] = {
        {"\"abc\"", "Thu, 10 Dec 2026 12:59:33 GMT", "\"abc\""},
        {"W/\"abc\"", "Thu, 10 Dec 2026 12:59:33 GMT", "Thu, 10 Dec 2026 12:59:33 GMT"},
        {"abc", "", ""},
        {"", "", ""},
        {"\"a\nb\"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseValidator(c.etag, c.lastModified), c.chosen) << c.etag;
    }
    EXPECT_EQ(ResumeRequestHeaders(300, "\"abc\""), "Range: bytes=300-\r\nIf-Range: \"abc\"\r\n");
}

TEST(ResumeAnswer, OnlyTheRestOfTheSameFileIsAppended)
{
    const struct {
        std::uint32_t nStatus;
        const char* contentRange;
        std::uint64_t nLength;
        ResumeVerdict verdict;
    } cases[] = {
        {206, "bytes 300-999/1000", 700, ResumeVerdict::Append},
        {206, " bytes 300-999/1000 ", 700, ResumeVerdict::Append},
        {200, "", 1000, ResumeVerdict::StartOver},
        {200, "", 5, ResumeVerdict::StartOver},
        {206, "bytes 0-999/1000", 1000, ResumeVerdict::Refused},
        {206, "bytes 300-999/2000", 700, ResumeVerdict::Refused},
        {206, "bytes 300-500/1000", 201, ResumeVerdict::Refused},
        {206, "bytes 300-999/1000", 699, ResumeVerdict::Refused},
        {206, "bytes 300-999/*", 700, ResumeVerdict::Refused},
        {206, "bytes */1000", 700, ResumeVerdict::Refused},
        {206, "", 700, ResumeVerdict::Refused},
        {206, "items 300-999/1000", 700, ResumeVerdict::Refused},
        {416, "bytes */1000", 0, ResumeVerdict::Refused},
        {503, "", 0, ResumeVerdict::Refused},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JudgeResumeAnswer(c.nStatus, c.contentRange, c.nLength, 300, 1000), c.verdict)
            << c.nStatus << " " << c.contentRange;
    }
}

TEST(ResumeAnswer, ContentRangeNeedsAnOrderedRangeInsideItsTotal)
{
    for (const char* text : {"bytes 5-4/10", "bytes 0-10/10", "bytes -1-5/10", "bytes 0-5/2147483648", "bytes 0 -5/10",
                             "bytes 1-2-3/10", "bytes 0-5/10/11"}) {
        EXPECT_FALSE(ParseContentRange(text)) << text;
    }
    const auto range = ParseContentRange("bytes 0-0/1");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->m_nTotal, 1u);
}
