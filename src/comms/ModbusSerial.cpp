#include "ModbusSerial.h"

#include "PackedBits.h"
#include "RKCOMM.h"

#include <algorithm>
#include <cstdio>

using namespace modbus;

namespace {

using Clock = std::chrono::steady_clock;
using Microseconds = std::chrono::microseconds;
constexpr int ResyncLimitMs = 1000;
constexpr auto ResyncLimit = std::chrono::milliseconds(ResyncLimitMs);
constexpr int UnexpectedShown = 2 * TRKComm::MaxReadBytes;

// A reply shorter than this is completed by further reads, for at most ReceiveLimit after the
// first one; exception replies (5 bytes) are the shortest.
constexpr int MinimumReply = 4;
constexpr auto ReceiveLimit = std::chrono::seconds(1);

bool isBitFunction(std::uint8_t function)
{
    return function == ReadCoils || function == ReadDiscreteInputs
        || function == WriteMultipleCoils;
}

bool isReadFunction(std::uint8_t function)
{
    return function >= ReadCoils && function <= ReadInputRegisters;
}

int dataBytes(std::uint8_t function, int quantity)
{
    return isBitFunction(function) ? (quantity + 7) / 8 : 2 * quantity;
}

// What a correct reply to the request is long; the port is asked for exactly that much.
int replyLengthFor(std::uint8_t function, int quantity)
{
    return isReadFunction(function) ? 5 + dataBytes(function, quantity) : 8;
}

// An unknown rate (outside the table) is taken as the slowest the table knows.
int lineBaud(const TRKComm &port)
{
    return std::max(TRKComm::BaudRate(port.BaudIndex), 1200);
}

Microseconds silentInterval(const TRKComm &port)
{
    return modbus::silentInterval(lineBaud(port));
}

// How long `bytes` take on this port's line with its real framing (start, data, parity and stop
// bits): the shortest a frame can take, so that a frame on a real line never seems too soon.
Microseconds wireTime(const TRKComm &port, std::size_t bytes)
{
    const int dataBits = std::clamp(port.DataBitsIndex + 4, 5, 8);
    const int bits = 1 + dataBits + (port.Parity != 0 ? 1 : 0) + (port.StopBits != 0 ? 2 : 1);
    return Microseconds(static_cast<long long>(bytes) * bits * 1'000'000LL / lineBaud(port));
}

// The shortest reply there is (an exception): a copy complete sooner than that could cross the
// line after the request was on its way before it.
constexpr std::size_t ShortestReply = 5;
// How much longer than the module took for the reply before a reply may take after a copy, on a
// line not yet seen to repeat replies.
constexpr auto CopyGrace = std::chrono::milliseconds(50);

std::string exceptionText(std::uint8_t code)
{
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", code);
    return std::string("Modbus Exception Response = ") + hex + ".";
}

} // namespace

// 3.5 characters of 11 bits, as the protocol counts an RTU character whatever the port's framing
// (an 8N1 line's shorter characters would give a shorter silence, too short for a module that
// counts 11 bits), fixed above 19200 baud.
Microseconds modbus::silentInterval(int baud)
{
    return baud > 19200 ? Microseconds(1750) : Microseconds((35 * 11'000'000LL / baud + 9) / 10);
}

bool TModbusSerial::refuse(std::string &errorText)
{
    errorText.clear();
    m_lastOutcome = Outcome::Refused;
    return false;
}

bool TModbusSerial::WriteSingle(TRKComm &port, std::uint8_t slave, std::uint16_t address,
    std::uint16_t value, std::uint8_t function, std::string &errorText)
{
    if (function != WriteSingleRegister)
        return refuse(errorText);
    m_tx = buildWriteSingleRequest(slave, address, value);
    return transaction(port, slave, function, 1, errorText);
}

bool TModbusSerial::WriteBlock(TRKComm &port, std::uint8_t slave, std::uint16_t start,
    const TWordArrayDynamic &words, std::uint8_t function, int count, std::string &errorText)
{
    const bool bits = function == WriteMultipleCoils;
    if ((!bits && function != WriteMultipleRegisters) || count <= 0)
        return refuse(errorText);
    // Reading past the caller's array would send whatever lies behind it.
    const std::size_t needed = bits ? packed::wordsForBits(count) : static_cast<std::size_t>(count);
    if (words.size() < needed)
        return refuse(errorText);

    for (int first = 0; first < count; first += MaxItemsPerFrame) {
        const int quantity = std::min(MaxItemsPerFrame, count - first);
        m_data.assign(static_cast<std::size_t>(dataBytes(function, quantity)), 0);
        if (bits) {
            // Frames after the first start 50 bits on, which is inside a byte of the caller's
            // stream, so the bits are repacked from bit 0 of the frame.
            for (int i = 0; i < quantity; ++i)
                if (packed::bitAt(words, first + i))
                    m_data[static_cast<std::size_t>(i / 8)] |=
                        static_cast<std::uint8_t>(1 << (i % 8));
        } else {
            for (int i = 0; i < quantity; ++i) {
                const std::uint16_t word =
                    words[static_cast<std::size_t>(first) + static_cast<std::size_t>(i)];
                m_data[2 * static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(word >> 8);
                m_data[2 * static_cast<std::size_t>(i) + 1] =
                    static_cast<std::uint8_t>(word & 0xFF);
            }
        }
        m_tx = buildWriteMultipleRequest(slave, function, static_cast<std::uint16_t>(start + first),
            static_cast<std::uint16_t>(quantity), m_data);
        if (!transaction(port, slave, function, quantity, errorText))
            return false;
    }
    return true;
}

bool TModbusSerial::ReadBlock(TRKComm &port, std::uint8_t slave, std::uint16_t start,
    TWordArrayDynamic &words, std::uint8_t function, int count, std::string &errorText)
{
    if (!isReadFunction(function) || count <= 0)
        return refuse(errorText);
    for (int first = 0; first < count; first += MaxItemsPerFrame) {
        const int quantity = std::min(MaxItemsPerFrame, count - first);
        m_tx = buildReadRequest(slave, function, static_cast<std::uint16_t>(start + first),
            static_cast<std::uint16_t>(quantity));
        if (!transaction(port, slave, function, quantity, errorText))
            return false;
        storeReplyData(words, function, first, quantity);
    }
    return true;
}

void TModbusSerial::storeReplyData(
    TWordArrayDynamic &words, std::uint8_t function, int firstItem, int quantity) const
{
    const std::uint8_t *data = m_rx.data() + 3;
    const int byteCount = m_rx[2];
    if (!isBitFunction(function)) {
        const std::size_t end =
            static_cast<std::size_t>(firstItem) + static_cast<std::size_t>(quantity);
        if (words.size() < end)
            words.resize(end);
        for (int i = 0; i < quantity; ++i)
            words[static_cast<std::size_t>(firstItem) + static_cast<std::size_t>(i)] =
                static_cast<std::uint16_t>(data[2 * static_cast<std::ptrdiff_t>(i)] << 8
                    | data[2 * static_cast<std::ptrdiff_t>(i) + 1]);
        return;
    }
    // Whole data bytes are copied so a single frame lands byte for byte; a later frame starts at
    // bit 50 * n and overwrites the padding bits of the frame before it.
    const int bitCount = 8 * byteCount;
    const std::size_t needed = packed::wordsForBits(firstItem + bitCount);
    if (words.size() < needed)
        words.resize(needed);
    for (int i = 0; i < bitCount; ++i)
        packed::setBit(words, firstItem + i, (data[i / 8] >> (i % 8)) & 1);
}

bool TModbusSerial::transaction(
    TRKComm &port, std::uint8_t slave, std::uint8_t function, int quantity, std::string &errorText)
{
    errorText.clear();
    awaitSilence(port);
    report(FrameEvent::Direction::Sent, m_tx, Outcome::Ok, errorText);
    Outcome outcome = Outcome::Ok;
    try {
        port.Purge();
        m_writeStart = Clock::now();
        port.Write(m_tx.data(), static_cast<int>(m_tx.size()));
        m_lineActive = std::max(m_lineActive, Clock::now());
        if (m_localEcho && !takeEcho(port)) {
            outcome = Outcome::BadEcho;
            errorText = "Invalid or no response.";
        } else {
            const int wanted = replyLengthFor(function, quantity);
            const bool whole = receiveOwn(port, slave, function, wanted);
            if (m_replyOverdue)
                takeLatestReply(port, slave, function, wanted);
            else if (whole && cameTooSoon(port))
                hearOut(port, slave, function, wanted);
            else
                keepUnexpected(m_behind.data(), static_cast<int>(m_behind.size()));
            outcome = checkReply(slave, function, quantity, errorText);
        }
    } catch (const ESocketError &error) {
        outcome = Outcome::Timeout;
        errorText = error.what();
    } catch (const std::exception &error) {
        outcome = Outcome::InvalidResponse;
        errorText = error.what();
    }
    m_lastOutcome = outcome;
    m_replyOverdue = outcome == Outcome::Timeout;
    rememberReply(port, outcome);
    report(FrameEvent::Direction::Received, m_rx, outcome, errorText);
    // The rest of a late or cut reply would otherwise open the next reply and derail every
    // transaction after it; a real reply is complete by now, so only leftovers are lost.
    if (outcome != Outcome::Ok && outcome != Outcome::Timeout)
        port.DiscardUntilQuiet(ResyncLimitMs);
    m_lineActive = std::max(m_lineActive, port.LastReceived());
    return outcome == Outcome::Ok;
}

void TModbusSerial::awaitSilence(TRKComm &port)
{
    // Bytes already queued came at an unknown time since the last read: as if they came now.
    const Microseconds gap = silentInterval(port);
    const auto giveUp = Clock::now() + ResyncLimit;
    std::uint8_t chunk[TRKComm::MaxReadBytes];
    for (;;) {
        const auto left = std::max(m_lineActive + gap - Clock::now(), Clock::duration::zero());
        const int got =
            port.ReadArrived(chunk, TRKComm::MaxReadBytes, std::chrono::ceil<Microseconds>(left));
        if (got == 0)
            break;
        keepUnexpected(chunk, got);
        m_lineActive = std::max(m_lineActive, port.LastReceived());
        // A line that never falls silent must not hold the tool up: the request goes out anyway.
        if (Clock::now() >= giveUp)
            break;
    }
    if (m_unexpected.empty())
        return;
    report(FrameEvent::Direction::Received, m_unexpected, Outcome::Unexpected, {});
    m_unexpected.clear();
}

bool TModbusSerial::takeEcho(TRKComm &port)
{
    // The echo is on the line while the request goes out, so it is complete by now or soon; the
    // reply may already queue behind it and must stay there. Silence means a dead line: the
    // adapter echoes whether or not a module answers.
    m_rx.assign(m_tx.size(), 0);
    m_rx.resize(static_cast<std::size_t>(
        port.ReadBytesKeepingRest(m_rx.data(), static_cast<int>(m_rx.size()))));
    if (m_rx.empty())
        throw ESocketError("Socket READ Timeout.");
    return m_rx == m_tx;
}

bool TModbusSerial::receiveOwn(TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted)
{
    m_rx.clear();
    if (m_replyOverdue || m_localEcho || m_previous.empty() || !skipCopy(port))
        return receive(port, slave, function, wanted);
    const std::vector<std::uint8_t> copy = m_rx;
    m_rx.clear();
    if (!m_lineRepeats) {
        // A copy is not yet known on this line: the module may instead have answered at once on
        // a line that does not keep wire time (a simulator that was slow once). Ours, if it
        // comes, comes about as long after the earliest as the reply before did.
        auto due = m_writeStart + wireTime(port, m_tx.size() + static_cast<std::size_t>(wanted))
            + 2 * m_previousLatency + CopyGrace;
        due = std::min(
            due, m_writeStart + (m_replyTimeout.count() > 0 ? m_replyTimeout : ReceiveLimit));
        m_rx.resize(static_cast<std::size_t>(std::max(wanted, MinimumReply))
            + static_cast<std::size_t>(MaxSkippedBytes));
        m_rx.resize(static_cast<std::size_t>(port.ReadArrived(m_rx.data(),
            static_cast<int>(m_rx.size()),
            std::max(std::chrono::ceil<Microseconds>(due - Clock::now()), Microseconds::zero()))));
        if (m_rx.empty()) {
            m_rx = copy;
            return true;
        }
        m_lineRepeats = true;
    }
    report(FrameEvent::Direction::Received, copy, Outcome::Unexpected, {});
    return receive(port, slave, function, wanted);
}

bool TModbusSerial::skipCopy(TRKComm &port)
{
    // A reply of ours is complete at the earliest once the request and the shortest reply have
    // crossed the line; the same bytes as the reply before, complete sooner, were on their way
    // before the request. Bytes that differ from it end the read and open the reply.
    const auto earliest = m_writeStart + wireTime(port, m_tx.size() + ShortestReply);
    const std::vector<std::uint8_t> &previous = m_previous;
    const int length = static_cast<int>(previous.size());
    auto sameSoFar = [&previous, length](const std::uint8_t *bytes, int count) {
        return std::equal(bytes, bytes + count, previous.begin()) ? length : count;
    };
    m_rx.assign(previous.size(), 0);
    m_rx.resize(static_cast<std::size_t>(port.ReadBytesKeepingRest(m_rx.data(), length, sameSoFar,
        std::max(std::chrono::ceil<Microseconds>(earliest - Clock::now()), Microseconds::zero()))));
    return m_rx == previous && port.LastReceived() < earliest;
}

bool TModbusSerial::receive(TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted)
{
    // Sized once for the whole reply and the noise that may precede it, so that the reads below
    // never allocate.
    const std::size_t room = static_cast<std::size_t>(std::max(wanted, MinimumReply))
        + static_cast<std::size_t>(MaxSkippedBytes);
    // Noise before the reply does not count towards the shortest reply.
    const auto framed = [&] {
        const int got = static_cast<int>(m_rx.size());
        const ReplyScan scan = scanReply(slave, function, wanted, m_rx.data(), got, true);
        return scan.whole || got - scan.start >= MinimumReply;
    };
    // What came while a copy was looked for is the start of the reply, maybe all of it.
    const int already = static_cast<int>(m_rx.size());
    if (!scanReply(slave, function, wanted, m_rx.data(), already, true).whole) {
        m_rx.resize(std::max(room, m_rx.size()));
        m_rx.resize(static_cast<std::size_t>(already)
            + static_cast<std::size_t>(readMore(port, slave, function, wanted, already)));
    }
    // With a short reply time-out the one read above has had all the time a reply may take.
    if (!framed() && m_replyTimeout.count() <= 0) {
        const auto begin = Clock::now();
        do {
            const int got = static_cast<int>(m_rx.size());
            m_rx.resize(room);
            m_rx.resize(static_cast<std::size_t>(got)
                + static_cast<std::size_t>(readMore(port, slave, function, wanted, got)));
        } while (!framed() && Clock::now() - begin <= ReceiveLimit);
    }
    // A slow module still gets the further reads of the receive limit, so only a line silent
    // for all of them (about 2.4 s) is a time-out.
    if (m_rx.empty())
        throw ESocketError("Socket READ Timeout.");
    const ReplyScan scan =
        scanReply(slave, function, wanted, m_rx.data(), static_cast<int>(m_rx.size()), true);
    m_behind.clear();
    if (scan.whole) {
        // One read may bring the reply and what follows it; that may be the reply that counts.
        const auto end = m_rx.begin() + scan.start + scan.length;
        m_behind.assign(end, m_rx.end());
        m_rx.erase(end, m_rx.end());
    }
    m_rx.erase(m_rx.begin(), m_rx.begin() + scan.start);
    return scan.whole;
}

bool TModbusSerial::cameTooSoon(const TRKComm &port) const
{
    // A reply is complete at the earliest once the request and the reply have both crossed the
    // line; a whole frame sooner was on its way before the request, or the peer does not keep
    // wire time (an unpaced simulator). Either way only listening on tells which.
    return port.LastReceived() < m_writeStart + wireTime(port, m_tx.size() + m_rx.size());
}

void TModbusSerial::hearOut(TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted)
{
    // A second copy of the reply before may have come where ours belongs; ours then follows
    // within the silent interval, as a reply follows its request. Whatever comes until the line
    // has been quiet that long is heard.
    const Microseconds gap = silentInterval(port);
    const auto giveUp = Clock::now() + ResyncLimit;
    std::uint8_t heard[2 * TRKComm::MaxReadBytes];
    int got = static_cast<int>(m_behind.size());
    std::copy(m_behind.begin(), m_behind.end(), heard);
    while (got < static_cast<int>(sizeof heard) && Clock::now() < giveUp) {
        const int more = port.ReadArrived(heard + got, static_cast<int>(sizeof heard) - got, gap);
        if (more == 0)
            break;
        got += more;
    }
    takeLastWhole(slave, function, wanted, heard, got);
}

int TModbusSerial::readMore(
    TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted, int offset)
{
    // m_rx holds room for the whole reply; the first `offset` bytes are already in.
    const int room = static_cast<int>(m_rx.size()) - offset;
    if (room <= 0)
        return 0;
    const std::uint8_t *reply = m_rx.data();
    // The length is predicted from the whole reply so far, not just this read's bytes, so that a
    // reply split after its first bytes still ends the moment it is complete.
    auto predictor = [reply, slave, function, wanted, offset](const std::uint8_t *, int count) {
        const int total = scanReply(slave, function, wanted, reply, offset + count).needed;
        return total > 0 ? std::max(total - offset, 1) : 0;
    };
    // What follows the reply stays queued: after a time-out it may be the reply that counts.
    return port.ReadBytesKeepingRest(m_rx.data() + offset, room, predictor, firstByteWait());
}

Microseconds TModbusSerial::firstByteWait() const
{
    if (m_replyTimeout.count() <= 0)
        return std::chrono::milliseconds(TRKComm::ReadNothingMs);
    // Counted from the request's start, so that a port whose write returns only once the request
    // is on the line (a real UART) and one whose write returns at once (a pty) wait alike.
    return std::max(std::chrono::ceil<Microseconds>(m_writeStart + m_replyTimeout - Clock::now()),
        Microseconds::zero());
}

void TModbusSerial::takeLatestReply(
    TRKComm &port, std::uint8_t slave, std::uint8_t function, int wanted)
{
    // After a time-out the slave may still answer that earlier request: its answer then comes
    // first and ours right behind it, so the line is heard out and the last whole reply counts.
    // The slave starts ours at the earliest once it has had our request, hence the wait.
    const int baud = std::max(TRKComm::BaudRate(port.BaudIndex), 1200);
    const int requestMs = static_cast<int>(11'000LL * static_cast<long long>(m_tx.size()) / baud);
    std::uint8_t later[2 * TRKComm::MaxReadBytes];
    const int behind = static_cast<int>(m_behind.size());
    std::copy(m_behind.begin(), m_behind.end(), later);
    const int got = behind
        + port.ReadUntilQuiet(later + behind, TRKComm::MaxReadBytes,
            TRKComm::ReadIntervalMs + requestMs, ResyncLimitMs);
    takeLastWhole(slave, function, wanted, later, got);
}

void TModbusSerial::takeLastWhole(
    std::uint8_t slave, std::uint8_t function, int wanted, const std::uint8_t *heard, int count)
{
    std::vector<std::uint8_t> replaced;
    int at = 0;
    while (at < count) {
        const ReplyScan scan = scanReply(slave, function, wanted, heard + at, count - at, true);
        if (!scan.whole)
            break;
        replaced.insert(replaced.end(), m_rx.begin(), m_rx.end());
        replaced.insert(replaced.end(), heard + at, heard + at + scan.start);
        m_rx.assign(heard + at + scan.start, heard + at + scan.start + scan.length);
        at += scan.start + scan.length;
    }
    if (!replaced.empty())
        report(FrameEvent::Direction::Received, replaced, Outcome::Unexpected, {});
    keepUnexpected(heard + at, count - at);
}

void TModbusSerial::rememberReply(const TRKComm &port, Outcome outcome)
{
    m_previous.clear();
    if ((outcome != Outcome::Ok && outcome != Outcome::ExceptionReply) || cameTooSoon(port))
        return;
    m_previous = m_rx;
    m_previousLatency =
        port.LastReceived() - (m_writeStart + wireTime(port, m_tx.size() + m_rx.size()));
}

void TModbusSerial::keepUnexpected(const std::uint8_t *bytes, int count)
{
    // A babbling line is shown by its first bytes; the rest would only fill the traffic view.
    const int room = UnexpectedShown - static_cast<int>(m_unexpected.size());
    m_unexpected.insert(m_unexpected.end(), bytes, bytes + std::clamp(count, 0, std::max(room, 0)));
}

Outcome TModbusSerial::checkReply(
    std::uint8_t slave, std::uint8_t function, int quantity, std::string &errorText) const
{
    const int length = static_cast<int>(m_rx.size());
    if (m_rx[0] != slave) {
        errorText = "Invalid or no response.";
        return Outcome::InvalidResponse;
    }
    // An exception reply gives its code only when the frame is whole and intact.
    if (length >= 2 && (m_rx[1] & 0x80)) {
        if (!crcMatches(m_rx.data(), length)) {
            errorText = "CRC error in response.";
            return Outcome::BadCrc;
        }
        if (length != 5) {
            errorText = "Invalid response length.";
            return Outcome::BadLength;
        }
        errorText = exceptionText(m_rx[2]);
        return Outcome::ExceptionReply;
    }
    if (length < 2) {
        errorText = "Invalid response length.";
        return Outcome::BadLength;
    }
    if (m_rx[1] != function)
        return Outcome::WrongFunction;
    if (!crcMatches(m_rx.data(), length)) {
        errorText = "CRC error in response.";
        return Outcome::BadCrc;
    }
    // The byte count must also fit the request: a longer block would overrun the caller's array.
    const bool lengthOk = length == expectedReplyLength(function, m_rx.data(), length)
        && (!isReadFunction(function) || m_rx[2] == dataBytes(function, quantity));
    if (!lengthOk) {
        errorText = "Invalid response length.";
        return Outcome::BadLength;
    }
    // A write's echo names the address and the value or quantity: another write's echo (a late
    // one) is not ours.
    if (!isReadFunction(function)
        && !std::equal(m_rx.begin() + 2, m_rx.begin() + 6, m_tx.begin() + 2)) {
        errorText = "Invalid or no response.";
        return Outcome::InvalidResponse;
    }
    return Outcome::Ok;
}

void TModbusSerial::report(FrameEvent::Direction direction, const std::vector<std::uint8_t> &bytes,
    Outcome outcome, const std::string &errorText) const
{
    if (!m_hook)
        return;
    m_hook(FrameEvent { direction, bytes, std::chrono::system_clock::now(), outcome, errorText });
}
