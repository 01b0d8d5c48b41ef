#include "config/ProductConfiguration.h"

#include "base/DecimalText.h"

using korvex::base::DecimalText;

namespace korvex::config {

ProductConfiguration g_productConfiguration;

std::wstring FormatComponentPath(const ProductConfiguration& configuration, int tickCount, const std::wstring& fileName)
{
    if (configuration.m_manifest.m_bStandalone) {
        return configuration.m_strComponentFolder + fileName;
    }
    return configuration.m_strComponentFolder + DecimalText(tickCount) + fileName;
}

}  // namespace korvex::config
