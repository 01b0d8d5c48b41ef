#pragma once
// Manifest texts for the load tests.

#include <string>

namespace config_test {

struct ManifestFields {
    std::string m_productCode = "{00000000-0000-0000-0000-000000000000}";
    std::string m_pid = "FWX-180-INT";
    std::string m_registry = "SOFTWARE\\Korvex Configuration Tests\\Product";
    std::string m_standalone = "false";
    std::string m_fullUrl = "http://127.0.0.1:1/FenwyxPro.msi";
    std::string m_languagePacks;  // extra children of product
};

inline std::string ManifestText(const ManifestFields& fields)
{
    std::string text =
        "<?xml version=\"1.0\"?>\n<korvexwebinstaller>\n"
        "<web_installer_version>18.0.0.0</web_installer_version>\n";
    text += "<product_code>" + fields.m_productCode + "</product_code>\n<product>\n";
    if (!fields.m_pid.empty()) {
        text += "<pid>" + fields.m_pid + "</pid>\n";
    }
    text += "<full_name>Fenwyx Pro</full_name><short_name>Fenwyx</short_name>\n";
    if (!fields.m_registry.empty()) {
        text += "<registry>" + fields.m_registry + "</registry>\n";
    }
    text += "<standalone>" + fields.m_standalone + "</standalone>\n";
    text += "<main_component><name>FenwyxPro.msi</name><executable>bin\\Product.exe</executable>";
    if (!fields.m_fullUrl.empty()) {
        text += "<full_url>" + fields.m_fullUrl + "</full_url>";
    }
    text += "</main_component>\n" + fields.m_languagePacks + "</product>\n</korvexwebinstaller>\n";
    return text;
}

}  // namespace config_test
