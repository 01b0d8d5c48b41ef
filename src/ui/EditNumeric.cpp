#include "ui/EditNumeric.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
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

// The number NumberPrefix kept ("-12.5", "+.5", "7."). The first 19
// significant digits count, more than a double holds; without the C
// library's strtod, which would bring its floating-point machinery along.
double DecimalValue(const std::string& number)
{
    std::size_t index = 0;
    bool negative = false;
    if (index < number.size() && (number[index] == '-' || number[index] == '+')) negative = number[index++] == '-';
    std::uint64_t mantissa = 0;
    int significant = 0;
    int exponent = 0;
    bool afterPoint = false;
    for (; index < number.size(); ++index) {
        if (number[index] == '.') {
            afterPoint = true;
            continue;
        }
        const int digit = number[index] - '0';
        if (mantissa == 0 && digit == 0) {
            if (afterPoint) --exponent;
        } else if (significant < 19) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(digit);
            ++significant;
            if (afterPoint) --exponent;
        } else if (!afterPoint) {
            ++exponent;
        }
    }
    // Exact up to 1e27, and past every double's range without overflowing.
    long double scale = 1.0L;
    for (int power = exponent < 0 ? -exponent : exponent; power > 0 && scale < 1e4000L; --power) scale *= 10.0L;
    const long double mantissaValue = static_cast<long double>(mantissa);
    const auto magnitude = static_cast<double>(exponent < 0 ? mantissaValue / scale : mantissaValue * scale);
    return negative ? -magnitude : magnitude;
}

// A non-negative integer of any size, 32 bits a word, lowest first.
class BigNumber {
public:
    explicit BigNumber(std::uint64_t value)
        : m_words{static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32)}
    {}

    void Multiply(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (std::uint32_t& word : m_words) {
            carry += static_cast<std::uint64_t>(word) * factor;
            word = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
        if (carry != 0) m_words.push_back(static_cast<std::uint32_t>(carry));
    }

    void ShiftLeft(int bits)
    {
        m_words.insert(m_words.begin(), static_cast<std::size_t>(bits / 32), 0);
        for (int bit = 0; bit < bits % 32; ++bit) Multiply(2);
    }

    bool Bit(int index) const
    {
        const auto word = static_cast<std::size_t>(index / 32);
        return word < m_words.size() && ((m_words[word] >> (index % 32)) & 1) != 0;
    }

    bool AnyBitBelow(int index) const
    {
        for (int bit = 0; bit < index; ++bit) {
            if (Bit(bit)) return true;
        }
        return false;
    }

    void ShiftRight(int bits)
    {
        BigNumber shifted(0);
        shifted.m_words.assign(m_words.size(), 0);
        const int total = static_cast<int>(m_words.size()) * 32;
        for (int bit = bits; bit < total; ++bit) {
            if (Bit(bit)) shifted.m_words[static_cast<std::size_t>((bit - bits) / 32)] |= 1u << ((bit - bits) % 32);
        }
        m_words = std::move(shifted.m_words);
    }

    void AddOne()
    {
        for (std::uint32_t& word : m_words) {
            if (++word != 0) return;
        }
        m_words.push_back(1);
    }

    // Divides by ten; returns the remainder.
    int DivideByTen()
    {
        std::uint64_t remainder = 0;
        for (auto word = m_words.rbegin(); word != m_words.rend(); ++word) {
            const std::uint64_t current = (remainder << 32) | *word;
            *word = static_cast<std::uint32_t>(current / 10);
            remainder = current % 10;
        }
        return static_cast<int>(remainder);
    }

    bool IsZero() const
    {
        return std::all_of(m_words.begin(), m_words.end(), [](std::uint32_t word) { return word == 0; });
    }

    bool IsOdd() const { return (m_words[0] & 1) != 0; }

private:
    std::vector<std::uint32_t> m_words;
};

// The value with `decimals` digits after the point, rounded as printf's
// "%.*f" rounds it: from the exact binary value, ties to even.
std::string FixedPointText(double value, int decimals)
{
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    BigNumber scaled(static_cast<std::uint64_t>(std::ldexp(fraction, 53)));
    exponent -= 53;  // |value| = mantissa * 2^exponent
    for (int digit = 0; digit < decimals; ++digit) scaled.Multiply(10);
    if (exponent >= 0) {
        scaled.ShiftLeft(exponent);
    } else {
        const int dropped = -exponent;
        const bool half = scaled.Bit(dropped - 1);
        const bool beyondHalf = scaled.AnyBitBelow(dropped - 1);
        scaled.ShiftRight(dropped);
        if (half && (beyondHalf || scaled.IsOdd())) scaled.AddOne();
    }
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + scaled.DivideByTen()));
    } while (!scaled.IsZero());
    const auto fractional = static_cast<std::size_t>(decimals);
    if (digits.size() <= fractional) digits.insert(0, fractional + 1 - digits.size(), '0');
    if (fractional > 0) digits.insert(digits.size() - fractional, 1, '.');
    return (std::signbit(value) ? "-" : "") + digits;
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
    const double value = DecimalValue(number);
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
    if (!std::isfinite(value)) return text;
    const int decimals = std::clamp(limits.decimals, 0, kMaxDecimals);
    std::wstring stepped = Widen(FixedPointText(value, decimals));
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
