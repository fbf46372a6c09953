// CMainFrame: the program's one top-level window. It owns the start-up of the windows
// (status bar, settings, menu states, tab view, start page, subscriptions, first
// contact), the menu commands, the title, the saved placement, the end of the session, and
// the routing of the program's messages: port events and timer ticks to the running
// machine or else to the current page, log lines to the Activity Log while the Firmware
// page is current.
#pragma once

#include <memory>
#include <string>

#include "core/model/event_subscriber.h"
#include "ui/frame/page_context.h"
#include "ui/frame/tab_view.h"
#include "ui/framework/frame_window_impl.h"
#include "ui/framework/message_loop.h"
#include "ui/framework/update_ui.h"

class CModelBase;
class CReleaseNotesDialog;

class CMainFrame : public CFrameWindowImpl<CMainFrame>, public CUpdateUI<CMainFrame>, public CMessageFilter {
public:
    struct COptions {
        // The port to use for this run instead of the saved one (--simulate: "SIM").
        std::wstring forcedPort;
        std::vector<std::wstring> extraPorts;
    };

    CMainFrame(CModelBase& model, COptions options);
    ~CMainFrame() override;

    // Creates the window (class with icon 10000, title string 10000, menu 10000,
    // accelerators 10000); null on failure.
    HWND CreateMainWindow();

    BOOL PreTranslateMessage(MSG* message) override;

    CTabView& TabView() { return m_tabView; }
    SIZE MinTrackSize() const { return m_minTrackSize; }
    bool FirstShowDone() const { return m_firstShowDone; }
    // The release-notes window the frame keeps (at most one), or null.
    HWND ReleaseNotesWindow() const;

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT OnCreate();
    void OnFirstShow();
    bool OnCommand(UINT id);
    void OnClose();
    void OnDestroy();
    // Log-off and shut-down: refused while a reason is held (CShutdownBlock); otherwise
    // the settings, the page and the placement are saved as a close saves them.
    LRESULT OnQueryEndSession();
    void SaveForEndOfSession();
    void TakeActivePage();
    void SavePlacement();
    bool UsesForcedPort() const;
    void OnFirmwareStatusChanged();
    void OnPortChanged();
    void UpdateTitle();
    void RouteLogLine(const wchar_t* text);
    void RouteToMachineOrPage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ToggleStatusBar();
    void StartContact();

    CModelBase& m_model;
    CPageContext m_pageContext;
    COptions m_options;
    CTabView m_tabView;
    CEventSubscriber m_subscriptions;
    SIZE m_minTrackSize = {0, 0};
    bool m_firstShowDone = false;
    int m_storedPageIndex = 0;
    bool m_filterRegistered = false;
    std::unique_ptr<CReleaseNotesDialog> m_releaseNotes;
};
