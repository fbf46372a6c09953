// The Command Tester page inside a real main frame, against the simulated radio on "SIM".
// The radio's device is tapped: every write the port makes is recorded (so a test sees
// one write where the program made one), and a test can make bytes arrive as if the
// radio had sent them (answers the simulated radio never gives: CR LF, kilobytes).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/frame_fixture.h"
#include "ui/frame/page_list.h"
#include "ui/pages/command_tester_page.h"

struct CDeviceTap {
    std::vector<std::string> writes;
    std::string injected;              // bytes waiting to be read, ahead of the radio's
    std::function<void()> bytesWaiting;  // the open device's callback

    void Inject(const std::string& bytes)
    {
        injected += bytes;
        if (bytesWaiting)
            bytesWaiting();
    }
};

class CommandTesterTest : public FrameTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The frame on the Command Tester page, with the radio found when port is "SIM".
    CCommandTesterPage& StartOnPage(const std::wstring& port = L"SIM");

    HWND Page() const { return m_page->m_hWnd; }
    HWND Field() const { return ::GetDlgItem(Page(), IDC_COMMAND_FIELD); }
    HWND Output() const { return ::GetDlgItem(Page(), IDC_OUTPUT_WINDOW); }

    // Keys as the keyboard gives them to the field: a character, or Enter (the key-down
    // and the Return character TranslateMessage makes of it).
    void Type(const std::wstring& text);
    void PressEnter();
    void Click(int control);

    // The output window's text with every paragraph break as "\n".
    std::wstring OutputText() const;
    // The colour of the character at the position (by selecting it).
    COLORREF ColourAt(LONG position) const;
    bool WaitForOutput(const std::wstring& text);

    CDeviceTap m_tap;

private:
    std::unique_ptr<CLoopClock> m_clock;
    std::unique_ptr<CSimulator> m_radio;
    CCommandTesterPage* m_page = nullptr;
};
