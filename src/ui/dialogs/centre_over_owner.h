// Places a window centred over its owner (or over the work area when it has none), kept
// inside the work area of the owner's monitor.
#pragma once

#include <windows.h>

void CentreOverOwner(HWND window, HWND owner);
