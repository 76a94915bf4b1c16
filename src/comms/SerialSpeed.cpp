#include "SerialSpeed.h"

#ifdef __linux__

// termios2 comes from the kernel's headers, whose struct termios clashes with the C library's: that
// is why this file is kept apart from the one that uses <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace serialspeed {

bool setBaudRate(int fd, int rate)
{
    struct termios2 tio
    {
    };
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    // BOTHER takes the rate as a number, so the table's odd rates need no special case.
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_ispeed = static_cast<speed_t>(rate);
    tio.c_ospeed = static_cast<speed_t>(rate);
    return ioctl(fd, TCSETS2, &tio) == 0;
}

int baudRate(int fd)
{
    struct termios2 tio
    {
    };
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return 0;
    return static_cast<int>(tio.c_ospeed);
}

} // namespace serialspeed

#else

#include <termios.h>

namespace serialspeed {

namespace {
struct SpeedCode
{
    int rate;
    speed_t code;
};
constexpr SpeedCode Codes[] = { { 1200, B1200 }, { 2400, B2400 }, { 4800, B4800 }, { 9600, B9600 },
    { 19200, B19200 }, { 38400, B38400 }, { 57600, B57600 }, { 115200, B115200 } };
} // namespace

bool setBaudRate(int fd, int rate)
{
    termios tio {};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    for (const auto &entry : Codes) {
        if (entry.rate == rate) {
            cfsetispeed(&tio, entry.code);
            cfsetospeed(&tio, entry.code);
            return tcsetattr(fd, TCSANOW, &tio) == 0;
        }
    }
    return false;
}

int baudRate(int fd)
{
    termios tio {};
    if (tcgetattr(fd, &tio) != 0)
        return 0;
    for (const auto &entry : Codes)
        if (entry.code == cfgetospeed(&tio))
            return entry.rate;
    return 0;
}

} // namespace serialspeed

#endif
