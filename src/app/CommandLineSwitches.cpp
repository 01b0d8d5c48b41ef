#include "app/CommandLineSwitches.h"

SwitchTable BuildSwitchTable(RunSettings& settings)
{
    return SwitchTable{
        {"/s", [&settings](const std::wstring&) { settings.m_bSilent = 1; }},
        {"/n", [&settings](const std::wstring&) { settings.m_bSkipClientCheck = 1; }},
        {"/l", [&settings](const std::wstring&) { settings.m_bLaunchProduct = 1; }},
        {"/lang", [&settings](const std::wstring& argument) { settings.m_strLanguage = argument; }},
        {"/v", [&settings](const std::wstring& argument) { settings.m_strInstallerProperties = argument; }},
    };
}

void WalkSwitches(const SwitchTable& table, const std::vector<CommandLineArgument>& arguments)
{
    for (size_t index = 0; index < arguments.size(); ++index) {
        auto handler = table.find(arguments[index].m_narrow);
        if (handler == table.end()) continue;
        std::wstring argument;
        if (index + 1 < arguments.size()) {
            const std::wstring& next = arguments[index + 1].m_wide;
            if (!next.empty() && next.front() != L'\\') argument = next;
        }
        handler->second(argument);
    }
}
