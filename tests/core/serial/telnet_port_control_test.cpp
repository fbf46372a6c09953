// The Telnet and COM Port Control client, byte in, byte out: what it sends, what it
// answers, and that serial data pass through it whole, 0xFF bytes included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/case_name.h"
#include "core/serial/network_port_name.h"
#include "core/serial/telnet_port_control.h"

namespace {

using Bytes = CTelnetPortControl::Bytes;

constexpr uint8_t IAC = 255, SE = 240, SB = 250, WILL = 251, WONT = 252, DO = 253, DONT = 254;
constexpr uint8_t BINARY = 0, SGA = 3, ECHO_OPTION = 1, COM = 44;

Bytes Receive(CTelnetPortControl& control, const Bytes& fromServer, Bytes* answers = nullptr)
{
    Bytes data, toServer;
    control.Receive(fromServer.data(), fromServer.size(), data, toServer);
    if (answers)
        *answers = toServer;
    return data;
}

// A started client that the server has accepted in full, with the opening's output dropped.
CTelnetPortControl AcceptedClient()
{
    CTelnetPortControl control;
    Bytes start;
    control.Start(start);
    Bytes answers;
    Receive(control, {IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DO, SGA, IAC, WILL, SGA, IAC, DO, COM}, &answers);
    EXPECT_TRUE(answers.empty()) << "answers to answers make a negotiation loop";
    return control;
}

TEST(TelnetPortControl, OpensWithBinaryAndSuppressGoAheadBothWaysAndOffersComPort)
{
    CTelnetPortControl control;
    Bytes out;
    control.Start(out);
    EXPECT_EQ(out, (Bytes{IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, SGA, IAC, DO, SGA, IAC, WILL, COM}));
    EXPECT_FALSE(control.TelnetSeen());
    EXPECT_EQ(control.ComPortState(), CTelnetPortControl::ComPort::Unanswered);
}

TEST(TelnetPortControl, AcceptsTheServersAnswersWithoutRepeatingItself)
{
    CTelnetPortControl control = AcceptedClient();
    EXPECT_TRUE(control.TelnetSeen());
    EXPECT_EQ(control.ComPortState(), CTelnetPortControl::ComPort::Accepted);
}

TEST(TelnetPortControl, RefusesOptionsItDoesNotKnowAndNotesARefusedComPort)
{
    CTelnetPortControl control;
    Bytes start;
    control.Start(start);
    Bytes answers;
    Receive(control, {IAC, WILL, ECHO_OPTION, IAC, DO, 24, IAC, DONT, COM}, &answers);
    EXPECT_EQ(answers, (Bytes{IAC, DONT, ECHO_OPTION, IAC, WONT, 24}));
    EXPECT_EQ(control.ComPortState(), CTelnetPortControl::ComPort::Refused);
}

TEST(TelnetPortControl, ServerAskingFirstIsAnsweredOnce)
{
    CTelnetPortControl control;  // not started: the server speaks first
    Bytes answers;
    Receive(control, {IAC, DO, BINARY, IAC, WILL, SGA}, &answers);
    EXPECT_EQ(answers, (Bytes{IAC, WILL, BINARY, IAC, DO, SGA}));
    Receive(control, {IAC, DO, BINARY, IAC, WILL, SGA}, &answers);
    EXPECT_TRUE(answers.empty());
    Receive(control, {IAC, WONT, SGA}, &answers);
    EXPECT_EQ(answers, (Bytes{IAC, DONT, SGA}));
}

struct DataCase {
    const char* name;
    Bytes fromServer;
    Bytes data;
};

class TelnetData : public testing::TestWithParam<DataCase> {};

TEST_P(TelnetData, CommandsComeOutAndDataStayWhole)
{
    const DataCase& c = GetParam();
    // Whole, and split after every byte: the parser keeps its place across calls.
    CTelnetPortControl whole = AcceptedClient();
    EXPECT_EQ(Receive(whole, c.fromServer), c.data);
    CTelnetPortControl split = AcceptedClient();
    Bytes data;
    for (uint8_t byte : c.fromServer) {
        const Bytes got = Receive(split, {byte});
        data.insert(data.end(), got.begin(), got.end());
    }
    EXPECT_EQ(data, c.data);
}

const DataCase kDataCases[] = {
    {"plain text", {'I', ';', 'Z', 'R', '8', ';'}, {'I', ';', 'Z', 'R', '8', ';'}},
    {"doubled 0xFF is one data byte", {0x01, IAC, IAC, IAC, IAC, 0x02}, {0x01, 0xFF, 0xFF, 0x02}},
    {"NOP and GA vanish", {'A', IAC, 241, 'B', IAC, 249, 'C'}, {'A', 'B', 'C'}},
    {"option commands vanish", {'A', IAC, WILL, BINARY, 'B'}, {'A', 'B'}},
    {"a notify-modemstate sub-negotiation vanishes",
     {'A', IAC, SB, COM, 107, 0x30, IAC, SE, 'B'},
     {'A', 'B'}},
    {"0xFF doubled inside a sub-negotiation", {IAC, SB, COM, 107, IAC, IAC, IAC, SE, 0xFF - 1}, {0xFE}},
    {"an overlong sub-negotiation is dropped whole",
     [] {
         Bytes b = {IAC, SB, COM, 107};
         b.insert(b.end(), 1000, 'x');
         b.insert(b.end(), {IAC, SE, 'D'});
         return b;
     }(),
     {'D'}},
    {"a sub-negotiation cut short by a command", {IAC, SB, COM, 107, IAC, WILL, SGA, 'E'}, {'E'}},
};

INSTANTIATE_TEST_SUITE_P(Stream, TelnetData, testing::ValuesIn(kDataCases),
                         [](const testing::TestParamInfo<DataCase>& info) { return CaseName(info.param.name); });

TEST(TelnetPortControl, EncodeDoublesEveryFF)
{
    const Bytes packet = {0xFF, 0xFF, 0x00, 0xFF, 'D'};
    Bytes out;
    CTelnetPortControl::Encode(packet.data(), packet.size(), out);
    EXPECT_EQ(out, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 'D'}));
    // And back through the receiving side, unchanged.
    CTelnetPortControl control = AcceptedClient();
    EXPECT_EQ(Receive(control, out), packet);
}

TEST(TelnetPortControl, SetLineSendsRateFramingAndNoFlowControl)
{
    CTelnetPortControl control = AcceptedClient();
    Bytes out;
    control.SetLine(9600, out);
    EXPECT_EQ(out, (Bytes{IAC, SB, COM, 1, 0, 0, 0x25, 0x80, IAC, SE,  // SET-BAUDRATE 9600
                          IAC, SB, COM, 2, 8, IAC, SE,                 // SET-DATASIZE 8
                          IAC, SB, COM, 3, 1, IAC, SE,                 // SET-PARITY none
                          IAC, SB, COM, 4, 1, IAC, SE,                 // SET-STOPSIZE 1
                          IAC, SB, COM, 5, 1, IAC, SE}));              // SET-CONTROL no flow control
    out.clear();
    // A rate with 0xFF in it is doubled inside the sub-negotiation.
    control.SetLine(0x0001FFFF, out);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 12), (Bytes{IAC, SB, COM, 1, 0, 1, IAC, IAC, IAC, IAC, IAC, SE}));
    out.clear();
    control.PurgeReceive(out);
    EXPECT_EQ(out, (Bytes{IAC, SB, COM, 12, 1, IAC, SE}));
}

TEST(TelnetPortControl, ReadsTheRateTheServerReports)
{
    CTelnetPortControl control = AcceptedClient();
    EXPECT_EQ(control.RateAnswers(), 0u);
    Receive(control, {IAC, SB, COM, 101, 0, 1, 0xC2, 0x00, IAC, SE});
    EXPECT_EQ(control.ReportedRate(), 115200u);
    EXPECT_EQ(control.RateAnswers(), 1u);
    Receive(control, {IAC, SB, COM, 101, 0, 0, IAC, SE});  // too short: ignored
    EXPECT_EQ(control.RateAnswers(), 1u);
}

struct NameCase {
    const wchar_t* name;
    bool valid;
    bool telnet;
    const char* host;
    unsigned port;
};

class NetworkPortNames : public testing::TestWithParam<NameCase> {};

TEST_P(NetworkPortNames, ParseAsWritten)
{
    const NameCase& c = GetParam();
    EXPECT_TRUE(IsNetworkPortName(c.name));
    CNetworkPortName parsed;
    ASSERT_EQ(ParseNetworkPortName(c.name, parsed), c.valid);
    if (!c.valid)
        return;
    EXPECT_EQ(parsed.telnet, c.telnet);
    EXPECT_EQ(parsed.host, c.host);
    EXPECT_EQ(parsed.port, c.port);
}

const NameCase kNameCases[] = {
    {L"rfc2217://shack-pi:2217", true, true, "shack-pi", 2217},
    {L"RFC2217://192.168.1.20:7000/", true, true, "192.168.1.20", 7000},
    {L"socket://127.0.0.1:4001?logging=debug", true, false, "127.0.0.1", 4001},
    {L"rfc2217://[::1]:2217", true, true, "::1", 2217},
    {L"rfc2217://shack-pi", false, false, "", 0},
    {L"rfc2217://:2217", false, false, "", 0},
    {L"socket://host:0", false, false, "", 0},
    {L"socket://host:65536", false, false, "", 0},
    {L"socket://host:12a", false, false, "", 0},
    {L"socket://::1:2217", false, false, "", 0},
};

INSTANTIATE_TEST_SUITE_P(Names, NetworkPortNames, testing::ValuesIn(kNameCases),
                         [](const testing::TestParamInfo<NameCase>& info) { return CaseName(info.param.name); });

TEST(NetworkPortNames, OtherNamesAreNoNetworkPorts)
{
    for (const wchar_t* name : {L"COM3", L"/dev/ttyUSB0", L"sim", L"rfc2217:", L"telnet://host:23", L""})
        EXPECT_FALSE(IsNetworkPortName(name)) << CaseName(name);
}

}  // namespace
