// Runs the start-up load for its own executable's folder and writes what it
// found, one field a line (UTF-16LE), into the file named by its argument.

#include <windows.h>

#include <cstdio>
#include <string>

#include "config/ProductConfiguration.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        return 2;
    }
    const int status = LoadProductConfiguration();
    const ProductConfiguration& c = g_productConfiguration;
    const std::wstring report = std::to_wstring(status) + L"\n" + std::to_wstring(c.m_bLoaded) + L"\n" +
                                c.m_strExeFolder + L"\n" + c.m_strManifestPath + L"\n" + c.m_manifest.m_strPid + L"\n" +
                                c.m_strComponentFolder + L"\n";
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out) {
        return 3;
    }
    fwrite(report.data(), sizeof(wchar_t), report.size(), out);
    fclose(out);
    return 0;
}
