#include "PtyDevice.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zulsim {

namespace {

speed_t speedFor(int baud)
{
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B9600;
    }
}

[[noreturn]] void fail(const std::string &what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

PtyDevice::~PtyDevice()
{
    close();
}

void PtyDevice::open(int baud)
{
    close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0)
        fail("posix_openpt");
    char name[128];
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0
        || ptsname_r(m_master, name, sizeof name) != 0) {
        const int saved = errno;
        close();
        errno = saved;
        fail("pseudo-terminal set-up");
    }
    m_path = name;
    m_device = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_device < 0) {
        const int saved = errno;
        close();
        errno = saved;
        fail("open " + std::string(name));
    }
    // Raw from the start: with the default line discipline the replies would be echoed back to
    // us as requests before the tool has set the port up.
    termios tio {};
    tcgetattr(m_device, &tio);
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, speedFor(baud));
    cfsetospeed(&tio, speedFor(baud));
    termios probe = tio;
    probe.c_cflag |= PARENB;
    tcsetattr(m_device, TCSANOW, &probe);
    m_keepsParity = tcgetattr(m_device, &probe) == 0 && (probe.c_cflag & PARENB);
    tcsetattr(m_device, TCSANOW, &tio);
    // Our own descriptor is open before the watch starts, so the count covers other programs.
    m_openers = 0;
    m_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }
}

void PtyDevice::close()
{
    for (int *fd : { &m_watch, &m_device, &m_master }) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    m_path.clear();
    m_openers = 0;
}

bool PtyDevice::clientSettingsMatch(int baud, int parity, int stopBits) const
{
    termios tio {};
    if (m_device < 0 || tcgetattr(m_device, &tio) != 0)
        return false;
    if (cfgetospeed(&tio) != speedFor(baud) || ((tio.c_cflag & CSTOPB) != 0) != (stopBits == 2))
        return false;
    if (!m_keepsParity)
        return true;
    const int seen = !(tio.c_cflag & PARENB) ? 0 : (tio.c_cflag & PARODD) ? 1 : 2;
    return seen == parity;
}

void PtyDevice::handleOpenClose()
{
    if (m_watch < 0)
        return;
    bool closedByAll = false;
    alignas(inotify_event) char buffer[4096];
    ssize_t n;
    while ((n = read(m_watch, buffer, sizeof buffer)) > 0) {
        for (char *at = buffer; at < buffer + n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                m_openers = 0; // the count is lost; better a free port than a stuck one
                closedByAll = true;
            } else if (event->mask & IN_OPEN) {
                ++m_openers;
            } else if ((event->mask & IN_CLOSE) && m_openers > 0 && --m_openers == 0) {
                closedByAll = true;
            }
        }
    }
    // Events arrive late: when the port was opened again meanwhile, that session owns the flag
    // and the bytes now.
    if (closedByAll && m_openers == 0) {
        ioctl(m_device, TIOCNXCL);
        tcflush(m_device, TCIFLUSH);
    }
}

} // namespace zulsim
