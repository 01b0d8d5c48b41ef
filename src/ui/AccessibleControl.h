#pragma once
// What an owner-drawn control tells accessibility clients (screen readers)
// beyond the system's standard object for its window. A control that
// behaves as a check box, a link or a progress bar, but is drawn as a plain
// button, static or custom window, answers WM_GETOBJECT with
// AnswerGetObject: the standard object (CreateStdAccessibleObject: name,
// position, focus, parent and siblings come from the window itself) wrapped
// so that role, state and value are the control's own.
//
// Clients may keep the object after the window is gone: it holds only the
// window handle and finds the control again on every call, failing once
// there is none. UI thread only, like the window.
#include <windows.h>

#include <string>

struct AccessibleFacts {
    long role = 0;       // ROLE_SYSTEM_*
    long state = 0;      // STATE_SYSTEM_* bits added to the standard object's
    std::wstring value;  // empty: the standard object's value
};

class IAccessibleFacts {
public:
    virtual AccessibleFacts DescribeForAccessibility() const = 0;
    // What a click does; false when the control has nothing to do.
    virtual bool DoAccessibleDefaultAction() = 0;

protected:
    ~IAccessibleFacts() = default;
};

// The WM_GETOBJECT answer for OBJID_CLIENT of window, whose CWnd object
// implements IAccessibleFacts; 0 (let the system answer) for any other
// object id or when the object cannot be made.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam);

// Tells listening clients that a control's state or value changed.
void NotifyAccessibleStateChange(HWND window);
void NotifyAccessibleValueChange(HWND window);
