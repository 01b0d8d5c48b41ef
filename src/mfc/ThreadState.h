#pragma once
// Per-thread framework state: the message being handled (for Default), the
// window whose creation is being hooked, and the borrowed wrappers that
// FromHandle hands out until the next idle clean-up.

#include <windows.h>

#include <memory>
#include <unordered_map>
#include <vector>

class CWnd;
class CDC;
class CGdiObject;

struct AfxThreadState {
    AfxThreadState() = default;
    ~AfxThreadState();
    AfxThreadState(const AfxThreadState&) = delete;
    AfxThreadState& operator=(const AfxThreadState&) = delete;
    // Lets go of the borrowed wrappers without touching their handles.
    void DropTemporaries();

    MSG m_lastSentMsg = {};
    CWnd* m_pWndInit = nullptr;
    HHOOK m_hHookCbt = nullptr;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> m_temporaryWnds;
    std::vector<std::unique_ptr<CDC>> m_temporaryDCs;
    std::vector<std::unique_ptr<CGdiObject>> m_temporaryGdiObjects;
};

AfxThreadState& AfxGetThreadState();

// Drops the borrowed wrappers; called when the message queue runs empty.
void AfxDeleteTempObjects();
