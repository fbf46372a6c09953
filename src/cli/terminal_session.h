// One run of zr8 terminal over a port that is already open: the loop that reads the port
// (as the Command Tester page does, in chunks of 512 bytes), the keys or lines of
// standard input, and Ctrl-C, and that decides when the session ends.
//
// On a terminal every key is handled as it is typed (CLineEditor) and the pending line is
// drawn below the transcript. Through a pipe each line is one write, sent once the
// answers of the line before are in: one ";" back for every ";" sent, or the wait with
// no byte arriving. At the end of the input (or Ctrl-D) the session waits the same way
// for the last answers, then ends with 0.
#pragma once

#include <cstdio>
#include <deque>
#include <memory>
#include <string>

#include "cli/terminal_console.h"
#include "cli/terminal_line_editor.h"
#include "cli/terminal_transcript.h"
#include "core/model/command_macros.h"

class CCliSession;

// "2026-12-10 13:59:01", the local time for the log's first and last lines.
std::wstring LocalDateTime();

struct CTerminalOptions {
    bool timeStamps = false;
    bool hex = false;
    bool contact = false;
    std::string logPath;
    DWORD waitMs = 1000;
};

class CTerminalSession {
public:
    // log: an open file for the whole session, or null.
    CTerminalSession(CCliSession& session, const CTerminalOptions& options, const CCommandMacros& macros,
                     std::FILE* log);
    ~CTerminalSession();
    CTerminalSession(const CTerminalSession&) = delete;
    CTerminalSession& operator=(const CTerminalSession&) = delete;

    // Runs until the end; returns the exit code (the port's failure ends it with 1).
    int Run();

private:
    enum class End { None, Input, Interrupt, PortFailure };

    void OnPortEvent();
    void TakeInput();
    void OnLine(const std::string& line);
    // The text a line sends: the line itself, or a macro's text for "!N" (empty when
    // nothing is to be sent; a note says why).
    std::string Resolve(const std::string& line);
    void Send(const std::string& text);
    bool AwaitingAnswers() const;
    void Note(const std::wstring& text);
    void DrawPendingLine();
    void ErasePendingLine();
    void WriteScreen(const std::string& text);
    void WriteLog(const std::string& text);
    void WriteJsonTranscript(const std::string& text);
    int Finish(End end);

    CCliSession& m_session;
    CTerminalOptions m_options;
    const CCommandMacros& m_macros;
    std::FILE* m_log;
    bool m_interactive;
    std::unique_ptr<CTerminalTranscript> m_transcript;
    CLineEditor m_editor;
    TerminalConsole::CStdinReader m_reader;
    std::string m_jsonLine;            // --json: the transcript's line not yet ended
    std::string m_pipeBytes;           // a line still without its line feed
    std::deque<std::string> m_lines;   // lines from the pipe not yet sent
    bool m_inputEnded = false;
    bool m_pendingShown = false;       // the typed line is drawn on the screen
    DWORD m_portError = 0;
    bool m_sentAny = false;
    unsigned m_expectedAnswers = 0;
    DWORD m_lastActivity = 0;
};
