// CPortPage: the first tab. The user chooses the serial port the radio is on (the
// model's "Port" setting), tests communications (closes the port, then runs the contact
// machine from "OpenPort") or closes the port. While the page is shown it tells the user
// in a message box what each contact found. It holds no state of its own beyond its
// window handles: the chosen port lives in the model.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/model/event_subscriber.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/page_context.h"
#include "ui/framework/property_page_impl.h"
#include "ui/pages/serial_port_list.h"

class CModelBase;

class CPortPage : public CPropertyPageImpl<CPortPage> {
public:
    enum { IDD = IDD_PORT_PAGE };
    static constexpr const wchar_t* kHelpTopic = L"Port.htm";

    explicit CPortPage(CPageContext& context);
    ~CPortPage() override;

    // Where the page reads the system's serial ports (tests point it at a key of their
    // own); the default is HKEY_LOCAL_MACHINE "HARDWARE\DEVICEMAP\SERIALCOMM".
    void SetDeviceMap(HKEY root, const std::wstring& subkey);

    // Lists the ports again, keeping the selection when the port is still there.
    void RefreshPortList();
    // The box that tells what the contact found (for the firmware status now known).
    void ShowRadioStatus();

    HWND ComboBox() const { return m_comboBox; }
    HWND ToolTip() const { return m_toolTip; }

    HWND OnQueryInitialFocus() override;

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
    void OnDestroy();
    void OnShowWindow(bool shown);
    BOOL OnCommand(WORD id, WORD code);
    void OnTestCommunications();
    void OnClosePort();
    void OnSelectionChange();
    void OnPortChanged();
    void OnPortOpenStatusChanged();
    void OnFirmwareStatusChanged();

    void CreateToolTips();
    // Selects the item whose text is the name (letter case aside); none for an empty
    // name or one that is not listed. False when nothing was selected.
    bool SelectPort(const std::wstring& name);
    std::wstring SelectedText() const;

    CModelBase& m_model;
    std::vector<std::wstring> m_extraPorts;
    HKEY m_deviceMapRoot = HKEY_LOCAL_MACHINE;
    std::wstring m_deviceMapKey = kSerialCommKey;
    HWND m_comboBox = nullptr;
    HWND m_toolTip = nullptr;  // owned by the page window, which destroys it
    CEventSubscriber m_subscriber;
};
