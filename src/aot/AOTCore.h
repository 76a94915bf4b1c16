// The AOT module's register map and the arithmetic of its pages that needs no widgets. Used by
// the AOT unit, its pages, and later its test dialog and results. The general block (scales
// 101-108, offsets 117-124, spans 125-132, hardware 133-140, switch words 141-142, store
// commands) is in core/Registers.h.
#pragma once

#include "core/CalibrationCalc.h"
#include "core/ModuleCodes.h"
#include "core/Registers.h"

#include <cstdint>
#include <string_view>

namespace zul::aot {

// Holding 1..8: 0x4000 = low end, 0xC000 = high end of the range.
constexpr int Outputs = reg::AnalogValues;
constexpr int LiveRaw = 25; // input 25..32, signed
// Input 143..174: voltage then current; span then offset each.
constexpr int StoredSets = reg::StoredCalibrationSets;
constexpr int StoredSetWords = 32;
constexpr int ChannelCount = reg::AnalogChannelCount;

constexpr std::uint16_t Voltage = hardware::VoltageSingleEnded;
constexpr std::uint16_t Current = hardware::CurrentSingleEnded;
constexpr std::uint16_t VoltageSwitches = 0x0249; // 001 in each group of three, both words
constexpr std::uint16_t CurrentSwitches = 0x0DB6; // 110 in each group of three, both words
constexpr std::uint16_t VoltageScaleBase = scale::VoltageBase;

constexpr std::uint16_t OutputLow = 0x4000;
constexpr std::uint16_t OutputHigh = 0xC000;

// "Default values": 80 / 2304 when the status panel's hardware line is "Current", 160 / 2048
// for anything else.
zul::SpanOffset calibrationDefaults(std::string_view hardwareLine);

} // namespace zul::aot
