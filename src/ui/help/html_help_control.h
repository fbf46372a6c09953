// CHtmlHelpControl: the system's HTML Help control, loaded at its first use and kept for
// the rest of the run. Where the control lives is read from its COM registration; when
// that fails the control is loaded by its file name. A control (or entry point) that
// cannot be found is remembered, so later help requests fail at once.
#pragma once

#include <windows.h>

#include <string>

#include "ui/framework/win_handles.h"

// The control's wide-character entry point (the narrow one is never used).
using HtmlHelpEntry = HWND(WINAPI*)(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data);

// Commands of the entry point that the program sends.
constexpr UINT kHelpDisplayTopic = 0x0000;
constexpr UINT kHelpDisplayContents = 0x0001;
constexpr UINT kHelpCloseAll = 0x0012;
constexpr UINT kHelpGetLastError = 0x0014;

// The record the get-last-error command fills: its size, the result code and a
// description (a BSTR the caller frees).
struct CHelpLastError {
    int size;
    HRESULT result;
    BSTR description;
};

class CHtmlHelpControl {
public:
    struct CLocation {
        HKEY root;
        std::wstring key;           // its default value names the control's file
        std::wstring fallbackName;  // loaded by name when the key does not lead to it
    };
    // HKEY_CLASSES_ROOT "CLSID\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\InprocServer32",
    // then "hhctrl.ocx".
    static CLocation SystemLocation();

    explicit CHtmlHelpControl(CLocation location = SystemLocation());

    // The entry point, loading the control at the first call; null when the control or
    // its entry point is missing (also for every later call).
    HtmlHelpEntry Entry();

    // The control's file as its registration names it (environment variables expanded);
    // empty when the key or its value cannot be read.
    std::wstring RegisteredPath() const;

    int LoadAttempts() const { return m_loadAttempts; }

    // Tests stand in for the control: every call goes to the given function (null goes
    // back to loading the control anew from the given location).
    void ReplaceForTesting(HtmlHelpEntry entry, CLocation location = SystemLocation());

private:
    CLocation m_location;
    CLibraryHandle m_module;
    HtmlHelpEntry m_entry = nullptr;
    bool m_tried = false;
    int m_loadAttempts = 0;
};

// The program's one control.
CHtmlHelpControl& TheHtmlHelpControl();
