#pragma once
// The Direct2D pieces the text button and the progress bar share: a
// multi-threaded factory and a DC render target bound to the window's paint
// DC on every paint, created lazily and dropped when Direct2D asks for that.
//
// The factory is one for the process. Direct2D makes its rendering device
// per factory, and that costs hundreds of milliseconds where rendering is in
// software (Wine under Xvfb: about 600 ms for the first target and its first
// drawing, 5 ms for every further target of the same factory, and again
// some 25 ms for a target's first drawing on another thread). The factory
// and one DC render target are therefore shared by every control, which
// draw on the UI thread one after the other, and a warm-up on a background
// thread pays the cost while the "Preparing..." window shows.
#include <windows.h>

#include <d2d1_1.h>
#include <wrl/client.h>

#include <mutex>

using Microsoft::WRL::ComPtr;

// The process's factory (made on first use), or the failure to make it.
HRESULT CreateDirect2DFactory(ComPtr<ID2D1Factory1>& factory);
// Starts the warm-up: the factory, the target and one drawing of a shape and
// a text. Call once, early, on the UI thread.
void StartDirect2DWarmUp();
// True once the warm-up has ended, or when it was never started.
bool Direct2DWarmUpEnded();
// Draws once with the shared target on the calling thread: after the
// warm-up, what the first paint of this thread would otherwise pay.
void WarmUpDirect2DHere();
// The shared DC render target (made on first use from factory).
HRESULT CreateDirect2DDCTarget(ID2D1Factory1* factory, ComPtr<ID2D1DCRenderTarget>& target);
// A target that must be made again (D2DERR_RECREATE_TARGET) is shared no more.
void DropDirect2DDCTarget(ID2D1DCRenderTarget* target);
// Held by every drawing from BindDC to EndDraw: a paint that meets the
// warm-up still drawing waits for it. Wine's multi-threaded factory does not
// serialise them, and two at once corrupt its device.
std::unique_lock<std::mutex> LockDirect2DDrawing();

// EndDraw's answer when the target must be created again.
inline bool MustRecreateTarget(HRESULT result)
{
    return result == static_cast<HRESULT>(D2DERR_RECREATE_TARGET);
}

inline D2D1_COLOR_F ToD2DColor(COLORREF color)
{
    return D2D1::ColorF(GetRValue(color) / 255.0f, GetGValue(color) / 255.0f, GetBValue(color) / 255.0f, 1.0f);
}
