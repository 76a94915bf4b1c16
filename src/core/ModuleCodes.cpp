#include "ModuleCodes.h"

#include <cstdio>

namespace zul {

namespace {

std::string hexDigits(unsigned value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", width, value);
    return buffer;
}

} // namespace

std::string modelName(std::uint16_t kindCode, int variant)
{
    const TKindRow *kind = findKind(kindCode);
    if (!kind || variant < 0 || variant >= ModelVariantCount)
        return {};
    return std::string(kind->ModelNames[static_cast<std::size_t>(variant)]);
}

std::string modelNamePrefix(int variant)
{
    // Every kind's names of a variant begin alike, so the first kind's stand for all.
    const std::string name = modelName(ModuleKinds[0].Code, variant);
    return name.substr(0, name.find('-'));
}

CodeTexts HardwareText(std::uint16_t code)
{
    switch (code) {
    case hardware::CurrentSingleEnded:
        return { "Current", ", single-ended" };
    case hardware::CurrentDifferential:
        return { "Current", ", differential" };
    case hardware::VoltageSingleEnded:
        return { "Voltage", ", single-ended" };
    case hardware::VoltageDifferential:
        return { "Voltage", ", differential" };
    default:
        return { "Hardware configuration not set.", "" };
    }
}

CodeTexts ScaleText(std::uint16_t code)
{
    switch (code) {
    case scale::Source0To10mA:
        return { "0 to 10mA", ", source" };
    case scale::Source0To20mA:
        return { "0 to 20mA", ", source" };
    case scale::Source4To20mA:
        return { "4 to 20mA", ", source" };
    case scale::Sink0To10mA:
        return { "0 to 10mA", ", sink" };
    case scale::Sink0To20mA:
        return { "0 to 20mA", ", sink" };
    case scale::Sink4To20mA:
        return { "4 to 20mA", ", sink" };
    case scale::Volts0To5:
        return { "0 to 5V", "" };
    case scale::Volts0To10:
        return { "0 to 10V", "" };
    case scale::Volts1To5:
        return { "1 to 5V", "" };
    default:
        return { "Scale not set", "" };
    }
}

std::string firmwareText(std::uint16_t word)
{
    const std::string digits = hexDigits(word, 4);
    return digits.substr(0, 2) + "." + digits.substr(2);
}

std::string pcbRevisionText(std::uint16_t word)
{
    const std::string major = hexDigits(word >> 12, 1);
    const std::string minor = hexDigits((word >> 8) & 0xF, 1);
    std::string text = major + "." + minor;
    const unsigned letter = word & 0xFFu;
    if (letter >= 0x20 && letter < 0x7F)
        text += static_cast<char>(letter);
    return text;
}

std::string pcbSerialText(std::uint16_t high, std::uint16_t low)
{
    return hexDigits((static_cast<unsigned>(high) << 16) | low, 8);
}

bool scalePageShows(ScalePageKind kind, std::uint16_t channel1Code)
{
    const int kindByte = channel1Code >> 8;
    switch (kind) {
    case ScalePageKind::Voltage:
        return kindByte == scale::VoltageKindByte;
    case ScalePageKind::InputCurrent:
        return kindByte <= scale::HighestCurrentKindByte;
    case ScalePageKind::OutputCurrent:
        return kindByte != scale::VoltageKindByte;
    }
    return false;
}

std::uint16_t rangeCode(std::uint16_t kindBase, int column)
{
    if (column < 0 || column > 2)
        return ScaleNotSet;
    return static_cast<std::uint16_t>(kindBase | (column + 1));
}

std::uint16_t outputCurrentCode(int rangeColumn, int sourceSinkColumn)
{
    return rangeCode(sourceSinkColumn == 1 ? scale::SinkBase : scale::SourceBase, rangeColumn);
}

} // namespace zul
