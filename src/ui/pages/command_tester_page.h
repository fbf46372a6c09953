// CCommandTesterPage: the fourth tab. The user types a command in the one-line field (Enter,
// or a typed ";", sends it) or presses one of sixteen macro buttons; the text goes to the
// radio exactly as it stands, shown in green, and whatever the radio sends back is shown
// raw in black. The page reads the port itself when the frame hands it a port event (no
// machine is running then). The macros live in the registry; "Edit Macros" edits them.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <string>

#include "core/model/command_macros.h"
#include "core/model/event_subscriber.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/page_context.h"
#include "ui/framework/dialog_resize.h"
#include "ui/framework/property_page_impl.h"
#include "ui/framework/win_handles.h"
#include "ui/log/rich_edit_ctrl_context.h"
#include "ui/pages/command_field.h"
#include "ui/pages/shared_width_rows.h"

class CModelBase;

class CCommandTesterPage : public CPropertyPageImpl<CCommandTesterPage>,
                           public CDialogResize<CCommandTesterPage> {
public:
    enum { IDD = IDD_COMMAND_TESTER_PAGE };
    static constexpr const wchar_t* kHelpTopic = L"CommandTester.htm";
    static constexpr DWORD kReadChunk = 512;
    static constexpr COLORREF kSentColour = RGB(0, 0x99, 0);
    static constexpr COLORREF kReceivedColour = RGB(0, 0, 0);

    explicit CCommandTesterPage(CPageContext& context);
    ~CCommandTesterPage() override;

    // Sends the text as it stands (nothing added, no answer awaited) and shows it in green
    // on a line of its own. Nothing happens for an empty text or while no radio has been
    // contacted; the command field then keeps its text.
    void SendCommandText(const std::wstring& text);

    CCommandMacros& Macros() { return m_macros; }
    HWND ToolTip() const { return m_toolTip; }
    // Port events handed to the page (tests check the routing).
    unsigned PortEventsSeen() const { return m_portEvents; }

    HWND OnQueryInitialFocus() override;

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
    void OnDestroy();
    void OnShowWindow(bool shown);
    BOOL OnCommand(WORD id, WORD code);
    void OnEnter();
    void OnCommandFieldChanged();
    void OnPortEvent();
    void OnLabelChanged(WPARAM index);
    void RunMacroEditor();
    void CreateToolTip();
    void AppendReceived(const BYTE* bytes, DWORD count);

    CModelBase& m_model;
    CCommandMacros m_macros;
    CCommandField m_commandField;
    CRichEditCtrlContext m_output;
    CFontHandle m_font;
    CHARFORMAT2W m_sentFormat = {};
    CHARFORMAT2W m_receivedFormat = {};
    HWND m_focusControl = nullptr;
    HWND m_toolTip = nullptr;  // owned by the page window, which destroys it
    CSharedWidthRows m_macroRows;
    CEventSubscriber m_subscriber;
    unsigned m_portEvents = 0;
};
