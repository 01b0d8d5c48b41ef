#pragma once
// How a manifest names the key a newer client may be signed with
// (client_signer): the SHA-256 of the signing certificate's
// SubjectPublicKeyInfo (DER), never a subject name, which anyone can put in a
// certificate of their own. Pure: no certificate is consulted here.

#include <array>
#include <string>

namespace korvex::config {

// True for exactly 64 hexadecimal digits, either case, nothing around them.
bool IsSignerKeyText(const std::wstring& text);

// The digits in lower case, the form the installer compares and logs.
std::wstring LowerCaseSignerKey(const std::wstring& text);

// A key's SHA-256 digest in that form.
std::wstring SignerKeyText(const std::array<unsigned char, 32>& digest);

}  // namespace korvex::config
