#pragma once
// The Direct2D pieces the text button and the progress bar share: a
// multi-threaded factory and a DC render target bound to the window's paint
// DC on every paint, created lazily and dropped when Direct2D asks for that.
#include <windows.h>

#include <d2d1_1.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

HRESULT CreateDirect2DFactory(ComPtr<ID2D1Factory1>& factory);
HRESULT CreateDirect2DDCTarget(ID2D1Factory1* factory, ComPtr<ID2D1DCRenderTarget>& target);

// EndDraw's answer when the target must be created again.
inline bool MustRecreateTarget(HRESULT result)
{
    return result == static_cast<HRESULT>(D2DERR_RECREATE_TARGET);
}

inline D2D1_COLOR_F ToD2DColor(COLORREF color)
{
    return D2D1::ColorF(GetRValue(color) / 255.0f, GetGValue(color) / 255.0f, GetBValue(color) / 255.0f, 1.0f);
}
