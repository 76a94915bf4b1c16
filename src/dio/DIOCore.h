// The DIO module's register block and the arithmetic of its pages: maximum pulse rate words and
// the 32-bit pulse input counts. Qt-free; used by the DIO unit, its pages and the DIO test record.
// Texts here use "." as the decimal separator; the page shows the locale's and accepts both.
#pragma once

#include "core/PulseRate.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zul::dio {

// Register and bit numbers of the DIO block as handed to the register layer (1-based); the
// pulsed outputs, update times and store commands are the general ones of core/Registers.h.
constexpr int PulseInRates = 1; // input 1..4
constexpr int PulseInCounts = 17; // input 17..24, two words per count, high word first
constexpr int MaxRates = 101; // read as input, written as holding, 101..104
constexpr int Coils = 1; // coils 1..16
constexpr int Inputs = 1; // discrete inputs 1..16

constexpr int PulseInputCount = 4;
constexpr int PointCount = 16;

// The maximum rate words (core, as plan files write them too).
using zul::MaxRateDiv10Base;
using zul::maxRateWordFromText;

struct MaxRateDisplay
{
    bool div10 = false;
    std::string text;
};

// 60000 -> unticked "1000"; 60001 -> ticked "1"; 750 -> unticked "12.50".
MaxRateDisplay maxRateDisplay(std::uint16_t word);

// Two count words, high first, as one signed count (a high word of 0x8000 or more is negative).
std::int32_t pulseCount32(std::uint16_t high, std::uint16_t low);

} // namespace zul::dio
