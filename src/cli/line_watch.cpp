#include "cli/line_watch.h"

void CLineWatch::OnBytes(bool sent, const BYTE* bytes, DWORD count) {
    const std::string text(reinterpret_cast<const char*>(bytes), count);
    if (sent) {
        m_lastSent = text;
        ++m_sentCommands;
        m_answer.clear();
        if (text == "LD;") m_bootLoaderEntered = true;
        return;
    }
    m_received += count;
    for (char c : text) {
        m_answer.push_back(c);
        if (c != ';') continue;
        ++m_terminators;
        // The boot loader's echo of a command; a bare ";" poll echoed proves nothing
        // by itself, but it is no answer of the application firmware either.
        if (m_answer == m_lastSent)
            ++m_echoes;
        else
            ++m_otherAnswers;
        m_answer.clear();
    }
}

LineKind CLineWatch::Kind() const {
    if (m_received == 0) return LineKind::Silence;
    if (m_terminators == 0) return LineKind::NoTerminator;
    if (m_otherAnswers == 0 && m_echoes > 0) return LineKind::EchoOnly;
    return LineKind::Answers;
}
