#pragma once
// Which button the message-box watcher presses. A rule file holds one rule a
// line, fields separated by tabs:
//
//   PATTERN <TAB> ANSWER [<TAB> DELAY_MS [<TAB> repeat]]
//
// PATTERN is found in the box's caption or text (case-sensitive; "*" matches
// every box); ANSWER is a button: OK, Cancel, Abort, Retry, Ignore, Yes, No,
// TryAgain, Continue. The first unused rule that matches answers the box after
// DELAY_MS and is then used up, unless it is marked "repeat". Lines starting
// with '#' and empty lines are ignored.

#include <string>
#include <vector>

struct MessageBoxRule {
    std::wstring pattern;
    std::wstring answer;
    unsigned delayMilliseconds = 0;
    bool repeat = false;
    bool used = false;
};

class MessageBoxRules {
public:
    // False with a message naming the line for a malformed rule.
    bool Parse(const std::wstring& text, std::wstring& error);
    // The rule that answers this box, or null; a one-shot rule is used up.
    const MessageBoxRule* Take(const std::wstring& caption, const std::wstring& text);
    size_t size() const { return m_rules.size(); }

private:
    std::vector<MessageBoxRule> m_rules;
};

// The dialog command id of a button name (IDYES for "Yes"), 0 for an unknown name.
int ButtonIdOfAnswer(const std::wstring& answer);
