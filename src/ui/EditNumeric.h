#pragma once
// Text rules of the edit box's numeric modes: which keys and characters get
// through, arrow-key stepping within limits, and the thousands separator.
#include <string>

namespace korvex::ui {

enum EditMode { kEditInteger = 0, kEditDecimal = 1, kEditFreeText = 2 };

struct IntegerLimits {
    int min = 0;
    int max = 0;
    bool useMin = true;
    bool useMax = true;
};

struct DecimalLimits {
    double min = 0;
    double max = 0;
    bool useMin = true;
    bool useMax = true;
    int decimals = 1;
    bool groupThousands = false;
};

// Inserts one "," before the last three digits of an integer part longer
// than three digits, unless the text already holds a ",".
std::wstring GroupThousands(const std::wstring& text);

// Reads the leading number of the text, skipping "," separators; the integer
// form saturates at the limits of int.
int ParseEditInteger(const std::wstring& text);
double ParseEditDecimal(const std::wstring& text);

// Up adds one step and applies the upper limit, down subtracts one and
// applies the lower limit.
std::wstring StepInteger(const std::wstring& text, bool up, const IntegerLimits& limits);
std::wstring StepDecimal(const std::wstring& text, bool up, const DecimalLimits& limits);

// WM_CHAR filter.
bool EditAcceptsChar(int mode, bool allowNegative, wchar_t ch);

// WM_KEYDOWN filter of the numeric modes (virtual-key codes).
bool NumericModeKeyPasses(int mode, unsigned virtualKey);

}  // namespace korvex::ui
