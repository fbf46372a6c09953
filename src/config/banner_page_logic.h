// CBannerPageLogic: what the power-on banner page decides, apart from its window: the
// edited text against the text read, OK and Cancel while the machine reads or writes,
// and the completion that closes the sheet. The page passes on its window messages
// and does what the answers say (PSM_CHANGED, keep the sheet open, press Cancel).
#pragma once

#include <string>

#include "platform/win_types.h"

class CBannerStateMachine;

class CBannerPageLogic {
public:
    explicit CBannerPageLogic(CBannerStateMachine& machine) : m_machine(machine) {}

    // The edit control lost the focus with this text: trailing white space removed, it
    // becomes the edited text. True when it differs from the text read (PSM_CHANGED),
    // false when it is the same (PSM_UNCHANGED).
    bool OnEditChanged(const std::wstring& typed);
    // OK (PSN_APPLY). True when the sheet may close now (nothing changed); otherwise the
    // edited text is being written, or a busy machine has been told 0xE2000052, and the
    // completion closes the sheet.
    bool OnApply(HWND page);
    // Cancel (PSN_QUERYCANCEL). True when the sheet may close now (the machine is idle);
    // a running machine is asked to stop with 1223 and the completion closes the sheet.
    bool OnQueryCancel();
    // The machine's completion r. Before OK or Cancel a failure is shown in a box
    // captioned "Power On Banner Error" (not a cancel); a successful read keeps the
    // editor open. After OK a failed write or read-back is shown the same way, so a
    // banner that was not written never looks written. True when the sheet must now
    // close (press its Cancel button).
    bool OnComplete(HWND page, DWORD result);

    bool Applying() const { return m_applying; }

private:
    CBannerStateMachine& m_machine;
    bool m_applying = false;
    bool m_writing = false;  // OK started a write (and its read-back)
};
