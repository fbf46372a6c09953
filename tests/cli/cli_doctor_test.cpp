// zr8 doctor over pseudo-terminals: two radios and a silent line, each with its verdict.
#include <gtest/gtest.h>

#include "../sim/sim_process.h"
#include "zr8_process.h"

namespace {

TEST(Doctor, GivesTheVerdictForEachPort) {
    CSimProcess first({"--baud-model", "instant"});
    CSimProcess second({"--baud-model", "instant", "--version", "117", "--serial", "777"});
    CSimProcess silent({"--baud-model", "instant", "--fault", "silent=0"});
    for (const CSimProcess* sim : {&first, &second, &silent}) ASSERT_FALSE(sim->SlavePath().empty()) << sim->FirstLine();
    CZr8Home home;
    const CZr8Result r =
        RunZr8(home, {"--timeout", "3", "doctor", first.SlavePath(), second.SlavePath(), silent.SlavePath()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, first.SlavePath() +
                                    ": ZR8, application firmware, MCU version 01.23, serial number 12345, 9600 bit/s\n"))
        << r.out;
    EXPECT_TRUE(Contains(r.out, second.SlavePath() +
                                    ": ZR8, application firmware, MCU version 01.17, serial number 00777, 9600 bit/s\n"))
        << r.out;
    EXPECT_TRUE(Contains(r.out, silent.SlavePath() + ": no ZR8 (error 0xE2000049: No response to semicolon poll)\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "2 of 3 ports have a ZR8\n")) << r.out;
    EXPECT_TRUE(Contains(r.err, "Error code 0xE2000049: No response to semicolon poll\nNothing at all came back on " +
                                    silent.SlavePath()))
        << r.err;
}

TEST(Doctor, FailsWhenNoPortHasAZr8) {
    CSimProcess silent({"--baud-model", "instant", "--fault", "silent=0"});
    ASSERT_FALSE(silent.SlavePath().empty()) << silent.FirstLine();
    CZr8Home home;
    const CZr8Result r = RunZr8(home, {"--timeout", "2", "--port", silent.SlavePath(), "doctor"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.out, "0 of 1 ports have a ZR8\n")) << r.out;
}

}  // namespace
