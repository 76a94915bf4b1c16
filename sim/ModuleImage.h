// What a module of each kind holds at power-on and the fixed rules of its register map: which
// holding registers it reports back as input registers, the ranges behind its scale codes and
// where it keeps the stored calibration sets. Used by ModuleModel only.
#pragma once

#include "ModuleModel.h"

#include <cstdint>
#include <map>

namespace zulsim::image {

constexpr int ChannelCount = 8;
constexpr int FirstCommand = 191; // 191 scales/rates, 192 calibration, 193 hardware, 194 times
constexpr int LastCommand = 194;
constexpr int StoreCalibration = 192;
constexpr int KindRegister = 195;
constexpr int ScaledValues = 1; // AIN input 1..8, AOT holding 1..8 (output words)
constexpr int PulseRates = 1; // DIO input 1..4
constexpr int PulseOutCounts = 9;
constexpr int PulseCounts = 17; // DIO input 17..24, two words per input, high word first
constexpr int AinRawValues = 17;
constexpr int AotRawValues = 25;
constexpr int ScaleCodes = 101;
constexpr int Offsets = 117;
constexpr int Spans = 125;
constexpr int HardwareCodes = 133;

constexpr std::uint16_t ArmCommand = 0x7E21;
constexpr std::uint16_t RunCommand = 0xA7D2;

struct Image
{
    std::map<int, std::uint16_t> input;
    std::map<int, std::uint16_t> holding;
    int bits = 8;
};

Image powerOnImage(Kind kind);

// A holding register whose written value the module also answers as an input register.
bool mirrorsToInput(Kind kind, int number);

// Whether the module answers a holding-register read (function 3) of `number`: the pulsed-output
// targets and update times (the pulsed-output block every kind shares), the command registers
// (their handshake is read back) and the output time-out. Everything else that can be written
// (scales, calibration, hardware codes, outputs, comms settings) is read as an input register or
// not at all, and a module answers exception 02 to a holding read of it.
bool holdingReadable(int number);

struct Range
{
    double low = 0;
    double high = 1;
};
// The 0-based analog channel whose live value input register `number` is, or -1: AIN scaled
// and raw values, AOT raw values. `rawValue` tells a signed raw value from a scaled one.
int liveChannel(Kind kind, int number, bool *rawValue);

// The engineering range of a scale code; codes that do not belong to the kind give 0..1.
Range scaleRange(Kind kind, std::uint16_t code);

// First register of the stored set (spans, then offsets 8 registers on) that keeps the
// calibration of a channel with this hardware code; 0 when the code has no stored set.
int storedSetFor(Kind kind, std::uint16_t hardwareCode);

} // namespace zulsim::image
