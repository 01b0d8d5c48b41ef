#pragma once
// The product icon with a title under it, centred, as the settings and the
// finish page draw it on their background.

#include <string>

#include "mfc/AfxWin.h"

// iconTop is the icon's design distance from the client top.
void DrawProductHeading(CDC& dc, const CRect& client, int iconTop, const std::wstring& title);
