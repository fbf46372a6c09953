#include "cli/terminal_transcript.h"

#include <cstdio>

namespace {
const char kGreen[] = "\x1b[32m";
const char kPlain[] = "\x1b[0m";
}  // namespace

std::string LatencyStamp(uint32_t milliseconds) {
    return "[" + std::to_string(milliseconds) + " ms]";
}

CTerminalTranscript::CTerminalTranscript(const CTranscriptOptions& options, Sink sink, uint32_t startMs)
    : m_options(options), m_sink(std::move(sink)), m_sentAt(startMs) {}

void CTerminalTranscript::Emit(const std::string& text) {
    if (text.empty()) return;
    m_sink(text, text);
    const size_t lineFeed = text.rfind('\n');
    m_column = lineFeed == std::string::npos ? m_column + text.size() : text.size() - lineFeed - 1;
}

void CTerminalTranscript::EndLine() {
    if (m_column > 0) Emit("\n");
}

void CTerminalTranscript::Sent(const std::string& command, uint32_t nowMs) {
    if (command.empty()) return;
    EndLine();
    if (m_options.colour)
        m_sink(kGreen + command + kPlain, command);
    else
        m_sink(command, command);
    m_column += command.size();
    m_sentAt = nowMs;
    m_answerStarts = true;
    m_answers = 0;
}

void CTerminalTranscript::Stamp(uint32_t nowMs) {
    const std::string stamp = LatencyStamp(nowMs - m_sentAt);
    if (m_options.hex)
        Emit(m_column > 0 ? " " + stamp : stamp);
    else
        Emit((m_column > 0 ? " " : "") + stamp + " ");
}

void CTerminalTranscript::Received(const uint8_t* bytes, size_t count, uint32_t nowMs) {
    std::string text;
    auto flush = [&] {
        Emit(text);
        text.clear();
    };
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = bytes[i];
        if (!m_options.hex && byte == '\r') continue;
        if (m_answerStarts && m_options.timeStamps) {
            flush();
            Stamp(nowMs);
        }
        m_answerStarts = false;
        if (m_options.hex) {
            char pair[4];
            std::snprintf(pair, sizeof(pair), "%02X", byte);
            const bool lineStart = text.empty() ? m_column == 0 : text.back() == '\n';
            if (!lineStart) text.push_back(' ');
            text += pair;
            if (byte == ';' || byte == '\n') text.push_back('\n');
        } else if ((byte >= 0x20 && byte < 0x7F) || byte == '\n' || byte == '\t') {
            text.push_back(static_cast<char>(byte));
        } else {
            // Never raw control bytes on a terminal: shown as send shows them.
            char escaped[5];
            std::snprintf(escaped, sizeof(escaped), "\\x%02X", byte);
            text += escaped;
        }
        if (byte == ';') {
            ++m_answers;
            m_answerStarts = true;
        }
    }
    flush();
}
