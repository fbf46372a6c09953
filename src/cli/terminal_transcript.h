// What zr8 terminal shows of a session, as the Command Tester page shows it: each command
// sent starts on a line of its own, and what the radio sends back follows it as it comes,
// carriage returns dropped, line feeds kept (other bytes outside the printable ASCII
// range are shown as "\xNN", as zr8 send shows them, so the radio can never drive the
// terminal). Two views can be added: a time stamp before
// each answer with the milliseconds since the command went out, and the received bytes
// in hexadecimal (every byte, carriage returns included, a line break after each ";" and
// line feed). The same text goes to the screen (commands in green where colour is on)
// and to the log file (plain).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct CTranscriptOptions {
    bool timeStamps = false;
    bool hex = false;
    bool colour = false;  // the screen's commands in green
};

class CTerminalTranscript {
public:
    // screen: the text for the terminal (with colour sequences when asked); log: the
    // same without them.
    using Sink = std::function<void(const std::string& screen, const std::string& log)>;

    CTerminalTranscript(const CTranscriptOptions& options, Sink sink, uint32_t startMs);

    // A command that went out, exactly as written, at nowMs (the loop's milliseconds).
    void Sent(const std::string& command, uint32_t nowMs);
    // Bytes the radio sent, as read from the port.
    void Received(const uint8_t* bytes, size_t count, uint32_t nowMs);
    // Ends the current line unless it is empty (before a note, and at the end).
    void EndLine();

    bool AtLineStart() const { return m_column == 0; }
    // Answers (";") received since the last command went out.
    unsigned AnswersSinceSend() const { return m_answers; }

private:
    void Emit(const std::string& text);
    void Stamp(uint32_t nowMs);

    CTranscriptOptions m_options;
    Sink m_sink;
    size_t m_column = 0;          // characters on the current line
    uint32_t m_sentAt;            // the last command's time (the start before any)
    bool m_answerStarts = true;   // the next byte received begins an answer
    unsigned m_answers = 0;
};

// "[12 ms]": the stamp before an answer.
std::string LatencyStamp(uint32_t milliseconds);
