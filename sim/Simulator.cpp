#include "Simulator.h"

#include "Discovery.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zulsim {

namespace {

using namespace std::chrono_literals;

// A pause this long inside a request means the bytes before it were noise or a broken frame.
constexpr auto InterByteGap = 50ms;
constexpr std::size_t LogLimit = 10000;
constexpr std::size_t MaxFrameBytes = 256; // the largest RTU frame
constexpr int DefaultException = 4;
constexpr int DefaultSplitMs = 60;

timespec toTimespec(std::chrono::steady_clock::time_point point)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(point.time_since_epoch());
    return { static_cast<time_t>(ns.count() / 1000000000),
        static_cast<long>(ns.count() % 1000000000) };
}

// Bytes a line would carry instead of the reply: never our address, so no master mistakes them
// for a reply from us even before it checks the CRC.
void garble(std::vector<std::uint8_t> &adu)
{
    std::uint32_t state = 0x2545F491u ^ static_cast<std::uint32_t>(adu.size());
    for (std::size_t i = 1; i < adu.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        adu[i] = static_cast<std::uint8_t>(state >> 24);
    }
    adu[0] ^= 0xA5;
}

} // namespace

Simulator::Simulator(Options options)
    : m_options(std::move(options))
    , m_model(m_options.kind)
    , m_slave(m_options.slave)
{
    m_model.setLenientHoldingReads(m_options.lenientHoldingReads);
}

Simulator::~Simulator()
{
    stop();
}

std::string Simulator::start()
{
    if (m_thread.joinable())
        return m_linkPath.empty() ? m_device : m_linkPath;
    m_pty.open(m_options.baud);
    m_device = m_pty.path();
    m_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopFd < 0) {
        m_pty.close();
        throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
    }
    try {
        if (!m_options.link.empty())
            makeLink(m_device);
    } catch (...) {
        stop();
        throw;
    }
    if (m_options.announce)
        m_announcePath = announceSimulator(kindName(m_model.kind()), m_device);
    m_thread = std::thread(&Simulator::serve, this);
    return m_linkPath.empty() ? m_device : m_linkPath;
}

void Simulator::makeLink(const std::string &device)
{
    struct stat st
    {
    };
    // Replace an old link of ours, never a file someone else keeps there.
    if (lstat(m_options.link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode))
            throw std::runtime_error(m_options.link + " exists and is not a symlink");
        unlink(m_options.link.c_str());
    }
    if (symlink(device.c_str(), m_options.link.c_str()) != 0)
        throw std::runtime_error("symlink " + m_options.link + ": " + std::strerror(errno));
    m_linkPath = m_options.link;
}

void Simulator::stop()
{
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        if (write(m_stopFd, &one, sizeof one) < 0) {
            // An eventfd write only fails on counter overflow; the thread is stopping already.
        }
        m_thread.join();
    }
    withdrawSimulator(m_announcePath, m_device);
    withdrawSimulator(m_linkPath, m_device);
    m_announcePath.clear();
    m_linkPath.clear();
    m_pty.close();
    m_device.clear();
    if (m_stopFd >= 0)
        close(m_stopFd);
    m_stopFd = -1;
}

std::string Simulator::devicePath() const
{
    return m_device;
}

ModuleModel &Simulator::model()
{
    return m_model;
}

void Simulator::setSlave(std::uint8_t slave)
{
    m_slave = slave;
}

void Simulator::setFault(Fault fault, int count, int param)
{
    if (fault == Fault::ExceptionReply && param <= 0)
        param = DefaultException;
    if (fault == Fault::SplitReply && param <= 0)
        param = DefaultSplitMs;
    std::lock_guard lock(m_mutex);
    m_fault = { count == 0 ? Fault::None : fault, param };
    m_faultCount = count;
}

Simulator::ActiveFault Simulator::takeFault()
{
    std::lock_guard lock(m_mutex);
    const ActiveFault fault = m_fault;
    if (m_faultCount > 0 && --m_faultCount == 0)
        m_fault = {};
    return fault;
}

std::vector<RequestRecord> Simulator::requestLog() const
{
    std::lock_guard lock(m_mutex);
    return { m_log.begin(), m_log.end() };
}

void Simulator::clearRequestLog()
{
    std::lock_guard lock(m_mutex);
    m_log.clear();
}

void Simulator::remember(RequestRecord record)
{
    std::lock_guard lock(m_mutex);
    m_log.push_back(std::move(record));
    if (m_log.size() > LogLimit)
        m_log.pop_front();
}

void Simulator::serve()
{
    std::vector<std::uint8_t> pending;
    Clock::time_point firstByte;
    Clock::time_point lastByte;
    pollfd fds[3] = { { m_stopFd, POLLIN, 0 }, { m_pty.watchFd(), POLLIN, 0 },
        { m_pty.masterFd(), POLLIN, 0 } };
    for (;;) {
        int timeoutMs = -1;
        if (!pending.empty()) {
            const auto left = lastByte + InterByteGap - Clock::now();
            timeoutMs =
                std::max<int>(0, std::chrono::ceil<std::chrono::milliseconds>(left).count());
        }
        if (poll(fds, 3, timeoutMs) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            return;
        // Opens and closes first: they happened before any request the new session sent.
        if (fds[1].revents & POLLIN)
            m_pty.handleOpenClose();
        const auto now = Clock::now();
        if (!pending.empty() && now - lastByte >= InterByteGap) {
            // The silence ends a frame whose length cannot be predicted; anything else
            // incomplete is dropped, as a device drops noise.
            if (rtu::expectedRequestLength(pending.data(), int(pending.size()))
                == rtu::UnknownLength)
                handleFrame(pending, firstByte);
            pending.clear();
        }
        if (fds[2].revents & POLLIN) {
            std::uint8_t buffer[512];
            const ssize_t n = read(m_pty.masterFd(), buffer, sizeof buffer);
            if (n > 0) {
                if (pending.empty())
                    firstByte = now;
                pending.insert(pending.end(), buffer, buffer + n);
                lastByte = now;
            }
        } else if (fds[2].revents & (POLLHUP | POLLERR)) {
            // Cannot happen while we hold the device open; never spin if it does.
            usleep(10000);
        }
        for (;;) {
            const int length = rtu::expectedRequestLength(pending.data(), int(pending.size()));
            if (length <= 0 || int(pending.size()) < length)
                break;
            const std::vector<std::uint8_t> frame(pending.begin(), pending.begin() + length);
            pending.erase(pending.begin(), pending.begin() + length);
            handleFrame(frame, firstByte);
            firstByte = now;
        }
        // Noise without a pause never makes a frame; do not let it pile up.
        if (pending.size() > MaxFrameBytes)
            pending.clear();
    }
}

void Simulator::handleFrame(const std::vector<std::uint8_t> &frame, Clock::time_point arrival)
{
    if (!rtu::crcMatches(frame.data(), int(frame.size())))
        return;
    // At other line settings a real module receives only noise, so it neither answers nor
    // carries out anything.
    if (m_options.strictLine
        && !m_pty.clientSettingsMatch(m_options.baud, m_options.parity, m_options.stopBits))
        return;
    const std::uint8_t address = frame[0];
    const std::vector<std::uint8_t> pdu(frame.begin() + 1, frame.end() - 2);
    if (address == 0) {
        if (rtu::isWrite(pdu[0])) {
            remember(rtu::describe(pdu));
            m_model.handlePdu(pdu);
        }
        return;
    }
    const std::uint8_t slave = m_slave;
    if (address != slave)
        return;
    remember(rtu::describe(pdu));
    const ActiveFault fault = takeFault();
    if (fault.fault == Fault::Silent)
        return;
    std::vector<std::uint8_t> reply;
    if (fault.fault == Fault::ExceptionReply)
        reply = { static_cast<std::uint8_t>(pdu[0] | 0x80),
            static_cast<std::uint8_t>(fault.param) };
    else
        reply = m_model.handlePdu(pdu);
    if (reply.empty())
        return;
    const std::uint8_t from =
        fault.fault == Fault::WrongSlave ? (slave >= 247 ? 1 : slave + 1) : slave;
    std::vector<std::uint8_t> adu = rtu::frame(from, reply);
    if (fault.fault == Fault::BadCrc)
        adu.back() ^= 0x5A;
    if (fault.fault == Fault::Garbled)
        garble(adu);
    if (fault.fault == Fault::TrailingByte)
        adu.push_back(static_cast<std::uint8_t>(fault.param));
    if (fault.fault == Fault::Echo)
        adu.insert(adu.begin(), frame.begin(), frame.end());
    // On a real line the reply cannot start before the request has finished arriving.
    const auto earliest = m_options.pace ? arrival + wireTime(int(frame.size())) : Clock::now();
    sendReply(std::move(adu), fault, earliest);
}

void Simulator::sendReply(
    std::vector<std::uint8_t> adu, ActiveFault fault, Clock::time_point earliest)
{
    if (fault.fault == Fault::Delay)
        earliest = std::max(earliest, Clock::now()) + std::chrono::milliseconds(fault.param);
    if (!waitUntil(earliest))
        return;
    m_pty.handleOpenClose();
    if (!m_pty.hasClient())
        return; // nobody has the port open: the reply is lost on the line
    const int count = static_cast<int>(adu.size());
    if (fault.fault == Fault::SplitReply) {
        if (!writePaced(adu.data(), 2)
            || !waitUntil(Clock::now() + std::chrono::milliseconds(fault.param)))
            return;
        writePaced(adu.data() + 2, count - 2);
    } else {
        writePaced(adu.data(), count);
    }
}

Simulator::Clock::duration Simulator::wireTime(int bytes) const
{
    const int baud = m_options.baud > 0 ? m_options.baud : 9600;
    return std::chrono::nanoseconds(static_cast<long long>(bytes) * 11 * 1000000000LL / baud);
}

bool Simulator::writePaced(const std::uint8_t *bytes, int count)
{
    if (!m_options.pace)
        return writeNow(bytes, count);
    // Each byte is handed over when its last bit would have arrived at the master.
    auto due = Clock::now();
    for (int i = 0; i < count; ++i) {
        due += wireTime(1);
        if (!waitUntil(due) || !writeNow(bytes + i, 1))
            return false;
    }
    return true;
}

bool Simulator::writeNow(const std::uint8_t *bytes, int count)
{
    while (count > 0) {
        const ssize_t n = write(m_pty.masterFd(), bytes, static_cast<std::size_t>(count));
        if (n > 0) {
            bytes += n;
            count -= static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        pollfd out { m_pty.masterFd(), POLLOUT, 0 };
        // A master that does not read for this long has gone; the rest of the reply is lost.
        if (n < 0 && errno == EAGAIN && poll(&out, 1, 100) > 0)
            continue;
        return false;
    }
    return true;
}

bool Simulator::waitUntil(Clock::time_point deadline)
{
    pollfd stopper { m_stopFd, POLLIN, 0 };
    for (;;) {
        const auto left = deadline - Clock::now();
        if (poll(&stopper, 1, 0) > 0)
            return false;
        if (left <= Clock::duration::zero())
            return true;
        if (left > 2ms) {
            // Long waits watch for stop(); the last stretch is slept precisely.
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left - 1ms);
            if (poll(&stopper, 1, static_cast<int>(ms.count())) > 0)
                return false;
            continue;
        }
        const timespec until = toTimespec(deadline);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) { }
        return true;
    }
}

} // namespace zulsim
