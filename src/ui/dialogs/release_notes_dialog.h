// CReleaseNotesDialog: the firmware release notes ("zr8fwnotes.rtf" in the firmware
// folder) in a modeless, resizable top-level window of their own (template 10026).
#pragma once

#include <memory>
#include <string>

#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/dialog_impl.h"
#include "ui/framework/dialog_resize.h"
#include "ui/log/rich_edit_ctrl_context.h"

class CReleaseNotesDialog : public CDialogImpl<CReleaseNotesDialog>, public CDialogResize<CReleaseNotesDialog> {
public:
    enum { IDD = IDD_RELEASE_NOTES };
    static constexpr const wchar_t* kHelpTopic = L"MenusAndLog.htm#ReleaseNotes";

    // owner: the window that the error boxes belong to (the main frame); the notes window
    // itself has the desktop as its parent.
    CReleaseNotesDialog(HWND owner, std::wstring path);

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // False when the window is to go (the file could not be read).
    bool OnInitDialog();
    bool StreamFile();

    HWND m_owner;
    std::wstring m_path;
    CRichEditCtrlContext m_text;
};

// The notes file of the folder: "<folder>\zr8fwnotes.rtf".
std::wstring ReleaseNotesPath(const std::wstring& folder);

// Opens the notes window for the firmware folder and shows it; null (after telling the
// user which file was missing) when there is nothing to show.
std::unique_ptr<CReleaseNotesDialog> OpenReleaseNotes(HWND owner, const std::wstring& folder);
