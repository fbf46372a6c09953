// The configuration machines as their dialogs run them, against the simulated radio on
// an in-process link at 9600 bit/s, on the virtual clock: the model and its main window
// (which routes port events and ticks to the busy machine), the dialog that owns the
// machine (log lines, completions, progress bar 16010), and a log of every write on
// the line.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/model/model_base.h"
#include "platform/message_window.h"
#include "sim/loop_clock.h"
#include "sim/simulator.h"

class ConfigMachineTest : public ::testing::Test {
protected:
    static constexpr DWORD kLongEnoughMs = 10 * 60 * 1000;  // virtual

    ConfigMachineTest();
    ~ConfigMachineTest() override;

    // Starts the radio (simOptions as set) and makes contact as the program does at
    // its start, so the model knows the radio's serial number and firmware status.
    void Connect();
    void AddFault(const std::string& fault);
    // Runs the loop until the dialog hears a completion (or the virtual time runs out).
    bool RunToCompletion(DWORD timeoutMs = kLongEnoughMs);
    // Runs until the line has seen count writes.
    bool RunUntilWrites(size_t count, DWORD timeoutMs = kLongEnoughMs);
    size_t CountWrites(const std::string& prefix) const;

    CSimEeprom& Eeprom() { return sim->Radio().Eeprom(); }

    CSimOptions simOptions;
    std::unique_ptr<CLoopClock> clock;
    std::unique_ptr<CSimulator> sim;
    std::unique_ptr<CModel> model;

    std::vector<std::string> writes;      // every write of the program, as written
    std::vector<std::wstring> lines;      // the dialog's log
    std::vector<std::wstring> logLines;   // lines for the main frame's log (LogLine)
    std::vector<DWORD> completions;       // WM_APP_MACHINE_DONE at the dialog
    std::vector<WPARAM> progress;         // PBM_SETPOS positions
    std::vector<LPARAM> progressRanges;   // PBM_SETRANGE

    CMessageWindow mainWindow;
    CMessageWindow dialog;
    CMessageWindow progressBar;

private:
    bool m_wasVirtual = false;
};
