// Where zr8 writes: results on stdout; status lines, trace lines, progress, questions
// and errors on stderr. A log line a machine sends to its owner and then again as the
// frame's status text is printed once. Texts with "\r\n" or "\n" become several lines.
// With --json every one of these is a JSON line on stdout instead (json_events.h).
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "cli/json_events.h"

#include "platform/win_types.h"

class CConsoleOutput {
public:
    CConsoleOutput(bool verbose, bool progressBar, bool json = false);
    ~CConsoleOutput();

    bool IsJson() const { return m_json != nullptr; }
    // The JSON events, or null in text mode.
    CJsonEvents* Json() { return m_json.get(); }

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

    // A question the tool answered itself or asked on the terminal (JSON: an event;
    // text: nothing, the question was printed as it was asked).
    void QuestionAnswered(const std::wstring& question, bool answer, const char* answeredBy);
    // A retry of the radio's (JSON: an event; text: the machine's own line says it).
    void Retry(unsigned long retries);
    // "Error code 0x%08X: %s" and the advice line, or the JSON error event. A failure
    // that does not end the command (one port of several) is, in JSON, two "message"
    // events instead: the "error" event is only ever the one the command ends with.
    void ErrorCode(DWORD code, const std::wstring& text, const std::wstring& hint, bool endsCommand = true);
    // A message box: "Caption: text" on stderr, or "message" events with the caption.
    void Box(const std::wstring& caption, const std::wstring& text);
    // A field of the run's result (JSON: in the final "result" event; text: nothing).
    void Field(const std::string& name, const std::wstring& value) {
        if (m_json) m_json->Field(name, value);
    }
    void Field(const std::string& name, long long value) {
        if (m_json) m_json->Field(name, value);
    }
    void FlagField(const std::string& name, bool value) {
        if (m_json) m_json->Field(name, value);
    }
    // The last event of a JSON run: the result's fields and the exit code.
    void Finish(int exitCode);

    // The text was the last line printed (a message box that repeats a logged line).
    bool IsLastLine(const std::wstring& text) const;

private:
    void PrintLines(const std::wstring& text, bool toStdout, bool stamp);
    void ClearBar();
    void DrawBar();
    void FlushPendingTrace();
    double SecondsLeft() const;
    double Rate() const;

    bool m_verbose;
    bool m_progressBar;
    bool m_barShown = false;
    DWORD m_position = 0;
    DWORD m_total = 0;
    int m_lastStep = -1;
    std::wstring m_lastLine;      // normalised, as printed
    std::wstring m_pendingEcho;   // a Log line whose status-text copy is still to come
    std::unique_ptr<CJsonEvents> m_json;
    bool m_pendingTrace = false;  // JSON: m_pendingEcho is not yet known to be a status
    std::chrono::steady_clock::time_point m_progressStart;
    DWORD m_progressFirst = 0;
    bool m_progressStarted = false;
    int m_lastJsonPercent = -1;
};

// Lines of a text: "\r\n", "\n" and "\r" break it; trailing empty lines are dropped.
std::wstring NormaliseLines(const std::wstring& text);
