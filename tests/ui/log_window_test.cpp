// The output windows' append routines and their auto-scroll rule, on the real rich edit
// control under a display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_test_host.h"
#include "ui/log/output_window.h"

namespace {

class OutputWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Ready()) << "no output window, error " << GetLastError(); }

    HWND Output() { return host.Output().Window(); }

    void Fill(int lines)
    {
        for (int i = 0; i < lines; ++i)
            host.Output().AppendLine(L"line " + std::to_wstring(i));
        CLogTestHost::Pump();
    }

    COLORREF ColourAt(LONG position)
    {
        CHARRANGE range{position, position + 1};
        SendMessageW(Output(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2W format{};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_COLOR;
        SendMessageW(Output(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format.crTextColor;
    }

    CLogTestHost host;
};

struct AppendCase {
    std::vector<const wchar_t*> lines;
    const wchar_t* text;
};

TEST_F(OutputWindowTest, LinesAreSeparatedWithoutLeadingOrTrailingBreak)
{
    const AppendCase cases[] = {
        {{L"Ready"}, L"Ready"},
        {{L"Opening serial port COM3", L"Serial port COM3 is open"},
         L"Opening serial port COM3\r\nSerial port COM3 is open"},
        {{L"", L"after an empty line"}, L"after an empty line"},  // an empty window gets no break
        {{L"one", L"", L"three"}, L"one\r\n\r\nthree"},
    };
    for (const AppendCase& c : cases) {
        host.Output().Clear();
        for (const wchar_t* line : c.lines)
            host.Output().AppendLine(line);
        EXPECT_EQ(std::wstring(c.text), host.Text());
    }
}

TEST_F(OutputWindowTest, AppendLineContinuesAfterRawText)
{
    host.Output().AppendRaw(L"I;");
    host.Output().AppendRaw(L"ZR8;");
    host.Output().AppendLine(L"RV;");
    EXPECT_EQ(L"I;ZR8;\r\nRV;", host.Text());
}

TEST_F(OutputWindowTest, FormattedTextTakesItsColourAndLeavesTheCaretAtTheEnd)
{
    host.Output().AppendLine(L"plain");
    COLORREF plain = ColourAt(0);

    CHARFORMAT2W red{};
    red.cbSize = sizeof(red);
    red.dwMask = CFM_COLOR;
    red.crTextColor = RGB(200, 0, 0);
    host.Output().AppendFormatted(L"RED", red);
    EXPECT_EQ(L"plainRED", host.Text());

    CHARRANGE caret{};
    SendMessageW(Output(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret.cpMin, caret.cpMax);
    EXPECT_EQ(OutputTextLength(Output()), caret.cpMax);

    EXPECT_EQ(RGB(200, 0, 0), ColourAt(5));
    EXPECT_EQ(RGB(200, 0, 0), ColourAt(7));
    EXPECT_EQ(plain, ColourAt(4)) << "the earlier text keeps its colour";
}

TEST_F(OutputWindowTest, InsertAtPutsTextAtThePosition)
{
    struct Case {
        LONG position;
        const wchar_t* text;
    };
    const Case cases[] = {{0, L">>ABCD"}, {2, L"AB>>CD"}, {4, L"ABCD>>"}};
    for (const Case& c : cases) {
        host.Output().Clear();
        host.Output().AppendRaw(L"ABCD");
        host.Output().InsertAt(c.position, L">>");
        EXPECT_EQ(std::wstring(c.text), host.Text()) << "at " << c.position;
    }
}

TEST_F(OutputWindowTest, ClearEmptiesAndTheNextLineStartsWithoutBreak)
{
    Fill(5);
    host.Output().Clear();
    EXPECT_EQ(L"", host.Text());
    EXPECT_EQ(0, OutputTextLength(Output()));
    host.Output().AppendLine(L"again");
    EXPECT_EQ(L"again", host.Text());
}

TEST_F(OutputWindowTest, ViewFollowsNewLinesAtTheBottom)
{
    Fill(100);
    EXPECT_GT(host.FirstVisibleLine(), 0);
    EXPECT_TRUE(host.LastLineVisible());
    host.Output().AppendLine(L"newest");
    CLogTestHost::Pump();
    EXPECT_TRUE(host.LastLineVisible());
}

TEST_F(OutputWindowTest, ViewHoldsWhenTheUserHasScrolledUp)
{
    Fill(100);
    SendMessageW(Output(), WM_VSCROLL, SB_TOP, 0);
    CLogTestHost::Pump();
    ASSERT_EQ(0, host.FirstVisibleLine());

    host.Output().AppendLine(L"a new line while reading old ones");
    CHARFORMAT2W blue{};
    blue.cbSize = sizeof(blue);
    blue.dwMask = CFM_COLOR;
    blue.crTextColor = RGB(0, 0, 200);
    host.Output().AppendFormatted(L" and a coloured one", blue);
    CLogTestHost::Pump();
    EXPECT_EQ(0, host.FirstVisibleLine());
    EXPECT_FALSE(host.LastLineVisible());

    // Back at the bottom, the view follows again.
    SendMessageW(Output(), WM_VSCROLL, SB_BOTTOM, 0);
    CLogTestHost::Pump();
    host.Output().AppendLine(L"followed");
    CLogTestHost::Pump();
    EXPECT_TRUE(host.LastLineVisible());
}

TEST_F(OutputWindowTest, RawTextDoesNotMoveTheView)
{
    Fill(100);
    SendMessageW(Output(), WM_VSCROLL, SB_TOP, 0);
    CLogTestHost::Pump();
    host.Output().AppendRaw(L"\r\nraw");
    CLogTestHost::Pump();
    EXPECT_EQ(0, host.FirstVisibleLine());
}

TEST(OutputScrollRule, PositionAboveTheLastPageHolds)
{
    struct Case {
        OutputScrollState state;
        bool away;
    };
    const Case cases[] = {
        {{0, 0, 0}, false},     // no scroll bar yet: follow
        {{500, 0, 10}, false},  // page size unknown: follow
        {{500, 100, 0}, true},  // at the top of a long text
        {{500, 100, 399}, true},
        {{500, 100, 400}, false},  // on the last page
        {{500, 100, 401}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.away, IsScrolledAwayFromBottom(c.state))
            << "max " << c.state.maximum << " page " << c.state.page << " pos " << c.state.position;
}

}  // namespace
