#pragma once
// Stands in for the install worker: it owns the two events a download job
// obeys, the cancel event not signalled and the proceed event signalled (both
// manual reset).

#include <windows.h>

#include "base/WinHandles.h"

struct TestEventOwner {
    KernelHandle m_hCancelEvent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    KernelHandle m_hProceedEvent{CreateEventW(nullptr, TRUE, TRUE, nullptr)};
};
