// The main window's placement under the "Window" key of the program's settings: ten
// DWORD values taken from and given to the system's WINDOWPLACEMENT.
#pragma once

#include "platform/settings_store.h"
#include "platform/win_types.h"

// Writes flags, showCmd, minPosX, minPosY, maxPosX, maxPosY, bottom, left, right, top,
// in that order, stopping at the first write that fails. True when all were written.
bool SaveWindowPlacement(ISettingsStore& store, const WINDOWPLACEMENT& placement);
// Reads the ten values in the same order; false unless every one exists as a DWORD.
bool ReadWindowPlacement(ISettingsStore& store, WINDOWPLACEMENT& placement);
// ReadWindowPlacement, then SetWindowPlacement; true only if the system accepts it.
bool RestoreWindowPlacement(ISettingsStore& store, HWND window);

extern const wchar_t kWindowPlacementKey[];  // "Window"
