#include "ui/Direct2D.h"

HRESULT CreateDirect2DFactory(ComPtr<ID2D1Factory1>& factory)
{
    factory.Reset();
    D2D1_FACTORY_OPTIONS options{D2D1_DEBUG_LEVEL_NONE};
    return D2D1CreateFactory(D2D1_FACTORY_TYPE_MULTI_THREADED, __uuidof(ID2D1Factory1), &options,
                             reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf()));
}

HRESULT CreateDirect2DDCTarget(ID2D1Factory1* factory, ComPtr<ID2D1DCRenderTarget>& target)
{
    target.Reset();
    const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE), 0.0f,
        0.0f, D2D1_RENDER_TARGET_USAGE_NONE, D2D1_FEATURE_LEVEL_DEFAULT);
    return factory->CreateDCRenderTarget(&properties, &target);
}
