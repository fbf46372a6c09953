// The OS serial port off Windows: a terminal device (a USB adapter, a built-in port, or
// the simulator's pseudo-terminal) in raw 8N1, non-blocking, held exclusively.
// This file and serial_port_win32.cpp are the OS halves of the serial link; they are
// the only files of the core that speak to the OS directly.
#ifndef _WIN32

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "core/serial/listener_pacer.h"
#include "core/serial/serial_low_latency.h"
#include "core/serial/serial_port_device.h"
#include "core/text/app_messages.h"
#include "platform/code_pages.h"

namespace {

constexpr DWORD kErrorInvalidFunction = 1;  // ERROR_INVALID_FUNCTION: not a serial device
// How often the listener looks again while bytes sit unread (see listener_pacer.h).
constexpr int kUnreadTickMs = 10;
// A write the line does not take in this time (plus twice its line time) fails: the
// radio end has stopped reading, and the user-interface thread must not hang.
constexpr DWORD kWriteSlackMs = 2000;

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_GEN_FAILURE;
    case ENOENT:
    case ENXIO:
    case ENODEV: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:
    case EIO: return ERROR_ACCESS_DENIED;  // held by another program, or the device has gone
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOTTY: return kErrorInvalidFunction;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_INVALID_NAME;
    default: return ERROR_GEN_FAILURE;
    }
}

DWORD LastErrno()
{
    return ErrorFromErrno(errno);
}

class CFd {
public:
    CFd() = default;
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() { Reset(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

// A self-pipe: the stand-in for a Win32 event that poll can wait on.
class CSignalPipe {
public:
    DWORD Create()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            return LastErrno();
        m_read.Reset(fds[0]);
        m_write.Reset(fds[1]);
        return 0;
    }
    void Close()
    {
        m_read.Reset();
        m_write.Reset();
    }
    void Signal()
    {
        const char one = 1;
        while (::write(m_write.Get(), &one, 1) < 0 && errno == EINTR) {
        }
    }
    void Reset()
    {
        char buffer[64];
        while (::read(m_read.Get(), buffer, sizeof buffer) > 0) {
        }
    }
    int ReadFd() const { return m_read.Get(); }

private:
    CFd m_read;
    CFd m_write;
};

bool SpeedFor(DWORD rate, speed_t& speed)
{
    switch (rate) {
    case 4800: speed = B4800; return true;
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    case 57600: speed = B57600; return true;
    case 115200: speed = B115200; return true;
    case 230400: speed = B230400; return true;
    default: return false;
    }
}

enum class Wake { Stop, HangUp, Ready, Handled, Timeout };

class CPosixSerialDevice final : public CSerialPort::Device {
public:
    ~CPosixSerialDevice() override
    {
        if (m_listener.joinable()) {
            BeginStop();
            FinishStop();
        }
    }

    DWORD CreateEvents() override
    {
        DWORD code = m_stop.Create();
        if (!code)
            code = m_handled.Create();
        return code;
    }

    DWORD OpenHandle(const std::wstring& name) override
    {
        const std::string path = CodePages::ToNativePath(CSerialPort::DevicePath(name));
        CFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        if (!fd.Valid())
            return LastErrno();  // EBUSY: another program holds it with TIOCEXCL
        // Exclusive, as a Win32 port opened without sharing: the lock keeps out every
        // program that asks for one (root ignores TIOCEXCL, not the lock).
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
            return LastErrno();
        if (::ioctl(fd.Get(), TIOCEXCL) != 0 && errno != ENOTTY)
            return LastErrno();
        (void)RequestLowLatency(fd.Get());  // a refusal costs only the adapter's own latency
        m_fd.Reset(fd.Release());
        return 0;
    }

    DWORD GetProperties() override
    {
        termios current{};
        return ::tcgetattr(m_fd.Get(), &current) == 0 ? 0 : LastErrno();
    }

    DWORD SetupQueues(DWORD, DWORD) override { return 0; }  // the kernel's own buffers

    DWORD GetState() override
    {
        if (::tcgetattr(m_fd.Get(), &m_settings) != 0)
            return LastErrno();
        ::cfmakeraw(&m_settings);
        m_settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        m_settings.c_cflag |= CS8 | CLOCAL | CREAD;
        m_settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
        // One byte satisfies a read; with O_NONBLOCK an empty queue gives EAGAIN, so a
        // read of 0 bytes can only mean the terminal has hung up.
        m_settings.c_cc[VMIN] = 1;
        m_settings.c_cc[VTIME] = 0;
        return 0;
    }

    DWORD SetState(DWORD baudRate) override
    {
        speed_t speed;
        if (!SpeedFor(baudRate, speed))
            return ERROR_INVALID_PARAMETER;
        termios wanted = m_settings;
        ::cfsetispeed(&wanted, speed);
        ::cfsetospeed(&wanted, speed);
        if (::tcsetattr(m_fd.Get(), TCSANOW, &wanted) != 0)
            return LastErrno();
        m_settings = wanted;
        m_rate = baudRate;
        // DTR and RTS off, as the Win32 port has them; a pseudo-terminal has no modem
        // lines, so a failure here means nothing.
        int lines = TIOCM_DTR | TIOCM_RTS;
        (void)::ioctl(m_fd.Get(), TIOCMBIC, &lines);
        return 0;
    }

    DWORD SetTimeouts() override { return 0; }  // reads never wait: O_NONBLOCK
    DWORD SetEventMask() override { return 0; }

    DWORD StartListener(const CListenerLink& link) override
    {
        m_stopping = false;
        try {
            m_listener = std::thread([this, link] { Listen(link); });
        } catch (const std::system_error& error) {
            return ErrorFromErrno(error.code().value());
        }
        return 0;
    }

    bool ListenerRunning() const override { return m_listener.joinable(); }

    DWORD BeginStop() override
    {
        m_stopping = true;
        return 0;
    }

    void FinishStop() override
    {
        m_stop.Signal();
        if (m_listener.joinable())
            m_listener.join();
        m_stop.Reset();
        m_stopping = false;
    }

    bool HandleOpen() const override { return m_fd.Valid(); }
    void CloseHandle() override
    {
        // The exclusive mode belongs to the terminal, not to this descriptor: it would
        // outlive the close while anyone else (the simulator) keeps the terminal open.
        if (m_fd.Valid())
            (void)::ioctl(m_fd.Get(), TIOCNXCL);
        m_fd.Reset();
    }
    void CloseEvents() override
    {
        m_stop.Close();
        m_handled.Close();
    }

    DWORD Purge() override { return ::tcflush(m_fd.Get(), TCIFLUSH) == 0 ? 0 : LastErrno(); }

    DWORD Write(const void* data, DWORD length, DWORD& written) override
    {
        written = 0;
        const auto* bytes = static_cast<const uint8_t*>(data);
        const DWORD lineMs = static_cast<DWORD>(uint64_t{length} * 10000 / (m_rate ? m_rate : 9600));
        const DWORD limitMs = kWriteSlackMs + 2 * lineMs;
        DWORD waitedMs = 0;
        while (written < length) {
            const ssize_t n = ::write(m_fd.Get(), bytes + written, length - written);
            if (n > 0) {
                written += static_cast<DWORD>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN)
                return LastErrno();
            // The output queue is full: wait for room, the stop signal, or the limit.
            if (waitedMs >= limitMs)
                return ERROR_TIMEOUT;
            const DWORD startMs = GetTickCount();
            switch (WaitOn(POLLOUT, -1, static_cast<int>(limitMs - waitedMs))) {
            case Wake::Stop: return 0;
            case Wake::HangUp: return ERROR_ACCESS_DENIED;
            default: break;
            }
            waitedMs += GetTickCount() - startMs + 1;
        }
        return 0;
    }

    DWORD Read(void* buffer, DWORD length, DWORD& count) override
    {
        count = 0;
        for (;;) {
            const ssize_t n = ::read(m_fd.Get(), buffer, length);
            if (n > 0) {
                count = static_cast<DWORD>(n);
                return 0;
            }
            if (n == 0)
                return ERROR_ACCESS_DENIED;  // hung up: the adapter or the simulator has gone
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN)
                return 0;
            return LastErrno();
        }
    }

    DWORD ClearErrors(DWORD& errors) override
    {
        errors = 0;  // a terminal keeps no line-error flags to fetch
        return 0;
    }

    void EventHandled() override { m_handled.Signal(); }

private:
    // Waits for the device (events: POLLIN, POLLOUT, or 0 for hang-up only), the stop
    // signal and, when handledFd is given, the handled signal.
    Wake WaitOn(short events, int handledFd, int timeoutMs)
    {
        pollfd fds[3] = {{m_stop.ReadFd(), POLLIN, 0}, {m_fd.Get(), events, 0}, {handledFd, POLLIN, 0}};
        const nfds_t count = handledFd >= 0 ? 3 : 2;
        int rc;
        do {
            rc = ::poll(fds, count, timeoutMs);
        } while (rc < 0 && errno == EINTR);
        if (rc < 0)
            return Wake::HangUp;
        if (fds[0].revents || m_stopping)
            return Wake::Stop;
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
            return Wake::HangUp;
        if (count == 3 && (fds[2].revents & POLLIN)) {
            m_handled.Reset();
            return Wake::Handled;
        }
        if (fds[1].revents & events)
            return Wake::Ready;
        return Wake::Timeout;
    }

    void Listen(const CListenerLink& link)
    {
        CListenerPacer pacer;
        while (!m_stopping) {
            const uint64_t readTotal = link.inputTaken->load();
            int waiting = 0;
            if (::ioctl(m_fd.Get(), FIONREAD, &waiting) != 0) {
                link.relay->PostHangUp(link.session);
                return;
            }
            Wake wake;
            if (waiting <= 0) {
                pacer.Mark(0, readTotal);
                wake = WaitOn(POLLIN, -1, -1);
            } else if (pacer.ShouldPost(static_cast<uint64_t>(waiting), readTotal)) {
                pacer.Mark(static_cast<uint64_t>(waiting), readTotal);
                if (link.relay->PostEvent(link.session, MAKEWPARAM(kEventRxChar, 0)))
                    wake = WaitOn(0, m_handled.ReadFd(), -1);
                else
                    wake = WaitOn(0, -1, kUnreadTickMs);
            } else {
                // Bytes sit unread and nothing has changed: look again shortly.
                wake = WaitOn(0, -1, kUnreadTickMs);
            }
            if (wake == Wake::Stop)
                return;
            if (wake == Wake::HangUp) {
                link.relay->PostHangUp(link.session);
                return;
            }
        }
    }

    CFd m_fd;
    CSignalPipe m_stop;
    CSignalPipe m_handled;
    termios m_settings{};
    DWORD m_rate = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_listener;
};

}  // namespace

std::unique_ptr<CSerialPort::Device> CreateOsSerialDevice()
{
    return std::make_unique<CPosixSerialDevice>();
}

#endif  // !_WIN32
