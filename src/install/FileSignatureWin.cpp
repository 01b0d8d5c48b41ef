#include "install/FileSignatureWin.h"

#include <bcrypt.h>
#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

#include "base/WinHandles.h"
#include "config/SignerKeyRules.h"

using namespace korvex::config;
using namespace korvex::install;

namespace {

// One verification, whose state is closed on every path.
class TrustCheck {
public:
    TrustCheck(const std::wstring& path, HANDLE file)
    {
        m_file.cbStruct = sizeof(m_file);
        m_file.pcwszFilePath = path.c_str();
        m_file.hFile = file;
        m_data.cbStruct = sizeof(m_data);
        m_data.dwUIChoice = WTD_UI_NONE;
        m_data.fdwRevocationChecks = WTD_REVOKE_NONE;
        m_data.dwUnionChoice = WTD_CHOICE_FILE;
        m_data.pFile = &m_file;
        m_data.dwStateAction = WTD_STATEACTION_VERIFY;
        m_data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
        m_nStatus = static_cast<std::uint32_t>(WinVerifyTrust(NoWindow(), &m_action, &m_data));
    }
    ~TrustCheck()
    {
        m_data.dwStateAction = WTD_STATEACTION_CLOSE;
        WinVerifyTrust(NoWindow(), &m_action, &m_data);
    }
    TrustCheck(const TrustCheck&) = delete;
    TrustCheck& operator=(const TrustCheck&) = delete;

    std::uint32_t Status() const { return m_nStatus; }

    // The signer's certificate, owned by the state; null when there is none.
    PCCERT_CONTEXT Signer() const
    {
        CRYPT_PROVIDER_DATA* provider =
            m_data.hWVTStateData ? WTHelperProvDataFromStateData(m_data.hWVTStateData) : nullptr;
        CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
        CRYPT_PROVIDER_CERT* certificate = signer ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
        return certificate ? certificate->pCert : nullptr;
    }

private:
    // INVALID_HANDLE_VALUE: no interactive user, nothing may be shown.
    static HWND NoWindow() { return static_cast<HWND>(INVALID_HANDLE_VALUE); }

    GUID m_action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_FILE_INFO m_file{};
    WINTRUST_DATA m_data{};
    std::uint32_t m_nStatus = 0;
};

// The SHA-256 of the certificate's SubjectPublicKeyInfo (DER); empty when it
// cannot be computed.
std::wstring SignerKey(PCCERT_CONTEXT certificate)
{
    BYTE* encoded = nullptr;
    DWORD nEncoded = 0;
    if (!CryptEncodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, &certificate->pCertInfo->SubjectPublicKeyInfo,
                             CRYPT_ENCODE_ALLOC_FLAG, nullptr, &encoded, &nEncoded)) {
        return std::wstring();
    }
    const LocalMemory owner(encoded);
    std::array<unsigned char, 32> digest{};
    DWORD nDigest = static_cast<DWORD>(digest.size());
    if (!CryptHashCertificate2(BCRYPT_SHA256_ALGORITHM, 0, nullptr, encoded, nEncoded, digest.data(), &nDigest) ||
        nDigest != digest.size()) {
        return std::wstring();
    }
    return SignerKeyText(digest);
}

std::wstring DisplayName(PCCERT_CONTEXT certificate)
{
    wchar_t name[256] = {};
    CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, ARRAYSIZE(name));
    return name;
}

}  // namespace

FileSignature CheckFileSignature(const std::wstring& path, HANDLE file)
{
    const TrustCheck check(path, file);
    FileSignature signature;
    signature.m_nStatus = check.Status();
    signature.m_state = SignatureStateOf(check.Status());
    if (signature.m_state != SignatureState::Valid) return signature;
    const PCCERT_CONTEXT signer = check.Signer();
    if (signer) {
        signature.m_strSignerName = DisplayName(signer);
        signature.m_strSignerKey = SignerKey(signer);
    }
    // A valid signature that names no key cannot be compared with one.
    if (signature.m_strSignerKey.empty()) signature.m_state = SignatureState::Invalid;
    return signature;
}
