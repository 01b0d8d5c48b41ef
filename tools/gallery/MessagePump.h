#pragma once
// Lets queued messages run on the calling (window) thread, for the tests and
// the gallery, which drive windows without a modal loop of their own.

#include <windows.h>

// Dispatches queued messages for about the given time, passing each through
// the framework's PreTranslateMessage chain first as the modal loop does.
void PumpMessages(DWORD milliseconds);

// Dispatches messages until the condition holds or the time is up; true
// when it holds. For effects that arrive through the X server.
template <class Condition>
bool PumpUntil(Condition condition, DWORD timeoutMilliseconds)
{
    const ULONGLONG end = GetTickCount64() + timeoutMilliseconds;
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        PumpMessages(10);
    }
    return true;
}
