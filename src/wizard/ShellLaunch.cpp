#include "wizard/ShellLaunch.h"

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include "base/ComInitialization.h"
#include "config/ProductConfiguration.h"
#include "install/Registration.h"
#include "wizard/WebAddress.h"

using namespace korvex::config;

using namespace korvex::wizard;

using Microsoft::WRL::ComPtr;

namespace {

// Spelled out here rather than taken from uuid.lib, whose mingw copy lacks
// some of them.
constexpr CLSID kClsidShellWindows = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
constexpr IID kIidShellWindows = {0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidServiceProvider = {0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
constexpr GUID kSidTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
constexpr IID kIidShellBrowser = {0x000214E2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidShellView = {0x000214E3, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidShellFolderViewDual = {0xE7A1AF80, 0x4D96, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidShellDispatch2 = {0xA4C6892C, 0x3BA9, 0x11D2, {0x9D, 0xEA, 0x00, 0xC0, 0x4F, 0xB1, 0x61, 0x62}};

// A VARIANT cleared on every path.
class ScopedVariant {
public:
    ScopedVariant() { ::VariantInit(&m_value); }
    ~ScopedVariant() { ::VariantClear(&m_value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    static void Int(ScopedVariant& variant, LONG value)
    {
        variant.m_value.vt = VT_I4;
        variant.m_value.lVal = value;
    }
    // False when the string could not be allocated.
    static bool String(ScopedVariant& variant, const wchar_t* text)
    {
        variant.m_value.bstrVal = ::SysAllocString(text);
        if (!variant.m_value.bstrVal) return false;
        variant.m_value.vt = VT_BSTR;
        return true;
    }
    VARIANT* get() { return &m_value; }
    VARIANT& value() { return m_value; }

private:
    VARIANT m_value;
};

// A BSTR freed on every path.
class ScopedBstr {
public:
    explicit ScopedBstr(const std::wstring& text)
        : m_text(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {}
    ~ScopedBstr() { ::SysFreeString(m_text); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    BSTR get() const { return m_text; }

private:
    BSTR m_text;
};

template <class Interface>
bool Query(IUnknown* from, const IID& iid, ComPtr<Interface>& to)
{
    return from && SUCCEEDED(from->QueryInterface(iid, reinterpret_cast<void**>(to.ReleaseAndGetAddressOf()))) && to;
}

}  // namespace

IShellView* GetDesktopShellView()
{
    ComPtr<IShellWindows> shellWindows;
    if (FAILED(::CoCreateInstance(kClsidShellWindows, nullptr, CLSCTX_ALL, kIidShellWindows,
                                  reinterpret_cast<void**>(shellWindows.GetAddressOf()))) ||
        !shellWindows) {
        return nullptr;
    }
    ScopedVariant location;
    ScopedVariant::Int(location, CSIDL_DESKTOP);
    ScopedVariant root;
    long desktopWindow = 0;
    ComPtr<IDispatch> desktop;
    if (shellWindows->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                                   desktop.GetAddressOf()) != S_OK ||
        !desktop) {
        return nullptr;
    }
    ComPtr<IServiceProvider> services;
    if (!Query(desktop.Get(), kIidServiceProvider, services)) return nullptr;
    ComPtr<IShellBrowser> browser;
    if (FAILED(services->QueryService(kSidTopLevelBrowser, kIidShellBrowser,
                                      reinterpret_cast<void**>(browser.GetAddressOf()))) ||
        !browser) {
        return nullptr;
    }
    ComPtr<IShellView> active;
    if (FAILED(browser->QueryActiveShellView(active.GetAddressOf())) || !active) return nullptr;
    ComPtr<IShellView> view;
    if (!Query(active.Get(), kIidShellView, view)) return nullptr;
    return view.Detach();
}

bool LaunchUnelevated(const std::wstring& path)
{
    ComPtr<IShellView> view;
    view.Attach(GetDesktopShellView());
    if (!view) return false;
    ComPtr<IDispatch> background;
    if (FAILED(
            view->GetItemObject(SVGIO_BACKGROUND, kIidDispatch, reinterpret_cast<void**>(background.GetAddressOf()))) ||
        !background) {
        return false;
    }
    ComPtr<IShellFolderViewDual> folderView;
    if (!Query(background.Get(), kIidShellFolderViewDual, folderView)) return false;
    view.Reset();
    background.Reset();

    ComPtr<IDispatch> application;
    if (FAILED(folderView->get_Application(application.GetAddressOf())) || !application) return false;
    ComPtr<IShellDispatch2> shell;
    if (!Query(application.Get(), kIidShellDispatch2, shell)) return false;

    ScopedBstr file(path);
    ScopedVariant arguments, directory, operation, show;
    if (!file.get() || !ScopedVariant::String(arguments, L"") || !ScopedVariant::String(directory, L"") ||
        !ScopedVariant::String(operation, L"")) {
        return false;
    }
    ScopedVariant::Int(show, SW_SHOWNORMAL);
    return SUCCEEDED(
        shell->ShellExecute(file.get(), arguments.value(), directory.value(), operation.value(), show.value()));
}

void LaunchUnelevatedIfPresent(const std::wstring& path)
{
    if (path.empty() || !::PathFileExistsW(path.c_str())) return;
    const ComInitialization com;
    LaunchUnelevated(path);
}

void LaunchInstalledProduct()
{
    std::wstring& folder = g_productConfiguration.m_strInstallFolder;
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    LaunchUnelevatedIfPresent(InstalledProductExecutable());
}

bool OpenWebAddress(const std::wstring& address)
{
    if (!IsWebAddress(address)) return false;
    const ComInitialization com;
    return LaunchUnelevated(address);
}
