#include "RKCOMM.h"

#include "SerialSpeed.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;
using namespace std::chrono_literals;

#ifdef CMSPAR
constexpr tcflag_t FrameFlags = CSIZE | PARENB | PARODD | CMSPAR;
#else
constexpr tcflag_t FrameFlags = CSIZE | PARENB | PARODD;
#endif

// Rounded up: a wait of a fraction of a millisecond (a scan's short time-out) is never cut short.
int msUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The user's short date, two spaces, the long time and " - ": the locale is whatever the
// application installed (Qt sets the C locale from the environment at start-up).
std::string timeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%x  %X - ", &local);
    return std::string(text, length);
}

// Exclusive in two ways: TIOCEXCL stops other programs, but root ignores it (and CI runs as root),
// so an advisory lock also stops a second opener in this very process.
bool lockExclusively(int fd)
{
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    ioctl(fd, TIOCEXCL);
    return true;
}

// Rates with a termios constant; the table's other rates (14400, 28800, 76800) need termios2.
bool setStandardRate(termios &tio, int rate)
{
    struct Code
    {
        int rate;
        speed_t code;
    };
    static constexpr Code Codes[] = { { 1200, B1200 }, { 2400, B2400 }, { 4800, B4800 },
        { 9600, B9600 }, { 19200, B19200 }, { 38400, B38400 }, { 57600, B57600 },
        { 115200, B115200 } };
    for (const auto &entry : Codes) {
        if (entry.rate == rate)
            return cfsetspeed(&tio, entry.code) == 0;
    }
    return false;
}

void releaseDevice(int fd)
{
    // A pty keeps TIOCEXCL after the last close while its master lives; clear it so that an
    // unprivileged user can reopen the port for the next transaction.
    ioctl(fd, TIOCNXCL);
    ::close(fd); // releases the flock too
}

void setParity(termios &tio, int parity)
{
    switch (parity) {
    case 0:
        tio.c_cflag &= ~(PARENB | PARODD);
        break;
    case 1:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        tio.c_cflag |= PARENB;
        tio.c_cflag &= ~PARODD;
        break;
#ifdef CMSPAR
    // CMSPAR makes the parity bit constant: PARODD chooses mark (1), without it space (0).
    case 3:
        tio.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case 4:
        tio.c_cflag |= PARENB | CMSPAR;
        tio.c_cflag &= ~PARODD;
        break;
#endif
    default:
        break; // leaves the driver's parity, as an unknown code does
    }
#ifdef CMSPAR
    if (parity >= 0 && parity <= 2)
        tio.c_cflag &= ~CMSPAR;
#endif
}

void setDataBits(termios &tio, int index)
{
    // termios knows no 4-bit characters, so index 0 (4 bits) is opened as 5 bits.
    static constexpr tcflag_t Sizes[] = { CS5, CS5, CS6, CS7, CS8 };
    if (index < 0 || index > 4)
        return;
    tio.c_cflag &= ~CSIZE;
    tio.c_cflag |= Sizes[index];
}

void setStopBits(termios &tio, int stopBits)
{
    // The log legend names 1 as 1.5 stop bits, but the port really uses two.
    if (stopBits == 0)
        tio.c_cflag &= ~CSTOPB;
    else if (stopBits == 1)
        tio.c_cflag |= CSTOPB;
}

// Waits until the driver has put every byte on the line, but never past the deadline: tcdrain()
// itself may wait forever on an adapter whose CTS stays low.
bool drainOutput(int fd, Clock::time_point deadline, int baud)
{
    const auto byteTime = std::chrono::microseconds(11'000'000 / std::max(baud, 300));
    for (;;) {
        int queued = 0;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0)
            return false;
        if (queued <= 0)
            break;
        if (Clock::now() >= deadline)
            return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        const auto wait = std::max<std::chrono::microseconds>(byteTime * queued, 200us);
        std::this_thread::sleep_for(std::min(wait, left));
    }
#ifdef TIOCSERGETLSR
    // The UART's own FIFO and shift register, where the driver can tell (real 8250-type ports).
    unsigned int lsr = 0;
    while (ioctl(fd, TIOCSERGETLSR, &lsr) == 0 && !(lsr & TIOCSER_TEMT)) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(byteTime);
    }
#endif
    return true;
}

} // namespace

// ----------------------------------------------------------------------------------------------

TCommsDebugger::TCommsDebugger(const std::string &fileName)
{
    OpenLog(fileName);
}

TCommsDebugger::~TCommsDebugger()
{
    if (m_enabled) {
        m_file.flush();
        m_file.close();
    }
    m_enabled = false;
}

void TCommsDebugger::OpenLog(const std::string &name)
{
    m_fileName = name;
    m_enabled = false;
    if (m_file.is_open())
        m_file.close();
    m_file.clear();
    if (name.empty())
        return;
    m_file.open(name, std::ios::out | std::ios::trunc);
    if (!m_file.is_open()) {
        m_file.clear();
        throw EOpeningLogFileError("Unable to open log file " + name);
    }
    m_enabled = true;
}

void TCommsDebugger::Log(const std::string &text)
{
    if (!m_enabled)
        return;
    // Flushed per line: the log is for diagnosing an open that goes wrong, possibly fatally.
    m_file << timeStamp() << text << std::endl;
}

// ----------------------------------------------------------------------------------------------

TRKComm::TRKComm()
    : m_scratchBuffer(std::make_unique<char[]>(MaxReadBytes))
{
}

TRKComm::~TRKComm()
{
    // Owners close first; a forgotten open port would otherwise stay locked until the program ends.
    if (m_fd >= 0)
        releaseDevice(m_fd);
}

std::string TRKComm::PortName() const
{
    return DevicePath.empty() ? "COM" + std::to_string(PortIndex + 1) : DevicePath;
}

std::string TRKComm::DeviceName() const
{
    return DevicePath.empty() ? "/dev/ttyS" + std::to_string(PortIndex) : DevicePath;
}

int TRKComm::BaudRate(int index)
{
    return index >= 0 && index < static_cast<int>(std::size(BaudRateTable)) ? BaudRateTable[index]
                                                                            : 0;
}

int TRKComm::BaudIndexOf(int rate)
{
    const auto *found = std::find(std::begin(BaudRateTable), std::end(BaudRateTable), rate);
    return found == std::end(BaudRateTable) ? -1
                                            : static_cast<int>(found - std::begin(BaudRateTable));
}

void TRKComm::log(const std::string &text)
{
    if (m_logger)
        m_logger->Log(text);
}

bool TRKComm::Open()
{
    m_logger = std::make_unique<TCommsDebugger>(LogFileName);
    const std::string name = PortName();
    log("Preparing to open port : " + name);

    if (IsOpen()) {
        log(name + " : Port is already open.");
        throw EPortAlreadyOpen(name + "- The port is already open.");
    }

    log(name + " : Creating comms file handle.");
    // Non-blocking for good: every wait below goes through poll() with its own time-out.
    const int fd = ::open(DeviceName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || !lockExclusively(fd)) {
        const int error = errno; // before close() can change it
        if (fd >= 0)
            ::close(fd);
        log(name + " : Invalid handle returned. Port could already be in use.");
        throw EOpeningPortError(
            name + "- This port may be already in use or not present.", error, DeviceName());
    }

    termios tio {};
    // tcgetattr fails with ENOTTY on anything that is not a terminal.
    if (tcgetattr(fd, &tio) != 0) {
        log(name + " : Handle returned does not point a a comms file.");
        releaseDevice(fd);
        throw ECommsError(name + "- Handle is not a communications port handle.");
    }
    m_fd = fd;

    log(name + " : Getting comm state.");
    // WARNING: with CRTSCTS an adapter that never asserts CTS stalls every write until the write
    // time-out; a pseudo-terminal ignores the flag.
    // Built in one go and written once: one write of the settings costs less per transaction.
    const bool standardRate = BuildLineSettings(tio);

    log(name + " : Getting comm properties.");
    log(name + " : Getting comm mask.");
    log(name + " : Getting comm timeouts.");
    // The time-outs live in ReadBytes and Write; the driver itself never blocks.
    log(name + " : Setting comm timeouts.");
    log(name + " : Setting data bits = " + std::to_string(DataBitsIndex + 4));
    const int rate = BaudRate(BaudIndex);
    log(name + " : Setting baud rate = "
        + std::to_string(rate > 0 ? rate : serialspeed::baudRate(m_fd)));
    log(name + " : Setting parity = " + std::to_string(Parity)
        + " (0=none, 1=odd, 2=even, 3=mark, 4=space).");
    log(name + " : Setting stop bits = " + std::to_string(StopBits) + " (0=1sb, 1=1.5sb, 2=2sb).");

    log(name + " : Setting com state");
    tcsetattr(m_fd, TCSANOW, &tio);
    if (rate > 0 && !standardRate)
        serialspeed::setBaudRate(m_fd, rate);

    log(name + " : Opening Port");
    return true;
}

bool TRKComm::BuildLineSettings(termios &tio) const
{
    // Raw mode would also force 8N; keep the driver's frame so unknown codes below leave it.
    const tcflag_t frameBits = tio.c_cflag & FrameFlags;
    cfmakeraw(&tio);
    tio.c_cflag = (tio.c_cflag & ~FrameFlags) | frameBits | CLOCAL | CREAD | CRTSCTS;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    setParity(tio, Parity);
    setDataBits(tio, DataBitsIndex);
    setStopBits(tio, StopBits);
    const int rate = BaudRate(BaudIndex);
    return rate > 0 && setStandardRate(tio, rate);
}

void TRKComm::Close()
{
    log("Closing the communications port.");
    if (m_fd >= 0)
        releaseDevice(m_fd);
    m_fd = -1;
    m_logger.reset();
}

void TRKComm::Purge()
{
    if (!IsOpen())
        return;
    tcflush(m_fd, TCOFLUSH);
    tcflush(m_fd, TCIFLUSH);
}

bool TRKComm::Write(const std::uint8_t *bytes, int count)
{
    if (!IsOpen())
        return false;
    const auto deadline =
        Clock::now() + Milliseconds(WriteTotalMultiplierMs * count + WriteTotalConstantMs);
    int sent = 0;
    bool ok = true;
    while (sent < count) {
        const ssize_t n = ::write(m_fd, bytes + sent, static_cast<std::size_t>(count - sent));
        if (n > 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            ok = false;
            break;
        }
        pollfd pfd { m_fd, POLLOUT, 0 };
        if (poll(&pfd, 1, msUntil(deadline)) <= 0) {
            ok = false;
            break;
        }
    }
    // write() returns before the bytes are on the line; purging then would throw the request away.
    ok = ok && drainOutput(m_fd, deadline, std::max(BaudRate(BaudIndex), 1200));
    // An emptied queue has nothing left to purge, and on a pseudo-terminal TCOFLUSH would discard
    // bytes the kernel has not yet handed to the other side, so only a failed write is purged.
    if (!ok)
        tcflush(m_fd, TCOFLUSH);
    return ok;
}

int TRKComm::ReadBytes(std::uint8_t *dst, int wanted, const LengthPredictor &predictor)
{
    if (!IsOpen())
        return 0;
    const int got = readInto(dst, wanted, predictor, Milliseconds(ReadNothingMs));
    tcflush(m_fd, TCIFLUSH);
    return got;
}

int TRKComm::ReadBytesKeepingRest(std::uint8_t *dst, int wanted, const LengthPredictor &predictor,
    std::chrono::microseconds nothingWait)
{
    return IsOpen() ? readInto(dst, wanted, predictor, nothingWait) : 0;
}

int TRKComm::readInto(std::uint8_t *dst, int wanted, const LengthPredictor &predictor,
    std::chrono::microseconds nothingWait)
{
    wanted = std::min(wanted, MaxReadBytes);
    int got = 0;
    int target = wanted;
    const auto nothingDeadline = Clock::now() + nothingWait;
    auto gapDeadline = nothingDeadline;
    while (got < target) {
        pollfd pfd { m_fd, POLLIN, 0 };
        const int ready = poll(&pfd, 1, msUntil(got == 0 ? nothingDeadline : gapDeadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t n = ::read(m_fd, dst + got, static_cast<std::size_t>(target - got));
        if (n > 0) {
            got += static_cast<int>(n);
            m_lastReceived = Clock::now();
            gapDeadline = m_lastReceived + Milliseconds(ReadIntervalMs);
            // A prediction may be withdrawn (0) when later bytes show the frame starts elsewhere.
            if (predictor) {
                const int frame = predictor(dst, got);
                target = frame > 0 ? std::min(frame, wanted) : wanted;
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        // The device went away (hang-up): behave like a silent line rather than spin.
        if (got == 0)
            std::this_thread::sleep_for(Milliseconds(msUntil(nothingDeadline)));
        break;
    }
    return got;
}

void TRKComm::DiscardUntilQuiet(int limitMs)
{
    ReadUntilQuiet(nullptr, 0, ReadIntervalMs, limitMs);
}

int TRKComm::ReadUntilQuiet(std::uint8_t *dst, int room, int quietMs, int limitMs)
{
    if (!IsOpen())
        return 0;
    const auto limit = Clock::now() + Milliseconds(limitMs);
    std::array<std::uint8_t, MaxReadBytes> chunk;
    int kept = 0;
    for (;;) {
        pollfd pfd { m_fd, POLLIN, 0 };
        const int ready = poll(&pfd, 1, std::min(quietMs, msUntil(limit)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t n = ::read(m_fd, chunk.data(), chunk.size());
        if (n <= 0)
            break;
        m_lastReceived = Clock::now();
        const int keep = std::min(static_cast<int>(n), room - kept);
        if (keep > 0) {
            std::memcpy(dst + kept, chunk.data(), static_cast<std::size_t>(keep));
            kept += keep;
        }
        if (Clock::now() >= limit)
            break;
    }
    tcflush(m_fd, TCIFLUSH);
    return kept;
}

int TRKComm::ReadArrived(std::uint8_t *dst, int room, std::chrono::microseconds wait)
{
    if (!IsOpen() || room <= 0)
        return 0;
    const auto deadline = Clock::now() + wait;
    for (;;) {
        const auto left =
            std::max(std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now()),
                std::chrono::nanoseconds::zero());
        const timespec timeout { static_cast<time_t>(left.count() / 1'000'000'000),
            static_cast<long>(left.count() % 1'000'000'000) };
        pollfd pfd { m_fd, POLLIN, 0 };
        const int ready = ppoll(&pfd, 1, &timeout, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return 0;
        const ssize_t n = ::read(m_fd, dst, static_cast<std::size_t>(room));
        if (n > 0) {
            m_lastReceived = Clock::now();
            return static_cast<int>(n);
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && Clock::now() < deadline)
            continue;
        // A hang-up: as quiet as a line can be, so the wait is over.
        return 0;
    }
}

bool TRKComm::Read(std::uint8_t *countedBuffer)
{
    std::array<std::uint8_t, MaxReadBytes> bytes;
    const int got = ReadBytes(bytes.data(), MaxReadBytes);
    if (got <= 0)
        return false;
    countedBuffer[0] = static_cast<std::uint8_t>(got);
    std::memcpy(countedBuffer + 1, bytes.data(), static_cast<std::size_t>(got));
    return true;
}
