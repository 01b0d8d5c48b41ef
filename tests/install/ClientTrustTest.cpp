// Which newer clients start: the accepted keys and the verdict for each kind
// of candidate, and the run log's account of it.
#include "install/ClientTrust.h"

#include <gtest/gtest.h>

using namespace korvex::install;

namespace {

const std::wstring kOwn(64, L'a');
const std::wstring kPinned(64, L'b');
const std::wstring kStranger(64, L'c');

FileSignature Signed(const std::wstring& key)
{
    return {SignatureState::Valid, 0, L"Publisher", key};
}

const FileSignature kUnsigned{SignatureState::Unsigned, 0x800B0100, L"", L""};
const FileSignature kAltered{SignatureState::Altered, 0x80096010, L"", L""};
const FileSignature kUntrusted{SignatureState::Invalid, 0x800B0109, L"", L""};

TEST(ClientTrust, AcceptedKeysAreTheValidOwnSignerAndThePinnedOnes)
{
    EXPECT_EQ(AcceptedSigners(Signed(kOwn), {}), std::vector<std::wstring>{kOwn});
    EXPECT_EQ(AcceptedSigners(Signed(kOwn), {kPinned, kOwn}), (std::vector<std::wstring>{kOwn, kPinned}));
    for (const FileSignature& running : {kUnsigned, kAltered, kUntrusted}) {
        EXPECT_TRUE(AcceptedSigners(running, {}).empty());
        EXPECT_EQ(AcceptedSigners(running, {kPinned}), std::vector<std::wstring>{kPinned});
    }
}

TEST(ClientTrust, OnlyAValidSignatureByAnAcceptedKeyStartsOnceThereIsOne)
{
    const struct {
        std::vector<std::wstring> m_accepted;
        FileSignature m_candidate;
        ClientVerdict m_verdict;
    } rows[] = {
        {{}, kUnsigned, ClientVerdict::StartUnverified},
        {{}, kAltered, ClientVerdict::StartUnverified},
        {{}, Signed(kStranger), ClientVerdict::StartUnverified},
        {{kOwn}, Signed(kOwn), ClientVerdict::StartVerified},
        {{kOwn, kPinned}, Signed(kPinned), ClientVerdict::StartVerified},
        {{kOwn}, Signed(kStranger), ClientVerdict::Refuse},
        {{kOwn}, kUnsigned, ClientVerdict::Refuse},
        {{kOwn}, kAltered, ClientVerdict::Refuse},
        {{kPinned}, kUntrusted, ClientVerdict::Refuse},
        {{kPinned}, {SignatureState::Valid, 0, L"no key", L""}, ClientVerdict::Refuse},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(JudgeNewClient(row.m_accepted, row.m_candidate), row.m_verdict)
            << row.m_accepted.size() << " keys, candidate state " << static_cast<int>(row.m_candidate.m_state);
    }
}

// The reasons the scenarios do not read: nothing to compare with, and a chain Wine never refuses.
TEST(ClientTrust, TheLogSaysWhyAClientWasNotVerifiedOrRefused)
{
    EXPECT_EQ(DescribeClientTrust(kUnsigned, {}, kUnsigned, ClientVerdict::StartUnverified)[2],
              L"Newer client not verified, started as it is: this client is not signed (0x800b0100) and the "
              L"manifest names no client_signer; accepted keys: none");
    EXPECT_EQ(DescribeClientTrust(kUnsigned, {kPinned}, kUntrusted, ClientVerdict::Refuse)[2],
              L"Newer client refused, deleted and never started: it is not verifiable (0x800b0109); accepted keys: " +
                  kPinned);
}

}  // namespace
