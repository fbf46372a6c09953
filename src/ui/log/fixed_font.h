// The fixed-pitch font of the output windows that show protocol text: 10-point
// "Courier New" at the resolution of the window's device context.
#pragma once

#include <windows.h>

#include "ui/framework/win_handles.h"

// The font height for 10 points at the given vertical pixels per logical inch:
// -(10 * dpi / 72), multiplied before dividing and rounded to nearest.
LONG FixedFontHeight(int pixelsPerInch);
// The pixels per inch come from the window's device context, or the screen's when the
// window is null or gives none. All other font attributes are zero.
CFontHandle MakeFixedFont(HWND window);
