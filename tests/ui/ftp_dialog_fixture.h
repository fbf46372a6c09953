// The copy dialog under a display, modeless over a host window that stands for the main
// frame (it records the log lines the dialog sends), with a model of its own whose
// "FileServer" setting names one of the fixture's FTP servers (ftp_servers_fixture.sh),
// and a firmware folder of its own. Message boxes are recorded and answered.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/model/model_base.h"
#include "firmware/firmware_files.h"
#include "ui/dialogs/ftp_dlg.h"

class CFtpDialogFixture {
public:
    // server: a kind of ftp_servers_fixture.sh ("newer", "nodir", ..., "refused").
    explicit CFtpDialogFixture(const std::string& server);
    ~CFtpDialogFixture();
    CFtpDialogFixture(const CFtpDialogFixture&) = delete;
    CFtpDialogFixture& operator=(const CFtpDialogFixture&) = delete;

    bool HaveServers() const { return !m_state.empty(); }
    CModelBase& Model() { return *m_model; }
    const std::wstring& Folder() const { return m_folder; }
    void UseFolder(const std::wstring& folder) { m_folder = folder; }
    // A small valid HEX file of that version in the folder.
    void LocalFirmware(unsigned version);
    std::vector<std::wstring> FolderNames() const;

    // Opens the dialog over the folder's scan; boxes are answered with boxAnswer.
    bool Open(int boxAnswer = IDYES);
    CFtpDlg& Dialog() { return *m_dialog; }
    HWND DialogWindow() const;
    // Runs the loop until the dialog has ended or sits idle with its "Close" button, or
    // about 30 seconds have passed; false on the time-out.
    bool RunUntilSettled();
    bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);
    void Click(int control);

    const std::vector<std::wstring>& HostLines() const { return m_hostLines; }
    const std::vector<std::wstring>& Boxes() const { return m_boxes; }
    // What the server of that kind logged.
    std::string ServerLog(const std::string& kind) const;
    // The scan the dialog was given, as it stands after the copy.
    const CFirmwareFiles& Files() const { return m_files; }

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::string m_state;  // the servers' state folder (Unix path)
    std::unique_ptr<CModelBase> m_model;
    std::wstring m_folder;
    CFirmwareFiles m_files;
    HWND m_host = nullptr;
    std::unique_ptr<CFtpDlg> m_dialog;
    std::vector<std::wstring> m_hostLines;
    std::vector<std::wstring> m_boxes;
};

bool Has(const std::wstring& text, const std::wstring& part);
