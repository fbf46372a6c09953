// CFirmwarePage: the second tab. The user chooses the local firmware folder (the model's
// "FirmwareFolder" setting), compares the version installed in the radio with the newest
// one in the folder, and sends that file to the radio through the modal loader dialog.
// The Activity Log keeps the program's version and system lines from initialisation on,
// then every log line the main frame passes on (WM_APP_PAGE_TEXT), each after a time
// stamp. While shown, the page follows the folder, the firmware status and the version.
#pragma once

#include <string>

#include "core/model/event_subscriber.h"
#include "firmware/firmware_files.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/page_context.h"
#include "ui/framework/dialog_resize.h"
#include "ui/framework/property_page_impl.h"
#include "ui/log/rich_edit_ctrl_context.h"

class CModelBase;

class CFirmwarePage : public CPropertyPageImpl<CFirmwarePage>, public CDialogResize<CFirmwarePage> {
public:
    enum { IDD = IDD_FIRMWARE_PAGE };
    static constexpr const wchar_t* kHelpTopic = L"Firmware.htm";
    static constexpr unsigned kFolderTextLimit = 260;

    explicit CFirmwarePage(CPageContext& context);
    ~CFirmwarePage() override;

    // Scans the "FirmwareFolder" setting, shows the available version ("Missing" and
    // the line that says what to do when no firmware file is there) and enables the send
    // button as far as the folder and the identified device allow.
    void ScanAndShow();
    // TimeStamp, then the text, as a new line of the Activity Log.
    void AppendPageLine(const std::wstring& text);
    // The handler of "Send Firmware to ZR8": runs the loader dialog on the newest file.
    void SendFirmware();

    // Everything in the Activity Log (tests read it).
    std::wstring ActivityLogText() const;
    const CFirmwareFiles& Files() const { return m_files; }
    HWND ToolTip() const { return m_toolTip; }

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
    void OnDestroy();
    void OnShowWindow(bool shown);
    BOOL OnCommand(WORD id, WORD code);
    void OnDefaultFolder();
    void OnBrowseFolder();
    void OnFolderEditDone();
    void OnCheckVersion();
    void OnCopyNewFiles();
    void OnFirmwareFolderChanged();
    void ShowInstalledVersion();
    void UpdateSendButton();
    void CreateToolTips();

    CModelBase& m_model;
    CFirmwareFiles m_files;
    HWND m_toolTip = nullptr;  // owned by the page window, which destroys it
    CRichEditCtrlContext m_log;  // the Activity Log, control 10016
    CEventSubscriber m_subscriber;
};

// Milliseconds as whole seconds, to the nearest: 1499 gives 1, 1500 gives 2.
unsigned RoundedSeconds(unsigned long milliseconds);
