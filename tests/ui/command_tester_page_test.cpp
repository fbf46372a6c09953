// The Command Tester page in the main frame, driven by messages as the keyboard and the
// mouse would drive it, against the simulated radio: what goes out (the tapped device's
// writes), what the output window shows and in which colour, the macros and their editor.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/ui/command_tester_fixture.h"
#include "ui/dialogs/command_macros_sheet.h"

namespace {

using Writes = std::vector<std::string>;
const COLORREF kGreen = RGB(0, 0x99, 0);
const COLORREF kBlack = RGB(0, 0, 0);

TEST_F(CommandTesterTest, TypedSemicolonSendsAtOnceAndEmptiesTheField)
{
    StartOnPage();
    Type(L"SN");
    EXPECT_TRUE(m_tap.writes.empty());
    Type(L";");
    EXPECT_EQ((Writes{"SN;"}), m_tap.writes);
    EXPECT_EQ(L"", CWindow(Field()).GetWindowText());
    // The answer follows the command on the same line, in black after the green.
    ASSERT_TRUE(WaitForOutput(L"SN;SN12345;")) << OutputText();
    for (LONG i = 0; i < 3; ++i)
        EXPECT_EQ(kGreen, ColourAt(i)) << i;
    for (LONG i = 3; i < 11; ++i)
        EXPECT_EQ(kBlack, ColourAt(i)) << i;

    // The next command starts a new line.
    Type(L"RV;");
    ASSERT_TRUE(WaitForOutput(L"SN;SN12345;\nRV;RV01.23;")) << OutputText();
    EXPECT_EQ(kGreen, ColourAt(12));
    EXPECT_EQ(kBlack, ColourAt(15));
}

TEST_F(CommandTesterTest, EnterSendsTheFieldAsItStands)
{
    StartOnPage();
    Type(L"SN");
    PressEnter();
    EXPECT_EQ((Writes{"SN"}), m_tap.writes);  // no semicolon added
    EXPECT_EQ(L"", CWindow(Field()).GetWindowText());
    EXPECT_EQ(L"SN", OutputText());
    EXPECT_EQ(::GetDlgItem(Page(), IDC_COMMAND_FIELD), ::GetFocus());

    // Enter on the empty field sends nothing and inserts no line.
    PressEnter();
    EXPECT_EQ((Writes{"SN"}), m_tap.writes);
    EXPECT_EQ(L"SN", OutputText());
    // The radio answers once the ";" completes the command.
    Type(L";");
    EXPECT_EQ((Writes{"SN", ";"}), m_tap.writes);
    ASSERT_TRUE(WaitForOutput(L"SN\n;SN12345;")) << OutputText();
}

TEST_F(CommandTesterTest, CarriageReturnsOfAnAnswerAreDropped)
{
    StartOnPage();
    m_tap.Inject("ONE\r\nTWO\rTHREE\r\n;");
    ASSERT_TRUE(WaitForOutput(L"ONE\nTWOTHREE\n;")) << OutputText();
}

// Every byte but CR is shown, a control byte as its own code; a NUL, which the control's
// text cannot carry, as the symbol for null, and what follows it is not lost.
TEST_F(CommandTesterTest, ANulInTheAnswerIsShownAndNothingAfterItIsLost)
{
    StartOnPage();
    m_tap.Inject(std::string("SN\0" "12\x01" "3\0\0" "45;", 12));
    ASSERT_TRUE(WaitForOutput(std::wstring(L"SN\x2400" L"12\x01" L"3\x2400\x2400" L"45;"))) << OutputText();
}

TEST_F(CommandTesterTest, LongAnswerArrivesInFewInsertions)
{
    StartOnPage();
    unsigned insertions = 0;
    auto counter = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) -> LRESULT {
        if (message == EM_REPLACESEL)
            ++*reinterpret_cast<unsigned*>(data);
        return ::DefSubclassProc(window, message, wParam, lParam);
    };
    ASSERT_TRUE(::SetWindowSubclass(Output(), counter, 0x51, reinterpret_cast<DWORD_PTR>(&insertions)));
    std::string answer;
    for (int i = 0; answer.size() < 6000; ++i)
        answer += "LINE" + std::to_string(i) + "\n";
    answer += ";";
    m_tap.Inject(answer);
    const std::wstring expected(answer.begin(), answer.end());
    ASSERT_TRUE(WaitForOutput(expected)) << OutputText().size();
    ::RemoveWindowSubclass(Output(), counter, 0x51);
    // One insertion per 512-byte read.
    EXPECT_LE(insertions, (answer.size() + 511) / 512);
    EXPECT_GE(insertions, 1u);
}

TEST_F(CommandTesterTest, MacroWithTwoCommandsGoesOutInOneWrite)
{
    Store().WriteString(L"", L"CommandText2", L"RV;SN;");
    StartOnPage();
    Click(IDC_MACRO_FIRST + 1);
    EXPECT_EQ((Writes{"RV;SN;"}), m_tap.writes);
    ASSERT_TRUE(WaitForOutput(L"RV;SN;RV01.23;SN12345;")) << OutputText();
    EXPECT_EQ(::GetDlgItem(Page(), IDC_MACRO_FIRST + 1), ::GetFocus());
    // An empty macro sends nothing.
    Click(IDC_MACRO_FIRST + 2);
    EXPECT_EQ((Writes{"RV;SN;"}), m_tap.writes);
}

TEST_F(CommandTesterTest, NothingIsSentBeforeTheRadioIsContacted)
{
    Store().WriteString(L"", L"CommandText1", L"SN;");
    StartOnPage(L"");
    ASSERT_EQ(FirmwareStatusNone, Model().m_firmwareStatus.Get());
    Type(L"SN");
    PressEnter();
    Type(L";");
    Click(IDC_MACRO_FIRST);
    EXPECT_TRUE(m_tap.writes.empty());
    EXPECT_EQ(L"SN;", CWindow(Field()).GetWindowText());  // the text stays
    EXPECT_EQ(L"", OutputText());
}

TEST_F(CommandTesterTest, ClearEmptiesTheOutputWindow)
{
    StartOnPage();
    Type(L"I;");
    ASSERT_TRUE(WaitForOutput(L"I;ZR8;"));
    Click(IDC_CLEAR);
    EXPECT_EQ(L"", OutputText());
    Type(L"I;");
    ASSERT_TRUE(WaitForOutput(L"I;ZR8;")) << "no line break in an empty window";
}

TEST_F(CommandTesterTest, FirstCreationWritesTheDefaultLabels)
{
    Store().WriteString(L"", L"CommandCaption7", L"Version");
    CCommandTesterPage& page = StartOnPage();
    for (int n = 1; n <= 16; ++n) {
        const std::wstring expected = n == 7 ? L"Version" : L"MACRO" + std::to_wstring(n);
        std::wstring stored;
        EXPECT_EQ(0u, Store().ReadString(L"", L"CommandCaption" + std::to_wstring(n), stored)) << n;
        EXPECT_EQ(expected, stored) << n;
        EXPECT_EQ(expected, CWindow(::GetDlgItem(Page(), IDC_MACRO_FIRST + n - 1)).GetWindowText()) << n;
    }
    EXPECT_EQ(Field(), page.OnQueryInitialFocus());

    HWND tip = page.ToolTip();
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(1, ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    wchar_t text[64] = {};
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = Page();
    info.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(Page(), IDC_CLEAR));
    info.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(L"Erase output window", text);
}

TEST_F(CommandTesterTest, RowsOfMacroButtonsShareTheExtraWidth)
{
    StartOnPage();
    auto rect = [this](int id) {
        RECT r;
        ::GetWindowRect(::GetDlgItem(Page(), id), &r);
        ::MapWindowPoints(nullptr, Page(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    // The rows stand one above the other, so the first row's places hold for all four.
    RECT before[4];
    for (int i = 0; i < 4; ++i)
        before[i] = rect(IDC_MACRO_FIRST + i);
    const RECT before1 = before[0], before4 = before[3];
    const RECT clearBefore = rect(IDC_CLEAR), outputBefore = rect(IDC_OUTPUT_WINDOW);
    RECT frame;
    ::GetWindowRect(Frame().m_hWnd, &frame);
    ::SetWindowPos(Frame().m_hWnd, nullptr, 0, 0, frame.right - frame.left + 200, frame.bottom - frame.top + 100,
                   SWP_NOMOVE | SWP_NOZORDER);
    PumpUntil([] { return false; }, 200);
    const RECT clear = rect(IDC_CLEAR), output = rect(IDC_OUTPUT_WINDOW);
    const int dx = clear.left - clearBefore.left;
    ASSERT_GT(dx, 100);
    EXPECT_EQ(dx, (output.right - output.left) - (outputBefore.right - outputBefore.left));
    EXPECT_GT(output.bottom - output.top, outputBefore.bottom - outputBefore.top);
    for (int row = 0; row < 4; ++row) {
        const int first = IDC_MACRO_FIRST + row * 4;
        EXPECT_EQ(before1.left, rect(first).left) << row;
        for (int i = 0; i < 4; ++i) {
            const RECT r = rect(first + i);
            EXPECT_NEAR(r.right - r.left, (before1.right - before1.left) + dx / 4, 1) << row << "," << i;
            if (i > 0) {
                EXPECT_EQ(before[i].left - before[i - 1].right, r.left - rect(first + i - 1).right) << row << "," << i;
            }
        }
        EXPECT_EQ(before4.right + dx, rect(first + 3).right) << row;
    }
}

// The modal editor is driven from a timer while it runs, as a user would work in it.
std::function<void(HWND)> g_editorAction;
void CALLBACK ActOnEditor(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND sheet = ::FindWindowW(nullptr, L"Edit Command Tester Macros");
    if (sheet == nullptr || !::IsWindowVisible(sheet))
        return;
    ::KillTimer(nullptr, timer);
    g_editorAction(sheet);
}

HWND EditorPage(HWND sheet)
{
    return reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

TEST_F(CommandTesterTest, EditorSetsLabelsAndTextsOnOk)
{
    Store().WriteString(L"", L"CommandText5", L"SN;");
    StartOnPage();
    std::wstring shownLabel, shownText;
    bool enabled = false;
    g_editorAction = [&](HWND sheet) {
        HWND page = EditorPage(sheet);
        shownLabel = CWindow(::GetDlgItem(page, 11315)).GetWindowText();
        shownText = CWindow(::GetDlgItem(page, 11355)).GetWindowText();
        enabled = ::IsWindowEnabled(::GetDlgItem(page, 11315)) != FALSE;
        ::SetDlgItemTextW(page, 11315, L"");
        ::SetDlgItemTextW(page, 11311, L"Serial number");
        ::SetDlgItemTextW(page, 11351, L"RV;SN;");
        ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    };
    ::SetTimer(nullptr, 0, 20, ActOnEditor);
    Click(IDC_EDIT_MACROS);  // returns when the editor has closed
    EXPECT_EQ(L"MACRO5", shownLabel);
    EXPECT_EQ(L"SN;", shownText);
    EXPECT_TRUE(enabled);

    EXPECT_EQ(L"MACRO5", CWindow(::GetDlgItem(Page(), IDC_MACRO_FIRST + 4)).GetWindowText());
    EXPECT_EQ(L"Serial number", CWindow(::GetDlgItem(Page(), IDC_MACRO_FIRST)).GetWindowText());
    std::wstring stored;
    Store().ReadString(L"", L"CommandCaption5", stored);
    EXPECT_EQ(L"MACRO5", stored);
    Store().ReadString(L"", L"CommandCaption1", stored);
    EXPECT_EQ(L"Serial number", stored);
    Store().ReadString(L"", L"CommandText1", stored);
    EXPECT_EQ(L"RV;SN;", stored);

    Click(IDC_MACRO_FIRST);
    EXPECT_EQ((Writes{"RV;SN;"}), m_tap.writes);
}

TEST_F(CommandTesterTest, EditorCancelChangesNothing)
{
    StartOnPage();
    g_editorAction = [](HWND sheet) {
        HWND page = EditorPage(sheet);
        ::SetDlgItemTextW(page, 11312, L"Changed");
        ::SetDlgItemTextW(page, 11352, L"I;");
        ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    };
    ::SetTimer(nullptr, 0, 20, ActOnEditor);
    Click(IDC_EDIT_MACROS);
    EXPECT_EQ(L"MACRO2", CWindow(::GetDlgItem(Page(), IDC_MACRO_FIRST + 1)).GetWindowText());
    std::wstring stored;
    EXPECT_NE(0u, Store().ReadString(L"", L"CommandText2", stored));
    Click(IDC_MACRO_FIRST + 1);
    EXPECT_TRUE(m_tap.writes.empty());
}

}  // namespace
