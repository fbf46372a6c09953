// The Port page in a real property sheet under a display, over a model of its own (an
// in-memory settings store), the simulated radio as port "SIM" on the thread's real loop
// and timers, and a device map written to a registry key of the test. A small host window
// stands in for the main frame: it routes port events and timer ticks to the machines,
// records log lines, and on a "Port" change closes the port and starts contact again.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/model/model_base.h"
#include "core/model/event_subscriber.h"
#include "sim/loop_clock.h"
#include "sim/sim_options.h"
#include "sim/simulator.h"
#include "ui/framework/property_sheet_impl.h"
#include "ui/pages/port_page.h"

struct RecordedBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

class CPortPageFixture {
public:
    struct Setup {
        std::wstring savedPort;                // the "Port" setting when the page starts
        std::vector<std::wstring> deviceMap;   // ports of the device map, in this order
        CSimOptions radio;
        bool openBeforeShow = false;           // the port is open before the page is shown
    };

    explicit CPortPageFixture(const Setup& setup);
    ~CPortPageFixture();
    CPortPageFixture(const CPortPageFixture&) = delete;
    CPortPageFixture& operator=(const CPortPageFixture&) = delete;

    bool Ready() const { return m_pageWindow != nullptr; }
    CModelBase& Model() { return *m_model; }
    CPortPage& Page() { return *m_page; }
    HWND PageWindow() const { return m_pageWindow; }

    void Click(int control);
    // Selects the item (by text) as the user would, with the notification the list sends.
    void Choose(const std::wstring& port);
    std::vector<std::wstring> ListedPorts() const;
    std::wstring SelectedPort() const;

    // Runs the loop until the condition holds or about ten seconds have passed.
    bool RunUntil(const std::function<bool()>& done);
    // Runs the loop until the contact machine is idle again.
    bool RunUntilContactIdle();
    // Runs the loop for a while (to show that nothing more happens).
    void RunFor(DWORD milliseconds);

    const std::vector<RecordedBox>& Boxes() const { return m_boxes; }
    // Every firmware status the model announced, in order.
    const std::vector<int>& FirmwareStatusSeen() const { return m_statusSeen; }
    // Every port open status the model announced (0 open, -1 closed), in order.
    const std::vector<int>& PortOpenSeen() const { return m_portOpenSeen; }
    void ForgetSeen()
    {
        m_boxes.clear();
        m_statusSeen.clear();
        m_portOpenSeen.clear();
    }

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnHostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    class CSheet : public CPropertySheetImpl<CSheet> {};

    std::wstring m_mapKey;
    std::unique_ptr<CModelBase> m_model;
    CLoopClock m_clock;
    std::unique_ptr<CSimulator> m_simulator;
    HWND m_host = nullptr;
    CEventSubscriber m_hostSubscriber;
    std::unique_ptr<CPageContext> m_context;
    std::unique_ptr<CPortPage> m_page;
    CSheet m_sheet;
    HWND m_pageWindow = nullptr;
    std::vector<RecordedBox> m_boxes;
    std::vector<int> m_statusSeen;
    std::vector<int> m_portOpenSeen;
};
