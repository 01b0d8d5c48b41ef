#include "config/ConfigurationFailure.h"

namespace korvex::config {

namespace {

// The text around the path; the path goes between the two halves.
struct FaultText {
    const wchar_t* m_before;
    const wchar_t* m_after;
};

FaultText TextOf(ConfigurationFault fault)
{
    switch (fault) {
        case ConfigurationFault::ExecutablePathUnknown:
            // No path is known to name.
            return {L"The installer cannot determine its own folder, so it cannot find its product manifest", L""};
        case ConfigurationFault::ManifestMissing:
            return {L"The product manifest \"", L"\" is missing"};
        case ConfigurationFault::ManifestNotXml:
            return {L"The product manifest \"", L"\" is not readable XML"};
        case ConfigurationFault::PidMissing:
            return {L"The product manifest \"", L"\" names no product id (<pid> in <product>)"};
        case ConfigurationFault::RegistryKeyMissing:
            return {L"The product manifest \"", L"\" names no registry key (<registry> in <product>)"};
        case ConfigurationFault::MainPackageUrlMissing:
            return {L"The product manifest \"",
                    L"\" names no download address for the main package (<full_url> in <main_component>)"};
        case ConfigurationFault::WorkFolderNotCreatable:
            return {L"The work folder \"", L"\" beside the installer cannot be created"};
        case ConfigurationFault::None:
            break;
    }
    return {L"The product configuration \"", L"\" cannot be used"};
}

}  // namespace

std::wstring ConfigurationFailureText(const ConfigurationFailure& failure)
{
    const FaultText text = TextOf(failure.m_fault);
    return text.m_before + failure.m_strPath + text.m_after + L". The installation cannot continue.";
}

}  // namespace korvex::config
