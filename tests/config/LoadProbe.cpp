// Runs the start-up load for its own executable's folder and writes what it
// found, one field a line (UTF-16LE), into the file named by its first
// argument; a second argument is the "/lang" switch's value.

#include <windows.h>

#include <cstdio>
#include <string>

#include "config/ProductConfiguration.h"
#include "config/ProductConfigurationWin.h"
#include "config/RunSettings.h"
#include "config/SlideImages.h"
#include "config/SlideImagesWin.h"
#include "config/UiStrings.h"
#include "config/UiStringsWin.h"

using namespace korvex::config;

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        return 2;
    }
    if (argc > 2) {
        g_runSettings.m_strLanguage = argv[2];
    }
    const int status = LoadProductConfiguration();
    const ProductConfiguration& c = g_productConfiguration;
    const std::wstring report = std::to_wstring(status) + L"\n" + std::to_wstring(c.m_bLoaded) + L"\n" +
                                c.m_strExeFolder + L"\n" + c.m_strManifestPath + L"\n" + c.m_manifest.m_strPid + L"\n" +
                                c.m_strComponentFolder + L"\n" + LoadUiString(IDS_INSTALL) + L"\n" +
                                std::to_wstring(GetSlideImages().size()) + L"/" +
                                std::to_wstring(GetEmbeddedSlideImages().size()) + L"\n";
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out) {
        return 3;
    }
    fwrite(report.data(), sizeof(wchar_t), report.size(), out);
    fclose(out);
    return 0;
}
