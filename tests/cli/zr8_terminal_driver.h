// zr8 terminal driven from outside: through a pipe (lines on standard input, then its
// end), and on a real pseudo-terminal, where the test types keys and reads the screen as
// a user's terminal would show it.
#pragma once

#include <string>
#include <vector>

#include "zr8_process.h"

// Runs zr8 with the text on standard input (a pipe), to its end.
CZr8Result RunZr8WithInput(const CZr8Home& home, const std::vector<std::string>& args, const std::string& input,
                           int timeoutMs = 60000);

class CZr8OnTerminal {
public:
    CZr8OnTerminal(const CZr8Home& home, const std::vector<std::string>& args);
    ~CZr8OnTerminal();
    CZr8OnTerminal(const CZr8OnTerminal&) = delete;
    CZr8OnTerminal& operator=(const CZr8OnTerminal&) = delete;

    bool Started() const { return m_pid > 0; }
    void Type(const std::string& keys);
    // Reads the screen until it holds the text (true) or the time is up.
    bool WaitFor(const std::string& text, int timeoutMs = 10000);
    // Everything shown so far (standard output and error share the terminal).
    const std::string& Screen() const { return m_screen; }
    void Interrupt();  // Ctrl-C as the terminal sends it: SIGINT to the program
    // The exit status once the program has ended within the time, else -1.
    int WaitExit(int timeoutMs = 10000);
    // The terminal's line mode as the program left it: true when canonical and echoing.
    bool TerminalIsCooked() const;

private:
    void ReadAvailable(int waitMs);

    int m_pid = -1;
    int m_master = -1;
    std::string m_screen;
};
