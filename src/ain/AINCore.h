// The AIN module's register map and the arithmetic of its pages that needs no widgets: the
// calibration defaults and the "Convert to $0000 - $FFFF" step. Used by the AIN unit, its pages,
// and later its test dialog and results. The general block (scales 101-108, offsets 117-124,
// spans 125-132, hardware 133-140, switch word 141, store commands) is in core/Registers.h.
#pragma once

#include "core/CalibrationCalc.h"
#include "core/ModuleCodes.h"
#include "core/Registers.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zul::ain {

// Input 1..8, 0x4000 = low end, 0xC000 = high end of the range.
constexpr int ScaledValues = reg::AnalogValues;
constexpr int LiveRaw = 17; // input 17..24, signed
// Input 143..190: voltage, single-ended current, differential current; span then offset, eight
// channels each.
constexpr int StoredSets = reg::StoredCalibrationSets;
constexpr int StoredSetWords = 48;
constexpr int ChannelCount = reg::AnalogChannelCount;

// Hardware codes and switch words of the four input configurations.
constexpr std::uint16_t VoltageSingleEnded = hardware::VoltageSingleEnded;
constexpr std::uint16_t VoltageDifferential = hardware::VoltageDifferential;
constexpr std::uint16_t CurrentSingleEnded = hardware::CurrentSingleEnded;
constexpr std::uint16_t CurrentDifferential = hardware::CurrentDifferential;
constexpr std::uint16_t VoltageSwitches = 0x0000;
constexpr std::uint16_t CurrentSingleEndedSwitches = 0x06DB; // 011 in each group of three
constexpr std::uint16_t CurrentDifferentialSwitches = 0x0924; // 100 in each group of three

// Scale code kind bases (range code = base | column + 1).
constexpr std::uint16_t VoltageScaleBase = scale::VoltageBase;
constexpr std::uint16_t CurrentScaleBase = scale::SinkBase;

// "Default values": 232 / 32 for either current configuration (by the status panel's hardware
// line), 2304 / 32 for anything else.
zul::SpanOffset calibrationDefaults(std::string_view hardwareLine);

// "Convert to $0000 - $FFFF" for a 4 to 20 mA channel: half the span (halves to even), and the
// offset moved by the 12 mA that then lie below the old low end of the range.
zul::SpanOffset fullRange(zul::SpanOffset calibration);

// The status panel's channel lines all read "AINn: 4 to 20mA" (the channel digit aside).
bool allChannelsAre4To20mA(std::span<const std::string> lines);

} // namespace zul::ain
