// Where zr8 writes: results on stdout; status lines, trace lines, progress, questions
// and errors on stderr. A log line a machine sends to its owner and then again as the
// frame's status text is printed once. Texts with "\r\n" or "\n" become several lines.
#pragma once

#include <string>

#include "platform/win_types.h"

class CConsoleOutput {
public:
    CConsoleOutput(bool verbose, bool progressBar);

    void Result(const std::wstring& text);  // stdout
    void Status(const std::wstring& text);  // a status text (the frame's log)
    void Log(const std::wstring& text);     // a machine's output line (its owner's log)
    void Verbose(const std::wstring& text); // only with --verbose
    void Error(const std::wstring& text);   // stderr, always
    // A question on stderr, without a line break; the answer is read by the caller.
    void Prompt(const std::wstring& text);

    // The load's progress: a bar redrawn in place on a terminal, a line every 10 %
    // otherwise. EndProgress finishes the bar's line.
    void Progress(DWORD position, DWORD total);
    void EndProgress();

    // The text was the last line printed (a message box that repeats a logged line).
    bool IsLastLine(const std::wstring& text) const;

private:
    void PrintLines(const std::wstring& text, bool toStdout, bool stamp);
    void ClearBar();
    void DrawBar();

    bool m_verbose;
    bool m_progressBar;
    bool m_barShown = false;
    DWORD m_position = 0;
    DWORD m_total = 0;
    int m_lastStep = -1;
    std::wstring m_lastLine;      // normalised, as printed
    std::wstring m_pendingEcho;   // a Log line whose status-text copy is still to come
};

// Lines of a text: "\r\n", "\n" and "\r" break it; trailing empty lines are dropped.
std::wstring NormaliseLines(const std::wstring& text);
