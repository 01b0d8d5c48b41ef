#pragma once
// Removal of a test's folder tree on the target, with whatever it holds.

#include <windows.h>
#include <shellapi.h>

#include <string>

inline void RemoveTree(const std::wstring& folder)
{
    std::wstring doubleNul = folder;  // the shell takes a list ended by two nulls
    doubleNul.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = doubleNul.c_str();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
}
