#include "MessageBoxRules.h"

#include <cwchar>

namespace {

struct ButtonName {
    const wchar_t* name;
    int id;
};

// The dialog ids of the standard message-box buttons (IDOK ... IDCONTINUE).
constexpr ButtonName kButtons[] = {
    {L"OK", 1},  {L"Cancel", 2}, {L"Abort", 3},     {L"Retry", 4},     {L"Ignore", 5},
    {L"Yes", 6}, {L"No", 7},     {L"TryAgain", 10}, {L"Continue", 11},
};

std::vector<std::wstring> SplitTabs(const std::wstring& line)
{
    std::vector<std::wstring> fields(1);
    for (wchar_t c : line) {
        if (c == L'\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

}  // namespace

int ButtonIdOfAnswer(const std::wstring& answer)
{
    for (const ButtonName& button : kButtons)
        if (answer == button.name) return button.id;
    return 0;
}

bool MessageBoxRules::Parse(const std::wstring& text, std::wstring& error)
{
    m_rules.clear();
    size_t lineNumber = 0, start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.empty() || line[0] == L'#') continue;

        std::vector<std::wstring> fields = SplitTabs(line);
        MessageBoxRule rule;
        rule.pattern = fields[0];
        if (fields.size() < 2 || fields.size() > 4 || rule.pattern.empty()) {
            error =
                L"line " + std::to_wstring(lineNumber) + L": expected PATTERN<TAB>ANSWER[<TAB>DELAY_MS[<TAB>repeat]]";
            return false;
        }
        rule.answer = fields[1];
        if (!ButtonIdOfAnswer(rule.answer)) {
            error = L"line " + std::to_wstring(lineNumber) + L": unknown answer \"" + rule.answer + L"\"";
            return false;
        }
        if (fields.size() >= 3 && !fields[2].empty()) {
            wchar_t* endOfNumber = nullptr;
            unsigned long delay = wcstoul(fields[2].c_str(), &endOfNumber, 10);
            if (*endOfNumber != 0 || delay > 600000UL) {
                error = L"line " + std::to_wstring(lineNumber) + L": bad delay \"" + fields[2] + L"\"";
                return false;
            }
            rule.delayMilliseconds = (unsigned)delay;
        }
        if (fields.size() == 4) {
            if (fields[3] != L"repeat") {
                error = L"line " + std::to_wstring(lineNumber) + L": the fourth field can only be \"repeat\"";
                return false;
            }
            rule.repeat = true;
        }
        m_rules.push_back(rule);
    }
    return true;
}

const MessageBoxRule* MessageBoxRules::Take(const std::wstring& caption, const std::wstring& text)
{
    for (MessageBoxRule& rule : m_rules) {
        if (rule.used) continue;
        bool matches = rule.pattern == L"*" || caption.find(rule.pattern) != std::wstring::npos ||
                       text.find(rule.pattern) != std::wstring::npos;
        if (!matches) continue;
        if (!rule.repeat) rule.used = true;
        return &rule;
    }
    return nullptr;
}
