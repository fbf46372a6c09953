#include "zr8_process.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

CZr8Home::CZr8Home() {
    std::filesystem::create_directories(m_folder.Path() / "config");
    std::filesystem::create_directories(m_folder.Path() / "data");
}

std::string CZr8Home::ConfigHome() const { return (m_folder.Path() / "config").string(); }
std::string CZr8Home::DataHome() const { return (m_folder.Path() / "data").string(); }

void CZr8Home::WriteSettings(const std::string& valueLines) const {
    std::filesystem::create_directories(m_folder.Path() / "config" / "Orvandel");
    std::ofstream file(m_folder.Path() / "config" / "Orvandel" / "ZR8 Utility.reg", std::ios::binary);
    file << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvandel\\ZR8 Utility]\r\n" << valueLines;
}

std::string CZr8Home::WriteFile(const std::string& name, const std::string& content) const {
    const std::filesystem::path path = m_folder.Path() / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

std::string CZr8Home::Read(const std::string& name) const {
    std::ifstream file(m_folder.Path() / name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

namespace {
int Spawn(const char* program, const std::vector<std::string>& args, const std::vector<std::string>& env, int& outFd,
          int& errFd) {
    int out[2], err[2], in[2];
    if (pipe(out) != 0 || pipe(err) != 0 || pipe(in) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1], in[0], in[1]}) close(fd);
        std::vector<std::string> words{program};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        for (const std::string& e : env) putenv(strdup(e.c_str()));
        execv(program, argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    close(in[0]);
    close(in[1]);  // standard input: at its end at once, and no terminal
    outFd = out[0];
    errFd = err[0];
    return pid;
}
}  // namespace

CZr8Result RunZr8(const CZr8Home& home, const std::vector<std::string>& args, int timeoutMs,
                  const std::function<void(const std::string& err, int pid)>& onStderr) {
    CZr8Result result;
    int outFd = -1, errFd = -1;
    std::vector<std::string> environment{"XDG_CONFIG_HOME=" + home.ConfigHome(), "XDG_DATA_HOME=" + home.DataHome()};
    environment.insert(environment.end(), home.Environment().begin(), home.Environment().end());
    const int pid = Spawn(ZR8_PATH, args, environment, outFd, errFd);
    if (pid <= 0) return result;
    bool outOpen = true, errOpen = true;
    int waited = 0;
    while ((outOpen || errOpen) && waited < timeoutMs) {
        pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
        const int n = poll(fds, 2, 50);
        if (n == 0) waited += 50;
        char buffer[4096];
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP))) {
            const ssize_t got = read(outFd, buffer, sizeof buffer);
            if (got > 0) result.out.append(buffer, size_t(got)); else outOpen = false;
        }
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            const ssize_t got = read(errFd, buffer, sizeof buffer);
            if (got > 0) {
                result.err.append(buffer, size_t(got));
                if (onStderr) onStderr(result.err, pid);
            } else {
                errOpen = false;
            }
        }
    }
    if (outOpen || errOpen) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(outFd);
    close(errFd);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

bool MakeFirmware(const std::string& path, const std::vector<std::string>& options) {
    std::vector<std::string> args{"--make-firmware", path};
    args.insert(args.end(), options.begin(), options.end());
    int outFd = -1, errFd = -1;
    const int pid = Spawn(ZR8SIM_PATH, args, {}, outFd, errFd);
    if (pid <= 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    close(outFd);
    close(errFd);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && std::filesystem::exists(path);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
