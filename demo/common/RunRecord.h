#pragma once
// The sample programs prove that they ran by appending one line per start
// (local time, a tab, the command line; UTF-8) to a record file. Tests name
// the file through an environment variable; a program started through the
// desktop shell does not inherit the caller's environment, so without the
// variable the file lies beside the executable.

#include <string>

std::wstring RunRecordPath(const wchar_t* environmentVariable, const wchar_t* fallbackSuffix);
bool AppendRunRecord(const std::wstring& recordPath, const wchar_t* commandLine);
