// CLineWatch: what went over the line during a run, enough to tell the user why the
// radio did not answer: nothing came back at all, bytes came but never a ";" (another
// bit rate, another device), or every answer was the command itself (a boot loader that
// only echoes). It also notes whether "LD;" went out: after that the radio sits in its
// boot loader until a load completes.
#pragma once

#include <string>

#include "platform/win_types.h"

enum class LineKind {
    Silence,       // not one byte came back
    NoTerminator,  // bytes, but never a ";"
    EchoOnly,      // every complete answer was what had just been sent
    Answers,       // the radio answered
};

class CLineWatch {
public:
    void OnBytes(bool sent, const BYTE* bytes, DWORD count);
    void Reset() { *this = CLineWatch(); }

    LineKind Kind() const;
    DWORD BytesReceived() const { return m_received; }
    bool BootLoaderEntered() const { return m_bootLoaderEntered; }
    bool PortUsed() const { return m_sentCommands != 0; }  // something was written

private:
    std::string m_lastSent;    // the last command written, to compare its answer with
    std::string m_answer;      // received since the last write, up to ";"
    DWORD m_received = 0;
    DWORD m_sentCommands = 0;
    DWORD m_terminators = 0;
    DWORD m_echoes = 0;
    DWORD m_otherAnswers = 0;
    bool m_bootLoaderEntered = false;
};
