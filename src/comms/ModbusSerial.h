// MODBUS RTU master over an open TRKComm: request frames with the CRC-16, the receive loop, the
// reply checks and the splitting of long blocks into frames of 50 items. ZUL_Modbus opens and
// closes the port around each call; nothing here opens a port.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

class TRKComm;

using TWordArrayDynamic = std::vector<std::uint16_t>;

// The receive time-out of the serial link.
class ESocketError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

std::uint16_t CRC16(const std::uint8_t *bytes, int count);

namespace modbus {
// The silence the line keeps before every frame at `baud` bits per second.
std::chrono::microseconds silentInterval(int baud);
} // namespace modbus

namespace modbus {

constexpr int MaxItemsPerFrame = 50;

enum FunctionCode : std::uint8_t {
    ReadCoils = 1,
    ReadDiscreteInputs = 2,
    ReadHoldingRegisters = 3,
    ReadInputRegisters = 4,
    WriteSingleRegister = 6,
    WriteMultipleCoils = 15,
    WriteMultipleRegisters = 16,
};

// Why a transaction ended as it did; the public answer stays a plain bool.
enum class Outcome {
    Ok,
    Timeout, // no byte at all
    InvalidResponse, // wrong slave address or garbage in the first byte
    ExceptionReply,
    WrongFunction,
    BadCrc,
    BadLength, // reply shorter or longer than its function and byte count imply
    Refused, // count 0 or above 50, unsupported function: nothing sent
    BadEcho, // local echo expected, but what came back first was not the request
    // Not a transaction's outcome: bytes heard where no reply belonged (before a request, or a
    // frame that a later reply replaced), thrown away. Reported as received, before the request
    // they held up or the reply that replaced them.
    Unexpected,
};

const char *outcomeName(Outcome outcome);

struct FrameEvent
{
    enum class Direction { Sent, Received };
    Direction direction;
    std::vector<std::uint8_t> bytes;
    std::chrono::system_clock::time_point time;
    Outcome outcome; // Ok for a sent frame; the transaction's outcome for a received one
    std::string errorText;
};

using FrameHook = std::function<void(const FrameEvent &)>;

// Pure framing, usable by the simulator and tests.
std::vector<std::uint8_t> buildReadRequest(
    std::uint8_t slave, std::uint8_t function, std::uint16_t start, std::uint16_t quantity);
std::vector<std::uint8_t> buildWriteSingleRequest(
    std::uint8_t slave, std::uint16_t address, std::uint16_t value);
// data: the frame's data bytes in wire order
std::vector<std::uint8_t> buildWriteMultipleRequest(std::uint8_t slave, std::uint8_t function,
    std::uint16_t start, std::uint16_t quantity, const std::vector<std::uint8_t> &data);
void appendCrc(std::vector<std::uint8_t> &frame);
bool crcMatches(const std::uint8_t *frame, int length);
// Length of the complete reply to `function` given its first bytes; 0 until enough is known.
int expectedReplyLength(std::uint8_t function, const std::uint8_t *bytes, int count);

// Bytes skipped at most before a reply: line noise, or what trailed the reply before it.
constexpr int MaxSkippedBytes = 8;

// Where the reply of `slave` to `function` lies among the bytes received so far. A reply at the
// first byte is taken as before (its checks judge it); one further on must start with the slave
// address and the function (or its exception) and carry a good CRC, so that noise is skipped but
// never taken for a reply. A whole frame wins over an earlier start only once that one can no
// longer complete, or the read has `ended`. No reply is taken longer than `longest`, the length
// the request asks for.
struct ReplyScan
{
    bool whole = false; // a complete frame with a good CRC lies at start..start+length
    int start = 0; // else where the checks should look: the first byte that may begin a reply
    int length = 0;
    int needed = 0; // bytes to read in all before anything more can be told; 0: not known yet
};
ReplyScan scanReply(std::uint8_t slave, std::uint8_t function, int longest,
    const std::uint8_t *bytes, int count, bool ended = false);

} // namespace modbus

// Every request follows at least 3.5 characters of silence on the line, also when the port was
// closed and opened in between: the master remembers the line's latest activity. What arrives in
// that silence is thrown away (and reported as Unexpected), and the silence starts again.
class TModbusSerial
{
public:
    // words: for registers, one value per word; for bits, packed bytes two per word, the earlier
    // byte in the high half, bit 0 of each byte first. Blocks above 50 items go out in frames of
    // 50 registers or 50 bits. ReadBlock grows `words` when it is too small; WriteBlock refuses a
    // `words` too short for `count`. Replies are checked for slave, exception, function, CRC and
    // a length that fits the request.
    bool WriteSingle(TRKComm &port, std::uint8_t slave, std::uint16_t address, std::uint16_t value,
        std::uint8_t function, std::string &errorText);
    bool WriteBlock(TRKComm &port, std::uint8_t slave, std::uint16_t start,
        const TWordArrayDynamic &words, std::uint8_t function, int count, std::string &errorText);
    bool ReadBlock(TRKComm &port, std::uint8_t slave, std::uint16_t start, TWordArrayDynamic &words,
        std::uint8_t function, int count, std::string &errorText);

    void setFrameHook(modbus::FrameHook hook) { m_hook = std::move(hook); }
    modbus::Outcome lastOutcome() const { return m_lastOutcome; }
    // A two-wire (RS-485) adapter may hand back every request it sends before the reply. With
    // this set, each transaction first reads that echo and checks it against the request.
    void setLocalEcho(bool echo) { m_localEcho = echo; }
    bool localEcho() const { return m_localEcho; }
    // Zero (the default): a silent line is a time-out after about 2.4 s. Otherwise a reply must
    // begin within `timeout` of the request starting out, and a silent line costs no more: for a
    // scan of the bus, where most addresses are empty and the wire time is known.
    void setReplyTimeout(std::chrono::microseconds timeout) { m_replyTimeout = timeout; }
    // The frames of the latest transaction, for diagnosis: the last request sent and what was
    // taken as its reply (empty after silence).
    const std::vector<std::uint8_t> &lastRequest() const { return m_tx; }
    const std::vector<std::uint8_t> &lastReply() const { return m_rx; }

private:
    using Clock = std::chrono::steady_clock;

    bool refuse(std::string &errorText);
    // Waits until the line has been quiet for the silent interval, at most about a second.
    void awaitSilence(TRKComm &port);
    // Sends m_tx and checks the reply to a request for `quantity` items.
    bool transaction(TRKComm &port, std::uint8_t slave, std::uint8_t function, int quantity,
        std::string &errorText);
    bool takeEcho(TRKComm &port);
    // Reads the reply, past a copy of the previous one; true when m_rx holds a whole frame.
    bool receiveOwn(TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted);
    // Reads a copy of the previous reply that completes before any reply of ours could; true
    // when one came. Whatever else came is left in m_rx.
    bool skipCopy(TRKComm &port);
    // Reads the reply, after the bytes already in m_rx; true when m_rx holds a whole frame.
    bool receive(TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted);
    // Keeps the reply just taken when it came in time, for telling its copy from the next reply.
    void rememberReply(const TRKComm &port, modbus::Outcome outcome);
    // A whole frame that came sooner than a reply could cross the line may be a second copy of
    // the reply before; true for that case.
    bool cameTooSoon(const TRKComm &port) const;
    void hearOut(TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted);
    int readMore(TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted, int offset);
    std::chrono::microseconds firstByteWait() const;
    void takeLatestReply(TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted);
    // Of the frame in m_rx and the bytes heard after it, the last whole reply counts; the frames
    // it replaces are reported as unexpected, and what trails it waits for the next report.
    void takeLastWhole(std::uint8_t slave, std::uint8_t function, int wanted,
        const std::uint8_t *heard, int count);
    void keepUnexpected(const std::uint8_t *bytes, int count);
    modbus::Outcome checkReply(
        std::uint8_t slave, std::uint8_t function, int quantity, std::string &errorText) const;
    void storeReplyData(
        TWordArrayDynamic &words, std::uint8_t function, int firstItem, int quantity) const;
    void report(modbus::FrameEvent::Direction direction, const std::vector<std::uint8_t> &bytes,
        modbus::Outcome outcome, const std::string &errorText) const;

    std::vector<std::uint8_t> m_tx;
    std::vector<std::uint8_t> m_rx;
    std::vector<std::uint8_t> m_behind; // what the read of the reply brought behind it
    std::vector<std::uint8_t> m_unexpected; // heard where no reply belonged, not yet reported
    Clock::time_point m_lineActive; // the latest byte on the line, sent or received
    Clock::time_point m_writeStart; // when the latest request began to go out
    std::vector<std::uint8_t> m_data; // data bytes of the frame being built
    modbus::FrameHook m_hook;
    modbus::Outcome m_lastOutcome = modbus::Outcome::Ok;
    // The last transaction timed out: its reply may still come and arrive before the next one.
    bool m_replyOverdue = false;
    // The latest reply, kept only when it came no sooner than a line could carry it: then the
    // line keeps wire time and a repeat of it that comes sooner than our reply could is a copy.
    std::vector<std::uint8_t> m_previous;
    Clock::duration m_previousLatency {}; // how long after the earliest possible it came
    // A copy was followed by a reply: the line repeats replies, so a module that stays silent
    // after a copy has not answered.
    bool m_lineRepeats = false;
    bool m_localEcho = false;
    std::chrono::microseconds m_replyTimeout { 0 };
};
