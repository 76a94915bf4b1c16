// The simulator's end of a pseudo-terminal that stands in for a serial port. The simulator keeps
// its own descriptor of the device side open, so the master side never sees EIO or a hang-up
// while the tool opens and closes the port around every transaction; it watches the device's
// opens and closes so that a port opened exclusively (TIOCEXCL) becomes free again at its last
// close, as a real serial port does. Used by Simulator.
#pragma once

#include <string>

namespace zulsim {

class PtyDevice
{
public:
    PtyDevice() = default;
    ~PtyDevice();
    PtyDevice(const PtyDevice &) = delete;
    PtyDevice &operator=(const PtyDevice &) = delete;

    // Creates the pseudo-terminal in raw mode at `baud`; throws std::runtime_error.
    void open(int baud);
    void close();
    bool isOpen() const { return m_master >= 0; }

    const std::string &path() const { return m_path; }
    int masterFd() const { return m_master; } // non-blocking; requests come in, replies go out
    int watchFd() const { return m_watch; } // readable when another program opened or closed it

    // Reads the pending open/close notifications. After the last close by another program the
    // exclusive flag is cleared and what that program left unread is dropped, as on a real port
    // whose bytes arrive while nobody has it open.
    void handleOpenClose();
    // Whether another program has the device open, as far as the notifications told so far; a
    // reply written while nobody listens would be lost on a real line.
    bool hasClient() const { return m_watch < 0 || m_openers > 0; }
    // Whether the program on the other end set the port to these settings (parity 0 none,
    // 1 odd, 2 even). Some kernels drop the parity flag of a pseudo-terminal; there parity
    // cannot be told and is not compared.
    bool clientSettingsMatch(int baud, int parity, int stopBits) const;

private:
    int m_master = -1;
    int m_device = -1;
    int m_watch = -1;
    int m_openers = 0;
    bool m_keepsParity = false;
    std::string m_path;
};

} // namespace zulsim
