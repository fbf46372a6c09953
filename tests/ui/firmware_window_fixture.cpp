#include "tests/ui/firmware_window_fixture.h"

#include <commctrl.h>

#include "core/model/contact_state_machine.h"
#include "platform/code_pages.h"
#include "platform/settings_store.h"
#include "resources/ui/ui_resource_ids.h"
#include "sim/sim_serial_device.h"

namespace {
const wchar_t kPort[] = L"SIM";

// The one send under way: what its thread timer works with.
struct CSendDriver {
    std::function<bool(HWND, LoaderRun&)> step;
    LoaderRun* run = nullptr;
    DWORD start = 0;
    DWORD timeoutMs = 0;
    bool stepDone = false;
    bool timedOut = false;
};
CSendDriver* g_driver = nullptr;

HWND FindLoaderDialog()
{
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            if (::GetDlgItem(window, IDC_LOADER_PROGRESS) == nullptr || !::IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(data) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring TextOf(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void CALLBACK DriverTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_driver == nullptr)
        return;
    CSendDriver& driver = *g_driver;
    LoaderRun& run = *driver.run;
    HWND dialog = FindLoaderDialog();
    if (dialog != nullptr) {
        run.seen = true;
        run.title = TextOf(dialog);
        run.progressMax = ProgressMax(dialog);
        const int position = ProgressPosition(dialog);
        if (run.positions.empty() || run.positions.back() != position)
            run.positions.push_back(position);
        run.log = DialogLog(dialog);
        run.buttonAtEnd = TextOf(::GetDlgItem(dialog, IDCANCEL));
    }
    if (!driver.stepDone && driver.step(dialog, run))
        driver.stepDone = true;
    if (::GetTickCount() - driver.start > driver.timeoutMs && dialog != nullptr && !driver.timedOut) {
        driver.timedOut = true;
        ::EndDialog(dialog, -1);
    }
}
}  // namespace

CSimOptions FirmwareWindowTest::QuickRadio()
{
    CSimOptions options;
    options.baudModel = BaudModel::Instant;
    options.flashMs = 1;
    options.restartMs = 50;
    return options;
}

void FirmwareWindowTest::SetUp()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                           ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    m_richEdit.Reset(::LoadLibraryW(L"RICHED20.DLL"));
    m_loop = std::make_unique<CMessageLoop>();
    m_previousBoxes = MessageBoxes::SetHandler([this](HWND, const std::wstring& text, const std::wstring& caption,
                                                      UINT type) {
        m_boxes.push_back({text, caption, type});
        if (m_answer)
            return m_answer(m_boxes.back());
        if ((type & MB_TYPEMASK) == MB_YESNO)
            return (type & MB_DEFBUTTON2) ? IDNO : IDYES;
        return IDOK;
    });
}

void FirmwareWindowTest::TearDown()
{
    if (m_frame) {
        if (m_frame->IsWindow())
            m_frame->SendMessage(WM_CLOSE);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT)
                ::DispatchMessageW(&message);
        m_frame.reset();
    }
    m_model.reset();
    MessageBoxes::SetHandler(m_previousBoxes);
    UnregisterSerialDevice(kPort);
    m_simulator.reset();
    m_loop.reset();
}

void FirmwareWindowTest::Start(const CSimOptions& radio, const std::wstring& folder, bool trace)
{
    m_clock = std::make_unique<CLoopClock>();
    m_simulator = std::make_unique<CSimulator>(radio, *m_clock);
    RegisterSimulatedRadio(kPort, *m_simulator);
    m_model = std::make_unique<CModel>(CreateMemorySettingsStore());
    CMainFrame::COptions options;
    options.forcedPort = kPort;
    options.extraPorts.push_back(kPort);
    m_frame = std::make_unique<CMainFrame>(*m_model, options);
    ASSERT_NE(nullptr, m_frame->CreateMainWindow()) << "error " << ::GetLastError();
    m_model->m_trace.Set(trace ? 1 : 0);
    m_frame->ShowWindow(SW_SHOWNORMAL);
    m_frame->TabView().SetActivePage(m_frame->TabView().FirmwarePageIndex());
    m_model->m_firmwareFolder.Set(folder);
    m_loop->PumpPending();
    ASSERT_TRUE(WaitForRadio()) << "no contact with the simulated radio";
}

std::wstring FirmwareWindowTest::WriteFirmware(uint16_t version)
{
    CFirmwareGenOptions firmware;
    firmware.version = version;
    return m_folder.Write(FirmwareFileName(version), MakeFirmwareHex(firmware));
}

bool FirmwareWindowTest::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
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

bool FirmwareWindowTest::WaitForRadio()
{
    return PumpUntil([this] {
        return m_model->m_firmwareStatus.Get() == FirmwareStatusApplication && m_model->ContactMachine().IsIdle();
    });
}

LoaderRun FirmwareWindowTest::Send(const std::function<bool(HWND, LoaderRun&)>& step, DWORD timeoutMs)
{
    LoaderRun run;
    CSendDriver driver;
    driver.step = step;
    driver.run = &run;
    driver.start = ::GetTickCount();
    driver.timeoutMs = timeoutMs;
    g_driver = &driver;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &DriverTick);
    Click(IDC_SEND_FIRMWARE);
    ::KillTimer(nullptr, timer);
    g_driver = nullptr;
    EXPECT_FALSE(driver.timedOut) << "the loader dialog was still open after " << timeoutMs << " ms; its log:\n"
                                  << CodePages::ToUtf8(run.log);
    return run;
}

CFirmwarePage& FirmwareWindowTest::Page()
{
    return *static_cast<CFirmwarePage*>(m_frame->TabView().Page(m_frame->TabView().FirmwarePageIndex()));
}

HWND FirmwareWindowTest::PageWindow()
{
    return Page().m_hWnd;
}

std::wstring FirmwareWindowTest::ControlText(int id)
{
    return TextOf(::GetDlgItem(PageWindow(), id));
}

bool FirmwareWindowTest::IsEnabled(int id)
{
    return ::IsWindowEnabled(::GetDlgItem(PageWindow(), id)) != FALSE;
}

void FirmwareWindowTest::Click(int id)
{
    ::SendMessageW(PageWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(PageWindow(), id)));
}

std::vector<std::wstring> FirmwareWindowTest::ActivityLines()
{
    return SplitLines(Page().ActivityLogText());
}

std::wstring DialogLog(HWND dialog)
{
    return TextOf(::GetDlgItem(dialog, IDC_OUTPUT_WINDOW));
}

int ProgressPosition(HWND dialog)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, IDC_LOADER_PROGRESS, PBM_GETPOS, 0, 0));
}

int ProgressMax(HWND dialog)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, IDC_LOADER_PROGRESS, PBM_GETRANGE, FALSE, 0));
}

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::wstring line;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            lines.push_back(line);
            line.clear();
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool HasLine(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    for (const std::wstring& l : lines)
        if (l == line)
            return true;
    return false;
}

size_t CountEndingWith(const std::vector<std::wstring>& lines, const std::wstring& tail)
{
    size_t count = 0;
    for (const std::wstring& l : lines)
        if (l.size() >= tail.size() && l.compare(l.size() - tail.size(), tail.size(), tail) == 0)
            ++count;
    return count;
}
