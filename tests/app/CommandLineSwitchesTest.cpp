#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLineSwitches.h"

using namespace korvex::app;
using namespace korvex::config;

namespace {

// The narrow form the program would look up: the test arguments are ASCII
// unless a case gives its own.
CommandLineArgument Arg(const std::wstring& wide)
{
    return {std::string(wide.begin(), wide.end()), wide};
}

struct WalkCase {
    const char* name;
    std::vector<std::wstring> arguments;  // after the program path
    RunSettings expected;
};

RunSettings Settings(int silent, int skipCheck, int launch, std::wstring language, std::wstring properties,
                     std::wstring logFile = L"")
{
    RunSettings settings;
    settings.m_bSilent = silent;
    settings.m_bSkipClientCheck = skipCheck;
    settings.m_bLaunchProduct = launch;
    settings.m_strLanguage = std::move(language);
    settings.m_strInstallerProperties = std::move(properties);
    settings.m_strLogFile = std::move(logFile);
    return settings;
}

RunSettings Walk(const std::vector<CommandLineArgument>& arguments)
{
    RunSettings settings;
    WalkSwitches(BuildSwitchTable(settings), arguments);
    return settings;
}

void ExpectSettings(const RunSettings& actual, const RunSettings& expected, const char* name)
{
    SCOPED_TRACE(name);
    EXPECT_EQ(actual.m_bSilent, expected.m_bSilent);
    EXPECT_EQ(actual.m_bSkipClientCheck, expected.m_bSkipClientCheck);
    EXPECT_EQ(actual.m_bLaunchProduct, expected.m_bLaunchProduct);
    EXPECT_EQ(actual.m_strLanguage, expected.m_strLanguage);
    EXPECT_EQ(actual.m_strInstallerProperties, expected.m_strInstallerProperties);
    EXPECT_EQ(actual.m_strLogFile, expected.m_strLogFile);
    EXPECT_EQ(actual.m_bProductInstalled, 0);
}

const WalkCase kCases[] = {
    {"no arguments", {}, Settings(0, 0, 0, L"", L"")},
    {"silent", {L"/s"}, Settings(1, 0, 0, L"", L"")},
    {"skip client check", {L"/n"}, Settings(0, 1, 0, L"", L"")},
    {"launch product", {L"/l"}, Settings(0, 0, 1, L"", L"")},
    {"all flags", {L"/s", L"/n", L"/l"}, Settings(1, 1, 1, L"", L"")},
    {"language", {L"/lang", L"1031"}, Settings(0, 0, 0, L"1031", L"")},
    {"language last", {L"/lang"}, Settings(0, 0, 0, L"", L"")},
    {"language then empty element", {L"/lang", L""}, Settings(0, 0, 0, L"", L"")},
    {"language then backslash element", {L"/lang", L"\\s"}, Settings(0, 0, 0, L"", L"")},
    {"language then backslash switch", {L"/lang", L"\\", L"/s"}, Settings(1, 0, 0, L"", L"")},
    {"language takes a switch as its text", {L"/lang", L"/s"}, Settings(1, 0, 0, L"/s", L"")},
    {"flag does not consume its follower", {L"/s", L"1033"}, Settings(1, 0, 0, L"", L"")},
    {"properties kept unchanged", {L"/v", L"INSTALLDIR=D:\\Apps"}, Settings(0, 0, 0, L"", L"INSTALLDIR=D:\\Apps")},
    {"properties with spaces", {L"/v", L"A=1 B=\"two words\""}, Settings(0, 0, 0, L"", L"A=1 B=\"two words\"")},
    {"properties last", {L"/v"}, Settings(0, 0, 0, L"", L"")},
    {"repeated switch: last wins", {L"/lang", L"1031", L"/lang", L"1036"}, Settings(0, 0, 0, L"1036", L"")},
    {"repeated switch: last empty wins", {L"/lang", L"1031", L"/lang"}, Settings(0, 0, 0, L"", L"")},
    {"upper case ignored", {L"/S", L"/N", L"/L", L"/LANG", L"1031", L"/V", L"X=1"}, Settings(0, 0, 0, L"", L"")},
    {"hyphen prefix ignored", {L"-s", L"-n", L"-l", L"-lang", L"1031", L"-v", L"X=1"}, Settings(0, 0, 0, L"", L"")},
    {"switch with suffix ignored", {L"/silent", L"/s1", L"/language", L"1031"}, Settings(0, 0, 0, L"", L"")},
    {"unknown elements ignored", {L"hello", L"/x", L"1031"}, Settings(0, 0, 0, L"", L"")},
    {"mixed", {L"/v", L"/lang", L"/lang", L"1040", L"/n"}, Settings(0, 1, 0, L"1040", L"/lang")},
    {"log file", {L"/s", L"/log", L"C:\\Logs\\run.log"}, Settings(1, 0, 0, L"", L"", L"C:\\Logs\\run.log")},
    {"log last", {L"/log"}, Settings(0, 0, 0, L"", L"", L"")},
    {"log upper case ignored", {L"/LOG", L"x.log"}, Settings(0, 0, 0, L"", L"", L"")},
};

}  // namespace

TEST(CommandLineSwitches, WalkCases)
{
    for (const WalkCase& walkCase : kCases) {
        std::vector<CommandLineArgument> arguments = {Arg(L"C:\\Temp\\KorvexMasterInstaller.exe")};
        for (const std::wstring& argument : walkCase.arguments) arguments.push_back(Arg(argument));
        ExpectSettings(Walk(arguments), walkCase.expected, walkCase.name);
    }
}

TEST(CommandLineSwitches, ProgramPathIsExaminedToo)
{
    // Index 0 is looked up like any element: a program started as "/s" is silent.
    ExpectSettings(Walk({Arg(L"/s"), Arg(L"x")}), Settings(1, 0, 0, L"", L""), "path /s");
    ExpectSettings(Walk({Arg(L"/lang")}), Settings(0, 0, 0, L"", L""), "path /lang alone");
}

TEST(CommandLineSwitches, LookupUsesTheNarrowTextArgumentTheWideText)
{
    // The narrow form decides whether an element is a switch; the argument
    // handed on is the wide element, characters outside the code page kept.
    std::vector<CommandLineArgument> arguments = {
        Arg(L"prog.exe"), {"/v", L"\x0416/v"}, {"?", L"P=\x0416\xD83D\xDE00"}};
    RunSettings settings = Walk(arguments);
    EXPECT_EQ(settings.m_strInstallerProperties, L"P=\x0416\xD83D\xDE00");

    // A wide "/s" that narrowed to something else is no switch.
    settings = Walk({Arg(L"prog.exe"), {"?s", L"/s"}});
    EXPECT_EQ(settings.m_bSilent, 0);
}

TEST(CommandLineSwitches, TableHoldsExactlyTheSixSwitches)
{
    RunSettings settings;
    SwitchTable table = BuildSwitchTable(settings);
    EXPECT_EQ(table.size(), 6u);
    for (const char* name : {"/s", "/n", "/l", "/lang", "/v", "/log"}) EXPECT_EQ(table.count(name), 1u) << name;
}

TEST(CommandLineSwitches, LogLineNamesEverySwitchAndItsValue)
{
    const RunSettings settings = Settings(1, 0, 1, L"1031", L"A=\"b c\"", L"C:\\run.log");
    EXPECT_EQ(DescribeSwitches(settings),
              L"Switches: /s on, /n off, /l on, /lang \"1031\", /v \"A=\"b c\"\", /log \"C:\\run.log\"");
}

TEST(CommandLineSwitches, ArgumentsAreQuotedAsTheSystemSplitsThem)
{
    struct QuoteCase {
        std::wstring argument;
        std::wstring expected;
    };
    const QuoteCase cases[] = {
        {L"1031", L"1031"},
        {L"C:\\a\\b", L"C:\\a\\b"},  // backslashes without a quote stay single
        {L"", L"\"\""},
        {L"two words", L"\"two words\""},
        {L"tab\there", L"\"tab\there\""},
        {L"A=\"x y\"", L"\"A=\\\"x y\\\"\""},
        {L"D=\"C:\\dir\\\\\"", L"\"D=\\\"C:\\dir\\\\\\\\\\\"\""},  // two backslashes before a quote become five
        {L"C:\\Some Folder\\", L"\"C:\\Some Folder\\\\\""},        // a trailing one doubles before the closing quote
        {L"a\\\\ b", L"\"a\\\\ b\""},
    };
    for (const QuoteCase& quote : cases) {
        EXPECT_EQ(QuoteArgument(quote.argument), quote.expected);
    }
}

TEST(CommandLineSwitches, HandOverCarriesThisRunsSwitchesAfterSkipCheck)
{
    struct HandOverCase {
        RunSettings settings;
        std::wstring expected;
    };
    const HandOverCase cases[] = {
        {Settings(0, 0, 0, L"", L""), L"/n"},
        {Settings(0, 1, 0, L"", L""), L"/n"},
        {Settings(1, 0, 0, L"", L""), L"/n /s"},
        {Settings(1, 0, 1, L"", L""), L"/n /s /l"},
        {Settings(0, 0, 0, L"1031", L""), L"/n /lang 1031"},
        {Settings(1, 0, 1, L"1036", L"REBOOT=ReallySuppress"), L"/n /s /l /lang 1036 /v REBOOT=ReallySuppress"},
        {Settings(1, 0, 0, L"", L"SAMPLE_TAG=\"two words\""), L"/n /s /v \"SAMPLE_TAG=\\\"two words\\\"\""},
        {Settings(0, 0, 0, L"two words", L""), L"/n /lang \"two words\""},
    };
    for (const HandOverCase& handOver : cases) {
        EXPECT_EQ(HandOverParameters(handOver.settings), handOver.expected);
    }
}
