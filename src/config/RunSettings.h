#pragma once
// The switch values of one run and the installed-product flag. They are
// written on the UI thread before any worker starts (the command line at
// start-up, the flag by the product configuration load) and only read
// afterwards, so they need no lock. Kept free of Windows headers so the pure
// cores that read them also build on the host.

#include <string>

namespace korvex::config {

struct RunSettings {
    int m_bProductInstalled = 0;
    int m_bSilent = 0;
    int m_bSkipClientCheck = 0;
    int m_bLaunchProduct = 0;
    std::wstring m_strLanguage;
    std::wstring m_strInstallerProperties;
    // "/log": the file the run log goes to; empty, nothing is logged.
    std::wstring m_strLogFile;
};

// The application object's run settings; one per process.
inline RunSettings g_runSettings;

}  // namespace korvex::config
