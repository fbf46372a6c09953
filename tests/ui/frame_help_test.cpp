// Help requests from the main frame: the Help menu and F1 outside a page open the
// contents; F1 on the Port page, or on one of its controls, opens "Port.htm".
#include <windows.h>

#include <string>
#include <vector>

#include "resources/ui/ui_resource_ids.h"
#include "tests/ui/frame_fixture.h"
#include "ui/frame/page_list.h"
#include "ui/help/help_file.h"
#include "ui/help/html_help_control.h"

namespace {

struct CCall {
    HWND owner;
    std::wstring file;
    UINT command;
};
std::vector<CCall> g_calls;

HWND WINAPI RecordingHelp(HWND owner, const wchar_t* file, UINT command, DWORD_PTR)
{
    g_calls.push_back({owner, file != nullptr ? file : L"", command});
    return owner;
}

class FrameHelpTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_calls.clear();
        SetHelpFileForTesting(L"C:\\zr8\\ZR8Utility.chm");
        TheHtmlHelpControl().ReplaceForTesting(&RecordingHelp);
    }
    void TearDown() override
    {
        TheHtmlHelpControl().ReplaceForTesting(nullptr);
        SetHelpFileForTesting(L"");
        FrameTest::TearDown();
    }

    static LRESULT SendHelp(HWND window)
    {
        HELPINFO info = {};
        info.cbSize = sizeof(info);
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = ::GetDlgCtrlID(window);
        info.hItemHandle = window;
        return ::SendMessageW(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
};

TEST_F(FrameHelpTest, TheHelpMenuAndF1OnTheFrameOpenTheContents)
{
    Start();
    Frame().SendMessage(WM_COMMAND, ID_HELP_CONTENTS);
    SendHelp(Frame());
    ASSERT_EQ(2u, g_calls.size());
    for (const CCall& call : g_calls) {
        EXPECT_EQ(Frame().m_hWnd, call.owner);
        EXPECT_EQ(L"C:\\zr8\\ZR8Utility.chm>$global_main", call.file);
        EXPECT_EQ(kHelpDisplayContents, call.command);
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(FrameHelpTest, F1OnThePortPageOrOneOfItsControlsOpensPortHtm)
{
    Start();
    ASSERT_TRUE(Frame().TabView().SetActivePage(kPortPageIndex));
    HWND page = Frame().TabView().GetActivePage();
    ASSERT_NE(nullptr, page);
    SendHelp(page);
    SendHelp(::GetDlgItem(page, IDC_TEST_COMMUNICATIONS));  // goes up to the page
    ASSERT_EQ(2u, g_calls.size());
    for (const CCall& call : g_calls) {
        EXPECT_EQ(page, call.owner);
        EXPECT_EQ(L"C:\\zr8\\ZR8Utility.chm::/Port.htm>$global_main", call.file);
        EXPECT_EQ(kHelpDisplayTopic, call.command);
    }
}

}  // namespace
