// How the boot loader judges packets: the program's packets must be taken exactly as a
// real loader takes them, and anything else refused.
#include <gtest/gtest.h>

#include "sim/firmware_gen.h"
#include "tests/sim/packet_builder.h"
#include "tests/sim/sim_fixture.h"
#include "tests/case_name.h"

namespace {

class BootLoaderTest : public ::testing::Test {
protected:
    static CSimOptions Options() {
        CSimOptions o = CRadioOnLine::Instant();
        o.startInBootLoader = true;
        o.flashMs = 5;
        o.restartMs = 100;
        return o;
    }
    void Open(CRadioOnLine& radio) { ASSERT_EQ(radio.Talk("D"), "D"); }

    std::vector<uint8_t> image = MakeFirmwareImage(CFirmwareGenOptions{});
};

TEST_F(BootLoaderTest, AWholeLoadIsTakenFlashedAndRestartsIntoTheNewFirmware) {
    CRadioOnLine radio(Options());
    Open(radio);
    for (uint32_t a = kImageLow; a < 0x10000; a += 64) ASSERT_EQ(radio.Talk(BuildPacket(image, a), 10), "A") << std::hex << a;
    EXPECT_EQ(radio.Radio().Flash().At(0x0800), 0xDE) << "the marker guards the radio until the final packet";
    EXPECT_EQ(radio.Talk(BuildPacket(image, kImageLow, true), 10), "B");
    EXPECT_EQ(radio.Radio().Flash().Bytes(), image);
    radio.clock.Advance(200);
    EXPECT_EQ(radio.Radio().Mode(), RadioMode::Application);
    EXPECT_EQ(radio.Talk("RV;"), "RV01.24;") << "the version the image names";
    EXPECT_EQ(radio.Radio().BootLoader().Stats().packetsTaken, 993u);
}

TEST_F(BootLoaderTest, ConfiguredLoadVersionWins) {
    CSimOptions options = Options();
    options.loadVersion = 99;
    CRadioOnLine radio(options);
    Open(radio);
    ASSERT_EQ(radio.Talk(BuildPacket(image, kImageLow), 10), "A");
    ASSERT_EQ(radio.Talk(BuildPacket(image, kImageLow, true), 10), "B");
    radio.clock.Advance(200);
    EXPECT_EQ(radio.Talk("RV;"), "RV00.99;");
}

TEST_F(BootLoaderTest, AnswerWaitsForTheFlashWrite) {
    CRadioOnLine radio(Options());
    Open(radio);
    EXPECT_EQ(radio.Talk(BuildPacket(image, kImageLow), 4), "");
    radio.clock.Advance(1);
    EXPECT_EQ(radio.host.received, "A");
}

struct BadPacket {
    const char* what;
    std::vector<uint8_t> (*make)(const std::vector<uint8_t>& image);
};

class RefusedPackets : public BootLoaderTest, public ::testing::WithParamInterface<BadPacket> {};

TEST_P(RefusedPackets, AreAnsweredNAndNotFlashed) {
    CRadioOnLine radio(Options());
    Open(radio);
    ASSERT_EQ(radio.Talk(BuildPacket(image, kImageLow), 10), "A");
    const uint32_t blocks = radio.Radio().Flash().BlocksWritten();
    EXPECT_EQ(radio.Talk(GetParam().make(image), 10), "N") << GetParam().what;
    EXPECT_EQ(radio.Radio().Flash().BlocksWritten(), blocks);
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840), 10), "A") << "the buffer starts afresh";
}

std::vector<uint8_t> WrongChecksum(const std::vector<uint8_t>& image) {
    auto p = BuildPacket(image, 0x0840);
    p[67] ^= 1;
    return p;
}
std::vector<uint8_t> Unaligned(const std::vector<uint8_t>& image) {
    auto p = BuildPacket(image, 0x0840);
    p[64] = 0x41;
    return SealPacket(p);
}
std::vector<uint8_t> BelowImage(const std::vector<uint8_t>& image) {
    auto p = BuildPacket(image, 0x0840);
    p[65] = 0x07;
    p[64] = 0xC0;
    return SealPacket(p);
}
std::vector<uint8_t> ThirdByteOne(const std::vector<uint8_t>& image) {
    auto p = BuildPacket(image, 0x0840);
    p[66] = 1;
    return SealPacket(p);
}
std::vector<uint8_t> FinalAtOtherAddress(const std::vector<uint8_t>& image) {
    auto p = BuildPacket(image, 0x0840, true);
    return p;
}
std::vector<uint8_t> FinalWithMarker(const std::vector<uint8_t>& image) {
    auto p = BuildPacket(image, kImageLow, true);
    p[0] = 0xDE;
    p[1] = 0xAD;
    return SealPacket(p);
}
std::vector<uint8_t> FirstBlockWithoutMarker(const std::vector<uint8_t>& image) {
    auto p = BuildPacket(image, kImageLow, true);
    p[66] = 0;
    return SealPacket(p);
}
std::vector<uint8_t> Polls(const std::vector<uint8_t>&) { return std::vector<uint8_t>(68, ';'); }

INSTANTIATE_TEST_SUITE_P(Packets, RefusedPackets,
                         ::testing::Values(BadPacket{"checksum", WrongChecksum}, BadPacket{"unaligned", Unaligned},
                                           BadPacket{"below 0x0800", BelowImage},
                                           BadPacket{"address byte 2 is 1", ThirdByteOne},
                                           BadPacket{"final packet not at 0x0800", FinalAtOtherAddress},
                                           BadPacket{"final packet with the marker", FinalWithMarker},
                                           BadPacket{"block 0x0800 without the marker", FirstBlockWithoutMarker},
                                           BadPacket{"68 polls", Polls}),
                         [](const auto& info) { return CaseName(info.param.what); });

TEST_F(BootLoaderTest, TheLoadMustOpenWithTheMarkerPacket) {
    CRadioOnLine radio(Options());
    Open(radio);
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840), 10), "N");
    EXPECT_EQ(radio.Talk(BuildPacket(image, kImageLow, true), 10), "N");
    EXPECT_EQ(radio.Talk(BuildPacket(image, kImageLow), 10), "A");
    EXPECT_EQ(radio.Talk(BuildPacket(image, kImageLow), 10), "A") << "a resent packet is taken again";
}

TEST_F(BootLoaderTest, ALostByteIsRealignedByPolls) {
    // Byte 100 after "D" is the 32nd of the second packet: that packet comes up one short,
    // the next one completes it (refused) and leaves 67 bytes behind.
    CRadioOnLine radio(CRadioOnLine::WithFaults({"lose-byte=100"}, Options()));
    Open(radio);
    ASSERT_EQ(radio.Talk(BuildPacket(image, kImageLow), 10), "A");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840), 10), "");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840), 10), "N");
    EXPECT_EQ(radio.Talk(";", 10), "N") << "one poll fills the buffer the resend left";
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840), 10), "A");
}

TEST_F(BootLoaderTest, ABrokenOffLoadComesBackUpInTheBootLoader) {
    CSimOptions options = Options();
    options.startInBootLoader = false;
    CRadioOnLine radio(options);
    radio.Radio().PowerCycle();
    EXPECT_EQ(radio.Radio().Mode(), RadioMode::Application) << "nothing broken yet";
    EXPECT_EQ(radio.Talk("LD;", 200), "");
    Open(radio);
    ASSERT_EQ(radio.Talk(BuildPacket(image, kImageLow), 10), "A");
    radio.Radio().PowerCycle();
    EXPECT_EQ(radio.Radio().Mode(), RadioMode::BootLoader);
    EXPECT_EQ(radio.Talk("I;"), "Izr8;");
}

}  // namespace
