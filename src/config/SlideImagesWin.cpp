#include "config/SlideImagesWin.h"

#include <windows.h>

#include "base/DecimalText.h"
#include "base/WinHandles.h"
#include "config/EmbeddedFileNames.h"
#include "config/EmbeddedFilesWin.h"
#include "config/ProductConfiguration.h"
#include "ui/Dpi.h"

using korvex::base::DecimalText;

using namespace korvex::config;

namespace {

std::vector<std::wstring> g_slideImages;

std::vector<std::wstring> FindSlides(const std::wstring& folder)
{
    std::vector<std::wstring> slides;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW((folder + L"*.jpg").c_str(), &found));
    if (!search) {
        return slides;
    }
    do {
        std::wstring path = folder + found.cFileName;
        if (path.size() < MAX_PATH) {
            slides.push_back(std::move(path));
        }
    } while (FindNextFileW(search.get(), &found));
    return slides;
}

}  // namespace

std::vector<std::wstring> GetSlideImages()
{
    if (g_slideImages.empty()) {
        const ProductConfiguration& configuration = g_productConfiguration;
        const std::wstring folder = configuration.m_strLanguageFolder + DecimalText(configuration.m_nLanguageId) +
                                    L"\\slidesPro\\" + DecimalText(SlideScaleForDpiStep(DpiStep())) + L"\\";
        g_slideImages = FindSlides(folder);
    }
    return g_slideImages;
}

std::vector<std::string_view> GetEmbeddedSlideImages()
{
    std::vector<std::string_view> slides;
    if (!UsesEmbeddedLanguageFiles()) {
        return slides;
    }
    const int scale = SlideScaleForDpiStep(DpiStep());
    for (const std::wstring& name :
         EmbeddedSlideNames(ListEmbeddedFiles(), g_productConfiguration.m_nLanguageId, scale)) {
        std::string_view bytes;
        if (FindEmbeddedFile(name, bytes)) {
            slides.push_back(bytes);
        }
    }
    return slides;
}
