// The main window's title: the application title, then " - S/N %05u" when a serial
// number is known (below 65535), then " on %s closed" or " on %s at %u bit/s" when a port
// name is set.
#pragma once

#include <string>

#include "platform/win_types.h"

std::wstring BuildFrameTitle(const std::wstring& appTitle, unsigned serialNumber, const std::wstring& portName,
                             bool portOpen, DWORD speed);
