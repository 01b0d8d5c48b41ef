#pragma once
// The product's home page is not in the product manifest: the main package
// carries it as its InstallHomepageURL property, which the installer reports
// at the end of an installation as "Property(S): InstallHomepageURL = <url>".
// The folder a package really installed to arrives the same way, as
// "Property(S): INSTALLDIR = <folder>\".

#include <string>
#include <string_view>

namespace korvex::install {

// Stores the URL of such a line in found, unless found already holds one.
// True when a URL was stored. Client-side ("Property(C):") lines are ignored.
bool CaptureHomePageUrl(std::wstring_view message, std::wstring& found);

// The same for the INSTALLDIR line; the folder is stored as reported.
bool CaptureInstallFolder(std::wstring_view message, std::wstring& found);

}  // namespace korvex::install
