// The console side of zr8 terminal: the terminal put into raw keys for the session, and
// standard input read on a thread of its own, so the loop that reads the port never
// waits for the keyboard or the pipe.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/win_types.h"

namespace TerminalConsole {

bool StdoutIsTerminal();

// While it lives, the keys typed on the terminal of standard input come one by one,
// unechoed (Ctrl-C still interrupts); the terminal's settings come back afterwards, also
// after an interruption. Escape sequences are turned on for standard output on Windows.
class CRawKeys {
public:
    CRawKeys();
    ~CRawKeys();
    CRawKeys(const CRawKeys&) = delete;
    CRawKeys& operator=(const CRawKeys&) = delete;
    bool Active() const { return m_active; }

private:
    bool m_active = false;
    unsigned long m_saved[16] = {};  // the platform's saved settings
};

// What the reading thread has brought in and not yet taken.
struct CInputBuffer {
    std::mutex mutex;
    std::string bytes;
    bool ended = false;  // end of input, or a read failed
};

// Reads standard input until its end on a detached thread, which posts the message to
// the window after each read. The thread may outlive the reader (it can be blocked in a
// read when the session ends), so they share the buffer.
class CStdinReader {
public:
    CStdinReader();
    void Start(HWND window, UINT message);
    // Moves what came in to bytes; true when the input has ended and nothing is left.
    bool Take(std::string& bytes);

private:
    std::shared_ptr<CInputBuffer> m_buffer;
};

// One read of standard input (platform part): false at its end or on a failure.
bool ReadStdin(std::string& bytes);

}  // namespace TerminalConsole
