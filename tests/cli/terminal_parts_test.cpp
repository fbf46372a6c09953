// The two halves of zr8 terminal that need no radio: what the transcript shows for what
// was sent and received, and what keys typed on a terminal make of the pending line.
#include <gtest/gtest.h>

#include "cli/terminal_line_editor.h"
#include "cli/terminal_transcript.h"

namespace {

struct Shown {
    std::string screen;
    std::string log;
};

CTerminalTranscript MakeTranscript(Shown& shown, CTranscriptOptions options = {}) {
    return CTerminalTranscript(
        options, [&shown](const std::string& screen, const std::string& log) {
            shown.screen += screen;
            shown.log += log;
        },
        1000);
}

void Receive(CTerminalTranscript& transcript, const std::string& bytes, uint32_t now) {
    transcript.Received(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), now);
}

TEST(TerminalTranscript, AnswerFollowsItsCommandAndTheNextCommandStartsANewLine) {
    Shown shown;
    CTerminalTranscript transcript = MakeTranscript(shown);
    transcript.Sent("SN;", 1000);
    Receive(transcript, "SN12", 1010);
    Receive(transcript, "345;", 1012);
    EXPECT_EQ(transcript.AnswersSinceSend(), 1u);
    transcript.Sent("RV;", 1100);
    EXPECT_EQ(transcript.AnswersSinceSend(), 0u);
    transcript.EndLine();
    transcript.EndLine();  // once only
    EXPECT_EQ(shown.log, "SN;SN12345;\nRV;\n");
    EXPECT_EQ(shown.screen, shown.log);
}

TEST(TerminalTranscript, CarriageReturnsAreDroppedAndControlBytesEscaped) {
    Shown shown;
    CTerminalTranscript transcript = MakeTranscript(shown);
    transcript.Sent("XX;", 0);
    Receive(transcript, "ONE\r\nTWO\rTHREE\r\n\x1b[2J\t\xe9;", 5);
    EXPECT_EQ(shown.log, "XX;ONE\nTWOTHREE\n\\x1B[2J\t\\xE9;");
    // After a line feed the next command needs no line break of its own.
    Shown second;
    CTerminalTranscript fresh = MakeTranscript(second);
    fresh.Sent("A;", 0);
    Receive(fresh, "B\n", 1);
    fresh.Sent("C;", 2);
    EXPECT_EQ(second.log, "A;B\nC;");
}

TEST(TerminalTranscript, ColourOnlyOnTheScreen) {
    Shown shown;
    CTranscriptOptions options;
    options.colour = true;
    CTerminalTranscript transcript = MakeTranscript(shown, options);
    transcript.Sent("I;", 0);
    Receive(transcript, "ZR8;", 1);
    EXPECT_EQ(shown.screen, "\x1b[32mI;\x1b[0mZR8;");
    EXPECT_EQ(shown.log, "I;ZR8;");
}

TEST(TerminalTranscript, TimeStampsCountFromTheCommandForEveryAnswer) {
    Shown shown;
    CTranscriptOptions options;
    options.timeStamps = true;
    CTerminalTranscript transcript = MakeTranscript(shown, options);
    transcript.Sent("RV;SN;", 2000);
    Receive(transcript, "RV01", 2012);
    Receive(transcript, ".23;SN1", 2015);
    Receive(transcript, "2345;", 2030);
    EXPECT_EQ(shown.log, "RV;SN; [12 ms] RV01.23; [15 ms] SN12345;");
    EXPECT_EQ(transcript.AnswersSinceSend(), 2u);
}

TEST(TerminalTranscript, HexShowsEveryByteAndBreaksAfterEachAnswer) {
    Shown shown;
    CTranscriptOptions options;
    options.hex = true;
    options.timeStamps = true;
    CTerminalTranscript transcript = MakeTranscript(shown, options);
    Receive(transcript, "\r", 1004);  // before any command: counted from the start
    transcript.Sent("I;", 1100);
    Receive(transcript, "ZR8;\r\n", 1105);
    EXPECT_EQ(shown.log, "[4 ms] 0D\nI; [5 ms] 5A 52 38 3B\n[5 ms] 0D 0A\n");
}

struct KeysCase {
    const char* name;
    std::string keys;
    std::vector<std::string> sent;  // "<end>" for the end
    std::string pending;
};
void PrintTo(const KeysCase& c, std::ostream* os) { *os << c.name; }

class LineEditorTest : public ::testing::TestWithParam<KeysCase> {};

TEST_P(LineEditorTest, KeysBecomeSends) {
    const KeysCase& c = GetParam();
    CLineEditor editor;
    std::vector<std::string> sent;
    for (char key : c.keys)
        for (const CLineEditor::Event& event : editor.Feed(std::string(1, key))) {
            if (event.kind == CLineEditor::Kind::Send) sent.push_back(event.text);
            if (event.kind == CLineEditor::Kind::End) sent.push_back("<end>");
        }
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(editor.Line(), c.pending);
}

const KeysCase kKeysCases[] = {
    {"SemicolonSendsAtOnce", "SN;RV", {"SN;"}, "RV"},
    {"EnterSendsWithoutSemicolon", "SN\r", {"SN"}, ""},
    {"EnterOnEmptyLine", "\r\n", {"", ""}, ""},
    {"TwoCommandsTypedAreTwoSends", "RV;SN;", {"RV;", "SN;"}, ""},
    {"MacroWaitsForEnter", "!1;\r", {"!1;"}, ""},
    {"BackspaceTakesAWholeCharacter", "A\xc3\xa9\x7f" "B", {}, "AB"},
    {"CtrlUClearsTheLine", "ABC\x15" "D", {}, "D"},
    {"CtrlDEndsOnlyAnEmptyLine", "AB\x04\x15\x04", {"<end>"}, ""},
    {"EscapeSequencesAreIgnored", "S\x1b[A\x1b[1;5DN;", {"SN;"}, ""},
    {"OtherControlKeysAreIgnored", "S\x01\x02N\t;", {"SN;"}, ""},
};

INSTANTIATE_TEST_SUITE_P(Keys, LineEditorTest, ::testing::ValuesIn(kKeysCases),
                         [](const ::testing::TestParamInfo<KeysCase>& info) { return std::string(info.param.name); });

}  // namespace
