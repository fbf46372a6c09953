// The output windows' context menu: which items the control's state allows, what each
// command does to the control, which requests the control takes itself, and that the
// subclass lets go whichever of control and object ends first.
#include <gtest/gtest.h>

#include "log_test_host.h"
#include "ui/log/output_context_menu.h"
#include "ui/log/output_window.h"

namespace {

constexpr DWORD kEditableStyle = CRichEditCtrlContext::kDefaultStyle & ~static_cast<DWORD>(ES_READONLY);

void Select(HWND control, LONG from, LONG to)
{
    CHARRANGE range{from, to};
    SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

TEST(OutputContextMenu, ItemStatesFollowSelectionAndReadOnly)
{
    struct Case {
        bool readOnly;
        bool selection;
        bool cut, copy, del;
    };
    const Case cases[] = {
        {true, false, false, false, false},
        {true, true, false, true, false},
        {false, false, false, false, false},
        {false, true, true, true, true},
    };
    for (const Case& c : cases) {
        CLogTestHost host(320, 120, c.readOnly ? CRichEditCtrlContext::kDefaultStyle : kEditableStyle);
        ASSERT_TRUE(host.Ready());
        HWND output = host.Output().Window();
        host.Output().AppendLine(L"Connected to ZR8 on COM3 at 9600 bit/s");
        Select(output, c.selection ? 3 : 5, 5);
        OutputMenu::ItemStates states = OutputMenu::ReadItemStates(output);
        SCOPED_TRACE(testing::Message() << "read-only " << c.readOnly << ", selection " << c.selection);
        EXPECT_EQ(c.cut, states.cut);
        EXPECT_EQ(c.copy, states.copy);
        EXPECT_EQ(c.del, states.del);
        EXPECT_TRUE(states.selectAll);
    }
}

TEST(OutputContextMenu, UndoIsOfferedAfterAnUndoableEdit)
{
    CLogTestHost host(320, 120, kEditableStyle);
    ASSERT_TRUE(host.Ready());
    HWND output = host.Output().Window();
    host.Output().AppendLine(L"log lines are not undoable");
    EXPECT_FALSE(OutputMenu::ReadItemStates(output).undo);

    SendMessageW(output, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" typed"));
    EXPECT_TRUE(OutputMenu::ReadItemStates(output).undo);
    EXPECT_TRUE(OutputMenu::ApplyCommand(output, OutputMenu::kUndo));
    EXPECT_EQ(L"log lines are not undoable", host.Text());
}

TEST(OutputContextMenu, CommandsActOnTheControl)
{
    CLogTestHost host(320, 120, kEditableStyle);
    ASSERT_TRUE(host.Ready());
    HWND output = host.Output().Window();
    host.Output().AppendRaw(L"RV01.23;");

    ASSERT_TRUE(OutputMenu::ApplyCommand(output, OutputMenu::kSelectAll));
    CHARRANGE all{};
    SendMessageW(output, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(0, all.cpMin);
    EXPECT_GE(all.cpMax, OutputTextLength(output)) << "to the end, the final paragraph mark included";

    Select(output, 0, 8);
    ASSERT_TRUE(OutputMenu::ApplyCommand(output, OutputMenu::kCopy));
    EXPECT_TRUE(OutputMenu::ReadItemStates(output).paste) << "the copied text can be pasted";

    Select(output, 2, 7);
    ASSERT_TRUE(OutputMenu::ApplyCommand(output, OutputMenu::kDelete));
    EXPECT_EQ(L"RV;", host.Text());

    Select(output, 2, 2);
    ASSERT_TRUE(OutputMenu::ApplyCommand(output, OutputMenu::kPaste));
    EXPECT_EQ(L"RVRV01.23;;", host.Text());

    Select(output, 0, 2);
    ASSERT_TRUE(OutputMenu::ApplyCommand(output, OutputMenu::kCut));
    EXPECT_EQ(L"RV01.23;;", host.Text());

    EXPECT_FALSE(OutputMenu::ApplyCommand(output, 57600)) << "not a command of the menu";
}

TEST(OutputContextMenu, ReadOnlyWindowRefusesChangesButCopies)
{
    CLogTestHost host;
    ASSERT_TRUE(host.Ready());
    HWND output = host.Output().Window();
    host.Output().AppendLine(L"Serial port COM3 is open");
    Select(output, 0, 6);
    EXPECT_TRUE(OutputMenu::ApplyCommand(output, OutputMenu::kCopy));
    EXPECT_FALSE(OutputMenu::ApplyCommand(output, OutputMenu::kDelete));
    EXPECT_FALSE(OutputMenu::ApplyCommand(output, OutputMenu::kCut));
    EXPECT_FALSE(OutputMenu::ApplyCommand(output, OutputMenu::kPaste));
    EXPECT_EQ(L"Serial port COM3 is open", host.Text());
}

TEST(OutputContextMenu, OnlyMouseRequestsAimedAtTheControlAreTaken)
{
    CLogTestHost host;
    ASSERT_TRUE(host.Ready());
    HWND output = host.Output().Window();
    struct Case {
        HWND target;
        int x, y;
        bool taken;
    };
    const Case cases[] = {
        {output, 100, 50, true},
        {output, -1, -1, false},  // keyboard request: default handling
        {output, -40, 20, true},  // left of the primary monitor
        {output, -1, 20, true},
        {host.Frame(), 100, 50, false},
    };
    for (const Case& c : cases) {
        LPARAM at = MAKELPARAM(static_cast<WORD>(c.x), static_cast<WORD>(c.y));
        EXPECT_EQ(c.taken, CRichEditCtrlContext::IsMouseRequestFor(output, reinterpret_cast<WPARAM>(c.target), at))
            << c.x << "," << c.y;
    }
}

TEST(OutputContextMenu, ControlDestroyedFirstIsForgotten)
{
    CLogTestHost host;
    ASSERT_TRUE(host.Ready());
    HWND output = host.Output().Window();
    DestroyWindow(output);
    EXPECT_EQ(nullptr, host.Output().Window());
    host.Output().UnsubclassWindow();  // nothing left to let go of
    EXPECT_EQ(nullptr, host.Output().Window());
}

TEST(OutputContextMenu, ObjectEndingFirstLeavesAWorkingControl)
{
    CLogTestHost host;
    ASSERT_TRUE(host.Ready());
    HWND control = CreateWindowExW(0, CRichEditCtrlContext::ClassName(), L"", kEditableStyle, 0, 0, 200, 60,
                                   host.Frame(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, control);
    {
        CRichEditCtrlContext borrowed;
        ASSERT_TRUE(borrowed.SubclassWindow(control));
        borrowed.AppendLine(L"from the object");
    }
    AppendLine(control, L"after it");
    SendMessageW(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(10, 10));
    EXPECT_TRUE(IsWindow(control));
    EXPECT_EQ(2, SendMessageW(control, EM_GETLINECOUNT, 0, 0));
    DestroyWindow(control);
}

}  // namespace
