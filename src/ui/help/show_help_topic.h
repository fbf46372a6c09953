#pragma once
// The help file's one entry point: every F1 and Help button of the program goes through it.
#include <windows.h>

// Opens a topic of ZR8Utility.chm (e.g. L"Firmware.htm" or L"Configuration.htm#PowerOnBanner");
// with no topic (nullptr or empty), the table of contents.
void ShowHelpTopic(HWND owner, const wchar_t* topic);
