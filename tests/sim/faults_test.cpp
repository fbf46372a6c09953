// Fault injection: each fault does what it says to the exchange it names, and nothing to
// the others.
#include <gtest/gtest.h>

#include "sim/firmware_gen.h"
#include "sim/sim_options.h"
#include "tests/sim/eeprom_protocol.h"
#include "tests/sim/packet_builder.h"
#include "tests/sim/sim_fixture.h"
#include "tests/case_name.h"

namespace {

TEST(FaultSyntax, AcceptsWhatTheHelpShowsAndRefusesTheRest) {
    const char* good[] = {"drop-reply=3", "drop-packet-reply=last", "refuse-packet=5x4", "refuse-packet=@0x1000x4",
                          "refuse-packet=@1000", "answer-c=993", "late=250", "late=250@2", "garbage=1",
                          "garbage=2x16", "bad-checksum=1", "bad-checksum=@03F0", "silent=0", "vanish=100",
                          "power-loss=1", "power-loss=@0100:3", "other-rate=19200", "lose-byte=7"};
    const char* bad[] = {"drop-reply=0", "drop-reply=x", "refuse-packet=994", "refuse-packet=@0801",
                         "refuse-packet=5x0", "late=abc", "late=10@0", "garbage=0", "bad-checksum=@8400",
                         "power-loss=1:65", "vanish=0", "other-rate=", "flood=1", "silent"};
    for (const char* spec : good) {
        CSimFaults faults;
        std::string error;
        EXPECT_TRUE(faults.Add(spec, error)) << spec << ": " << error;
    }
    for (const char* spec : bad) {
        CSimFaults faults;
        std::string error;
        EXPECT_FALSE(faults.Add(spec, error)) << spec;
        EXPECT_FALSE(error.empty()) << spec;
    }
}

TEST(CommandLineSyntax, EveryRefusedOptionSaysWhy) {
    const std::vector<std::vector<std::string>> bad = {
        {"--radio-baud", "0"}, {"--radio-baud", "fast"}, {"--version", "10000"}, {"--serial", "65536"},
        {"--baud-model", "slow"}, {"--fault", "flood=1"}, {"--link"}, {"--frobnicate"}};
    for (const auto& args : bad) {
        CSimCommandLine commandLine;
        std::string error;
        EXPECT_FALSE(ParseSimCommandLine(args, commandLine, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
    CSimCommandLine commandLine;
    std::string error;
    ASSERT_TRUE(ParseSimCommandLine({"--radio-baud", "19200", "--fault", "other-rate=4800"}, commandLine, error))
        << error;
    EXPECT_EQ(commandLine.radio.radioRate, 19200u);
    EXPECT_EQ(commandLine.radio.ListenRate(), 4800u);
}

TEST(FaultSyntax, PacketsByNumberAndByAddressAreTheSame) {
    CSimFaults faults;
    std::string error;
    ASSERT_TRUE(faults.Add("refuse-packet=@0x1000x2", error));
    const uint32_t packet = CSimFaults::PacketNumber(0x1000);
    EXPECT_EQ(packet, 33u);
    EXPECT_TRUE(faults.TakePacketFault(packet, PacketFaultKind::Refuse));
    EXPECT_TRUE(faults.TakePacketFault(packet, PacketFaultKind::Refuse));
    EXPECT_FALSE(faults.TakePacketFault(packet, PacketFaultKind::Refuse));
}

struct ReplyFault {
    const char* fault;
    const char* answers;  // to "I;" "RV;" "SN;" sent one at a time, joined by |
};

class ReplyFaults : public ::testing::TestWithParam<ReplyFault> {};

TEST_P(ReplyFaults, ChangeOnlyTheRepliesTheyName) {
    CRadioOnLine radio(CRadioOnLine::WithFaults({GetParam().fault}));
    std::string all;
    for (const char* command : {"I;", "RV;", "SN;"}) all += radio.Talk(command, 100) + "|";
    EXPECT_EQ(all, GetParam().answers);
}

INSTANTIATE_TEST_SUITE_P(Faults, ReplyFaults,
                         ::testing::Values(ReplyFault{"drop-reply=2", "ZR8;||SN12345;|"},
                                           ReplyFault{"silent=1", "ZR8;|||"},
                                           ReplyFault{"silent=0", "|||"},
                                           ReplyFault{"late=150@1", "|ZR8;RV01.23;|SN12345;|"}),
                         [](const auto& info) { return CaseName(info.param.fault); });

TEST(GarbageFault, NoiseGoesOutAheadOfTheNamedReply) {
    CRadioOnLine radio(CRadioOnLine::WithFaults({"garbage=2x3"}));
    EXPECT_EQ(radio.Talk("I;"), "ZR8;");
    const std::string answer = radio.Talk("RV;");
    EXPECT_EQ(answer, std::string("\x00\xFF\x80RV01.23;", 11));
    EXPECT_EQ(radio.Talk("SN;"), "SN12345;");
}

TEST(LateFault, DelaysEveryReplyAndKeepsTheirOrder) {
    CRadioOnLine radio(CRadioOnLine::WithFaults({"late=300"}));
    EXPECT_EQ(radio.Talk("I;", 299), "");
    radio.clock.Advance(1);
    EXPECT_EQ(radio.host.received, "ZR8;");
}

TEST(OtherRateFault, TheRadioAnswersOnlyAtItsRate) {
    CRadioOnLine radio(CRadioOnLine::WithFaults({"other-rate=19200"}));
    EXPECT_EQ(radio.Talk("I;"), "");
    radio.Link().SetHostRate(19200);
    EXPECT_EQ(radio.Talk("I;"), "ZR8;");
}

TEST(VanishFault, TheLineGoesAfterTheBytesReceived) {
    CRadioOnLine radio(CRadioOnLine::WithFaults({"vanish=5"}));
    EXPECT_EQ(radio.Talk("I;"), "ZR8;");
    EXPECT_FALSE(radio.host.hungUp);
    EXPECT_EQ(radio.Talk("RV;SN;"), "");
    EXPECT_TRUE(radio.host.hungUp);
    EXPECT_TRUE(radio.Link().Vanished());
    EXPECT_EQ(radio.Link().BytesToRadio(), 5u);
}

TEST(ChecksumFault, SpoilsTheNamedReadOnce) {
    CRadioOnLine radio(CRadioOnLine::WithFaults({"bad-checksum=@03F0", "bad-checksum=1"}));
    std::vector<uint8_t> data;
    EXPECT_FALSE(ParseReadAnswer(radio.Talk(ReadCommand(0x0000, 64)), 0x0000, 64, data)) << "the first read";
    EXPECT_TRUE(ParseReadAnswer(radio.Talk(ReadCommand(0x0040, 64)), 0x0040, 64, data));
    EXPECT_FALSE(ParseReadAnswer(radio.Talk(ReadCommand(0x03F0, 16)), 0x03F0, 16, data)) << "the read at 0x03F0";
    EXPECT_TRUE(ParseReadAnswer(radio.Talk(ReadCommand(0x03F0, 16)), 0x03F0, 16, data)) << "the resend";
}

TEST(PowerLossFault, WritesPartOfTheBlockThenTheRadioIsDead) {
    CRadioOnLine radio(CRadioOnLine::WithFaults({"power-loss=@0100:3"}));
    const std::vector<uint8_t> before = radio.Radio().Eeprom().Bytes();
    EXPECT_EQ(radio.Talk(WriteCommand(0x0000, {9})), WriteAck(0x0000, 1));
    EXPECT_EQ(radio.Talk(WriteCommand(0x0100, std::vector<uint8_t>(64, 0x77))), "");
    EXPECT_EQ(radio.Radio().Mode(), RadioMode::Dead);
    EXPECT_EQ(radio.Radio().Eeprom().At(0x0102), 0x77);
    EXPECT_EQ(radio.Radio().Eeprom().At(0x0103), before[0x0103]);
    ASSERT_EQ(radio.Radio().Eeprom().WriteLog().size(), 2u);
    EXPECT_EQ(radio.Radio().Eeprom().WriteLog()[1].bytes.size(), 3u);
    EXPECT_EQ(radio.Talk("I;"), "");
    radio.Radio().PowerCycle();
    EXPECT_EQ(radio.Talk("I;"), "ZR8;");
}

TEST(PowerLossFault, ByCountWritesHalfTheBlock) {
    CRadioOnLine radio(CRadioOnLine::WithFaults({"power-loss=1"}));
    EXPECT_EQ(radio.Talk(WriteCommand(0x0200, std::vector<uint8_t>(64, 0x11))), "");
    EXPECT_EQ(radio.Radio().Eeprom().WriteLog().at(0).bytes.size(), 32u);
}

class PacketFaults : public ::testing::Test {
protected:
    std::vector<uint8_t> image = MakeFirmwareImage(CFirmwareGenOptions{});
    static CSimOptions Options(const std::vector<std::string>& faults) {
        CSimOptions o = CRadioOnLine::Instant();
        o.startInBootLoader = true;
        o.flashMs = 0;
        return CRadioOnLine::WithFaults(faults, o);
    }
};

TEST_F(PacketFaults, RefuseAnswerCAndDropAreCountedPerPacket) {
    CRadioOnLine radio(Options({"refuse-packet=2x2", "answer-c=3", "drop-packet-reply=last"}));
    ASSERT_EQ(radio.Talk("D"), "D");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0800)), "A");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840)), "N");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840)), "N");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840)), "A");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0880)), "C");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0880)), "A");
    EXPECT_EQ(radio.Radio().Flash().BlocksWritten(), 3u) << "refused packets are not flashed";
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0800, true)), "") << "flashed, but the B is lost";
    EXPECT_EQ(radio.Radio().Flash().At(0x0800), image[0]);
    EXPECT_EQ(radio.Radio().Mode(), RadioMode::Application);
}

TEST_F(PacketFaults, DroppedAcknowledgementLeavesThePacketFlashed) {
    CRadioOnLine radio(Options({"drop-packet-reply=@0x0840"}));
    ASSERT_EQ(radio.Talk("D"), "D");
    ASSERT_EQ(radio.Talk(BuildPacket(image, 0x0800)), "A");
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840)), "");
    EXPECT_EQ(radio.Radio().Flash().At(0x0840), image[0x40]);
    EXPECT_EQ(radio.Talk(BuildPacket(image, 0x0840)), "A") << "only once";
}

}  // namespace
