#include "cli/console_output.h"

#include <cstdio>

#include "core/text/display_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"

namespace {
constexpr int kBarWidth = 40;
constexpr int kPlainStepPercent = 10;

void Write(FILE* stream, const std::wstring& text) {
    const std::string bytes = CodePages::ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}
}  // namespace

std::wstring NormaliseLines(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            c = L'\n';
        }
        out.push_back(c);
    }
    while (!out.empty() && out.back() == L'\n') out.pop_back();
    return out;
}

CConsoleOutput::CConsoleOutput(bool verbose, bool progressBar, bool json)
    : m_verbose(verbose), m_progressBar(progressBar && !json), m_json(json ? std::make_unique<CJsonEvents>() : nullptr) {}

CConsoleOutput::~CConsoleOutput() { FlushPendingTrace(); }

// JSON: a machine's line is a status when its status-text copy follows at once, and a
// trace line (or the machine's own output) when anything else comes next.
void CConsoleOutput::FlushPendingTrace() {
    if (!m_json || !m_pendingTrace) return;
    m_pendingTrace = false;
    m_json->Text("trace", NormaliseLines(m_pendingEcho));
    m_pendingEcho.clear();
}

void CConsoleOutput::PrintLines(const std::wstring& text, bool toStdout, bool stamp) {
    const std::wstring lines = NormaliseLines(text);
    if (m_json) {
        // Callers other than the ones below only reach here in text mode.
        m_lastLine = lines;
        return;
    }
    ClearBar();
    FILE* stream = toStdout ? stdout : stderr;
    if (!toStdout) std::fflush(stdout);
    std::wstring prefix = stamp && m_verbose ? TimeStamp() : std::wstring();
    size_t start = 0;
    do {
        size_t end = lines.find(L'\n', start);
        if (end == std::wstring::npos) end = lines.size();
        Write(stream, prefix + lines.substr(start, end - start) + L"\n");
        start = end + 1;
    } while (start <= lines.size());
    std::fflush(stream);
    m_lastLine = lines;
    if (m_barShown) DrawBar();
}

void CConsoleOutput::Result(const std::wstring& text) {
    if (m_json) {
        FlushPendingTrace();
        m_json->Text("output", NormaliseLines(text));
    }
    PrintLines(text, true, false);
}

void CConsoleOutput::Status(const std::wstring& text) {
    if (m_json) {
        const bool echo = m_pendingTrace && m_pendingEcho == text;
        m_pendingTrace = false;
        if (!echo && !m_pendingEcho.empty()) m_json->Text("trace", NormaliseLines(m_pendingEcho));
        m_pendingEcho.clear();
        m_json->Text("status", NormaliseLines(text));
        m_lastLine = NormaliseLines(text);
        return;
    }
    if (!m_pendingEcho.empty() && m_pendingEcho == text) {
        m_pendingEcho.clear();  // already printed as the machine's own line
        return;
    }
    m_pendingEcho.clear();
    PrintLines(text, false, true);
}

void CConsoleOutput::Log(const std::wstring& text) {
    if (m_json) {
        FlushPendingTrace();
        m_pendingEcho = text;
        m_pendingTrace = true;
        m_lastLine = NormaliseLines(text);
        return;
    }
    PrintLines(text, false, true);
    m_pendingEcho = text;
}

void CConsoleOutput::Verbose(const std::wstring& text) {
    if (!m_verbose) return;
    if (m_json) {
        FlushPendingTrace();
        m_json->Text("verbose", NormaliseLines(text));
    }
    PrintLines(text, false, true);
}

void CConsoleOutput::Error(const std::wstring& text) {
    if (m_json) {
        FlushPendingTrace();
        m_json->Text("message", NormaliseLines(text));
    }
    PrintLines(text, false, false);
}

void CConsoleOutput::QuestionAnswered(const std::wstring& question, bool answer, const char* answeredBy) {
    if (!m_json) return;
    FlushPendingTrace();
    m_json->Question(NormaliseLines(question), answer, answeredBy);
}

void CConsoleOutput::Retry(unsigned long retries) {
    if (!m_json) return;
    FlushPendingTrace();
    m_json->Retry(retries);
}

void CConsoleOutput::ErrorCode(DWORD code, const std::wstring& text, const std::wstring& hint, bool endsCommand) {
    EndProgress();
    const std::wstring line = FormatText(IDS_ERROR_CODE, unsigned(code), text.c_str());
    if (m_json) {
        FlushPendingTrace();
        if (endsCommand) {
            m_json->Error(code, NormaliseLines(text), hint);
        } else {
            m_json->Text("message", NormaliseLines(line));
            if (!hint.empty()) m_json->Text("message", NormaliseLines(hint));
        }
        return;
    }
    PrintLines(line, false, false);
    if (!hint.empty()) PrintLines(hint, false, false);
}

void CConsoleOutput::Box(const std::wstring& caption, const std::wstring& text) {
    if (m_json) {
        FlushPendingTrace();
        m_json->Text("message", NormaliseLines(text), caption);
        m_lastLine = NormaliseLines(text);
        return;
    }
    PrintLines(caption.empty() ? text : caption + L": " + text, false, false);
}

void CConsoleOutput::Finish(int exitCode) {
    if (!m_json) return;
    FlushPendingTrace();
    m_json->Result(exitCode);
}

double CConsoleOutput::Rate() const {
    if (!m_progressStarted) return 0;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_progressStart).count();
    return seconds > 0 && m_position > m_progressFirst ? (m_position - m_progressFirst) / seconds : 0;
}

double CConsoleOutput::SecondsLeft() const {
    const double rate = Rate();
    return rate > 0 ? (m_total - m_position) / rate : -1;
}

void CConsoleOutput::Prompt(const std::wstring& text) {
    if (m_json) {
        // Standard output is for the events; a question for the user goes to the terminal.
        Write(stderr, text);
        std::fflush(stderr);
        return;
    }
    ClearBar();
    std::fflush(stdout);
    Write(stderr, text);
    std::fflush(stderr);
}

bool CConsoleOutput::IsLastLine(const std::wstring& text) const { return NormaliseLines(text) == m_lastLine; }

void CConsoleOutput::Progress(DWORD position, DWORD total) {
    if (total == 0) return;
    if (!m_progressStarted) {
        m_progressStarted = true;
        m_progressStart = std::chrono::steady_clock::now();
        m_progressFirst = position;
    }
    m_position = position;
    m_total = total;
    const int percent = static_cast<int>(uint64_t(position) * 100 / total);
    if (m_json) {
        if (percent == m_lastJsonPercent) return;
        m_lastJsonPercent = percent;
        FlushPendingTrace();
        m_json->Progress(position, total, Rate(), SecondsLeft());
        return;
    }
    if (m_progressBar) {
        m_barShown = true;
        DrawBar();
        return;
    }
    const int step = percent / kPlainStepPercent;
    if (step == m_lastStep) return;
    m_lastStep = step;
    // The step's own percentage, so that a run of large blocks (the configuration's 64 of
    // 1024 bytes) shows 0 %, 10 %, 20 % ... as the firmware load does.
    PrintLines(FormatText(IDS_CLI_PROGRESS, unsigned(step * kPlainStepPercent), unsigned(position), unsigned(total)), false,
               true);
}

void CConsoleOutput::EndProgress() {
    if (m_barShown) {
        DrawBar();
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    m_barShown = false;
    m_lastStep = -1;
    m_lastJsonPercent = -1;
    m_progressStarted = false;
}

void CConsoleOutput::ClearBar() {
    if (!m_barShown) return;
    // Spaces rather than an escape sequence: every console understands them.
    std::fprintf(stderr, "\r%*s\r", kBarWidth + 44, "");
}

void CConsoleOutput::DrawBar() {
    const int filled = m_total ? static_cast<int>(uint64_t(m_position) * kBarWidth / m_total) : 0;
    const int percent = m_total ? static_cast<int>(uint64_t(m_position) * 100 / m_total) : 0;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kBarWidth - filled), '.');
    std::string left;
    const double seconds = SecondsLeft();
    if (seconds >= 0 && m_position < m_total)
        left = " " + CodePages::ToUtf8(FormatText(IDS_CLI_PROGRESS_LEFT, unsigned(seconds + 0.5)));
    std::fprintf(stderr, "\r[%s] %3d%% %5lu/%lu bytes%-10s", bar.c_str(), percent, static_cast<unsigned long>(m_position),
                 static_cast<unsigned long>(m_total), left.c_str());
    std::fflush(stderr);
}
