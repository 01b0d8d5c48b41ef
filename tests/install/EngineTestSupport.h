#pragma once
// What the engine tests share: the built test packages, the loopback test
// server (a native process the ctest fixture starts), a recorder that answers
// the engine's message boxes, a configuration of the process-wide records for
// one run, and clean-up of what a test installed or registered.

#include <windows.h>

#include <string>
#include <vector>

#include "config/ProductConfiguration.h"
#include "support/MessageBoxRecorder.h"
#include "support/TestRegistry.h"

inline constexpr wchar_t kProductCode[] = L"{6C1B4A52-0E3A-4B8E-9D51-2F0A6E1D7C11}";
inline constexpr wchar_t kLanguagePackCode[] = L"{A41C7E93-58D2-4B6F-9E0A-1C3B5D7F9A24}";
inline constexpr wchar_t kFailingCode[] = L"{3E8F1A24-6B7C-4D9E-A0F1-2C3D4E5F6A71}";
inline constexpr wchar_t kTestRegistryKey[] = L"SOFTWARE\\Korvex Systems\\Engine Test";
inline constexpr wchar_t kPackageRecordKey[] = L"SOFTWARE\\Korvex Systems\\Engine Test Package";
inline constexpr wchar_t kResourceLanguageKey[] = L"SOFTWARE\\Korvex Systems\\ResourceLangID";

// A built test package (Product.msi, LanguagePack.msi, Failing.msi).
std::wstring PackagePath(const wchar_t* name);
// The program that records its command line beside itself.
std::wstring RecordingProgramPath();

std::wstring ServerUrl(const std::wstring& path);  // path starts with "/"
void PublishFile(const std::wstring& name, const std::wstring& source);
void PublishText(const std::wstring& name, const std::string& text);
// Request paths the server received since the last call to ClearRequests.
std::vector<std::string> ReceivedPaths();
void ClearRequests();

inline constexpr wchar_t kFailingPackageText[] = L"This package never installs: the engine test expects it to fail.";

std::wstring ReadFileText(const std::wstring& path);
bool FileExists(const std::wstring& path);
std::wstring ReadRegistryString(HKEY root, const std::wstring& key, const wchar_t* value);
// -1 when the value is missing.
long long ReadRegistryDword(HKEY root, const std::wstring& key, const wchar_t* value);

// Removes a product the tests installed (nothing when it is not installed).
void UninstallProduct(const wchar_t* productCode);
bool IsProductInstalled(const wchar_t* productCode);

// The process-wide configuration and run settings of a first installation
// from the test server: work folders under a temporary folder whose path has
// spaces, an existing installation folder, English, level 0.
class EngineTestRun {
public:
    EngineTestRun();
    ~EngineTestRun();
    EngineTestRun(const EngineTestRun&) = delete;
    EngineTestRun& operator=(const EngineTestRun&) = delete;

    const std::wstring& BaseFolder() const { return m_strBaseFolder; }
    std::wstring InstallFolder() const;

private:
    // The product's registration, removed whatever a test wrote.
    RemovedRegistryTree m_machineKey{HKEY_LOCAL_MACHINE, kTestRegistryKey};
    RemovedRegistryTree m_userKey{HKEY_CURRENT_USER, kTestRegistryKey};
    RemovedRegistryTree m_packageRecord{HKEY_LOCAL_MACHINE, kPackageRecordKey};
    std::wstring m_strBaseFolder;
};

// A server manifest for the given patch release version.
std::string ServerManifestText(const std::string& patchProductVersion);
