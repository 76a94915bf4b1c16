#include "Traffic.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace modbus {

namespace {

std::string twoHex(std::uint8_t byte)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::uint16_t wordAt(const std::vector<std::uint8_t> &bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

// A reply that names a slave other than the one asked, and is otherwise whole, came from a
// module at another address; anything else without our address is noise.
std::string invalidReplyText(const TrafficRecord &record)
{
    const std::vector<std::uint8_t> &bytes = record.bytes;
    if (bytes.empty())
        return "no reply";
    if (bytes[0] != record.slave && crcMatches(bytes.data(), static_cast<int>(bytes.size())))
        return "wrong slave " + std::to_string(bytes[0]);
    if (bytes[0] == record.slave)
        return "not the reply to this request";
    return "garbled";
}

} // namespace

const char *exceptionName(std::uint8_t code)
{
    switch (code) {
    case 0x01:
        return "Illegal function";
    case 0x02:
        return "Illegal data address";
    case 0x03:
        return "Illegal data value";
    case 0x04:
        return "Slave device failure";
    case 0x05:
        return "Acknowledge";
    case 0x06:
        return "Slave device busy";
    case 0x08:
        return "Memory parity error";
    case 0x0A:
        return "Gateway path unavailable";
    case 0x0B:
        return "Gateway target device failed to respond";
    default:
        return "";
    }
}

std::string functionText(std::uint8_t function)
{
    const char *name = nullptr;
    switch (function) {
    case ReadCoils:
        name = "Read coils";
        break;
    case ReadDiscreteInputs:
        name = "Read discrete inputs";
        break;
    case ReadHoldingRegisters:
        name = "Read holding registers";
        break;
    case ReadInputRegisters:
        name = "Read input registers";
        break;
    case WriteSingleRegister:
        name = "Write single register";
        break;
    case WriteMultipleCoils:
        name = "Write multiple coils";
        break;
    case WriteMultipleRegisters:
        name = "Write multiple registers";
        break;
    default:
        break;
    }
    return name ? twoHex(function) + " " + name : twoHex(function);
}

std::string outcomeText(const TrafficRecord &record)
{
    if (record.direction == FrameEvent::Direction::Sent)
        return {};
    switch (record.outcome) {
    case Outcome::Ok:
        return "good";
    case Outcome::Timeout:
        return "time-out";
    case Outcome::BadCrc:
        return "CRC error";
    case Outcome::BadLength:
        return "wrong length";
    case Outcome::WrongFunction:
        return "wrong function";
    case Outcome::InvalidResponse:
        return invalidReplyText(record);
    case Outcome::Refused:
        return "not sent";
    case Outcome::BadEcho:
        return "echo differs from the request";
    case Outcome::Unexpected:
        return "unexpected";
    case Outcome::ExceptionReply: {
        if (record.bytes.size() < 3)
            return "exception";
        const std::uint8_t code = record.bytes[2];
        const std::string name = exceptionName(code);
        return "exception " + twoHex(code) + (name.empty() ? "" : " " + name);
    }
    }
    return outcomeName(record.outcome);
}

std::string itemRangeText(const TrafficRecord &record)
{
    if (record.quantity <= 0)
        return {};
    if (record.quantity == 1)
        return std::to_string(record.firstItem);
    return std::to_string(record.firstItem) + "-"
        + std::to_string(record.firstItem + record.quantity - 1);
}

std::string hexText(const std::vector<std::uint8_t> &bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += twoHex(byte);
    }
    return text;
}

void TrafficDecoder::decode(const FrameEvent &event, TrafficRecord &record)
{
    if (event.direction == FrameEvent::Direction::Sent) {
        const std::vector<std::uint8_t> &bytes = event.bytes;
        m_request.time = event.time;
        m_request.slave = bytes.empty() ? 0 : bytes[0];
        m_request.function = bytes.size() < 2 ? 0 : bytes[1];
        m_request.firstItem = 0;
        m_request.quantity = 0;
        if (bytes.size() >= 6) {
            m_request.firstItem = wordAt(bytes, 2) + 1;
            m_request.quantity = m_request.function == WriteSingleRegister ? 1 : wordAt(bytes, 4);
        }
    }
    record.time = event.time;
    record.direction = event.direction;
    record.bytes.assign(event.bytes.begin(), event.bytes.end());
    record.outcome = event.outcome;
    record.slave = m_request.slave;
    record.function = m_request.function;
    record.firstItem = m_request.firstItem;
    record.quantity = m_request.quantity;
    // Unexpected bytes answer nothing: they keep the request before them for context, but no
    // round trip.
    record.roundTripUs =
        event.direction == FrameEvent::Direction::Sent || event.outcome == Outcome::Unexpected
        ? -1
        : std::chrono::duration_cast<std::chrono::microseconds>(event.time - m_request.time)
              .count();
}

TrafficRing::TrafficRing(std::size_t capacity)
    : m_slots(capacity == 0 ? 1 : capacity)
{
}

void TrafficRing::push(TrafficRecord &&record)
{
    const std::size_t capacity = m_slots.size();
    if (m_size == capacity) {
        std::swap(m_slots[m_first], record);
        m_first = (m_first + 1) % capacity;
        return;
    }
    std::swap(m_slots[(m_first + m_size) % capacity], record);
    ++m_size;
}

void TrafficRing::dropOldest(std::size_t count)
{
    count = std::min(count, m_size);
    m_first = (m_first + count) % m_slots.size();
    m_size -= count;
}

void TrafficRing::clear()
{
    m_first = 0;
    m_size = 0;
}

const TrafficRecord &TrafficRing::at(std::size_t index) const
{
    if (index >= m_size)
        throw std::out_of_range("TrafficRing::at");
    return m_slots[(m_first + index) % m_slots.size()];
}

void LineStatistics::add(const TrafficRecord &record)
{
    if (record.direction == FrameEvent::Direction::Sent) {
        ++m_counts.requests;
        return;
    }
    switch (record.outcome) {
    case Outcome::Ok:
        ++m_counts.good;
        break;
    case Outcome::Timeout:
        ++m_counts.timeouts;
        return; // no round trip
    case Outcome::BadCrc:
    case Outcome::BadLength:
        ++m_counts.damaged;
        break;
    case Outcome::ExceptionReply:
        ++m_counts.exceptions;
        break;
    case Outcome::InvalidResponse:
    case Outcome::WrongFunction:
    case Outcome::BadEcho:
    case Outcome::Refused:
        ++m_counts.otherErrors;
        break;
    case Outcome::Unexpected:
        ++m_counts.unexpected;
        return; // no reply, no round trip
    }
    if (record.roundTripUs >= 0) {
        m_counts.lastRoundTripUs = record.roundTripUs;
        m_roundTripSumUs += record.roundTripUs;
        ++m_roundTrips;
    }
}

void LineStatistics::reset()
{
    *this = LineStatistics();
}

LineCounts LineStatistics::counts() const
{
    LineCounts counts = m_counts;
    if (m_roundTrips > 0)
        counts.meanRoundTripUs = m_roundTripSumUs / static_cast<std::int64_t>(m_roundTrips);
    return counts;
}

} // namespace modbus
