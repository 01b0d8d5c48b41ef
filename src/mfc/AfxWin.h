#pragma once
// The product's single include for the MFC-compatible layer: the classes and
// members of MFC that the installer's windows use, under MFC's names, built
// directly on USER32 and GDI32.
//
// Design. Every CWnd is found from its HWND through one process-wide map.
// Windows the framework creates (CWnd::Create, dialogs) are tied to their
// object by a thread-local CBT hook before their first message; template
// controls are tied later by DDX_Control / SubclassDlgItem, which calls
// PreSubclassWindow and then installs AfxWndProc in place of the control's
// own procedure. A message goes AfxWndProc -> WindowProc -> OnWndMsg, which
// searches the class's message map and then its bases'; anything unhandled,
// and every Default(), reaches the procedure that was there before.
// Reflection: a parent's WM_COMMAND and WM_NOTIFY are offered to the child's
// object first (OnChildNotify); its WM_DRAWITEM, WM_MEASUREITEM and
// WM_CTLCOLOR* handlers reflect to the child (DrawItem, MeasureItem, a
// CtlColor map entry) before their default processing.
// Modal dialogs run the framework's own loop (CDialog::RunModalLoop): each
// queued message passes PreTranslateMessage of its target window and every
// parent up to the dialog before it is dispatched; a dialog's
// PreTranslateMessage is where IsDialogMessage runs.
// Ownership: every window object owns its HWND (destroyed with the object if
// still alive), every GDI wrapper its handle, every CDC its DC; wrappers
// returned by FromHandle, GetDC, GetFont and SelectObject only borrow.

#include <windows.h>
#include <commctrl.h>

#include "mfc/Controls.h"
#include "mfc/Dc.h"
#include "mfc/Dialog.h"
#include "mfc/GdiObject.h"
#include "mfc/Geometry.h"
#include "mfc/MessageMap.h"
#include "mfc/String.h"
#include "mfc/WinApp.h"
#include "mfc/Wnd.h"

#ifndef afx_msg
#define afx_msg
#endif
