#include "ui/AccessibleControl.h"

#include <oleacc.h>

#include <atomic>

#include "mfc/AfxWin.h"

namespace {

// mingw's oleacc import library resolves IID_IAccessible to code bytes
// rather than oleacc.dll's data export; the interface's own id is right.
const IID kAccessibleId = __uuidof(IAccessible);

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

class AccessibleControl final : public IAccessible {
public:
    AccessibleControl(HWND window, IAccessible* standard) : m_window(window), m_standard(standard) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (!object) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kAccessibleId) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch, as the standard object answers it.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override
    {
        return m_standard->GetIDsOfNames(riid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override
    {
        return m_standard->Invoke(id, riid, locale, flags, parameters, result, exception, argumentError);
    }

    // What the control decides.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child)) return m_standard->get_accRole(child, role);
        IAccessibleFacts* facts = Facts();
        if (!facts || !role) return facts ? E_INVALIDARG : E_FAIL;
        role->vt = VT_I4;
        role->lVal = facts->DescribeForAccessibility().role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const HRESULT standard = m_standard->get_accState(child, state);
        if (!IsSelf(child) || FAILED(standard)) return standard;
        IAccessibleFacts* facts = Facts();
        if (!facts) return E_FAIL;
        state->vt = VT_I4;
        state->lVal |= facts->DescribeForAccessibility().state;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        IAccessibleFacts* facts = IsSelf(child) ? Facts() : nullptr;
        if (!facts || !value) return m_standard->get_accValue(child, value);
        const std::wstring own = facts->DescribeForAccessibility().value;
        if (own.empty()) return m_standard->get_accValue(child, value);
        *value = SysAllocStringLen(own.data(), static_cast<UINT>(own.size()));
        return *value ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!IsSelf(child)) return m_standard->accDoDefaultAction(child);
        IAccessibleFacts* facts = Facts();
        if (!facts) return E_FAIL;
        return facts->DoAccessibleDefaultAction() ? S_OK : DISP_E_MEMBERNOTFOUND;
    }

    // Everything else is the standard object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return m_standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        return m_standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        return m_standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return m_standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return m_standard->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_standard->put_accValue(child, value);
    }

private:
    ~AccessibleControl() { m_standard->Release(); }

    // The control behind the window, or null once the window is gone.
    IAccessibleFacts* Facts() const
    {
        if (!IsWindow(m_window)) return nullptr;
        return dynamic_cast<IAccessibleFacts*>(CWnd::FromHandlePermanent(m_window));
    }

    HWND m_window;
    IAccessible* m_standard;  // owned: one reference
    std::atomic<ULONG> m_references{1};
};

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, kAccessibleId, reinterpret_cast<void**>(&standard))) ||
        !standard) {
        return 0;
    }
    auto* control = new (std::nothrow) AccessibleControl(window, standard);
    if (!control) {
        standard->Release();
        return 0;
    }
    const LRESULT result = LresultFromObject(kAccessibleId, wParam, static_cast<IAccessible*>(control));
    control->Release();
    return result < 0 ? 0 : result;
}

void NotifyAccessibleStateChange(HWND window)
{
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void NotifyAccessibleValueChange(HWND window)
{
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}
