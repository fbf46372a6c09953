#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/terminal_console.h"

namespace TerminalConsole {

static_assert(sizeof(termios) <= sizeof(unsigned long) * 16, "room for the saved terminal settings");

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

CRawKeys::CRawKeys() {
    termios saved;
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) return;
    std::memcpy(m_saved, &saved, sizeof(saved));
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);  // ISIG stays: Ctrl-C interrupts
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    m_active = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

CRawKeys::~CRawKeys() {
    if (!m_active) return;
    termios saved;
    std::memcpy(&saved, m_saved, sizeof(saved));
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

bool ReadStdin(std::string& bytes) {
    char buffer[256];
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof(buffer));
        if (got > 0) {
            bytes.assign(buffer, static_cast<size_t>(got));
            return true;
        }
        if (got < 0 && errno == EINTR) continue;  // Ctrl-C: the loop looks at it
        return false;
    }
}

}  // namespace TerminalConsole
