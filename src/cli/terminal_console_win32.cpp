#include <windows.h>

#include <io.h>
#include <stdio.h>

#include "cli/terminal_console.h"
#include "platform/code_pages.h"

namespace TerminalConsole {

namespace {
bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}
}  // namespace

bool StdoutIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

CRawKeys::CRawKeys() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode)) return;
    m_saved[0] = mode;
    // Processed input stays on, so Ctrl-C still interrupts.
    m_active = SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT)) != FALSE;
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD outputMode = 0;
    if (GetConsoleMode(output, &outputMode)) {
        m_saved[1] = outputMode;
        m_saved[2] = 1;
        SetConsoleMode(output, outputMode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

CRawKeys::~CRawKeys() {
    if (!m_active) return;
    SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), static_cast<DWORD>(m_saved[0]));
    if (m_saved[2]) SetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), static_cast<DWORD>(m_saved[1]));
}

bool ReadStdin(std::string& bytes) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (IsConsole(input)) {
        wchar_t keys[128];
        DWORD got = 0;
        if (!ReadConsoleW(input, keys, 128, &got, nullptr)) return false;
        bytes = CodePages::ToUtf8(std::wstring(keys, got));
        return true;
    }
    char buffer[256];
    DWORD got = 0;
    if (!ReadFile(input, buffer, sizeof(buffer), &got, nullptr) || got == 0) return false;
    bytes.assign(buffer, got);
    return true;
}

}  // namespace TerminalConsole
