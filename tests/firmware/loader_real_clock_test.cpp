// A whole load on the real clock and, on Windows, real window timers and the system's
// message loop: the states' timers and the port events as the program meets them.
#include <gtest/gtest.h>

#include "loader_fixture.h"

namespace {

TEST_F(LoaderTest, CleanLoadOnTheRealClock) {
    simOptions.baudModel = BaudModel::Instant;
    simOptions.flashMs = 0;
    Prepare();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion(120 * 1000));
    EXPECT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_EQ(link.Packets(), 993u);
    const std::vector<uint8_t>& flash = sim->Radio().Flash().Bytes();
    EXPECT_TRUE(std::equal(flash.begin(), flash.end(), machine->Image().Bytes()));
    EXPECT_EQ(model->m_mcuVersion.Get(), 124);
}

}  // namespace
