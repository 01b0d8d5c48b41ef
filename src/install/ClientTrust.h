#pragma once
// Whether a newer client the validator downloaded may be started. It runs
// with administrator rights and its address comes from the server manifest,
// so its Authenticode signature decides. The accepted keys are the running
// client's own signer (when its own signature verifies) and every
// client_signer of the product manifest. With none, there is nothing to
// compare with and the client starts unverified, as it always did; otherwise
// only a valid signature by an accepted key starts it. Keys are compared,
// never names: anyone can put any name in a certificate of their own.
// Pure: the signature checks are made on Windows (FileSignatureWin.h).

#include <cstdint>
#include <string>
#include <vector>

namespace korvex::install {

enum class SignatureState {
    Valid,     // the digest and the signature verify
    Unsigned,  // no signature (or not a signable program)
    Altered,   // signed, then changed: bad digest or damaged signature
    Invalid,   // any other failure (on Windows: an untrusted or expired chain, ...)
};

// What the system's check made of one file.
struct FileSignature {
    SignatureState m_state = SignatureState::Invalid;
    std::uint32_t m_nStatus = 0;  // the check's own result (an HRESULT)
    std::wstring m_strSignerName;
    // SHA-256 of the signer certificate's SubjectPublicKeyInfo, 64 lower-case
    // hexadecimal digits; empty unless the signature is valid.
    std::wstring m_strSignerKey;
};

// The state a WinVerifyTrust result stands for.
SignatureState SignatureStateOf(std::uint32_t nStatus);

enum class ClientVerdict {
    StartUnverified,  // no accepted key: started as it is
    StartVerified,    // signed by an accepted key
    Refuse,           // never started: deleted, as a failed download
};

// The running client's key when its signature is valid, then every pinned
// key (lower case, as the manifest reader keeps them), each once.
std::vector<std::wstring> AcceptedSigners(const FileSignature& running, const std::vector<std::wstring>& pinned);

ClientVerdict JudgeNewClient(const std::vector<std::wstring>& accepted, const FileSignature& candidate);

// The run log's lines: this client's signature, the newer client's, and the
// verdict with its reason and the accepted keys.
std::vector<std::wstring> DescribeClientTrust(const FileSignature& running, const std::vector<std::wstring>& accepted,
                                              const FileSignature& candidate, ClientVerdict verdict);

}  // namespace korvex::install
