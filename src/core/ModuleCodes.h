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
CodeTexts HardwareText(std::uint16_t code);
CodeTexts ScaleText(std::uint16_t code);

// The scale pages of the analog kinds. A page shows the module's scale codes only when channel 1's
// code belongs to the page's configuration; otherwise every row shows empty.
enum class ScalePageKind {
    Voltage, // inputs and outputs: high byte 0x11
    InputCurrent, // any high byte up to 0x0F
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
