// A main frame in the test process, over settings that outlive it (so that a "restart"
// is a new model and a new frame over the same store), with the simulated radio on the
// port "SIM" and every message box answered and recorded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/model/model_base.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "sim/loop_clock.h"
#include "sim/simulator.h"
#include "ui/frame/main_frame.h"
#include "ui/framework/message_loop.h"
#include "ui/framework/win_handles.h"

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new model over the shared store and a frame on it, created (and shown when asked);
    // forcedPort is the port given for the run, as --simulate gives "SIM".
    CMainFrame& Start(bool show = true, const std::wstring& forcedPort = std::wstring());
    // Closes the frame as the user would; the settings and placement are saved.
    void Close();
    // Runs the loop until the predicate holds or the time (real milliseconds) is up.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
    bool WaitForRadio();

    ISettingsStore& Store() { return *m_store; }
    CModelBase& Model() { return *m_model; }
    CMainFrame& Frame() { return *m_frame; }

    std::vector<std::wstring> m_boxes;  // texts of the message boxes shown

private:
    std::shared_ptr<ISettingsStore> m_store;
    std::unique_ptr<CMessageLoop> m_loop;
    std::unique_ptr<CModel> m_model;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CLoopClock> m_clock;
    std::unique_ptr<CSimulator> m_simulator;
    MessageBoxes::Handler m_previousBoxes;
    CLibraryHandle m_richEdit;
};

// The check mark of a menu command as the user sees it when the pop-up opens.
bool MenuItemChecked(HWND frame, UINT command);
