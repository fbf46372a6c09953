// The main window's placement under the "Window" key of the program's settings: ten
// DWORD values taken from and given to the system's WINDOWPLACEMENT.
#pragma once

#include "platform/settings_store.h"
#include "platform/win_types.h"

// A minimised window opens as it was before it was minimised: normal, or maximised when
// it had been maximised (WPF_RESTORETOMAXIMIZED), at its normal place.
WINDOWPLACEMENT WithoutMinimised(const WINDOWPLACEMENT& placement);
// Writes flags, showCmd, minPosX, minPosY, maxPosX, maxPosY, bottom, left, right, top,
// in that order, stopping at the first write that fails; a minimised showCmd is written as
// WithoutMinimised gives it. True when all were written.
bool SaveWindowPlacement(ISettingsStore& store, const WINDOWPLACEMENT& placement);
// Reads the ten values in the same order; false unless every one exists as a DWORD.
bool ReadWindowPlacement(ISettingsStore& store, WINDOWPLACEMENT& placement);
// ReadWindowPlacement, then SetWindowPlacement (never minimised); true only if the system accepts it.
bool RestoreWindowPlacement(ISettingsStore& store, HWND window);

extern const wchar_t kWindowPlacementKey[];  // "Window"
