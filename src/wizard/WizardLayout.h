#pragma once
// Where the wizard's pages put their controls. Every length is a design
// length at 96 DPI scaled by the stepped factor of the screen; label sizes
// come from text measured on the page, so the arithmetic itself needs no
// window and is checked at any DPI.

#include "ui/UiGeometry.h"

namespace korvex::wizard {

using korvex::ui::UiRect;
using korvex::ui::UiSize;

// The stepped scaling of one screen.
struct DpiScale {
    int dpiX = 96;
    int dpiY = 96;
    int X(int designLength) const;
    int Y(int designLength) const;
};

// A label's size from its preset and the measured text: the measured width,
// and the larger of the two heights; the preset when nothing was measured.
UiSize FitMeasuredText(UiSize preset, UiSize measured);

// Outer size of the main window while a page of the given size is on show.
UiSize WindowSizeForPage(const DpiScale& scale, UiSize page);

// Outer size the settings page asks for, folded or not.
UiSize SettingPageSize(const DpiScale& scale, bool folded);
// Outer size of every other page.
UiSize DefaultPageSize(const DpiScale& scale);

struct SettingTextSizes {
    UiSize acceptLabel;  // "I accept the", already fitted to its preset
    UiSize licenseLink;
    UiSize settingsHeader;
    UiSize folderLabel;
    int associationWidth = 0;  // fitted width of the "Associate with:" text
};

struct SettingLayout {
    UiRect install;
    UiRect acceptBox;
    UiRect acceptLabel;
    UiRect licenseLink;
    UiRect settingsHeader;
    UiRect expander;
    int separatorX = 0;
    int separatorY = 0;
    UiRect folderLabel;
    UiRect folderEdit;
    UiRect browse;
};

// The presets the settings page measures its labels from.
UiSize AcceptLabelPreset(const DpiScale& scale);
UiSize SettingsHeaderPreset(const DpiScale& scale);
UiSize FolderRowPreset(const DpiScale& scale);

SettingLayout LayoutSettingPage(const DpiScale& scale, const UiRect& client, const SettingTextSizes& texts);

struct StatusLayout {
    UiRect slideShow;
    UiRect status;
    UiRect time;
    UiRect percent;
    UiRect progress;
};

StatusLayout LayoutStatusPage(const DpiScale& scale, const UiRect& client);

// The finish page's Start Now button.
UiRect LayoutStartButton(const DpiScale& scale, const UiRect& client);

// The product icon and the title under it, as both the settings and the
// finish page draw them; iconTop is the icon's design distance from the top.
struct ProductHeading {
    UiRect icon;
    UiRect title;
};
ProductHeading LayoutProductHeading(const DpiScale& scale, const UiRect& client, int iconTop, UiSize titleText);

// The validator's bar, kept at its size and centred in the client area.
UiRect CenterInClient(const UiRect& client, UiSize size);

}  // namespace korvex::wizard
