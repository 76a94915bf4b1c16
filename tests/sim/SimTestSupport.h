// Small helpers of the simulator tests: a raw byte-level port on the pty, a libmodbus RTU client,
// bounded line reads from a child's pipe and a scratch directory.
#pragma once

#include "core/KindRegistry.h"

#include <modbus.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace simtest {

using Bytes = std::vector<std::uint8_t>;

// The device end as a test sees it: raw bytes in and out, every read bounded.
class RawPort
{
public:
    explicit RawPort(const std::string &path)
        : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY))
    {
        termios tio {};
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    ~RawPort() { close(); }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    int fd() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }
    void send(const Bytes &bytes) { (void)!::write(m_fd, bytes.data(), bytes.size()); }
    // Everything that arrives within `firstMs` and then until `quietMs` pass without a byte.
    Bytes receive(int firstMs, int quietMs = 40)
    {
        Bytes bytes;
        pollfd in { m_fd, POLLIN, 0 };
        while (::poll(&in, 1, bytes.empty() ? firstMs : quietMs) > 0) {
            std::uint8_t buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

private:
    int m_fd;
};

class ModbusClient
{
public:
    ModbusClient(const std::string &path, int slave, int timeoutMs = 500)
        : m_ctx(modbus_new_rtu(path.c_str(), 9600, 'N', 8, 1))
    {
        modbus_set_slave(m_ctx, slave);
        modbus_set_response_timeout(m_ctx, 0, static_cast<std::uint32_t>(timeoutMs) * 1000);
        m_connected = modbus_connect(m_ctx) == 0;
    }
    ~ModbusClient()
    {
        modbus_close(m_ctx);
        modbus_free(m_ctx);
    }
    bool connected() const { return m_connected; }
    modbus_t *operator*() const { return m_ctx; }

private:
    modbus_t *m_ctx;
    bool m_connected = false;
};

// The registry's kind names as the simulator's texts list them: ("|", "|") "DIO|AIN|AOT", (", ",
// " or ") "DIO, AIN or AOT". The simulator plays every row, so a kind more is a name more here.
inline std::string registryKindNames(const std::string &separator, const std::string &last)
{
    std::string names;
    for (int n = 0; n < zul::KindCount; ++n)
        names += (n == 0                           ? ""
                         : n + 1 == zul::KindCount ? last
                                                   : separator)
            + std::string(zul::ModuleKinds[n].Name);
    return names;
}

// One line from a pipe, without the newline; empty after `timeoutMs` without one.
inline std::string readLine(int fd, int timeoutMs)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd in { fd, POLLIN, 0 };
        if (left.count() <= 0 || ::poll(&in, 1, static_cast<int>(left.count())) <= 0)
            return {};
        char c;
        if (::read(fd, &c, 1) != 1)
            return {};
        if (c == '\n')
            return line;
        line += c;
    }
}

class TempDir
{
public:
    TempDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zul-sim-test-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace simtest
