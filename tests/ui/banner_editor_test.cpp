// The power-on banner editor (sheet and page) against the simulated radio: what it shows,
// what OK writes (also straight after typing with Enter), the box after a failed write,
// and Cancel while the banner is being read.
#include <windows.h>

#include <commctrl.h>

#include "config_windows_fixture.h"
#include "ui/dialogs/power_on_banner_sheet.h"

namespace {

using BannerEditorTest = ConfigWindowsTest;

const wchar_t kBannerCaption[] = L"Edit Power On Banner";

std::vector<uint8_t> BannerBytes(CSimEeprom& eeprom)
{
    return std::vector<uint8_t>(eeprom.Bytes().begin() + 0x3F0, eeprom.Bytes().begin() + 0x400);
}

std::vector<uint8_t> Bytes(const std::string& text, size_t size = 16, uint8_t fill = 0xFF)
{
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.resize(size, fill);
    return bytes;
}

HWND Edit(CPowerOnBannerSheet& sheet)
{
    return GetDlgItem(sheet.Page().m_hWnd, IDC_BANNER_EDIT);
}

std::wstring EditText(CPowerOnBannerSheet& sheet)
{
    wchar_t text[64] = {};
    GetWindowTextW(Edit(sheet), text, 64);
    return text;
}

class BannerEditorRun : public BannerEditorTest {
protected:
    // The sheet is up and the banner has been read.
    std::function<bool()> ReadDone(CPowerOnBannerSheet& sheet)
    {
        return [this, &sheet] {
            return sheet.Page().m_hWnd != nullptr && CountWrites("ER03F0") >= 1 && sheet.Page().Machine().IsIdle();
        };
    }
};

TEST_F(BannerEditorRun, AnErasedAreaShowsAnEmptyFixedFontControl)
{
    Start();
    Eeprom().Fill(0x3F0, std::vector<uint8_t>(16, 0xFF));
    CPowerOnBannerSheet sheet(Model());
    std::wstring shown = L"?";
    LRESULT limit = 0;
    bool fixedFont = false;
    Script({{ReadDone(sheet), [&] {
                 shown = EditText(sheet);
                 limit = SendMessageW(Edit(sheet), EM_GETLIMITTEXT, 0, 0);
                 fixedFont = reinterpret_cast<HFONT>(SendMessageW(Edit(sheet), WM_GETFONT, 0, 0)) == sheet.Page().Font();
                 PostMessageW(GetParent(sheet.Page().m_hWnd), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
             }}});
    sheet.DoModal(Host());
    ASSERT_TRUE(ScriptDone());
    EXPECT_EQ(L"", shown);
    EXPECT_EQ(16, limit);
    EXPECT_TRUE(fixedFont);
    EXPECT_EQ(1u, CountWrites("ER03F010FD;"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(BannerEditorRun, OkWritesWhatWasTyped)
{
    struct Case {
        const char* name;
        std::string banner;     // in the radio before
        const wchar_t* typed;
        bool enter;             // OK by Enter in the control (no EN_KILLFOCUS)
        std::vector<uint8_t> after;
        size_t blockWrites;
    };
    const std::string old = "OLD BANNER TEXT!";
    const Case cases[] = {
        {"five_letters", old, L"HELLO", false, Bytes(std::string("HELLO\0NNER TEXT!", 16)), 1},
        {"sixteen", old, L"ABCDEFGHIJKLMNOP", false, Bytes("ABCDEFGHIJKLMNOP"), 1},
        {"trailing_spaces_dropped", old, L"  CQ   ", false, Bytes(std::string("  CQ\0ANNER TEXT!", 16)), 1},
        {"unchanged", "ZR8", L"ZR8", false, Bytes("ZR8", 16, 0), 0},
        {"enter_straight_after_typing", old, L"TYPED", true, Bytes(std::string("TYPED\0NNER TEXT!", 16)), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Start();
        Eeprom().Fill(0x3F0, Bytes(c.banner, 16, 0));
        CPowerOnBannerSheet sheet(Model());
        std::wstring shownBefore, keptWhileTyping;
        Script({{ReadDone(sheet),
                 [&] {
                     shownBefore = EditText(sheet);
                     SetFocus(Edit(sheet));
                     SetWindowTextW(Edit(sheet), c.typed);
                     if (c.enter) {
                         PostMessageW(Edit(sheet), WM_KEYDOWN, VK_RETURN, 0x001C0001);
                         PostMessageW(Edit(sheet), WM_KEYUP, VK_RETURN, 0xC01C0001);
                         return;
                     }
                     // Leaving the control stores the edited text; it must stay as typed.
                     SetFocus(GetDlgItem(GetParent(sheet.Page().m_hWnd), IDOK));
                     keptWhileTyping = EditText(sheet);
                     PostMessageW(GetParent(sheet.Page().m_hWnd), PSM_PRESSBUTTON, PSBTN_OK, 0);
                 }}});
        sheet.DoModal(Host());
        ASSERT_TRUE(ScriptDone());
        EXPECT_EQ(std::wstring(c.banner.begin(), c.banner.end()), shownBefore);
        if (!c.enter) {
            EXPECT_EQ(std::wstring(c.typed), keptWhileTyping);
        }
        EXPECT_EQ(c.blockWrites, CountWrites("EW"));
        if (c.blockWrites == 0) {
            EXPECT_EQ(1u, CountWrites("")) << "nothing but the first read";
        }
        EXPECT_EQ(c.after, BannerBytes(Eeprom()));
        EXPECT_TRUE(boxes.empty());
    }
}

TEST_F(BannerEditorRun, AFailedWriteIsShownInABox)
{
    AddFault("power-loss=1");
    Start();
    CPowerOnBannerSheet sheet(Model());
    Script({{ReadDone(sheet), [&] {
                 SetWindowTextW(Edit(sheet), L"LOST");
                 PostMessageW(GetParent(sheet.Page().m_hWnd), PSM_PRESSBUTTON, PSBTN_OK, 0);
             }}});
    sheet.DoModal(Host());
    ASSERT_TRUE(ScriptDone());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Power On Banner Error", boxes[0].caption);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes[0].type);
    EXPECT_NE(std::wstring::npos, boxes[0].text.find(L"No response to Write EEPROM block")) << boxes[0].text;
}

TEST_F(BannerEditorRun, CancelWhileReadingClosesWithoutABox)
{
    AddFault("late=300");
    Start();
    CPowerOnBannerSheet sheet(Model());
    bool readingWhenCancelled = false;
    Script({{[&] { return sheet.Page().m_hWnd != nullptr && CountWrites("ER03F0") >= 1; },
             [&] {
                 readingWhenCancelled = !sheet.Page().Machine().IsIdle();
                 PostMessageW(GetParent(sheet.Page().m_hWnd), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
             }}});
    sheet.DoModal(Host());
    ASSERT_TRUE(ScriptDone());
    EXPECT_TRUE(readingWhenCancelled);
    EXPECT_TRUE(sheet.Page().Machine().IsIdle());
    EXPECT_EQ(DWORD(ERROR_CANCELLED), sheet.Page().Machine().Result());
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
