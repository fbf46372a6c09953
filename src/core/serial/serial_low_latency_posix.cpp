#include "core/serial/serial_low_latency.h"

#include <cerrno>
#include <sys/ioctl.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

bool RequestLowLatency(int fd) {
#if defined(__linux__) && defined(TIOCGSERIAL) && defined(ASYNC_LOW_LATENCY)
    const int savedErrno = errno;
    serial_struct settings{};
    bool low = false;
    if (::ioctl(fd, TIOCGSERIAL, &settings) == 0) {
        low = (settings.flags & ASYNC_LOW_LATENCY) != 0;
        if (!low) {
            settings.flags |= ASYNC_LOW_LATENCY;
            low = ::ioctl(fd, TIOCSSERIAL, &settings) == 0;
        }
    }
    errno = savedErrno;
    return low;
#else
    (void)fd;
    return false;
#endif
}
