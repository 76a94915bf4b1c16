// The module kinds the tool knows, one row each: the code a module answers in input register 195,
// its names, its results table, its page list and how the status panel shows it. Everything that
// tells kinds apart by code or name (page table, status panel, records, results history, zulmb,
// the simulator) reads these rows, so a kind more is a row more. Qt-free.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace zul {

constexpr int ModelVariantCount = 6;

// The status panel's channel lines (Label170..Label177); no kind may ask for more.
constexpr int MaxStatusChannels = 8;

// How much of a code's pair of texts (ModuleCodes.h: HardwareText, ScaleText) a status line
// shows: nothing (no line, the register is not even read), the first text, or both joined.
enum class TextsShown { None, First, Both };

// What a kind's register map holds besides the identity (kind code 195, firmware and board
// 801-804): the simulator plays that image, and a certificate shows the analog sections
// (scales, calibration, verification) for the analog maps. A new kind whose registers are like
// an existing kind's names that map; one with nothing more has Identity.
enum class RegisterMap {
    Identity,
    Digital, // 16 digital points, pulse inputs 1-4, maximum rates 101-104
    AnalogInputs, // 8 inputs: scaled values 1-8, raw values 17-24, scales and calibration
    AnalogOutputs, // 8 outputs: output words 1-8, raw values 25-32, scales and calibration
};

constexpr bool isAnalog(RegisterMap map)
{
    return map == RegisterMap::AnalogInputs || map == RegisterMap::AnalogOutputs;
}

struct TKindRow
{
    std::uint16_t Code;
    std::string_view Name; // "DIO": the kind in the CLI, the simulator and the results history
    std::string_view TypeText; // the status panel's kind line
    std::string_view ResultsTable; // empty: the kind saves no test record
    int List; // its page list and plug-in: the row's own position
    std::array<std::string_view, ModelVariantCount> ModelNames;
    // Status panel below the identity: the hardware line from the hardware code (kind and mode
    // text), then one line per channel, "<prefix><n>: " and the scale code's range and suffix.
    TextsShown Hardware;
    std::string_view ChannelPrefix;
    int ChannelLines;
    TextsShown ChannelRange;
    RegisterMap Map;
};

// clang-format off
inline constexpr TKindRow ModuleKinds[] = {
    { 0x0101, "DIO", "Digital I/O module", "ZUL-472K-11-Log", 0,
        { "472K-11 (DIO)", "Q4 ZT BRV-11", "VAQ 7401", "KT-E/P-OV-2-B-11", "GH-RN-DIO", "NEP-D16" },
        TextsShown::None, "", 0, TextsShown::None, RegisterMap::Digital },
    { 0x0201, "AIN", "Analog input module", "ZUL-472K-Log", 1,
        { "472K-12 (AIN)", "Q4 ZT BRV-12", "VAQ 7402", "KT-E/P-OV-2-B-12", "GH-RN-DAI", "NEP-AI8" },
        TextsShown::Both, "AIN", 8, TextsShown::First, RegisterMap::AnalogInputs },
    { 0x0301, "AOT", "Analog output module", "ZUL-472K-13-Log", 2,
        { "472K-13 (AOT)", "Q4 ZT BRV-13", "VAQ 7403", "KT-E/P-OV-2-B-13", "GH-RN-DAO", "NEP-AO8" },
        TextsShown::First, "AOT", 8, TextsShown::Both, RegisterMap::AnalogOutputs },
};
// clang-format on

constexpr int KindCount = static_cast<int>(std::size(ModuleKinds));

// nullptr for a code, name or index that is no kind: callers never index past the rows.
constexpr const TKindRow *findKind(std::uint16_t code)
{
    for (const TKindRow &row : ModuleKinds)
        if (row.Code == code)
            return &row;
    return nullptr;
}

constexpr const TKindRow *kindAt(int list)
{
    return list >= 0 && list < KindCount ? &ModuleKinds[list] : nullptr;
}

// Any letter case ("aot"), as typed on a command line.
constexpr const TKindRow *findKindByName(std::string_view name)
{
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    for (const TKindRow &row : ModuleKinds) {
        bool same = row.Name.size() == name.size();
        for (std::size_t i = 0; same && i < name.size(); ++i)
            same = upper(row.Name[i]) == upper(name[i]);
        if (same)
            return &row;
    }
    return nullptr;
}

// The exact name, as stored in records ("AIN"); nullptr for any other text.
constexpr const TKindRow *findKindNamed(std::string_view name)
{
    for (const TKindRow &row : ModuleKinds)
        if (row.Name == name)
            return &row;
    return nullptr;
}

// The same where the name is a constant: a name that is no kind does not compile.
consteval const TKindRow &kindNamed(std::string_view name)
{
    for (const TKindRow &row : ModuleKinds)
        if (row.Name == name)
            return row;
    throw "no module kind of that name";
}

// The status panel's texts for a kind that shows them (Hardware or ChannelRange not None).
std::string statusHardwareText(const TKindRow &kind, std::uint16_t hardwareCode);
std::string statusChannelText(
    const TKindRow &kind, int channel, std::uint16_t scaleCode); // 1-based

consteval bool kindRowsAreConsistent()
{
    for (int list = 0; list < KindCount; ++list) {
        const TKindRow &row = ModuleKinds[list];
        const bool channels = row.ChannelLines > 0;
        if (row.List != list || row.Name.empty() || row.TypeText.empty() || row.ChannelLines < 0
            || row.ChannelLines > MaxStatusChannels
            || channels != (row.ChannelRange != TextsShown::None)
            || channels != !row.ChannelPrefix.empty() || findKind(row.Code) != &row
            || findKindByName(row.Name) != &row)
            return false;
    }
    return true;
}
static_assert(kindRowsAreConsistent());

// The kinds the rest of the tool names in code.
constexpr std::uint16_t KindDIO = kindNamed("DIO").Code;
constexpr std::uint16_t KindAIN = kindNamed("AIN").Code;
constexpr std::uint16_t KindAOT = kindNamed("AOT").Code;
constexpr std::uint16_t KindUnknown = 0xFFFF; // before the first successful read
static_assert(findKind(KindUnknown) == nullptr);

} // namespace zul
