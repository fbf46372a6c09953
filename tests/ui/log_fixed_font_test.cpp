// The fixed-pitch font of the output windows.
#include <gtest/gtest.h>

#include <string>

#include "log_test_host.h"
#include "ui/log/fixed_font.h"

namespace {

TEST(FixedFont, HeightIsTenPointsRoundedToNearest)
{
    struct Case {
        int dpi;
        LONG height;
    };
    // 120 and 150 dpi end in a fraction above one half: truncation would be one short.
    const Case cases[] = {{72, -10}, {96, -13}, {120, -17}, {144, -20}, {150, -21}, {192, -27}};
    for (const Case& c : cases)
        EXPECT_EQ(c.height, FixedFontHeight(c.dpi)) << c.dpi << " dpi";
}

int ScreenPixelsPerInch()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(FixedFont, TenPointCourierNewWithNothingElseSet)
{
    CLogTestHost host;
    ASSERT_TRUE(host.Ready());
    for (HWND window : {host.Output().Window(), static_cast<HWND>(nullptr)}) {
        CFontHandle font = MakeFixedFont(window);
        ASSERT_TRUE(font);
        LOGFONTW described{};
        ASSERT_EQ(static_cast<int>(sizeof(described)), GetObjectW(font.Get(), sizeof(described), &described));
        EXPECT_EQ(FixedFontHeight(ScreenPixelsPerInch()), described.lfHeight);
        EXPECT_EQ(std::wstring(L"Courier New"), described.lfFaceName);
        EXPECT_EQ(0, described.lfWidth);
        EXPECT_EQ(0, described.lfWeight);
        EXPECT_EQ(0, described.lfItalic);
        EXPECT_EQ(0, described.lfCharSet);
        EXPECT_EQ(0, described.lfPitchAndFamily);
    }
}

TEST(FixedFont, HandleMovesAndDeletesOnce)
{
    CFontHandle first = MakeFixedFont(nullptr);
    HFONT raw = first.Get();
    ASSERT_NE(nullptr, raw);
    CFontHandle second(std::move(first));
    EXPECT_EQ(nullptr, first.Get());
    EXPECT_EQ(raw, second.Get());
    second.Reset();
    EXPECT_EQ(0, GetObjectW(raw, 0, nullptr)) << "the font was deleted";
}

}  // namespace
