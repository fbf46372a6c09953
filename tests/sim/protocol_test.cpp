// The application firmware's text protocol and the boot loader's text phase.
#include <gtest/gtest.h>

#include "tests/sim/sim_fixture.h"

namespace {

struct Exchange {
    const char* name;
    const char* sent;
    const char* answer;
};

class ApplicationAnswers : public ::testing::TestWithParam<Exchange> {};

TEST_P(ApplicationAnswers, AnswersAsTheProgramExpects) {
    CRadioOnLine radio;
    EXPECT_EQ(radio.Talk(GetParam().sent), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Commands, ApplicationAnswers,
                         ::testing::Values(Exchange{"BareSemicolon", ";", "?;"}, Exchange{"Identify", "I;", "ZR8;"},
                                           Exchange{"Version", "RV;", "RV01.23;"},
                                           Exchange{"SerialNumber", "SN;", "SN12345;"},
                                           Exchange{"TestModeOff", "TT0;", ""}, Exchange{"TestModeOn", "TT1;", ""},
                                           Exchange{"LowerCase", "i;", "?;"}, Exchange{"Unknown", "XYZ;", "?;"},
                                           Exchange{"NoSemicolon", "I", ""},
                                           Exchange{"LineEndsAround", "\r\nI;\r\n", "ZR8;"},
                                           Exchange{"TwoInOneWrite", "RV;SN;", "RV01.23;SN12345;"},
                                           // The tester's "SN" without ";" runs into the next command.
                                           Exchange{"RunTogether", "SNRV;", "?;"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Application, VersionAndSerialNumberAreConfigurable) {
    CSimOptions options = CRadioOnLine::Instant();
    options.version = 7;
    options.serialNumber = 42;
    CRadioOnLine radio(options);
    EXPECT_EQ(radio.Talk("RV;"), "RV00.07;");
    EXPECT_EQ(radio.Talk("SN;"), "SN00042;");
}

TEST(Application, OverlongCommandIsRefusedAndTheNextOneWorks) {
    CRadioOnLine radio;
    EXPECT_EQ(radio.Talk(std::string(1000, 'A') + ";"), "?;");
    EXPECT_EQ(radio.Talk("I;"), "ZR8;");
}

TEST(Application, LdAnswersNothingAndRestartsIntoTheBootLoader) {
    CSimOptions options = CRadioOnLine::Instant();
    options.restartMs = 300;
    CRadioOnLine radio(options);
    EXPECT_EQ(radio.Talk("LD;", 100), "");
    EXPECT_EQ(radio.Radio().Mode(), RadioMode::Restarting);
    EXPECT_EQ(radio.Talk("I;", 100), "") << "deaf while restarting";
    radio.clock.Advance(300);
    EXPECT_EQ(radio.Radio().Mode(), RadioMode::BootLoader);
    EXPECT_EQ(radio.Talk("I;"), "Izr8;");
}

TEST(BootLoader, EchoesTextAndIdentifiesInLowerCase) {
    CSimOptions options = CRadioOnLine::Instant();
    options.startInBootLoader = true;
    CRadioOnLine radio(options);
    EXPECT_EQ(radio.Talk(";"), ";") << "a poll is answered by its echo";
    EXPECT_EQ(radio.Talk("RV;"), "RV;");
    EXPECT_EQ(radio.Talk("I;"), "Izr8;");
    EXPECT_EQ(radio.Talk(std::string("\x01\x80", 2)), "") << "no echo for non-text bytes";
}

TEST(BootLoader, EchoOnlyVariantJustEchoesIdentify) {
    CSimOptions options = CRadioOnLine::Instant();
    options.startInBootLoader = true;
    options.bootLoaderEchoOnly = true;
    CRadioOnLine radio(options);
    EXPECT_EQ(radio.Talk("I;"), "I;");
}

TEST(BootLoader, DOpensThePacketPhase) {
    CSimOptions options = CRadioOnLine::Instant();
    options.startInBootLoader = true;
    CRadioOnLine radio(options);
    EXPECT_EQ(radio.Talk("D"), "D");
    EXPECT_TRUE(radio.Radio().BootLoader().InPacketPhase());
    EXPECT_EQ(radio.Talk(";"), "") << "bytes now fill the packet buffer";
}

TEST(LineModel, BytesTakeTenBitTimesEachWay) {
    CSimOptions options;  // line model, 9600 bit/s: 1.04 ms a byte
    CRadioOnLine radio(options);
    radio.Send("I;");
    radio.clock.Advance(6);
    EXPECT_EQ(radio.host.received, "ZR8") << "2 bytes in and 4 out take 6.25 ms";
    radio.clock.Advance(1);
    EXPECT_EQ(radio.host.received, "ZR8;");
}

TEST(LineModel, InstantModelAnswersWithoutLineTime) {
    CRadioOnLine radio;
    EXPECT_EQ(radio.Talk("I;", 0), "ZR8;");
}

TEST(LineModel, TheRadioHearsOnlyItsOwnRate) {
    CRadioOnLine radio;
    radio.Link().SetHostRate(19200);
    EXPECT_EQ(radio.Talk("I;"), "");
    EXPECT_EQ(radio.Link().BytesLost(), 2u);
    radio.Link().SetHostRate(9600);
    EXPECT_EQ(radio.Talk("I;"), "ZR8;");
}

}  // namespace
