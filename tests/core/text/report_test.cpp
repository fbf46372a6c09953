#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/app_messages.h"
#include "core/text/error_text.h"
#include "core/text/report.h"
#include "platform/message_box.h"
#include "platform/message_window.h"

namespace {

struct Box {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// A frame that records the log lines it receives and a page inside it; message boxes are
// recorded (and answered) instead of shown. `events` keeps the order of lines and boxes.
class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.Create([this](UINT message, WPARAM, LPARAM lParam) -> LRESULT {
            if (message == WM_APP_STATUS_TEXT) {
                m_lines.push_back(reinterpret_cast<const wchar_t*>(lParam));
                m_events.push_back(L"log");
            }
            return 0;
        }));
        ASSERT_TRUE(m_page.Create([this](UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == WM_APP_STATUS_TEXT)
                m_pageGotLine = true;
            return 0;
        }, m_frame.Handle(), 1001));
        ASSERT_TRUE(m_control.Create([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; }, m_page.Handle(), 1002));
        m_previous = MessageBoxes::SetHandler([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
            m_boxes.push_back({owner, text, caption, type});
            m_events.push_back(L"box");
            return m_answer;
        });
    }
    void TearDown() override { MessageBoxes::SetHandler(m_previous); }

    CMessageWindow m_frame, m_page, m_control;
    MessageBoxes::Handler m_previous;
    std::vector<std::wstring> m_lines;
    std::vector<std::wstring> m_events;
    std::vector<Box> m_boxes;
    bool m_pageGotLine = false;
    int m_answer = IDOK;
};

TEST_F(ReportTest, LogLineReachesTheTopLevelWindow)
{
    LogLine(m_control.Handle(), IDS_OPENING_PORT, L"COM3");
    LogLine(m_page.Handle(), L"ClearCommError dwErrors 0x%04X", 0x12u);
    ASSERT_EQ(m_lines.size(), 2u);
    EXPECT_EQ(m_lines[0], L"Opening serial port COM3");
    EXPECT_EQ(m_lines[1], L"ClearCommError dwErrors 0x0012");
    EXPECT_FALSE(m_pageGotLine);
    EXPECT_EQ(FindLogWindow(m_control.Handle()), m_frame.Handle());
    EXPECT_EQ(FindLogWindow(m_frame.Handle()), m_frame.Handle());
}

TEST_F(ReportTest, LogLineWithoutAWindowGoesNowhere)
{
    LogLine(nullptr, L"lost");
    EXPECT_TRUE(m_lines.empty());
}

TEST_F(ReportTest, ShowErrorLogsBeforeTheBox)
{
    m_answer = IDOK;
    int result = ShowError(m_page.Handle(), IDS_CAPTION_COM_PORT_ERROR, IDS_FAILED_ON, L"WriteFile", L"COM7", 5u,
                           GetErrorText(5).c_str());
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(m_events, (std::vector<std::wstring>{L"log", L"box"}));
    const std::wstring expected = L"WriteFile failed on \"COM7\"\r\nError 0x00000005: " + GetErrorText(5);
    EXPECT_EQ(m_lines[0], expected);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, expected);
    EXPECT_EQ(m_boxes[0].caption, L"COM Port Error");
    EXPECT_EQ(m_boxes[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(m_boxes[0].owner, m_page.Handle());
}

TEST_F(ReportTest, ReportOfAnOwnCodeWithoutTextEndsInTheCode)
{
    const DWORD missing = 0xE2000FFF;
    ShowError(m_frame.Handle(), IDS_CAPTION_COM_PORT_ERROR, IDS_FAILED_ON, L"ReadFile", L"COM3", missing,
              GetErrorText(missing).c_str());
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, L"ReadFile failed on \"COM3\"\r\nError 0xE2000FFF: ");
}

TEST_F(ReportTest, ShowErrorExTakesTheBoxTypeAndReturnsTheAnswer)
{
    m_answer = IDNO;
    const UINT type = MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2;
    int result = ShowErrorEx(m_frame.Handle(), type, FormatText(IDS_CAPTION_RADIO_STATUS, L"ZR8"),
                             IDS_NOT_RESPONDING, L"ZR8");
    EXPECT_EQ(result, IDNO);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, type);
    EXPECT_EQ(m_boxes[0].caption, L"ZR8 Status");
    EXPECT_EQ(m_boxes[0].text, L"ZR8 is not responding");
    EXPECT_EQ(m_lines, (std::vector<std::wstring>{L"ZR8 is not responding"}));
}

TEST_F(ReportTest, ShowMessageLoadsIdentifiersAndCaptionZeroIsNone)
{
    ShowMessage(m_frame.Handle(), MB_ICONERROR, IDS_CHOOSE_PORT, IDS_CAPTION_SELECT_PORT);
    ShowMessage(nullptr, MB_OK, L"plain text", 0);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].text, L"Please choose a serial port on the Port page");
    EXPECT_EQ(m_boxes[0].caption, L"Select a serial port");
    EXPECT_EQ(m_boxes[1].text, L"plain text");
    EXPECT_EQ(m_boxes[1].caption, L"");
    EXPECT_TRUE(m_lines.empty()) << "ShowMessage itself logs nothing";
}

TEST_F(ReportTest, TextWithPercentSignsIsNotReadAsAFormat)
{
    ShowError(m_frame.Handle(), 0, L"%s", L"100% %s %n");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, L"100% %s %n");
    EXPECT_EQ(m_lines[0], L"100% %s %n");
}

}  // namespace
