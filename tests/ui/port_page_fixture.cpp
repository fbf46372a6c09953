#include "port_page_fixture.h"

#include <commctrl.h>

#include "combo_items.h"

#include "core/model/contact_state_machine.h"
#include "core/serial/serial_device.h"
#include "core/text/app_messages.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "sim/sim_serial_device.h"

namespace {

const wchar_t kHostClass[] = L"ZR8PortPageTestHost";

void WriteDeviceMap(const std::wstring& path, const std::vector<std::wstring>& ports)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    int n = 0;
    for (const std::wstring& port : ports) {
        std::wstring name = L"\\Device\\Serial" + std::to_wstring(n++);
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                       static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

}  // namespace

CPortPageFixture::CPortPageFixture(const Setup& setup)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    m_mapKey = L"Software\\ZR8 Tests\\PortPage-" + std::to_wstring(GetCurrentProcessId());
    WriteDeviceMap(m_mapKey, setup.deviceMap);

    MessageBoxes::SetHandler([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
        m_boxes.push_back({text, caption, type});
        return IDOK;
    });

    m_model = std::make_unique<CModel>(CreateMemorySettingsStore());
    m_model->m_port.Set(setup.savedPort);
    CSimOptions radio = setup.radio;
    radio.baudModel = BaudModel::Instant;
    m_simulator = std::make_unique<CSimulator>(radio, m_clock);
    RegisterSimulatedRadio(L"SIM", *m_simulator);

    WNDCLASSW wc{};
    wc.lpfnWndProc = &CPortPageFixture::HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
    m_host = CreateWindowExW(0, kHostClass, L"ZR8 Port page test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 10, 10, 700,
                             520, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (m_host == nullptr)
        return;
    m_model->SetWindow(m_host);
    m_hostSubscriber.Subscribe(m_host, m_model->m_port);
    m_hostSubscriber.Subscribe(m_host, m_model->m_firmwareStatus);
    m_hostSubscriber.Subscribe(m_host, m_model->m_portOpenStatus);

    if (setup.openBeforeShow)
        m_model->OpenSerialPort(L"SIM");

    m_context.reset(new CPageContext{*m_model, {L"SIM"}});
    m_page = std::make_unique<CPortPage>(*m_context);
    m_page->SetDeviceMap(HKEY_CURRENT_USER, m_mapKey);
    m_sheet.AddPage(*m_page);
    if (m_sheet.CreateChild(m_host) == nullptr)
        return;
    ShowWindow(m_host, SW_SHOWNOACTIVATE);
    RunFor(50);
    m_pageWindow = m_page->m_hWnd;
}

CPortPageFixture::~CPortPageFixture()
{
    m_hostSubscriber.UnsubscribeAll();
    if (m_model)
        m_model->ClosePort();
    if (m_host != nullptr)
        DestroyWindow(m_host);  // the sheet and the page go with it
    RunFor(10);
    m_page.reset();
    UnregisterSerialDevice(L"SIM");
    MessageBoxes::SetHandler(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_mapKey.c_str());
}

LRESULT CALLBACK CPortPageFixture::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CPortPageFixture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->OnHostMessage(window, message, wParam, lParam);
}

LRESULT CPortPageFixture::OnHostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_APP_PORT_EVENT:
        m_model->RoutePortEvent(message, wParam, lParam);
        return 0;
    case WM_TIMER:
        if (!m_model->RouteTimer(message, wParam, lParam))
            break;
        return 0;
    case WM_APP_STATUS_TEXT:
        return 0;
    case WM_APP_FIRMWARE_STATUS:
        m_statusSeen.push_back(m_model->m_firmwareStatus.Get());
        return 0;
    case WM_APP_PORT_OPEN_STATUS:
        m_portOpenSeen.push_back(m_model->m_portOpenStatus.Get());
        return 0;
    case WM_APP_PORT:
        // As the main frame does.
        m_model->ClosePort();
        if (!m_model->m_port.Get().empty())
            m_model->ContactMachine().StartOpenPort();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CPortPageFixture::Click(int control)
{
    SendMessageW(m_pageWindow, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_pageWindow, control)));
}

void CPortPageFixture::Choose(const std::wstring& port)
{
    HWND combo = GetDlgItem(m_pageWindow, IDC_PORT_LIST);
    LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(port.c_str()));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(m_pageWindow, WM_COMMAND, MAKEWPARAM(IDC_PORT_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::vector<std::wstring> CPortPageFixture::ListedPorts() const
{
    return ComboItems(GetDlgItem(m_pageWindow, IDC_PORT_LIST));
}

std::wstring CPortPageFixture::SelectedPort() const
{
    HWND combo = GetDlgItem(m_pageWindow, IDC_PORT_LIST);
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return std::wstring();
    wchar_t text[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

bool CPortPageFixture::RunUntil(const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start > 10000)
            return false;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    return true;
}

bool CPortPageFixture::RunUntilContactIdle()
{
    return RunUntil([this] { return m_model->ContactMachine().IsIdle(); });
}

void CPortPageFixture::RunFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    RunUntil([&] { return GetTickCount() - start >= milliseconds; });
}
