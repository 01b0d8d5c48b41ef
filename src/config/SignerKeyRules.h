#pragma once
// How a manifest names the key a newer client may be signed with
// (client_signer): the SHA-256 of the signing certificate's
// SubjectPublicKeyInfo (DER), never a subject name, which anyone can put in a
// certificate of their own. Pure: no certificate is consulted here.

#include <string>

namespace korvex::config {

// True for exactly 64 hexadecimal digits, either case, nothing around them.
bool IsSignerKeyText(const std::wstring& text);

// The digits in lower case, the form the installer compares and logs.
std::wstring LowerCaseSignerKey(const std::wstring& text);

}  // namespace korvex::config
