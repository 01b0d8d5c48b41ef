#include "ui/EditNumeric.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace korvex::ui {

namespace {

// Virtual-key codes, spelled out so this builds without Windows headers.
enum : unsigned {
    kVkBack = 0x08,
    kVkTab = 0x09,
    kVkReturn = 0x0D,
    kVkEscape = 0x1B,
    kVkLeft = 0x25,
    kVkRight = 0x27,
    kVk0 = 0x30,
    kVk9 = 0x39,
    kVkNumpad0 = 0x60,
    kVkNumpad9 = 0x69,
    kVkSubtract = 0x6D,
    kVkDecimal = 0x6E,
    kVkOemMinus = 0xBD,
    kVkOemPeriod = 0xBE,
};

constexpr int kMaxDecimals = 20;

bool IsDigit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// Leading sign, digits, separators and (when wanted) one decimal point, as ASCII.
std::string NumberPrefix(const std::wstring& text, bool allowPoint)
{
    std::string number;
    std::size_t index = 0;
    while (index < text.size() && (text[index] == L' ' || text[index] == L'\t')) ++index;
    if (index < text.size() && (text[index] == L'-' || text[index] == L'+')) number += static_cast<char>(text[index++]);
    bool seenPoint = false;
    for (; index < text.size(); ++index) {
        const wchar_t ch = text[index];
        if (IsDigit(ch)) {
            number += static_cast<char>(ch);
        } else if (ch == L',') {
            continue;
        } else if (ch == L'.' && allowPoint && !seenPoint) {
            seenPoint = true;
            number += '.';
        } else {
            break;
        }
    }
    return number;
}

}  // namespace

std::wstring GroupThousands(const std::wstring& text)
{
    if (text.find(L',') != std::wstring::npos) return text;
    const std::size_t digitsBegin = !text.empty() && text[0] == L'-' ? 1 : 0;
    std::size_t digitsEnd = text.find(L'.', digitsBegin);
    if (digitsEnd == std::wstring::npos) digitsEnd = text.size();
    if (digitsEnd - digitsBegin <= 3) return text;
    std::wstring grouped = text;
    grouped.insert(digitsEnd - 3, 1, L',');
    return grouped;
}

int ParseEditInteger(const std::wstring& text)
{
    const std::string number = NumberPrefix(text, false);
    const long long value = std::strtoll(number.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

double ParseEditDecimal(const std::wstring& text)
{
    const std::string number = NumberPrefix(text, true);
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

std::wstring StepInteger(const std::wstring& text, bool up, const IntegerLimits& limits)
{
    long long value = ParseEditInteger(text);
    if (up) {
        ++value;
        if (limits.useMax) value = std::min<long long>(value, limits.max);
    } else {
        --value;
        if (limits.useMin) value = std::max<long long>(value, limits.min);
    }
    value = std::clamp<long long>(value, INT_MIN, INT_MAX);
    return Widen(std::to_string(value));
}

std::wstring StepDecimal(const std::wstring& text, bool up, const DecimalLimits& limits)
{
    double value = ParseEditDecimal(text);
    if (up) {
        value += 0.1;
        if (limits.useMax) value = std::min(value, limits.max);
    } else {
        value -= 0.1;
        if (limits.useMin) value = std::max(value, limits.min);
    }
    const int decimals = std::clamp(limits.decimals, 0, kMaxDecimals);
    const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    if (length <= 0) return text;
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
    std::wstring stepped = Widen(std::string(buffer.data(), static_cast<std::size_t>(length)));
    return limits.groupThousands ? GroupThousands(stepped) : stepped;
}

bool EditAcceptsChar(int mode, bool allowNegative, wchar_t ch)
{
    if (mode != kEditInteger && mode != kEditDecimal) return true;
    if (IsDigit(ch) || ch == L'\b') return true;
    if (ch == L'-') return allowNegative;
    return mode == kEditDecimal && ch == L'.';
}

bool NumericModeKeyPasses(int mode, unsigned virtualKey)
{
    if ((virtualKey >= kVk0 && virtualKey <= kVk9) || (virtualKey >= kVkNumpad0 && virtualKey <= kVkNumpad9)) {
        return true;
    }
    switch (virtualKey) {
        case kVkOemMinus:
        case kVkSubtract:
        case kVkBack:
        case kVkTab:
        case kVkReturn:
        case kVkEscape:
        case kVkLeft:
        case kVkRight:
            return true;
        case kVkOemPeriod:
        case kVkDecimal:
            return mode == kEditDecimal;
        default:
            return false;
    }
}

}  // namespace korvex::ui
