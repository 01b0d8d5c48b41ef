#pragma once
// TRANSFORMS is a list separated by ';', so a transform whose path holds one
// (an installer in "C:\Downloads\a;b") cannot be named as it is: the package
// would fail with 1624. Such a path is named by its short form when the
// volume has 8.3 names (Wine makes them up for every name), else by a copy in
// a folder made for it in the temporary folder; the work folders lie beside
// the installer, under the same ';'. The copy is held open (others may read,
// not write or delete it) and is deleted with its folder by Release or when
// this object goes. Worker thread only.

#include <windows.h>

#include <string>

#include "base/WinHandles.h"

class TransformArgument {
public:
    using ShortPathFunction = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

    // shortPath: the short-path look-up, replaceable so that the copy can be
    // tested on a volume that has short names.
    explicit TransformArgument(ShortPathFunction shortPath = &GetShortPathNameW) : m_shortPath(shortPath) {}
    ~TransformArgument() { Release(); }
    TransformArgument(const TransformArgument&) = delete;
    TransformArgument& operator=(const TransformArgument&) = delete;

    // The form of path to name in TRANSFORMS: path itself when it holds no
    // ';', else its short form or a copy; path itself when neither can be
    // made (the package then reports the error). Made once per path.
    const std::wstring& Prepare(const std::wstring& path);

    void Release();

private:
    std::wstring ShortForm(const std::wstring& path) const;
    std::wstring CopiedForm(const std::wstring& path);

    ShortPathFunction m_shortPath;
    std::wstring m_strSource;
    std::wstring m_strArgument;
    std::wstring m_strCopyFolder;
    FileHandle m_copy;
};
