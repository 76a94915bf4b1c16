// Codes the modules use and the texts the tool shows for them: model names per variant, hardware
// configuration and scale codes, and the identity block. The kinds themselves are the rows of
// KindRegistry.h. Qt-free; used by the connect logic, the status panel, the analog pages and the
// test records.
#pragma once

#include "KindRegistry.h"

#include <cstdint>
#include <string>

namespace zul {

struct CodeTexts
{
    std::string first; // kind text / range text
    std::string second; // mode text / suffix text (may be empty)
};

// Model name of a kind for a variant (0..5); empty for an unknown kind or variant.
std::string modelName(std::uint16_t kindCode, int variant);
// The letters that begin a variant's model names, up to their first hyphen ("KT" for variant 3,
// "NEP" for variant 5); the executable name is searched for them at start-up.
std::string modelNamePrefix(int variant);
// Hardware configuration codes of the analog kinds (registers 133 to 140, one a channel). An
// AOT's voltage and current configurations use the single-ended codes.
namespace hardware {
constexpr std::uint16_t CurrentSingleEnded = 0x0101;
constexpr std::uint16_t CurrentDifferential = 0x0102;
constexpr std::uint16_t VoltageSingleEnded = 0x1101;
constexpr std::uint16_t VoltageDifferential = 0x1102;
} // namespace hardware

// Scale codes (registers 101 to 108, one a channel): the high byte is the kind of range, the low
// byte the range 1..3 (the column of the scale page).
namespace scale {
constexpr std::uint16_t VoltageBase = 0x1100;
constexpr std::uint16_t SourceBase = 0x0100; // current source (outputs)
constexpr std::uint16_t SinkBase = 0x0200; // current sink (inputs, and sinking outputs)
constexpr int VoltageKindByte = VoltageBase >> 8;
constexpr int HighestCurrentKindByte = 0x0F;

constexpr std::uint16_t Source0To10mA = SourceBase | 1;
constexpr std::uint16_t Source0To20mA = SourceBase | 2;
constexpr std::uint16_t Source4To20mA = SourceBase | 3;
constexpr std::uint16_t Sink0To10mA = SinkBase | 1;
constexpr std::uint16_t Sink0To20mA = SinkBase | 2;
constexpr std::uint16_t Sink4To20mA = SinkBase | 3;
constexpr std::uint16_t Volts0To5 = VoltageBase | 1;
constexpr std::uint16_t Volts0To10 = VoltageBase | 2;
constexpr std::uint16_t Volts1To5 = VoltageBase | 3;
} // namespace scale

CodeTexts HardwareText(std::uint16_t code);
CodeTexts ScaleText(std::uint16_t code);

// The scale pages of the analog kinds. A page shows the module's scale codes only when channel 1's
// code belongs to the page's configuration; otherwise every row shows empty.
enum class ScalePageKind {
    Voltage, // inputs and outputs: high byte scale::VoltageKindByte
    InputCurrent, // any high byte up to scale::HighestCurrentKindByte
    OutputCurrent, // anything but a voltage code
};
constexpr std::uint16_t ScaleNotSet = 0xFFFF;

bool scalePageShows(ScalePageKind kind, std::uint16_t channel1Code);
// kindBase | (column + 1) for a checked column 0..2; ScaleNotSet when no column is checked.
std::uint16_t rangeCode(std::uint16_t kindBase, int column);
// A current output: sink (column 1) or else source; no range column gives ScaleNotSet whatever
// the source/sink choice.
std::uint16_t outputCurrentCode(int rangeColumn, int sourceSinkColumn);

// Identity block (input registers 801 to 804).
std::string firmwareText(std::uint16_t word); // 0x0102 -> "01.02"
// 0x1241 -> "1.2A"; a low byte that is not a printable ASCII character adds nothing, so a blank
// revision letter cannot put a NUL or control byte into a label or a record.
std::string pcbRevisionText(std::uint16_t word);
std::string pcbSerialText(std::uint16_t high, std::uint16_t low); // eight hex digits

} // namespace zul
