// Bit and byte access to the word arrays in which bit blocks travel between ZUL_Modbus and
// TModbusSerial: packed bytes two per word, the earlier byte in the high half, bit 0 of each byte
// first. Internal to the comms library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace modbus::packed {

inline std::size_t wordsForBits(int bits)
{
    const int bytes = (bits + 7) / 8;
    return static_cast<std::size_t>((bytes + 1) / 2);
}

inline std::uint8_t byteAt(const std::vector<std::uint16_t> &words, int index)
{
    const std::uint16_t word = words[static_cast<std::size_t>(index / 2)];
    return static_cast<std::uint8_t>(index % 2 == 0 ? word >> 8 : word & 0xFF);
}

inline bool bitAt(const std::vector<std::uint16_t> &words, int bit)
{
    return (byteAt(words, bit / 8) >> (bit % 8)) & 1;
}

inline void setBit(std::vector<std::uint16_t> &words, int bit, bool on)
{
    const int byteIndex = bit / 8;
    const int shift = (byteIndex % 2 == 0 ? 8 : 0) + bit % 8;
    auto &word = words[static_cast<std::size_t>(byteIndex / 2)];
    const auto mask = static_cast<std::uint16_t>(1u << shift);
    word = on ? static_cast<std::uint16_t>(word | mask) : static_cast<std::uint16_t>(word & ~mask);
}

} // namespace modbus::packed
