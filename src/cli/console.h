// What the tool needs to know of its console: whether a stream is a terminal (progress
// bar or plain lines; ask a question or answer it), and Ctrl-C counted, not fatal.
#pragma once

namespace Console {

bool StdinIsTerminal();
bool StderrIsTerminal();

// While an interrupt guard lives, Ctrl-C (SIGINT, or the console's Ctrl-C event) only
// counts; the loop looks at the count. The default handling comes back afterwards.
class CInterruptGuard {
public:
    CInterruptGuard();
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;
};
unsigned InterruptCount();

}  // namespace Console
