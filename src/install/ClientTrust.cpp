#include "install/ClientTrust.h"

#include <algorithm>

namespace korvex::install {

namespace {

// WinVerifyTrust's results, as wintrust.h and winerror.h name them.
constexpr std::uint32_t kNoSignature = 0x800B0100;       // TRUST_E_NOSIGNATURE
constexpr std::uint32_t kUnknownSubject = 0x800B0003;    // TRUST_E_SUBJECT_FORM_UNKNOWN
constexpr std::uint32_t kBadDigest = 0x80096010;         // TRUST_E_BAD_DIGEST
constexpr std::uint32_t kBadCertSignature = 0x80096004;  // TRUST_E_CERT_SIGNATURE

bool Contains(const std::vector<std::wstring>& keys, const std::wstring& key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

std::wstring Hex(std::uint32_t value)
{
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text = L"0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
    return text;
}

std::wstring Describe(const FileSignature& signature)
{
    switch (signature.m_state) {
        case SignatureState::Valid:
            return L"signed by \"" + signature.m_strSignerName + L"\", key " + signature.m_strSignerKey;
        case SignatureState::Unsigned:
            return L"not signed (" + Hex(signature.m_nStatus) + L")";
        case SignatureState::Altered:
            return L"altered after signing (" + Hex(signature.m_nStatus) + L")";
        case SignatureState::Invalid:
            break;
    }
    return L"not verifiable (" + Hex(signature.m_nStatus) + L")";
}

std::wstring Keys(const std::vector<std::wstring>& accepted)
{
    std::wstring text;
    for (const std::wstring& key : accepted) text += (text.empty() ? L"" : L", ") + key;
    return text.empty() ? L"none" : text;
}

std::wstring Reason(const FileSignature& running, const FileSignature& candidate, ClientVerdict verdict)
{
    switch (verdict) {
        case ClientVerdict::StartUnverified:
            return L"not verified, started as it is: this client is " + Describe(running) +
                   L" and the manifest names no client_signer";
        case ClientVerdict::StartVerified:
            return std::wstring(L"verified: its key is ") +
                   (running.m_state == SignatureState::Valid && candidate.m_strSignerKey == running.m_strSignerKey
                        ? L"this client's own"
                        : L"a client_signer of the manifest");
        case ClientVerdict::Refuse:
            break;
    }
    return L"refused, deleted and never started: " + (candidate.m_state == SignatureState::Valid
                                                          ? std::wstring(L"its key is not an accepted signer")
                                                          : L"it is " + Describe(candidate));
}

}  // namespace

SignatureState SignatureStateOf(std::uint32_t nStatus)
{
    switch (nStatus) {
        case 0:
            return SignatureState::Valid;
        case kNoSignature:
        case kUnknownSubject:
            return SignatureState::Unsigned;
        case kBadDigest:
        case kBadCertSignature:
            return SignatureState::Altered;
        default:
            return SignatureState::Invalid;
    }
}

std::vector<std::wstring> AcceptedSigners(const FileSignature& running, const std::vector<std::wstring>& pinned)
{
    std::vector<std::wstring> accepted;
    if (running.m_state == SignatureState::Valid && !running.m_strSignerKey.empty()) {
        accepted.push_back(running.m_strSignerKey);
    }
    for (const std::wstring& key : pinned) {
        if (!Contains(accepted, key)) accepted.push_back(key);
    }
    return accepted;
}

ClientVerdict JudgeNewClient(const std::vector<std::wstring>& accepted, const FileSignature& candidate)
{
    if (accepted.empty()) return ClientVerdict::StartUnverified;
    const bool bSignedByAccepted = candidate.m_state == SignatureState::Valid && !candidate.m_strSignerKey.empty() &&
                                   Contains(accepted, candidate.m_strSignerKey);
    return bSignedByAccepted ? ClientVerdict::StartVerified : ClientVerdict::Refuse;
}

std::vector<std::wstring> DescribeClientTrust(const FileSignature& running, const std::vector<std::wstring>& accepted,
                                              const FileSignature& candidate, ClientVerdict verdict)
{
    return {
        L"This client is " + Describe(running),
        L"The newer client is " + Describe(candidate),
        L"Newer client " + Reason(running, candidate, verdict) + L"; accepted keys: " + Keys(accepted),
    };
}

}  // namespace korvex::install
