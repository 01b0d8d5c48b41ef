#pragma once
// Screen DPI and the scaling rules of the toolkit. Every length in the UI is a
// design length at 96 DPI; these functions turn it into device pixels and
// pick the bitmap resource of the matching size. The screen DPI is read once,
// on first use, and kept for the life of the process.

namespace korvex::ui {

// The stepped factor for one axis: 1.0, 1.25, 1.5 or 2.0.
double DpiStepFactor(int dpi);

// Pure forms of the rules below, for one given DPI value.
int ScaleStepped(int dpi, int designLength);
int ScaleExact(int dpi, int designLength);
int SteppedDpi(int dpi);
unsigned ImageIdForDpi(int steppedDpi, unsigned baseId);

}  // namespace korvex::ui

// Reads the screen DPI when it has not been read yet.
void EnsureDpi();

// The cached logical DPI of the screen (0 when no screen DC was available).
int ScreenDpiX();
int ScreenDpiY();

// Stepped scaling: exactly 100, 125, 150 or 200 % of the design length.
int DpiScaleX(int designLength);
int DpiScaleY(int designLength);

// Unstepped scaling: int(dpi * n / 96).
int DpiExactX(int designLength);
int DpiExactY(int designLength);

// The vertical DPI stepped down to 120, 144 or 192 (unchanged below 120).
int DpiStep();

// One of the four consecutive bitmap resources that start at baseId.
unsigned DpiImageId(unsigned baseId);

// Test seam: replaces the screen values as if they had been read.
void SetScreenDpiForTesting(int dpiX, int dpiY);
