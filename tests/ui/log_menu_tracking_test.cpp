// The output windows' context menu as the user meets it: menu 10030 of the program's
// resources, opened by a right click on the control and chosen from with the keyboard.
#include <gtest/gtest.h>

#include "log_test_host.h"
#include "ui/framework/win_handles.h"
#include "ui/log/output_context_menu.h"
#include "ui/log/output_window.h"

namespace {

TEST(OutputMenuTracking, MenuHoldsTheSixCommandsWithTheirSeparators)
{
    CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(OutputMenu::kMenuResource)));
    ASSERT_TRUE(menu);
    HMENU popup = GetSubMenu(menu.Get(), 0);
    ASSERT_NE(nullptr, popup);
    const UINT expected[] = {OutputMenu::kUndo, 0,  // 0: a separator
                             OutputMenu::kCut,  OutputMenu::kCopy, OutputMenu::kPaste, OutputMenu::kDelete, 0,
                             OutputMenu::kSelectAll};
    ASSERT_EQ(static_cast<int>(sizeof(expected) / sizeof(expected[0])), GetMenuItemCount(popup));
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &item));
        if (expected[i] == 0)
            EXPECT_NE(0u, item.fType & MFT_SEPARATOR) << "item " << i;
        else
            EXPECT_EQ(expected[i], item.wID) << "item " << i;
    }
}

// Keys the menu's own loop reads from the queue once it tracks.
void QueueKeys(HWND target, std::initializer_list<WPARAM> keys)
{
    for (WPARAM key : keys) {
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    }
}

TEST(OutputMenuTracking, RightClickOpensTheMenuAndAppliesTheChoice)
{
    CLogTestHost host;
    ASSERT_TRUE(host.Ready());
    HWND output = host.Output().Window();
    host.Output().AppendLine(L"Opening serial port SIM");
    host.Output().AppendLine(L"Serial port SIM is open");
    CHARRANGE caret{3, 3};
    SendMessageW(output, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));

    // The last item is Select All: Up from no item wraps round to it.
    QueueKeys(output, {VK_UP, VK_RETURN});
    RECT box{};
    GetWindowRect(output, &box);
    SendMessageW(output, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(output), MAKELPARAM(box.left + 20, box.top + 20));

    CHARRANGE chosen{};
    SendMessageW(output, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&chosen));
    EXPECT_EQ(0, chosen.cpMin);
    EXPECT_GE(chosen.cpMax, OutputTextLength(output));
}

TEST(OutputMenuTracking, GreyedItemsCannotBeChosen)
{
    CLogTestHost host;  // read-only
    ASSERT_TRUE(host.Ready());
    HWND output = host.Output().Window();
    host.Output().AppendLine(L"Serial port SIM is open");
    CHARRANGE selection{0, 6};
    SendMessageW(output, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));

    // Delete, five items up from the end, is greyed on a read-only window.
    QueueKeys(output, {VK_UP, VK_UP, VK_UP, VK_RETURN, VK_ESCAPE, VK_ESCAPE});
    RECT box{};
    GetWindowRect(output, &box);
    UINT command = OutputMenu::Track(output, POINT{box.left + 20, box.top + 20});
    EXPECT_NE(OutputMenu::kDelete, command);
    EXPECT_EQ(L"Serial port SIM is open", host.Text());
    CLogTestHost::Pump();
}

}  // namespace
