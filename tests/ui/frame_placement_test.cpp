// The main frame's size: the minimum track size taken at the first show, and the
// placement saved under "Window" and restored all-or-nothing.
#include "tests/ui/frame_fixture.h"
#include "ui/frame/window_placement.h"

namespace {

const wchar_t* const kPlacementValues[] = {L"flags",   L"showCmd", L"minPosX", L"minPosY", L"maxPosX",
                                           L"maxPosY", L"bottom",  L"left",    L"right",   L"top"};

SIZE Size(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

TEST_F(FrameTest, MinimumTrackSizeIsTheViewGrownByFiveAndNinePercent)
{
    Start(true);
    ASSERT_TRUE(Frame().FirstShowDone());
    const SIZE view = Frame().TabView().CreatedClientSize();
    ASSERT_GT(view.cx, 0);
    const SIZE expected = {(view.cx * 105 + 50) / 100, (view.cy * 109 + 50) / 100};
    EXPECT_EQ(expected.cx, Frame().MinTrackSize().cx);
    EXPECT_EQ(expected.cy, Frame().MinTrackSize().cy);

    MINMAXINFO info = {};
    Frame().SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(expected.cx, info.ptMinTrackSize.x);
    EXPECT_EQ(expected.cy, info.ptMinTrackSize.y);

    // The user (or anyone) cannot make it smaller.
    Frame().SetWindowPos(nullptr, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE now = Size(Frame().GetWindowRect());
    EXPECT_GE(now.cx, expected.cx);
    EXPECT_GE(now.cy, expected.cy);
}

TEST_F(FrameTest, WithoutSavedPlacementTheFrameHasTheMinimumSizeCentred)
{
    Start(true);
    const RECT r = Frame().GetWindowRect();
    EXPECT_EQ(Frame().MinTrackSize().cx, r.right - r.left);
    EXPECT_EQ(Frame().MinTrackSize().cy, r.bottom - r.top);
    RECT work;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_NEAR((work.left + work.right) / 2, (r.left + r.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (r.top + r.bottom) / 2, 1);
}

TEST_F(FrameTest, PlacementIsSavedAndRestoredAndOneMissingValueFallsBack)
{
    Start(true);
    const SIZE min = Frame().MinTrackSize();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ASSERT_TRUE(::GetWindowPlacement(Frame(), &placement));
    placement.rcNormalPosition = {40, 30, 40 + min.cx + 60, 30 + min.cy + 50};
    placement.showCmd = SW_SHOWNORMAL;
    ASSERT_TRUE(::SetWindowPlacement(Frame(), &placement));
    Close();

    for (const wchar_t* name : kPlacementValues) {
        DWORD value = 0;
        EXPECT_EQ(0u, Store().ReadDword(L"Window", name, value)) << name;
    }
    DWORD right = 0;
    Store().ReadDword(L"Window", L"right", right);
    EXPECT_EQ(DWORD(40 + min.cx + 60), right);

    Start(true);
    RECT r = Frame().GetWindowRect();
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(30, r.top);
    EXPECT_EQ(min.cx + 60, r.right - r.left);
    EXPECT_EQ(min.cy + 50, r.bottom - r.top);
    Close();

    // Any one value gone: the whole placement is ignored.
    for (const wchar_t* name : {L"top", L"flags"}) {
        ASSERT_EQ(0u, Store().DeleteValue(L"Window", name));
        Start(true);
        r = Frame().GetWindowRect();
        EXPECT_EQ(min.cx, r.right - r.left) << "without " << name;
        EXPECT_EQ(min.cy, r.bottom - r.top) << "without " << name;
        Close();  // saves a whole placement again
    }
}

TEST(WindowPlacementStore, WritesInOrderStopsAtFirstFailureAndNeedsDwords)
{
    // A store that fails its n-th write and records the names written.
    class CFailingStore : public ISettingsStore {
    public:
        explicit CFailingStore(int failAt) : m_failAt(failAt), m_inner(CreateMemorySettingsStore()) {}
        DWORD ReadValue(const std::wstring& k, const std::wstring& n, DWORD& t, std::vector<uint8_t>& d) override
        {
            return m_inner->ReadValue(k, n, t, d);
        }
        DWORD WriteValue(const std::wstring& k, const std::wstring& n, DWORD t, const std::vector<uint8_t>& d) override
        {
            if (static_cast<int>(names.size()) == m_failAt)
                return ERROR_ACCESS_DENIED;
            names.push_back(n);
            return m_inner->WriteValue(k, n, t, d);
        }
        DWORD DeleteValue(const std::wstring& k, const std::wstring& n) override { return m_inner->DeleteValue(k, n); }
        std::vector<std::wstring> names;

    private:
        int m_failAt;
        std::unique_ptr<ISettingsStore> m_inner;
    };

    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.showCmd = SW_SHOWMAXIMIZED;
    placement.ptMinPosition = {-1, -1};
    placement.rcNormalPosition = {1, 2, 300, 400};

    CFailingStore all(-1);
    ASSERT_TRUE(SaveWindowPlacement(all, placement));
    EXPECT_EQ(std::vector<std::wstring>(std::begin(kPlacementValues), std::end(kPlacementValues)), all.names);
    WINDOWPLACEMENT back = {};
    ASSERT_TRUE(ReadWindowPlacement(all, back));
    EXPECT_EQ(UINT(SW_SHOWMAXIMIZED), back.showCmd);
    EXPECT_EQ(-1, back.ptMinPosition.x);
    EXPECT_EQ(400, back.rcNormalPosition.bottom);

    CFailingStore partial(3);
    EXPECT_FALSE(SaveWindowPlacement(partial, placement));
    EXPECT_EQ(3u, partial.names.size());
    EXPECT_FALSE(ReadWindowPlacement(partial, back));

    // A value of another type counts as missing.
    ASSERT_EQ(0u, all.WriteString(L"Window", L"left", L"1"));
    EXPECT_FALSE(ReadWindowPlacement(all, back));
}

}  // namespace
