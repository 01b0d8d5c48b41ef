#pragma once
// Folders the installer downloads into. Anyone who can write the installer's
// folder could otherwise swap a package before it runs, or put a junction
// where a work folder belongs so that a download overwrites another file as
// administrator. So a folder that is a reparse point is never used, and when
// the process is elevated every folder gets an explicit protected DACL: full
// control for Administrators and SYSTEM, read and execute for Users, nothing
// inherited from the parent, and Administrators as owner (an owner could
// otherwise change the DACL back). Called on the UI thread at start-up and
// on the worker threads; holds no handle between calls.

#include <windows.h>

#include <string>
#include <vector>

class ProtectedFolder {
public:
    // bProtect: give the folders the protected DACL (pass IsProcessElevated()).
    explicit ProtectedFolder(bool bProtect);

    // Uses the folder at path, creating it when it is missing; an existing
    // folder is taken over (owner and DACL). False when something else stands
    // at path, it is a reparse point, or it cannot be created or taken over.
    bool Ensure(const std::wstring& path) const;

    // Creates a folder that did not exist before; false when the name is
    // taken (by anything) or the folder cannot be created.
    bool CreateNew(const std::wstring& path) const;

    // Creates a folder of its own at stem, or at stem_1, stem_2, ... when the
    // name is taken; the path made, or empty when none could be made.
    std::wstring CreateUnique(const std::wstring& stem) const;

    // True when anything at path is a reparse point (junction, symbolic link).
    static bool IsReparsePoint(const std::wstring& path);

    // The DACL the folders get; null when not protecting or when it could
    // not be built (then nothing can be created or ensured).
    PACL Dacl() const { return m_dacl.empty() ? nullptr : reinterpret_cast<PACL>(const_cast<BYTE*>(m_dacl.data())); }

private:
    PSID Owner() const { return const_cast<BYTE*>(m_owner.data()); }

    bool m_bProtect;
    std::vector<BYTE> m_dacl;   // empty when not protecting or when it could not be built
    std::vector<BYTE> m_owner;  // the Administrators SID, when protecting
};

// True when the process runs with an elevated token.
bool IsProcessElevated();

// A folder made for this run in the user's temporary folder,
// KorvexWebInstaller_<tick count> (or with _1, _2, ... appended), protected
// when elevated; empty when none could be made.
std::wstring NewTemporaryFolder();
