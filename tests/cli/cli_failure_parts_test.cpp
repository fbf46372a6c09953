// The pieces behind the failure lines and the flash gate that need no radio: what the
// line watch makes of what went over the line, and the version a file's name gives.
#include <gtest/gtest.h>

#include <string>

#include "cli/flash_gate.h"
#include "cli/line_watch.h"

namespace {

struct Exchange {
    bool sent;
    std::string bytes;
};

LineKind KindAfter(const std::vector<Exchange>& exchanges) {
    CLineWatch watch;
    for (const Exchange& e : exchanges)
        watch.OnBytes(e.sent, reinterpret_cast<const BYTE*>(e.bytes.data()), DWORD(e.bytes.size()));
    return watch.Kind();
}

TEST(LineWatch, TellsSilenceNoiseEchoAndAnswers) {
    EXPECT_EQ(KindAfter({{true, ";"}, {true, ";"}}), LineKind::Silence);
    EXPECT_EQ(KindAfter({{true, ";"}, {false, "\x12\x80pq"}, {true, ";"}, {false, "xx"}}), LineKind::NoTerminator);
    // A boot loader that only echoes: the poll and "I;" come back as they went.
    EXPECT_EQ(KindAfter({{true, ";"}, {false, ";"}, {true, "I;"}, {false, "I"}, {false, ";"}}), LineKind::EchoOnly);
    // The boot loader that answers "I;" with "Izr8;" is a radio that answers.
    EXPECT_EQ(KindAfter({{true, ";"}, {false, ";"}, {true, "I;"}, {false, "Izr8;"}}), LineKind::Answers);
    EXPECT_EQ(KindAfter({{true, ";"}, {false, "?;"}, {true, "I;"}, {false, "ZR8;"}}), LineKind::Answers);
}

TEST(LineWatch, NotesTheSwitchIntoTheBootLoader) {
    CLineWatch watch;
    const std::string rv = "RV;", ld = "LD;";
    watch.OnBytes(true, reinterpret_cast<const BYTE*>(rv.data()), 3);
    EXPECT_FALSE(watch.BootLoaderEntered());
    watch.OnBytes(true, reinterpret_cast<const BYTE*>(ld.data()), 3);
    EXPECT_TRUE(watch.BootLoaderEntered());
}

TEST(FlashGate, VersionFromTheFileName) {
    EXPECT_EQ(FileVersionFromName(L"/fw/zr8_0124.hex"), 124u);
    EXPECT_EQ(FileVersionFromName(L"C:\\fw\\ZR8MCU_0117.HEX"), 117u);
    EXPECT_EQ(FileVersionFromName(L"zr8.hex"), 0u) << "the model's digit is no version";
    EXPECT_EQ(FileVersionFromName(L"/fw/zr8-latest.hex"), 0u);
    EXPECT_EQ(FileVersionFromName(L"/fw/zr8_beta.hex"), 0u);
}

}  // namespace
