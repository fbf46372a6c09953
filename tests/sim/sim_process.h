// zr8sim as a child process: started with its options, its slave path read from the first
// line it prints, stopped with SIGTERM when the test is done with it.
#pragma once

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

class CSimProcess {
public:
    explicit CSimProcess(std::vector<std::string> args) {
        int out[2], in[2];
        if (pipe(out) != 0 || pipe(in) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(in[0], STDIN_FILENO);
            close(out[0]);
            close(in[1]);
            std::vector<char*> argv;
            static char program[] = ZR8SIM_PATH;
            argv.push_back(program);
            for (std::string& a : args) argv.push_back(&a[0]);
            argv.push_back(nullptr);
            execv(program, argv.data());
            _exit(127);
        }
        close(out[1]);
        close(in[0]);
        m_stdout = out[0];
        m_stdin = in[1];
        m_firstLine = ReadLine(5000);
        if (m_firstLine.compare(0, 4, "PTY ") == 0) m_slavePath = m_firstLine.substr(4);
    }
    ~CSimProcess() {
        Stop();
        if (m_stdout >= 0) close(m_stdout);
        CloseStdin();
    }

    const std::string& FirstLine() const { return m_firstLine; }
    const std::string& SlavePath() const { return m_slavePath; }
    void CloseStdin() {
        if (m_stdin >= 0) close(m_stdin);
        m_stdin = -1;
    }
    void Signal(int signal) {
        if (m_pid > 0) kill(m_pid, signal);
    }
    // Exit status once the process has ended by itself within the time, else -1.
    int WaitExit(int timeoutMs) {
        for (int waited = 0; m_pid > 0 && waited <= timeoutMs; waited += 10) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10000);
        }
        return -1;
    }
    int Stop() {
        if (m_pid <= 0) return -1;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    std::string ReadLine(int timeoutMs) {
        std::string line;
        char c;
        pollfd p{m_stdout, POLLIN, 0};
        while (poll(&p, 1, timeoutMs) > 0 && read(m_stdout, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }

    pid_t m_pid = -1;
    int m_stdout = -1;
    int m_stdin = -1;
    std::string m_firstLine;
    std::string m_slavePath;
};

// The slave side as the program's serial port opens it: raw 8N1, non-blocking.
class CSlavePort {
public:
    explicit CSlavePort(const std::string& path, speed_t speed = B9600) {
        m_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) return;
        SetSpeed(speed);
    }
    ~CSlavePort() {
        if (m_fd >= 0) close(m_fd);
    }
    bool IsOpen() const { return m_fd >= 0; }
    void SetSpeed(speed_t speed) {
        termios tio;
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    bool Write(const std::string& bytes) { return write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()); }
    // Reads until the text ends with the terminator or the time is up.
    std::string ReadUntil(char terminator, int timeoutMs) {
        std::string got;
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 10) > 0) {
                if (p.revents & (POLLHUP | POLLERR)) {
                    m_hangUp = true;
                    break;
                }
                char buffer[256];
                const ssize_t n = read(m_fd, buffer, sizeof buffer);
                if (n > 0) got.append(buffer, static_cast<size_t>(n));
                if (!got.empty() && got.back() == terminator) break;
            }
        }
        return got;
    }
    int fd() const { return m_fd; }
    bool SawHangUp() const { return m_hangUp; }

private:
    int m_fd = -1;
    bool m_hangUp = false;
};
