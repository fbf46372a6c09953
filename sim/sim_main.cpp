#include "sim/sim_main.h"

#include <csignal>
#include <string>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "sim/firmware_gen.h"
#include "sim/pty_server.h"

namespace {

int g_controlWrite = -1;

// "zr8sim", or "zr8 sim" when zr8 runs the simulator: the name its messages and its
// usage line give.
std::string ProgramName(const char* argv0) {
    const std::string path = argv0 ? argv0 : "zr8sim";
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void OnSignal(int signal) {
    const char c = signal == SIGUSR1 ? 'p' : 'q';
    if (g_controlWrite >= 0) (void)!write(g_controlWrite, &c, 1);
}

}  // namespace

int Zr8SimMain(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string name = ProgramName(argc > 0 ? argv[0] : nullptr);
    const char* me = name.c_str();
    CSimCommandLine commandLine;
    std::string error;
    if (!ParseSimCommandLine(args, commandLine, error)) {
        std::fprintf(stderr, "%s: %s\n", me, error.c_str());
        return 2;
    }
    if (commandLine.help) {
        std::string usage = SimUsageText();
        const size_t own = usage.find("zr8sim");
        if (own != std::string::npos) usage.replace(own, 6, name);
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    if (commandLine.printVersion) {
        std::printf("zr8sim %s\n", ZR8_PROGRAM_VERSION);
        return 0;
    }
    if (!commandLine.makeFirmwarePath.empty()) {
        if (!WriteFirmwareFile(commandLine.makeFirmwarePath, commandLine.firmware, error)) {
            std::fprintf(stderr, "%s: %s\n", me, error.c_str());
            return 1;
        }
        return 0;
    }

    int control[2];
    if (pipe(control) != 0) {
        std::perror((name + ": pipe").c_str());
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
            std::fprintf(stderr, "%s: %s\n", me, error.c_str());
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
