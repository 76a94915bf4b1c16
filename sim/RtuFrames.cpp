#include "RtuFrames.h"

#include "comms/ModbusSerial.h"

namespace zulsim {

std::string RequestRecord::text() const
{
    std::string line = "fn=" + std::to_string(function) + " addr=" + std::to_string(address)
        + " qty=" + std::to_string(quantity);
    if (!values.empty()) {
        line += " values=";
        for (std::size_t i = 0; i < values.size(); ++i)
            line += (i ? "," : "") + std::to_string(values[i]);
    }
    return line;
}

namespace rtu {

int expectedRequestLength(const std::uint8_t *bytes, int count)
{
    if (count < 2)
        return 0;
    const std::uint8_t function = bytes[1];
    if (function >= 1 && function <= 6)
        return 8; // address, function, two words, CRC
    if (function == 15 || function == 16)
        return count < 7 ? 0 : 9 + bytes[6]; // the byte count sits after start and quantity
    return UnknownLength;
}

bool crcMatches(const std::uint8_t *frame, int length)
{
    if (length < 4)
        return false;
    const std::uint16_t crc = CRC16(frame, length - 2);
    return frame[length - 2] == (crc & 0xFF) && frame[length - 1] == (crc >> 8);
}

std::vector<std::uint8_t> frame(std::uint8_t slave, const std::vector<std::uint8_t> &pdu)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pdu.size() + 3);
    bytes.push_back(slave);
    bytes.insert(bytes.end(), pdu.begin(), pdu.end());
    const std::uint16_t crc = CRC16(bytes.data(), static_cast<int>(bytes.size()));
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    return bytes;
}

bool isWrite(std::uint8_t function)
{
    return function == 5 || function == 6 || function == 15 || function == 16;
}

RequestRecord describe(const std::vector<std::uint8_t> &pdu)
{
    RequestRecord record;
    if (pdu.empty())
        return record;
    record.function = pdu[0];
    if (pdu.size() < 5)
        return record;
    const auto word = [&pdu](std::size_t at) { return std::uint16_t(pdu[at] << 8 | pdu[at + 1]); };
    record.address = word(1);
    record.quantity = word(3);
    switch (record.function) {
    case 5:
    case 6:
        record.quantity = 1;
        record.values = { word(3) };
        break;
    case 15:
        for (int i = 0; i < record.quantity && 6 + std::size_t(i / 8) < pdu.size(); ++i)
            record.values.push_back((pdu[6 + i / 8] >> (i % 8)) & 1);
        break;
    case 16:
        for (std::size_t at = 6; at + 1 < pdu.size(); at += 2)
            record.values.push_back(word(at));
        break;
    }
    return record;
}

} // namespace rtu
} // namespace zulsim
