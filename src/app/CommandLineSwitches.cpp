#include "app/CommandLineSwitches.h"

namespace korvex::app {

SwitchTable BuildSwitchTable(config::RunSettings& settings)
{
    return SwitchTable{
        {"/s", [&settings](const std::wstring&) { settings.m_bSilent = 1; }},
        {"/n", [&settings](const std::wstring&) { settings.m_bSkipClientCheck = 1; }},
        {"/l", [&settings](const std::wstring&) { settings.m_bLaunchProduct = 1; }},
        {"/lang", [&settings](const std::wstring& argument) { settings.m_strLanguage = argument; }},
        {"/v", [&settings](const std::wstring& argument) { settings.m_strInstallerProperties = argument; }},
        {"/log", [&settings](const std::wstring& argument) { settings.m_strLogFile = argument; }},
    };
}

std::wstring DescribeSwitches(const config::RunSettings& settings)
{
    const auto flag = [](int value) { return value ? L"on" : L"off"; };
    const auto text = [](const std::wstring& value) { return L"\"" + value + L"\""; };
    return std::wstring(L"Switches: /s ") + flag(settings.m_bSilent) + L", /n " + flag(settings.m_bSkipClientCheck) +
           L", /l " + flag(settings.m_bLaunchProduct) + L", /lang " + text(settings.m_strLanguage) + L", /v " +
           text(settings.m_strInstallerProperties) + L", /log " + text(settings.m_strLogFile);
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

std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring HandOverParameters(const config::RunSettings& settings)
{
    std::wstring parameters = L"/n";
    if (settings.m_bSilent) parameters += L" /s";
    if (settings.m_bLaunchProduct) parameters += L" /l";
    if (!settings.m_strLanguage.empty()) parameters += L" /lang " + QuoteArgument(settings.m_strLanguage);
    if (!settings.m_strInstallerProperties.empty()) {
        parameters += L" /v " + QuoteArgument(settings.m_strInstallerProperties);
    }
    return parameters;
}

}  // namespace korvex::app
