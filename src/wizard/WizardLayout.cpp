#include "wizard/WizardLayout.h"

#include <algorithm>

#include "ui/Dpi.h"

namespace korvex::wizard {

namespace {

UiRect RectAt(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

int CenteredLeft(const UiRect& client, int width)
{
    return client.left + (client.Width() - width) / 2;
}

}  // namespace

int DpiScale::X(int designLength) const
{
    return korvex::ui::ScaleStepped(dpiX, designLength);
}
int DpiScale::Y(int designLength) const
{
    return korvex::ui::ScaleStepped(dpiY, designLength);
}

UiSize FitMeasuredText(UiSize preset, UiSize measured)
{
    if (measured.cx <= 0) return preset;
    return {measured.cx, std::max(preset.cy, measured.cy)};
}

UiSize WindowSizeForPage(const DpiScale& scale, UiSize page)
{
    return {page.cx + 2 * scale.X(1), page.cy};
}

UiSize DefaultPageSize(const DpiScale& scale)
{
    return {scale.X(660), scale.Y(446)};
}

UiSize SettingPageSize(const DpiScale& scale, bool folded)
{
    UiSize size = DefaultPageSize(scale);
    if (folded) size.cy -= scale.Y(86);
    return size;
}

UiSize AcceptLabelPreset(const DpiScale& scale)
{
    return {scale.X(138), scale.Y(16)};
}
UiSize SettingsHeaderPreset(const DpiScale& scale)
{
    return {scale.X(110), scale.Y(14)};
}
UiSize FolderRowPreset(const DpiScale& scale)
{
    return {scale.X(144), scale.Y(30)};
}

SettingLayout LayoutSettingPage(const DpiScale& scale, const UiRect& client, const SettingTextSizes& texts)
{
    SettingLayout layout;
    const int gap = scale.X(4);

    const int installWidth = scale.X(300);
    layout.install = RectAt(CenteredLeft(client, installWidth), client.top + scale.X(174), installWidth, scale.Y(34));

    const int rowTop = layout.install.bottom + scale.X(16);
    const int boxWidth = scale.X(16);
    const int rowWidth = boxWidth + texts.acceptLabel.cx + gap + texts.licenseLink.cx;
    layout.acceptBox = RectAt(CenteredLeft(client, rowWidth), rowTop, boxWidth, scale.Y(16));
    layout.acceptLabel = RectAt(layout.acceptBox.right, rowTop, texts.acceptLabel.cx, texts.acceptLabel.cy);
    layout.acceptLabel.Offset(0, -scale.Y(1));
    layout.licenseLink = {layout.acceptLabel.right + gap, layout.acceptLabel.top, client.right,
                          layout.acceptLabel.bottom};

    const int headerTop = layout.acceptLabel.bottom + scale.Y(66);
    const int chevron = scale.X(16);
    const int expanderLeft = client.right - (client.Width() - texts.settingsHeader.cx - chevron - gap) / 2 - chevron;
    layout.expander = RectAt(expanderLeft, headerTop, chevron, scale.Y(16));
    layout.settingsHeader = {client.left, headerTop, expanderLeft - gap, headerTop + texts.settingsHeader.cy};
    layout.separatorX = client.left;
    layout.separatorY = layout.expander.bottom + scale.Y(12);

    const int folderTop = layout.expander.bottom + scale.Y(40);
    const int rowHeight = scale.Y(30);
    const int labelRight = client.left + scale.X(68) + texts.associationWidth;
    layout.folderLabel = {labelRight - texts.folderLabel.cx, folderTop, labelRight, folderTop + texts.folderLabel.cy};
    const int browseRight = client.right - scale.X(68);
    const int browseLeft = browseRight - scale.Y(24);
    layout.folderEdit = {labelRight + scale.X(4), folderTop, browseLeft, folderTop + rowHeight};
    layout.browse = {browseLeft, folderTop, browseRight, folderTop + rowHeight};
    return layout;
}

StatusLayout LayoutStatusPage(const DpiScale& scale, const UiRect& client)
{
    StatusLayout layout;
    layout.slideShow = {client.left, client.top + scale.X(36), client.right, client.top + scale.X(36) + scale.Y(284)};
    const int top = layout.slideShow.bottom + scale.Y(15);
    layout.status = {client.left + scale.Y(30), top, client.right - scale.X(100) - scale.Y(30), top + scale.Y(20)};
    layout.time = layout.status;
    layout.time.Offset(0, scale.Y(20));
    layout.percent = {layout.time.right, layout.time.top, client.right - scale.Y(30), layout.time.bottom};
    const int barTop = layout.time.bottom + scale.Y(10);
    layout.progress = {layout.time.left, barTop, client.right - scale.Y(30), barTop + scale.Y(8)};
    return layout;
}

UiRect LayoutStartButton(const DpiScale& scale, const UiRect& client)
{
    const int width = scale.X(300);
    return RectAt(CenteredLeft(client, width), client.top + scale.X(240), width, scale.Y(34));
}

ProductHeading LayoutProductHeading(const DpiScale& scale, const UiRect& client, int iconTop, UiSize titleText)
{
    ProductHeading heading;
    const int iconSize = scale.X(64);
    heading.icon = RectAt(CenteredLeft(client, iconSize), client.top + scale.X(iconTop), iconSize, iconSize);
    const int titleTop = heading.icon.bottom + titleText.cy / 2;
    heading.title = RectAt(CenteredLeft(client, titleText.cx), titleTop, titleText.cx, titleText.cy);
    return heading;
}

UiRect CenterInClient(const UiRect& client, UiSize size)
{
    return RectAt((client.Width() - size.cx) / 2, (client.Height() - size.cy) / 2, size.cx, size.cy);
}

}  // namespace korvex::wizard
