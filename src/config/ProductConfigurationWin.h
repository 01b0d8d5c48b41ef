#pragma once
// Loading the product configuration on the machine: the manifest beside the
// executable or inside it, the registry, the work folders.

#include <string>
#include <vector>

#include "config/ConfigurationFailure.h"
#include "config/ProductConfiguration.h"

// Reads the manifest beside the running executable (config\manifestPro.xml,
// else the copy the executable carries) into g_productConfiguration and
// prepares the language list, the installed-product facts and the work
// folders. Returns a ProductConfigurationStatus; on failure, failure (when
// given) receives what is wrong and where.
int LoadProductConfiguration(korvex::config::ConfigurationFailure* failure = nullptr);

// The same load for an executable at the given full path (start-up passes its
// own module path).
int LoadProductConfigurationFor(const std::wstring& executablePath,
                                korvex::config::ConfigurationFailure* failure = nullptr);

// Language identifiers of the language packs an installed product recorded
// under HKEY_LOCAL_MACHINE\<registry key>\LanguagePacks.
std::vector<int> GetInstalledLanguagePacks();

std::wstring MakeComponentPath(const std::wstring& fileName);
// component\<tick count>\<fileName> (or <tick count>_1, ... when taken), the
// folder made anew for it (protected when elevated); empty when it cannot be
// made.
std::wstring MakeProgramPath(const std::wstring& fileName);
std::wstring MakeLanguagePackPath(int languageId);
