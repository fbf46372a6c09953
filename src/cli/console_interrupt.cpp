#include <csignal>

#include "cli/console.h"

namespace {
volatile std::sig_atomic_t g_interrupts = 0;
extern "C" void CountInterrupt(int) {
    g_interrupts = g_interrupts + 1;
    // Some systems reset the handler on delivery; a second Ctrl-C must be counted too.
    std::signal(SIGINT, CountInterrupt);
}
}  // namespace

namespace Console {

CInterruptGuard::CInterruptGuard() { std::signal(SIGINT, CountInterrupt); }
CInterruptGuard::~CInterruptGuard() { std::signal(SIGINT, SIG_DFL); }
unsigned InterruptCount() { return static_cast<unsigned>(g_interrupts); }

}  // namespace Console
