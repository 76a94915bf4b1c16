#include "ModbusSerial.h"

#include <algorithm>
#include <climits>

namespace modbus {

namespace {

void appendWord(std::vector<std::uint8_t> &frame, std::uint16_t value)
{
    frame.push_back(static_cast<std::uint8_t>(value >> 8));
    frame.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

// Read requests and single writes share one layout: address, code and two 16-bit fields.
std::vector<std::uint8_t> buildFixedRequest(
    std::uint8_t slave, std::uint8_t function, std::uint16_t first, std::uint16_t second)
{
    std::vector<std::uint8_t> frame;
    frame.reserve(8);
    frame.push_back(slave);
    frame.push_back(function);
    appendWord(frame, first);
    appendWord(frame, second);
    appendCrc(frame);
    return frame;
}

} // namespace

const char *outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Ok:
        return "Ok";
    case Outcome::Timeout:
        return "Timeout";
    case Outcome::InvalidResponse:
        return "InvalidResponse";
    case Outcome::ExceptionReply:
        return "ExceptionReply";
    case Outcome::WrongFunction:
        return "WrongFunction";
    case Outcome::BadCrc:
        return "BadCrc";
    case Outcome::BadLength:
        return "BadLength";
    case Outcome::Refused:
        return "Refused";
    case Outcome::BadEcho:
        return "BadEcho";
    case Outcome::Unexpected:
        return "Unexpected";
    }
    return "Unknown";
}

std::vector<std::uint8_t> buildReadRequest(
    std::uint8_t slave, std::uint8_t function, std::uint16_t start, std::uint16_t quantity)
{
    return buildFixedRequest(slave, function, start, quantity);
}

std::vector<std::uint8_t> buildWriteSingleRequest(
    std::uint8_t slave, std::uint16_t address, std::uint16_t value)
{
    return buildFixedRequest(slave, WriteSingleRegister, address, value);
}

std::vector<std::uint8_t> buildWriteMultipleRequest(std::uint8_t slave, std::uint8_t function,
    std::uint16_t start, std::uint16_t quantity, const std::vector<std::uint8_t> &data)
{
    std::vector<std::uint8_t> frame;
    frame.reserve(9 + data.size());
    frame.push_back(slave);
    frame.push_back(function);
    appendWord(frame, start);
    appendWord(frame, quantity);
    frame.push_back(static_cast<std::uint8_t>(data.size()));
    frame.insert(frame.end(), data.begin(), data.end());
    appendCrc(frame);
    return frame;
}

void appendCrc(std::vector<std::uint8_t> &frame)
{
    // The CRC is the one field of the frame that goes low byte first.
    const std::uint16_t crc = CRC16(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

bool crcMatches(const std::uint8_t *frame, int length)
{
    // Address, function and the two CRC bytes: nothing shorter is a frame.
    if (length < 4)
        return false;
    const std::uint16_t crc = CRC16(frame, length - 2);
    return frame[length - 2] == (crc & 0xFF) && frame[length - 1] == (crc >> 8);
}

int expectedReplyLength(std::uint8_t function, const std::uint8_t *bytes, int count)
{
    if (count < 2)
        return 0;
    if (bytes[1] & 0x80)
        return 5; // address, function | 0x80, exception code, CRC
    if (bytes[1] != function)
        return 0; // not the reply we asked for: only the silence after it tells where it ends
    switch (function) {
    case ReadCoils:
    case ReadDiscreteInputs:
    case ReadHoldingRegisters:
    case ReadInputRegisters:
        return count < 3 ? 0 : 5 + bytes[2];
    case WriteSingleRegister:
    case WriteMultipleCoils:
    case WriteMultipleRegisters:
        return 8; // the echo of address and value or quantity
    default:
        return 0;
    }
}

ReplyScan scanReply(std::uint8_t slave, std::uint8_t function, int longest,
    const std::uint8_t *bytes, int count, bool ended)
{
    ReplyScan scan;
    int firstPlausible = -1;
    int nearestEnd = INT_MAX;
    bool pending = false; // a candidate before the one at hand may still turn out whole
    bool pendingUnknown = false; // and how long it is cannot be told yet
    const int last = std::min(count - 1, MaxSkippedBytes);
    for (int at = 0; at <= last; ++at) {
        const std::uint8_t *frame = bytes + at;
        const int left = count - at;
        if (at > 0 && frame[0] != slave)
            continue;
        if (left >= 2) {
            const bool exception = at == 0 ? (frame[1] & 0x80) != 0 : frame[1] == (function | 0x80);
            if (frame[1] != function && !exception)
                continue;
        }
        if (firstPlausible < 0 && frame[0] == slave)
            firstPlausible = at;
        // A longer reply is cut where the request's reply ends, so it fails as it always did.
        const int length = std::min(expectedReplyLength(function, frame, left), longest);
        if (length <= 0 || left < length) {
            pending = true;
            if (length > 0)
                nearestEnd = std::min(nearestEnd, at + length);
            else
                pendingUnknown = true;
            continue;
        }
        if (!crcMatches(frame, length))
            continue;
        if (!pending || ended) {
            scan.whole = true;
            scan.start = at;
            scan.length = length;
            scan.needed = at + length;
            return scan;
        }
        // Whole, but an earlier start may still complete: read on until that one is decided.
        if (pendingUnknown)
            nearestEnd = count + 1;
        break;
    }
    scan.start = firstPlausible < 0 ? 0 : firstPlausible;
    scan.needed = nearestEnd == INT_MAX ? 0 : nearestEnd;
    return scan;
}

} // namespace modbus
