// The program's private window messages (WM_APP = 0x8000).
#pragma once

#include "platform/win_types.h"

constexpr UINT WM_APP_STATUS_TEXT = WM_APP + 10;   // 0x800A lParam: const wchar_t* log line
constexpr UINT WM_APP_LOG_TEXT = WM_APP + 15;      // 0x800F lParam: const wchar_t* output line
constexpr UINT WM_APP_PORT_EVENT = WM_APP + 16;    // 0x8010 wParam: LOWORD mask, HIWORD line errors
constexpr UINT WM_APP_PAGE_TEXT = WM_APP + 24;     // 0x8018 lParam: const wchar_t*
constexpr UINT WM_APP_MACHINE_DONE = WM_APP + 29;  // 0x801D wParam: result code

// Model value changes
constexpr UINT WM_APP_FIRMWARE_STATUS = 0x8064;
constexpr UINT WM_APP_ADVANCED_MODE = 0x8066;
constexpr UINT WM_APP_FIRMWARE_FOLDER = 0x806F;
constexpr UINT WM_APP_MCU_VERSION = 0x8071;
constexpr UINT WM_APP_SERIAL_NUMBER = 0x8079;
constexpr UINT WM_APP_PORT = 0x807A;
constexpr UINT WM_APP_PORT_OPEN_STATUS = 0x807B;
constexpr UINT WM_APP_SPEED = 0x807C;

// Event mask bit of a received character (as Windows' EV_RXCHAR).
constexpr DWORD kEventRxChar = 0x0001;
