// The Configuration page and its dialogs as real windows under a display, against the
// simulated radio in process ("SIM", on the thread's real loop and timers). A small host
// window stands in for the main frame: it routes port events and ticks to the machines
// and records the log lines. Every write on the line and every log line go into one
// list of events, in order. Message boxes and the file dialogs are answered by the test;
// a script of steps acts inside the modal loops (press Cancel mid-read, type a banner).
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/model/event_subscriber.h"
#include "core/model/model_base.h"
#include "sim/loop_clock.h"
#include "sim/sim_options.h"
#include "sim/simulator.h"
#include "ui/dialogs/file_dialogs.h"
#include "ui/framework/property_sheet_impl.h"
#include "ui/pages/configuration_page.h"

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// What the program asked of a file dialog.
struct FileRequest {
    FileDialogs::Kind kind;
    HWND owner;
    std::wstring file;  // the initial content of the file-name buffer
    std::wstring filter;  // the NUL-separated list, NULs shown as '|'
    std::wstring defaultExtension;
    std::wstring initialFolder;
    DWORD flags;
    DWORD fileChars;
    DWORD titleChars;
};

class ConfigWindowsTest : public ::testing::Test {
protected:
    using FileAnswer = std::function<BOOL(OPENFILENAMEW& request, DWORD& extendedError)>;
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void SetUp() override;
    void TearDown() override;

    // The radio (radio as set), the host and the page; then contact, unless told not to.
    void Start(bool contact = true);
    bool Contact();
    void AddFault(const std::string& fault);

    // File dialog answers, taken in order (a dialog without an answer is cancelled).
    static FileAnswer Choose(const std::wstring& path);
    static FileAnswer Refuse(DWORD extendedError);

    // Steps run inside whatever loop runs (a modal dialog's), each once its condition holds.
    void Script(std::vector<Step> steps);
    bool ScriptDone() const { return m_nextStep >= m_steps.size(); }
    // A script step left undone, or a window still open well after the last step: the
    // watchdog then closes the thread's dialogs so that the test ends (and fails).
    bool WatchdogFired() const { return m_watchdogFired; }

    // Runs the loop until the condition holds or about fifteen seconds have passed.
    bool RunUntil(const std::function<bool()>& done);
    void RunFor(DWORD milliseconds);

    void Click(int control);  // a page button, as the user clicks it

    // The modal dialog of this thread with this caption, if one is shown.
    static HWND FindDialog(const wchar_t* caption);
    static std::wstring ButtonText(HWND dialog, int id);
    static int ProgressPosition(HWND dialog);
    static int ProgressMaximum(HWND dialog);

    bool Logged(const std::wstring& line) const;
    size_t CountLogged(const std::wstring& line) const;
    // Index in events of the first event equal to text (or starting with it), -1 if none.
    int EventIndex(const std::string& text, bool prefix = false, int from = 0) const;
    size_t CountWrites(const std::string& prefix) const;

    CSimEeprom& Eeprom() { return m_simulator->Radio().Eeprom(); }
    CModelBase& Model() { return *m_model; }
    HWND Host() const { return m_host; }
    HWND PageWindow() const { return m_pageWindow; }
    CConfigurationPage& Page() { return *m_page; }

    const std::wstring& Folder() const { return m_folder; }
    std::wstring TempPath(const std::wstring& name) const { return m_folder + L"\\" + name; }
    static std::string ReadWholeFile(const std::wstring& path);
    static void WriteWholeFile(const std::wstring& path, const std::string& bytes);

    CSimOptions radio;
    std::deque<FileAnswer> fileAnswers;
    std::vector<FileRequest> fileRequests;
    // Answers Yes/No questions (default: No) and may look at the windows meanwhile.
    std::function<int(const ShownBox&)> onBox;
    std::vector<ShownBox> boxes;
    std::vector<std::string> events;  // "write:<text>" and "log:<line>" (UTF-8 narrowing of ASCII)
    std::vector<std::wstring> logLines;

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnHostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD);

    class CSheet : public CPropertySheetImpl<CSheet> {};

    std::wstring m_folder;
    std::unique_ptr<CModelBase> m_model;
    CLoopClock m_clock;
    std::unique_ptr<CSimulator> m_simulator;
    HWND m_host = nullptr;
    std::unique_ptr<CPageContext> m_context;
    std::unique_ptr<CConfigurationPage> m_page;
    std::unique_ptr<CSheet> m_sheet;
    HWND m_pageWindow = nullptr;
    std::vector<Step> m_steps;
    size_t m_nextStep = 0;
    UINT_PTR m_scriptTimer = 0;
    DWORD m_lastStepTick = 0;
    bool m_watchdogFired = false;
};
