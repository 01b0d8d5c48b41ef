#include <gtest/gtest.h>

#include "download/AttemptRules.h"

using namespace korvex::download;

TEST(AttemptRules, OnlyPassingTroubleIsTriedAgain)
{
    const struct {
        AttemptCause cause;
        std::uint32_t nStatus;
        bool bRetryable;
    } cases[] = {
        {AttemptCause::NoConnection, 0, true},     {AttemptCause::CutShort, 200, true},
        {AttemptCause::TimedOut, 200, true},       {AttemptCause::RangeMismatch, 206, true},
        {AttemptCause::JoinedMismatch, 206, true}, {AttemptCause::RefusedStatus, 408, true},
        {AttemptCause::RefusedStatus, 429, true},  {AttemptCause::RefusedStatus, 500, true},
        {AttemptCause::RefusedStatus, 503, true},  {AttemptCause::RefusedStatus, 599, true},
        {AttemptCause::RefusedStatus, 600, false}, {AttemptCause::RefusedStatus, 403, false},
        {AttemptCause::RefusedStatus, 404, false}, {AttemptCause::RefusedStatus, 407, false},
        {AttemptCause::RefusedStatus, 416, false}, {AttemptCause::RefusedStatus, 302, false},
        {AttemptCause::HashMismatch, 200, false},  {AttemptCause::LengthUnusable, 200, false},
        {AttemptCause::TooLong, 200, false},       {AttemptCause::LocalFile, 200, false},
        {AttemptCause::UrlRejected, 0, false},     {AttemptCause::Cancelled, 200, false},
        {AttemptCause::None, 200, false},          {AttemptCause::CertificateRefused, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsRetryable(AttemptOutcome{c.cause, c.nStatus}), c.bRetryable)
            << static_cast<int>(c.cause) << " " << c.nStatus;
    }
}

TEST(AttemptRules, WaitsDoubleUpToThirtySecondsUnlessTheServerSaysWhen)
{
    const struct {
        int nFailed;
        std::int32_t nRetryAfter;
        std::uint32_t nSeconds;
    } cases[] = {
        {1, kNoRetryAfter, 1},
        {2, kNoRetryAfter, 2},
        {3, kNoRetryAfter, 4},
        {5, kNoRetryAfter, 16},
        {6, kNoRetryAfter, 30},
        {9, kNoRetryAfter, 30},
        {1000, kNoRetryAfter, 30},
        {0, kNoRetryAfter, 1},
        {1, 0, 0},
        {1, 7, 7},
        {4, 60, 60},
        {2, 61, 2},
        {6, 3600, 30},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RetryWaitSeconds(c.nFailed, c.nRetryAfter), c.nSeconds) << c.nFailed << " " << c.nRetryAfter;
    }
}

TEST(AttemptRules, RetryAfterReadsOnlyDelaySeconds)
{
    const struct {
        const char* text;
        std::int32_t nSeconds;
    } cases[] = {
        {"0", 0},
        {"5", 5},
        {" 120 ", 120},
        {"999999999", 999999999},
        {"9999999999", kNoRetryAfter},
        {"", kNoRetryAfter},
        {"-1", kNoRetryAfter},
        {"+5", kNoRetryAfter},
        {"1.5", kNoRetryAfter},
        {"Wed, 21 Oct 2026 07:28:00 GMT", kNoRetryAfter},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseRetryAfter(c.text), c.nSeconds) << c.text;
    }
}
