#include "tests/ui/frame_fixture.h"

#include <commctrl.h>

#include "core/model/contact_state_machine.h"
#include "sim/sim_serial_device.h"

namespace {
// Lets several models in a row use one store, as runs of the program share the registry.
class CSharedStore : public ISettingsStore {
public:
    explicit CSharedStore(std::shared_ptr<ISettingsStore> store) : m_store(std::move(store)) {}
    DWORD ReadValue(const std::wstring& subKey, const std::wstring& name, DWORD& type,
                    std::vector<uint8_t>& data) override
    {
        return m_store->ReadValue(subKey, name, type, data);
    }
    DWORD WriteValue(const std::wstring& subKey, const std::wstring& name, DWORD type,
                     const std::vector<uint8_t>& data) override
    {
        return m_store->WriteValue(subKey, name, type, data);
    }
    DWORD DeleteValue(const std::wstring& subKey, const std::wstring& name) override
    {
        return m_store->DeleteValue(subKey, name);
    }

private:
    std::shared_ptr<ISettingsStore> m_store;
};
}  // namespace

void FrameTest::SetUp()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                           ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    m_richEdit.Reset(::LoadLibraryW(L"RICHED20.DLL"));
    m_store = std::shared_ptr<ISettingsStore>(CreateMemorySettingsStore().release());
    m_loop = std::make_unique<CMessageLoop>();
    CSimOptions options;
    options.baudModel = BaudModel::Instant;
    m_clock = std::make_unique<CLoopClock>();
    m_simulator = std::make_unique<CSimulator>(options, *m_clock);
    RegisterSimulatedRadio(L"SIM", *m_simulator);
    m_previousBoxes = MessageBoxes::SetHandler([this](HWND, const std::wstring& text, const std::wstring&, UINT) {
        m_boxes.push_back(text);
        return IDOK;
    });
}

void FrameTest::TearDown()
{
    if (m_frame)
        Close();
    MessageBoxes::SetHandler(m_previousBoxes);
    UnregisterSerialDevice(L"SIM");
    m_simulator.reset();
    m_loop.reset();
}

CMainFrame& FrameTest::Start(bool show, const std::wstring& forcedPort)
{
    if (m_frame)
        Close();
    m_model = std::make_unique<CModel>(std::make_unique<CSharedStore>(m_store));
    CMainFrame::COptions options;
    options.forcedPort = forcedPort;
    options.extraPorts.push_back(L"SIM");
    m_frame = std::make_unique<CMainFrame>(*m_model, options);
    EXPECT_NE(nullptr, m_frame->CreateMainWindow()) << "error " << ::GetLastError();
    if (show)
        m_frame->ShowWindow(SW_SHOWNORMAL);
    m_loop->PumpPending();
    return *m_frame;
}

void FrameTest::Close()
{
    if (m_frame->IsWindow()) {
        m_frame->SendMessage(WM_CLOSE);
        EXPECT_FALSE(m_frame->IsWindow());
    }
    // The frame posts the quit message with 1 when it is destroyed; take it here.
    MSG message;
    bool quit = false;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            EXPECT_EQ(1u, message.wParam);
            quit = true;
            break;
        }
        ::DispatchMessageW(&message);
    }
    EXPECT_TRUE(quit) << "no quit message after the frame closed";
    m_frame.reset();
    m_model.reset();
}

bool FrameTest::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        if (!m_loop->PumpPending())
            return done();
    }
    return true;
}

bool FrameTest::WaitForRadio()
{
    return PumpUntil([this] {
        return m_model->m_firmwareStatus.Get() == FirmwareStatusApplication && m_model->ContactMachine().IsIdle();
    });
}

bool MenuItemChecked(HWND frame, UINT command)
{
    HMENU bar = ::GetMenu(frame);
    for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
        HMENU popup = ::GetSubMenu(bar, i);
        if (popup == nullptr || ::GetMenuState(popup, command, MF_BYCOMMAND) == static_cast<UINT>(-1))
            continue;
        ::SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(i, FALSE));
        return (::GetMenuState(popup, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    ADD_FAILURE() << "no menu item " << command;
    return false;
}
