// The loader dialog run from the Firmware page's send button against the simulated radio:
// whole loads, the Trace rule, the version check, cancels, refused packets, a corrupt file
// and a busy radio link.
#include <string>
#include <vector>

#include "core/model/contact_state_machine.h"
#include "platform/code_pages.h"
#include "resources/ui/ui_resource_ids.h"
#include "tests/ui/firmware_window_fixture.h"

namespace {

const wchar_t kComplete[] = L"MCU firmware load is complete";
const wchar_t kClickClose[] = L"Click \"Close\" to close this window";
const wchar_t kQuestion[] = L"Are you sure you wish to close the Utility while sending firmware?";
constexpr int kBarEnd = 63488 / 32;

std::vector<uint8_t> ImageOf(uint16_t version)
{
    CFirmwareGenOptions firmware;
    firmware.version = version;
    return MakeFirmwareImage(firmware);
}

bool Contains(const std::wstring& text, const std::wstring& part)
{
    return text.find(part) != std::wstring::npos;
}

// Closes the dialog (as its button does) once its log holds the text.
std::function<bool(HWND, LoaderRun&)> CloseWhenLogged(const std::wstring& text)
{
    return [text](HWND dialog, LoaderRun& run) {
        if (dialog == nullptr || !Contains(run.log, text))
            return false;
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    };
}

// Presses "Cancel" once the bar has passed the position.
std::function<bool(HWND, LoaderRun&)> CancelAt(int position)
{
    return [position](HWND dialog, LoaderRun& run) {
        if (dialog == nullptr || run.positions.empty() || run.positions.back() < position)
            return false;
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    };
}

TEST_F(FirmwareWindowTest, AWholeLoadSendsTheNewestFileAndClosesByItself)
{
    WriteFirmware(116);
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    const LoaderRun run = Send(&FirmwareWindowTest::Watch);

    ASSERT_TRUE(run.seen);
    EXPECT_EQ(L"Sending ZR8 Firmware", run.title);
    EXPECT_EQ(kBarEnd, run.progressMax);
    ASSERT_FALSE(run.positions.empty());
    EXPECT_EQ(0, run.positions.front());
    EXPECT_EQ(kBarEnd, run.positions.back());
    for (size_t i = 1; i < run.positions.size(); ++i)
        EXPECT_LT(run.positions[i - 1], run.positions[i]) << "the bar went back";
    const std::vector<std::wstring> dialogLines = SplitLines(run.log);
    ASSERT_GE(dialogLines.size(), 3u);
    EXPECT_TRUE(Contains(dialogLines[0], L"ZR8 Utility Version "));
    EXPECT_TRUE(Contains(dialogLines[1], L"OS Version "));
    EXPECT_EQ(L"ZR8 MCU version 01.23 on SIM at 9600 bit/s", dialogLines[2]);
    EXPECT_TRUE(HasLine(dialogLines, L"Sending MCU firmware file " + Folder().WidePath() + L"\\zr8_0117.hex"));

    EXPECT_EQ(ImageOf(117), Radio().Radio().Flash().Bytes());
    EXPECT_EQ(L"01.17", ControlText(IDC_INSTALLED_VERSION));
    EXPECT_EQ(nullptr, Model().AttachedOperation());

    const std::vector<std::wstring> lines = ActivityLines();
    EXPECT_EQ(1u, CountEndingWith(lines, L"Sending firmware from " + Folder().WidePath()));
    EXPECT_EQ(1u, CountEndingWith(lines, L"MCU firmware version verified"));
    EXPECT_EQ(1u, CountEndingWith(lines, kComplete));
    EXPECT_EQ(0u, CountEndingWith(lines, kClickClose));
    EXPECT_EQ(0u, CountEndingWith(lines, L"Total number of retries was 0"));
    size_t elapsed = 0;
    for (const std::wstring& line : lines)
        if (Contains(line, L"Elapsed time: ") && Contains(line, L" seconds"))
            ++elapsed;
    EXPECT_EQ(1u, elapsed);
    EXPECT_TRUE(m_boxes.empty());
}

// Trace is switched on once the last packet is in (every packet's trace lines would only
// slow the test down); the setting counts when the load completes.
TEST_F(FirmwareWindowTest, WithTraceTheDialogStaysOpenAfterASuccessfulLoad)
{
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    auto close = CloseWhenLogged(kClickClose);
    const LoaderRun run = Send([this, close](HWND dialog, LoaderRun& run) {
        if (Model().m_trace.Get() == 0 && !run.positions.empty() && run.positions.back() == kBarEnd)
            Model().m_trace.Set(1);
        return close(dialog, run);
    });
    const std::vector<std::wstring> lines = SplitLines(run.log);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(kComplete, lines[lines.size() - 2]);
    EXPECT_EQ(kClickClose, lines.back());
    EXPECT_EQ(L"Close", run.buttonAtEnd);
    EXPECT_TRUE(HasLine(lines, L"GetMcuVersion send RV;")) << "no trace lines";
    EXPECT_TRUE(m_boxes.empty()) << "closing a finished load asks nothing";
    EXPECT_EQ(ImageOf(117), Radio().Radio().Flash().Bytes());
}

TEST_F(FirmwareWindowTest, ARadioReportingAnotherVersionFailsTheCheckAndKeepsTheDialogOpen)
{
    CSimOptions radio = QuickRadio();
    radio.loadVersion = 116;
    const std::wstring file = WriteFirmware(117);
    Start(radio, Folder().WidePath());
    const LoaderRun run = Send(CloseWhenLogged(kClickClose));
    const std::vector<std::wstring> lines = SplitLines(run.log);
    ASSERT_GE(lines.size(), 5u);
    const size_t n = lines.size();
    EXPECT_EQ(L"Sent MCU firmware file " + file, lines[n - 5]);
    EXPECT_EQ(L"ZR8 responded with version 01.16", lines[n - 4]);
    EXPECT_EQ(L"Firmware version verify failed. Reload MCU firmware.", lines[n - 3]);
    EXPECT_EQ(L"Error code 0xE2000046: Version number verification failed", lines[n - 2]);
    EXPECT_EQ(kClickClose, lines[n - 1]);
    EXPECT_EQ(L"Close", run.buttonAtEnd);
    EXPECT_EQ(0u, CountEndingWith(ActivityLines(), kComplete));
    EXPECT_EQ(1u, CountEndingWith(ActivityLines(), L"Error code 0xE2000046: Version number verification failed"));
}

TEST_F(FirmwareWindowTest, CancelAnsweredNoLetsTheLoadGoOnToItsEnd)
{
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    m_answer = [](const ShownBox&) { return IDNO; };
    const LoaderRun run = Send(CancelAt(kBarEnd / 4));
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(kQuestion, m_boxes[0].text);
    EXPECT_EQ(L"Critical Operation in Progress", m_boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING), m_boxes[0].type);
    EXPECT_EQ(kBarEnd, run.positions.back());
    EXPECT_EQ(1u, CountEndingWith(ActivityLines(), kComplete));
    EXPECT_EQ(0u, CountEndingWith(ActivityLines(), L"Total number of retries was 1"));
    EXPECT_FALSE(Contains(run.log, L"Retry ")) << "the question disturbed the load";
    EXPECT_EQ(ImageOf(117), Radio().Radio().Flash().Bytes());
}

TEST_F(FirmwareWindowTest, CancelAnsweredYesLeavesTheBootLoaderAndTheNextSendCompletes)
{
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    m_answer = [](const ShownBox&) { return IDYES; };
    const LoaderRun first = Send(CancelAt(kBarEnd / 4));
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(kQuestion, m_boxes[0].text);
    EXPECT_LT(first.positions.back(), kBarEnd);
    EXPECT_EQ(nullptr, Model().AttachedOperation());
    EXPECT_EQ(0u, CountEndingWith(ActivityLines(), kComplete));
    // Nothing of the dropped load is left running: the radio stays in its boot loader,
    // which waits for the rest of the packets until it is switched off and on; then it
    // comes up in its boot loader again (the load's marker is in its flash).
    PumpUntil([] { return false; }, 3000);
    EXPECT_EQ(RadioMode::BootLoader, Radio().Radio().Mode());
    EXPECT_EQ(0u, Radio().Radio().FirmwareLoads());
    EXPECT_EQ(L"Loading", ControlText(IDC_INSTALLED_VERSION));
    Radio().Radio().PowerCycle();
    PumpUntil([] { return false; }, 500);
    EXPECT_EQ(RadioMode::BootLoader, Radio().Radio().Mode());

    m_answer = nullptr;
    const LoaderRun second = Send(&FirmwareWindowTest::Watch);
    EXPECT_EQ(kBarEnd, second.positions.back());
    EXPECT_EQ(1u, CountEndingWith(ActivityLines(), kComplete));
    EXPECT_EQ(ImageOf(117), Radio().Radio().Flash().Bytes());
    EXPECT_EQ(L"01.17", ControlText(IDC_INSTALLED_VERSION));
}

TEST_F(FirmwareWindowTest, RefusedPacketsShowTheirRetriesAndTheTotals)
{
    CSimOptions radio = QuickRadio();
    std::string error;
    ASSERT_TRUE(radio.faults.Add("refuse-packet=5x3", error)) << error;
    ASSERT_TRUE(radio.faults.Add("refuse-packet=9x2", error)) << error;
    WriteFirmware(117);
    Start(radio, Folder().WidePath());
    const LoaderRun run = Send(&FirmwareWindowTest::Watch);
    // The dialog closed by itself: its lines stand in the Activity Log too.
    const std::vector<std::wstring> lines = ActivityLines();
    EXPECT_EQ(1u, CountEndingWith(lines, L" Retry 3 succeeded at address x0940"));
    EXPECT_EQ(1u, CountEndingWith(lines, L" Retry 2 succeeded at address x0A40"));
    EXPECT_EQ(1u, CountEndingWith(lines, L" Total number of retries was 5"));
    EXPECT_EQ(1u, CountEndingWith(lines, L" Highest number of retries for any block was 3"));
    EXPECT_EQ(1u, CountEndingWith(lines, kComplete));
    EXPECT_TRUE(Contains(run.log, L"Retry 3 succeeded at address x0940"));
    EXPECT_EQ(ImageOf(117), Radio().Radio().Flash().Bytes());
}

TEST_F(FirmwareWindowTest, ACorruptNewestFileIsRefusedWithItsLineBeforeTheRadioIsTouched)
{
    WriteFirmware(117);
    Folder().Write("zr8_0118.hex", ":10080000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF8\r\n:10081000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n");
    Start(QuickRadio(), Folder().WidePath());
    const uint64_t repliesBefore = Radio().Radio().RepliesMade();
    const LoaderRun run = Send(CloseWhenLogged(kClickClose));
    const std::vector<std::wstring> lines = SplitLines(run.log);
    EXPECT_TRUE(HasLine(lines, L"Line 2, error code 0xE2000022: intel hex line checksum error"))
        << CodePages::ToUtf8(run.log);
    EXPECT_TRUE(HasLine(lines, L"Error code 0xE2000022: intel hex line checksum error"));
    EXPECT_EQ(L"Close", run.buttonAtEnd);
    EXPECT_EQ(repliesBefore, Radio().Radio().RepliesMade()) << "the radio was asked something";
    EXPECT_EQ(RadioMode::Application, Radio().Radio().Mode());
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(FirmwareWindowTest, ALoadRefusedBecauseContactIsRunningSaysSoInsteadOfWaiting)
{
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    Model().ContactMachine().StartOpenPort();
    ASSERT_FALSE(Model().ContactMachine().IsIdle());
    const LoaderRun run = Send(CloseWhenLogged(kClickClose), 20000);
    const std::vector<std::wstring> lines = SplitLines(run.log);
    EXPECT_TRUE(HasLine(lines, L"Error code 0xE2000052: Cannot start a busy state machine"));
    EXPECT_EQ(L"Close", run.buttonAtEnd);
    EXPECT_TRUE(m_boxes.empty()) << "an idle loader closes without a question";
    EXPECT_EQ(nullptr, Model().AttachedOperation());
    EXPECT_EQ(0u, Radio().Radio().FirmwareLoads());
}

}  // namespace
