#include "zr8_terminal_driver.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {
std::vector<char*> Argv(std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);
    return argv;
}

void SetHome(const CZr8Home& home) {
    setenv("XDG_CONFIG_HOME", home.ConfigHome().c_str(), 1);
    setenv("XDG_DATA_HOME", home.DataHome().c_str(), 1);
    unsetenv("NO_COLOR");
}
}  // namespace

CZr8Result RunZr8WithInput(const CZr8Home& home, const std::vector<std::string>& args, const std::string& input,
                           int timeoutMs) {
    CZr8Result result;
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return result;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        SetHome(home);
        std::vector<std::string> words{ZR8_PATH};
        words.insert(words.end(), args.begin(), args.end());
        execv(ZR8_PATH, Argv(words).data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    // Small inputs fit the pipe at once; the program then finds the end after them.
    if (write(in[1], input.data(), input.size()) != static_cast<ssize_t>(input.size())) result.err = "short write";
    close(in[1]);
    bool outOpen = true, errOpen = true;
    int waited = 0;
    while ((outOpen || errOpen) && waited < timeoutMs) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        if (poll(fds, 2, 50) == 0) waited += 50;
        char buffer[4096];
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP))) {
            const ssize_t got = read(out[0], buffer, sizeof buffer);
            if (got > 0) result.out.append(buffer, size_t(got)); else outOpen = false;
        }
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            const ssize_t got = read(err[0], buffer, sizeof buffer);
            if (got > 0) result.err.append(buffer, size_t(got)); else errOpen = false;
        }
    }
    if (outOpen || errOpen) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(out[0]);
    close(err[0]);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

CZr8OnTerminal::CZr8OnTerminal(const CZr8Home& home, const std::vector<std::string>& args) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
    const std::string slavePath = ptsname(m_master);
    m_pid = fork();
    if (m_pid == 0) {
        setsid();
        const int slave = open(slavePath.c_str(), O_RDWR);
        if (slave < 0) _exit(126);
        ioctl(slave, TIOCSCTTY, 0);
        dup2(slave, STDIN_FILENO);
        dup2(slave, STDOUT_FILENO);
        dup2(slave, STDERR_FILENO);
        if (slave > STDERR_FILENO) close(slave);
        close(m_master);
        SetHome(home);
        std::vector<std::string> words{ZR8_PATH};
        words.insert(words.end(), args.begin(), args.end());
        execv(ZR8_PATH, Argv(words).data());
        _exit(127);
    }
}

CZr8OnTerminal::~CZr8OnTerminal() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_master >= 0) close(m_master);
}

void CZr8OnTerminal::Type(const std::string& keys) {
    for (char c : keys) {
        // One key at a time, as typed.
        if (write(m_master, &c, 1) != 1) return;
        usleep(2000);
    }
}

void CZr8OnTerminal::ReadAvailable(int waitMs) {
    pollfd fd = {m_master, POLLIN, 0};
    if (poll(&fd, 1, waitMs) <= 0) return;
    char buffer[4096];
    const ssize_t got = read(m_master, buffer, sizeof buffer);
    if (got > 0) m_screen.append(buffer, size_t(got));
}

bool CZr8OnTerminal::WaitFor(const std::string& text, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        if (m_screen.find(text) != std::string::npos) return true;
        ReadAvailable(20);
    }
    return m_screen.find(text) != std::string::npos;
}

void CZr8OnTerminal::Interrupt() {
    // What the terminal does with the Ctrl-C key: SIGINT to the foreground process.
    const char ctrlC = 0x03;
    if (write(m_master, &ctrlC, 1) != 1 && m_pid > 0) kill(m_pid, SIGINT);
}

int CZr8OnTerminal::WaitExit(int timeoutMs) {
    for (int waited = 0; m_pid > 0 && waited <= timeoutMs; waited += 10) {
        ReadAvailable(0);
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            for (int i = 0; i < 5; ++i) ReadAvailable(10);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        usleep(10000);
    }
    return -1;
}

bool CZr8OnTerminal::TerminalIsCooked() const {
    termios settings;
    if (tcgetattr(m_master, &settings) != 0) return false;
    return (settings.c_lflag & ICANON) != 0 && (settings.c_lflag & ECHO) != 0;
}
