#include "wizard/ProductHeading.h"

#include "base/WinHandles.h"
#include "ui/Theme.h"
#include "wizard/WizardScreen.h"

#include "resource.h"

using namespace korvex::wizard;

namespace {

// An icon loaded at one size; LoadImageW hands out a copy we must destroy.
IconHandle LoadSizedIcon(int size)
{
    return IconHandle(static_cast<HICON>(
        ::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_KORVEXMASTERINSTALLER), IMAGE_ICON, size, size, 0)));
}

}  // namespace

void DrawProductHeading(CDC& dc, const CRect& client, int iconTop, const std::wstring& title)
{
    const DpiScale scale = ScreenScale();
    CSize titleSize(0, 0);
    CFont* previous = nullptr;
    if (!title.empty()) {
        previous = dc.SelectObject(fontTitle);
        titleSize = dc.GetTextExtent(title.c_str(), static_cast<int>(title.size()));
    }
    const ProductHeading heading = LayoutProductHeading(scale, ToUiRect(client), iconTop, ToUiSize(titleSize));
    const IconHandle icon = LoadSizedIcon(heading.icon.Width());
    if (icon) {
        ::DrawIconEx(dc.GetSafeHdc(), heading.icon.left, heading.icon.top, icon.get(), heading.icon.Width(),
                     heading.icon.Height(), 0, nullptr, DI_NORMAL | DI_COMPAT);
    }
    if (title.empty()) return;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(clrTitleText);
    CRect titleRect = ToCRect(heading.title);
    dc.DrawText(title.c_str(), static_cast<int>(title.size()), &titleRect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_WORD_ELLIPSIS);
    if (previous) dc.SelectObject(previous);
}
