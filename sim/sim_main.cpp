#include "sim/sim_main.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "sim/firmware_gen.h"
#include "sim/pty_server.h"

namespace {

int g_controlWrite = -1;

void OnSignal(int signal) {
    const char c = signal == SIGUSR1 ? 'p' : 'q';
    if (g_controlWrite >= 0) (void)!write(g_controlWrite, &c, 1);
}

}  // namespace

int Zr8SimMain(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CSimCommandLine commandLine;
    std::string error;
    if (!ParseSimCommandLine(args, commandLine, error)) {
        std::fprintf(stderr, "zr8sim: %s\n", error.c_str());
        return 2;
    }
    if (commandLine.help) {
        std::fputs(SimUsageText(), stdout);
        return 0;
    }
    if (commandLine.printVersion) {
        std::printf("zr8sim %s\n", ZR8_PROGRAM_VERSION);
        return 0;
    }
    if (!commandLine.makeFirmwarePath.empty()) {
        if (!WriteFirmwareFile(commandLine.makeFirmwarePath, commandLine.firmware, error)) {
            std::fprintf(stderr, "zr8sim: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }

    int control[2];
    if (pipe(control) != 0) {
        std::perror("zr8sim: pipe");
        return 1;
    }
    fcntl(control[0], F_SETFD, FD_CLOEXEC);
    fcntl(control[1], F_SETFD, FD_CLOEXEC);
    fcntl(control[1], F_SETFL, O_NONBLOCK);
    g_controlWrite = control[1];
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGUSR1, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    int rc;
    {
        CPtyServer server(commandLine);
        if (!server.Open(error)) {
            std::fprintf(stderr, "zr8sim: %s\n", error.c_str());
            return 1;
        }
        std::printf("PTY %s\n", server.SlavePath().c_str());
        std::fflush(stdout);
        rc = server.Run(control[0]);
    }
    g_controlWrite = -1;
    close(control[0]);
    close(control[1]);
    return rc;
}
