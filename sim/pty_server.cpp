#include "sim/pty_server.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct SpeedEntry { speed_t code; uint32_t rate; };
constexpr SpeedEntry kSpeeds[] = {
    {B300, 300}, {B600, 600}, {B1200, 1200}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600},
    {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
};

uint32_t RateOf(speed_t code) {
    for (const SpeedEntry& e : kSpeeds)
        if (e.code == code) return e.rate;
    return 0;
}

}  // namespace

CPtyServer::CPtyServer(const CSimCommandLine& commandLine)
    : m_commandLine(commandLine), m_simulator(commandLine.radio, m_clock) {}

CPtyServer::~CPtyServer() {
    m_simulator.Link().DetachHost(this);
    CloseAll();
}

bool CPtyServer::Open(std::string& error) {
    if (!m_simulator.Radio().StartError().empty()) {
        error = m_simulator.Radio().StartError();
        return false;
    }
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ptsname(m_master);
    if (!name) {
        error = std::string("ptsname: ") + std::strerror(errno);
        return false;
    }
    m_slavePath = name;
    m_slaveHold = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slaveHold < 0) {
        error = "cannot open " + m_slavePath + ": " + std::strerror(errno);
        return false;
    }
    // Raw 8N1 at 9600 from the start: a cooked slave would echo the radio's own replies
    // back into it before the program has set the line up.
    termios tio;
    if (tcgetattr(m_slaveHold, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        tcsetattr(m_slaveHold, TCSANOW, &tio);
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    if (!m_commandLine.linkPath.empty()) {
        // An earlier link (a run that was killed) is replaced; anything else at the path
        // is someone's file and stays.
        struct stat existing;
        if (lstat(m_commandLine.linkPath.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
            error = m_commandLine.linkPath + " exists and is not a link";
            return false;
        }
        unlink(m_commandLine.linkPath.c_str());
        if (symlink(m_slavePath.c_str(), m_commandLine.linkPath.c_str()) != 0) {
            error = "cannot make the link " + m_commandLine.linkPath + ": " + std::strerror(errno);
            return false;
        }
        m_linkMade = true;
    }
    m_simulator.Link().AttachHost(this);
    return true;
}

int CPtyServer::Run(int controlFd) {
    bool watchStdin = m_commandLine.stdinEofExits;
    while (!m_vanished) {
        pollfd fds[3];
        nfds_t n = 0;
        fds[n++] = {m_master, static_cast<short>(POLLIN | (m_output.empty() ? 0 : POLLOUT)), 0};
        const nfds_t controlAt = n;
        fds[n++] = {controlFd, POLLIN, 0};
        const nfds_t stdinAt = n;
        if (watchStdin) fds[n++] = {STDIN_FILENO, POLLIN, 0};

        const int64_t waitUs = m_clock.NextTimeoutUs();
        timespec wait{static_cast<time_t>(waitUs / 1000000), static_cast<long>(waitUs % 1000000) * 1000};
        const int rc = ppoll(fds, n, waitUs < 0 ? nullptr : &wait, nullptr);
        if (rc < 0 && errno != EINTR) {
            std::perror("zr8sim: ppoll");
            return 1;
        }
        if (rc > 0) {
            if (fds[controlAt].revents & POLLIN) {
                char c = 0;
                if (read(controlFd, &c, 1) == 1) {
                    if (c == 'q') break;
                    if (c == 'p') m_simulator.Radio().PowerCycle();
                }
            }
            if (watchStdin && fds[stdinAt].revents) {
                char buffer[256];
                const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
                if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) break;
            }
            if (fds[0].revents & POLLIN) ReadFromMaster();
            if (m_master >= 0 && (fds[0].revents & POLLOUT)) FlushOutput();
        }
        m_clock.RunDue();
    }
    m_simulator.Finish();
    CloseAll();
    return 0;
}

void CPtyServer::ReadFromMaster() {
    // The terminal settings are shared by both sides: what the program set on the slave is
    // what the master reads back.
    termios tio;
    if (tcgetattr(m_master, &tio) == 0) {
        const uint32_t rate = RateOf(cfgetospeed(&tio));
        if (rate) m_simulator.Link().SetHostRate(rate);
    }
    uint8_t buffer[512];
    for (;;) {
        const ssize_t got = read(m_master, buffer, sizeof buffer);
        if (got <= 0) break;
        m_simulator.Link().FromHost(buffer, static_cast<size_t>(got));
        if (m_vanished) break;
    }
}

void CPtyServer::DeliverToHost(const uint8_t* bytes, size_t count) {
    m_output.insert(m_output.end(), bytes, bytes + count);
    FlushOutput();
}

void CPtyServer::FlushOutput() {
    while (m_master >= 0 && !m_output.empty()) {
        const ssize_t put = write(m_master, m_output.data(), m_output.size());
        if (put <= 0) break;  // the slave's queue is full: poll says when there is room
        m_output.erase(m_output.begin(), m_output.begin() + put);
    }
}

void CPtyServer::HangUp() {
    m_vanished = true;
    std::fprintf(stderr, "zr8sim: the line vanished\n");
    CloseAll();
}

void CPtyServer::CloseAll() {
    if (m_master >= 0) close(m_master);
    if (m_slaveHold >= 0) close(m_slaveHold);
    m_master = m_slaveHold = -1;
    if (m_linkMade) unlink(m_commandLine.linkPath.c_str());
    m_linkMade = false;
}
