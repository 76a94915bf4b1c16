// The slave's side of MODBUS RTU framing, as pure functions over bytes: how long a request will be,
// its CRC, the reply frame around a PDU and the summary of a request kept in the simulator's log.
// Used by Simulator and its tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zulsim {

struct RequestRecord
{
    std::uint8_t function = 0;
    int address = 0; // protocol address (register number - 1)
    int quantity = 0;
    std::vector<std::uint16_t> values; // written registers, or written coils as 0/1

    std::string text() const; // "fn=16 addr=100 qty=2 values=4354,4354"
};

namespace rtu {

constexpr int UnknownLength = -1;

// Length of the whole request frame that starts with `bytes`: 0 while too few bytes are known,
// UnknownLength for a function whose frame length cannot be predicted (it ends at a pause).
int expectedRequestLength(const std::uint8_t *bytes, int count);

bool crcMatches(const std::uint8_t *frame, int length);
// slave address + pdu + CRC, low byte of the CRC first
std::vector<std::uint8_t> frame(std::uint8_t slave, const std::vector<std::uint8_t> &pdu);

bool isWrite(std::uint8_t function); // the functions a broadcast may carry
RequestRecord describe(const std::vector<std::uint8_t> &pdu);

} // namespace rtu
} // namespace zulsim
