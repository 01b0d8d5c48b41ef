#include "config/ProductConfiguration.h"

namespace korvex::config {

ProductConfiguration g_productConfiguration;

std::wstring FormatComponentPath(const ProductConfiguration& configuration, int tickCount, const std::wstring& fileName)
{
    if (configuration.m_manifest.m_bStandalone) {
        return configuration.m_strComponentFolder + fileName;
    }
    return configuration.m_strComponentFolder + std::to_wstring(tickCount) + fileName;
}

}  // namespace korvex::config
