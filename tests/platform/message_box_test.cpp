#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message_box.h"

namespace {

TEST(MessageBoxTest, InstalledHandlerSeesEachBoxAndAnswersIt)
{
    std::vector<std::wstring> seen;
    MessageBoxes::Handler previous = MessageBoxes::SetHandler(
        [&](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
            seen.push_back(caption + L": " + text);
            return (type & 0xF) == MB_YESNO ? IDNO : IDOK;
        });
    EXPECT_EQ(MessageBoxes::Show(nullptr, L"Overwrite?", L"ZR8 Utility", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxes::Show(nullptr, L"Done", L"ZR8 Utility", MB_OK), IDOK);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"ZR8 Utility: Overwrite?", L"ZR8 Utility: Done"}));
    MessageBoxes::SetHandler(previous);
}

#ifndef _WIN32
TEST(MessageBoxTest, DefaultAnswerIsTheDefaultButton)
{
    MessageBoxes::SetHandler(nullptr);
    struct Case {
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxes::Show(nullptr, L"text", L"caption", c.type), c.answer) << c.type;
}
#endif

}  // namespace
