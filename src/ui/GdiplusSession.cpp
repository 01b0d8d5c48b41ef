#include "ui/GdiplusSession.h"

#include <windows.h>

#include <gdiplus.h>
#include <mutex>

namespace {

struct GdiplusState {
    std::mutex lock;
    ULONG_PTR token = 0;
    bool running = false;
    int users = 0;
};

GdiplusState& State()
{
    static GdiplusState state;
    return state;
}

bool StartLocked(GdiplusState& state)
{
    if (state.running) return true;
    Gdiplus::GdiplusStartupInput input;
    state.running = Gdiplus::GdiplusStartup(&state.token, &input, nullptr) == Gdiplus::Ok;
    return state.running;
}

}  // namespace

GdiplusSession::GdiplusSession()
{
    GdiplusState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    m_bRunning = StartLocked(state);
    if (m_bRunning) ++state.users;
}

GdiplusSession::~GdiplusSession()
{
    if (!m_bRunning) return;
    GdiplusState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (--state.users == 0 && state.running) {
        Gdiplus::GdiplusShutdown(state.token);
        state.running = false;
        state.token = 0;
    }
}

bool GdiplusSession::EnsureRunning()
{
    GdiplusState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return StartLocked(state);
}

int GdiplusSession::UserCount()
{
    GdiplusState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.users;
}
