// The Firmware page and its loader dialog in the real main frame of the test process, over
// a model of its own (in-memory settings), with the simulated radio as port "SIM" on the
// thread's real loop and timers, a firmware folder of the test, and every message box
// recorded and answered by the test's choice.
//
// The loader dialog is modal: a press of the send button returns only when the dialog has
// closed. What a test does meanwhile runs from a thread timer (the dialog's own loop
// dispatches it), as a user would act while the load runs.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/model/model_base.h"
#include "tests/firmware/hex_test_text.h"
#include "platform/message_box.h"
#include "sim/firmware_gen.h"
#include "sim/loop_clock.h"
#include "sim/sim_options.h"
#include "sim/simulator.h"
#include "ui/frame/main_frame.h"
#include "ui/framework/message_loop.h"
#include "ui/framework/win_handles.h"
#include "ui/pages/firmware_page.h"

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// What the test saw of the loader dialog while it ran.
struct LoaderRun {
    bool seen = false;
    std::wstring title;
    std::wstring buttonAtEnd;
    std::wstring log;            // the dialog's log when it closed (or when last read)
    int progressMax = -1;        // the bar's range
    std::vector<int> positions;  // every new position seen, in order
    INT_PTR endedBy = 0;         // how the dialog closed: IDOK, IDCANCEL
};

class FirmwareWindowTest : public ::testing::Test {
protected:
    // The radio of these tests: an instant line and a quick flash, so a load takes seconds.
    static CSimOptions QuickRadio();

    void SetUp() override;
    void TearDown() override;

    // The radio, then the frame on the Firmware page with the folder set; waits for
    // contact with the radio.
    void Start(const CSimOptions& radio, const std::wstring& folder, bool trace = false);
    // A firmware file of that version in the test's folder; its full path.
    std::wstring WriteFirmware(uint16_t version);

    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);
    bool WaitForRadio();

    // Presses the send button. While the loader dialog is up, the step runs every 20 ms
    // with the dialog's window (null until it exists) until it returns true; the run
    // ends by force after the time. Returns what was seen.
    LoaderRun Send(const std::function<bool(HWND dialog, LoaderRun& run)>& step, DWORD timeoutMs = 120000);
    // The step for a dialog that should close by itself: watches only.
    static bool Watch(HWND, LoaderRun&) { return false; }

    CFirmwarePage& Page();
    HWND PageWindow();
    std::wstring ControlText(int id);
    bool IsEnabled(int id);
    void Click(int id);
    std::vector<std::wstring> ActivityLines();

    CModelBase& Model() { return *m_model; }
    CSimulator& Radio() { return *m_simulator; }
    CScratchFolder& Folder() { return m_folder; }

    std::vector<ShownBox> m_boxes;
    std::function<int(const ShownBox&)> m_answer;  // default: the box's default button

private:
    std::unique_ptr<CMessageLoop> m_loop;
    std::unique_ptr<CModel> m_model;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CLoopClock> m_clock;
    std::unique_ptr<CSimulator> m_simulator;
    MessageBoxes::Handler m_previousBoxes;
    CLibraryHandle m_richEdit;
    CScratchFolder m_folder;
};

// The loader dialog's parts, read as the user sees them.
std::wstring DialogLog(HWND dialog);
int ProgressPosition(HWND dialog);
int ProgressMax(HWND dialog);
// Lines of a text, split at line breaks ("\r\n", "\r" or "\n").
std::vector<std::wstring> SplitLines(const std::wstring& text);
bool HasLine(const std::vector<std::wstring>& lines, const std::wstring& line);
// Lines that end with the text (the Activity Log's lines carry a time stamp first).
size_t CountEndingWith(const std::vector<std::wstring>& lines, const std::wstring& tail);
