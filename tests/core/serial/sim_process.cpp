#include "sim_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

CSimProcess::~CSimProcess()
{
    Stop();
}

bool CSimProcess::Start(const std::vector<std::string>& args, std::string& error)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    std::vector<std::string> all{ZR8SIM_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    const int rc = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        m_pid = -1;
        error = std::string("cannot start zr8sim: ") + std::strerror(rc);
        return false;
    }
    m_stdout = out[0];

    // The first line is "PTY /dev/pts/N".
    std::string line;
    for (;;) {
        pollfd fd{m_stdout, POLLIN, 0};
        if (::poll(&fd, 1, 10000) <= 0) {
            error = "zr8sim said nothing";
            return false;
        }
        char c;
        if (::read(m_stdout, &c, 1) != 1) {
            error = "zr8sim ended: " + line;
            return false;
        }
        if (c == '\n')
            break;
        line += c;
    }
    if (line.compare(0, 4, "PTY ") != 0) {
        error = "unexpected first line: " + line;
        return false;
    }
    m_slavePath = line.substr(4);
    return true;
}

bool CSimProcess::Exited()
{
    if (m_pid < 0)
        return true;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        return true;
    }
    return false;
}

void CSimProcess::Stop()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
    if (m_stdout >= 0)
        ::close(m_stdout);
    m_stdout = -1;
}
