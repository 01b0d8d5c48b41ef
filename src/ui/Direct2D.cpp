#include "ui/Direct2D.h"

#include <dwrite.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "base/WinHandles.h"

namespace {

struct SharedDirect2D {
    std::mutex lock;
    ComPtr<ID2D1Factory1> factory;
    // Every control binds it to its own paint DC on each paint, one at a time.
    ComPtr<ID2D1DCRenderTarget> target;
    // Held while anything draws with the factory's device.
    std::mutex drawing;
    std::thread warmUp;
    std::atomic<bool> warmUpEnded{false};

    ~SharedDirect2D()
    {
        if (warmUp.joinable()) warmUp.join();
    }
};

SharedDirect2D& Shared()
{
    static SharedDirect2D shared;
    return shared;
}

// DirectWrite reads the fonts on its first text format; the glyphs are
// rendered on their first drawing.
void DrawWarmUpText(ID2D1DCRenderTarget* target, ID2D1SolidColorBrush* brush)
{
    ComPtr<IDWriteFactory> write;
    ComPtr<IDWriteTextFormat> format;
    ComPtr<IDWriteTextLayout> layout;
    if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(write.GetAddressOf()))) ||
        FAILED(write->CreateTextFormat(L"Tahoma", nullptr, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL,
                                       DWRITE_FONT_STRETCH_NORMAL, 14.0f, L"", &format)) ||
        FAILED(write->CreateTextLayout(L"Install", 7, format.Get(), 1.0f, 1.0f, &layout))) {
        return;
    }
    target->DrawTextLayout(D2D1::Point2F(0, 0), layout.Get(), brush);
}

}  // namespace

void WarmUpDirect2DHere()
{
    ComPtr<ID2D1Factory1> factory;
    ComPtr<ID2D1DCRenderTarget> target;
    if (FAILED(CreateDirect2DFactory(factory)) || FAILED(CreateDirect2DDCTarget(factory.Get(), target))) return;
    const MemoryDc dc(CreateCompatibleDC(nullptr));
    const GdiBitmap bitmap(CreateBitmap(1, 1, 1, 32, nullptr));
    if (!dc || !bitmap) return;
    const SelectedObject selected(dc.get(), bitmap.get());
    const RECT pixel{0, 0, 1, 1};
    ComPtr<ID2D1SolidColorBrush> brush;
    const std::unique_lock<std::mutex> drawing = LockDirect2DDrawing();
    if (FAILED(target->BindDC(dc.get(), &pixel))) return;
    target->BeginDraw();
    if (SUCCEEDED(target->CreateSolidColorBrush(D2D1::ColorF(0, 0, 0), &brush))) {
        target->FillRoundedRectangle(D2D1::RoundedRect(D2D1::RectF(0, 0, 1, 1), 0.5f, 0.5f), brush.Get());
        DrawWarmUpText(target.Get(), brush.Get());
    }
    target->EndDraw();
}

HRESULT CreateDirect2DFactory(ComPtr<ID2D1Factory1>& factory)
{
    factory.Reset();
    SharedDirect2D& shared = Shared();
    std::lock_guard<std::mutex> guard(shared.lock);
    if (!shared.factory) {
        D2D1_FACTORY_OPTIONS options{D2D1_DEBUG_LEVEL_NONE};
        const HRESULT created = D2D1CreateFactory(D2D1_FACTORY_TYPE_MULTI_THREADED, __uuidof(ID2D1Factory1), &options,
                                                  reinterpret_cast<void**>(shared.factory.ReleaseAndGetAddressOf()));
        if (FAILED(created)) return created;
    }
    factory = shared.factory;
    return S_OK;
}

HRESULT CreateDirect2DDCTarget(ID2D1Factory1* factory, ComPtr<ID2D1DCRenderTarget>& target)
{
    target.Reset();
    SharedDirect2D& shared = Shared();
    std::lock_guard<std::mutex> guard(shared.lock);
    if (!shared.target) {
        const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
            D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE),
            0.0f, 0.0f, D2D1_RENDER_TARGET_USAGE_NONE, D2D1_FEATURE_LEVEL_DEFAULT);
        const HRESULT created = factory->CreateDCRenderTarget(&properties, &shared.target);
        if (FAILED(created)) return created;
    }
    target = shared.target;
    return S_OK;
}

void DropDirect2DDCTarget(ID2D1DCRenderTarget* target)
{
    SharedDirect2D& shared = Shared();
    std::lock_guard<std::mutex> guard(shared.lock);
    if (shared.target.Get() == target) shared.target.Reset();
}

std::unique_lock<std::mutex> LockDirect2DDrawing()
{
    return std::unique_lock<std::mutex>(Shared().drawing);
}

void StartDirect2DWarmUp()
{
    SharedDirect2D& shared = Shared();
    if (shared.warmUp.joinable()) return;
    // A thread that cannot start leaves the first paint to pay the cost.
    try {
        shared.warmUp = std::thread([&shared] {
            WarmUpDirect2DHere();
            shared.warmUpEnded = true;
        });
    } catch (...) {
    }
}

bool Direct2DWarmUpEnded()
{
    const SharedDirect2D& shared = Shared();
    return !shared.warmUp.joinable() || shared.warmUpEnded;
}
