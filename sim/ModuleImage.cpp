#include "ModuleImage.h"

#include "core/ModuleCodes.h"

namespace zulsim::image {

namespace {

void fill(std::map<int, std::uint16_t> &table, int first, int count, std::uint16_t value)
{
    for (int i = 0; i < count; ++i)
        table[first + i] = value;
}

void generalRegisters(Image &image, Kind kind)
{
    image.input[KindRegister] = kindCode(kind);
    image.input[801] = 0x0102;
    image.input[802] = 0x1241;
    image.input[803] = 0x0012;
    image.input[804] = 0x3456;
    fill(image.holding, FirstCommand, LastCommand - FirstCommand + 1, 0);
    image.holding[202] = 96;
    image.holding[203] = 0x0011;
    image.holding[204] = 156;
    // Eight pulsed outputs on every kind: targets, counts and update times.
    fill(image.holding, PulseOutCounts, 8, 0);
    fill(image.input, PulseOutCounts, 8, 0);
    fill(image.holding, 109, 8, 0);
    fill(image.input, 109, 8, 0);
}

void dioRegisters(Image &image)
{
    image.bits = 16;
    fill(image.input, PulseRates, 4, 0);
    fill(image.input, PulseCounts, 8, 0);
    fill(image.holding, ScaleCodes, 4, 60000);
    fill(image.input, ScaleCodes, 4, 60000);
}

// Registers 101..140 as both holding and input: scales, update times, offsets, spans, hardware.
void analogConfiguration(Image &image, std::uint16_t spanDefault)
{
    for (auto *table : { &image.holding, &image.input }) {
        fill(*table, ScaleCodes, ChannelCount, zul::scale::Volts0To10);
        fill(*table, Offsets, ChannelCount, 0);
        fill(*table, Spans, ChannelCount, spanDefault);
        fill(*table, HardwareCodes, ChannelCount, zul::hardware::VoltageSingleEnded);
    }
}

void storedSet(Image &image, int first, std::uint16_t span)
{
    fill(image.input, first, ChannelCount, span);
    fill(image.input, first + ChannelCount, ChannelCount, 0);
}

void ainRegisters(Image &image)
{
    fill(image.input, ScaledValues, ChannelCount, 0x4000);
    fill(image.input, AinRawValues, ChannelCount, 0);
    analogConfiguration(image, 3000);
    image.holding[141] = 0x0000;
    storedSet(image, 143, 3000);
    storedSet(image, 159, 1500);
    storedSet(image, 175, 1500);
}

void aotRegisters(Image &image)
{
    fill(image.holding, ScaledValues, ChannelCount, 0x4000);
    fill(image.input, AotRawValues, ChannelCount, 0);
    analogConfiguration(image, 3000);
    image.holding[141] = 0x0249;
    image.holding[142] = 0x0249;
    storedSet(image, 143, 3000);
    storedSet(image, 159, 1500);
}

} // namespace

Image powerOnImage(Kind kind)
{
    Image image;
    generalRegisters(image, kind);
    switch (kind.map()) {
    case zul::RegisterMap::Identity:
        break;
    case zul::RegisterMap::Digital:
        dioRegisters(image);
        break;
    case zul::RegisterMap::AnalogInputs:
        ainRegisters(image);
        break;
    case zul::RegisterMap::AnalogOutputs:
        aotRegisters(image);
        break;
    }
    return image;
}

bool mirrorsToInput(Kind kind, int number)
{
    if (number >= 109 && number <= 116)
        return true;
    if (kind.map() == zul::RegisterMap::Digital)
        return number >= ScaleCodes && number < ScaleCodes + 4;
    if (!zul::isAnalog(kind.map()))
        return false;
    return number >= ScaleCodes && number < HardwareCodes + ChannelCount;
}

bool holdingReadable(int number)
{
    constexpr int OutputTimeout = 204;
    const bool targets = number >= PulseOutCounts && number < PulseOutCounts + 8;
    const bool updateTimes = number >= 109 && number <= 116;
    const bool commands = number >= FirstCommand && number <= LastCommand;
    return targets || updateTimes || commands || number == OutputTimeout;
}

int liveChannel(Kind kind, int number, bool *rawValue)
{
    const auto within = [number](
                            int first) { return number >= first && number < first + ChannelCount; };
    *rawValue = true;
    const bool inputs = kind.map() == zul::RegisterMap::AnalogInputs;
    if (inputs && within(ScaledValues)) {
        *rawValue = false;
        return number - ScaledValues;
    }
    if (inputs && within(AinRawValues))
        return number - AinRawValues;
    if (kind.map() == zul::RegisterMap::AnalogOutputs && within(AotRawValues))
        return number - AotRawValues;
    return -1;
}

Range scaleRange(Kind kind, std::uint16_t code)
{
    const int kindByte = code >> 8;
    const bool knownKind = kindByte == 0x11 || kindByte == 0x02
        || (kindByte == 0x01 && kind.map() == zul::RegisterMap::AnalogOutputs);
    if (!zul::isAnalog(kind.map()) || !knownKind)
        return {};
    const bool voltage = kindByte == 0x11;
    switch (code & 0xFF) {
    case 1:
        return { 0, voltage ? 5.0 : 10.0 };
    case 2:
        return { 0, voltage ? 10.0 : 20.0 };
    case 3:
        return { voltage ? 1.0 : 4.0, voltage ? 5.0 : 20.0 };
    default:
        return {};
    }
}

int storedSetFor(Kind kind, std::uint16_t hardwareCode)
{
    if (kind.map() == zul::RegisterMap::AnalogInputs) {
        switch (hardwareCode) {
        case zul::hardware::VoltageSingleEnded:
        case zul::hardware::VoltageDifferential:
            return 143;
        case zul::hardware::CurrentSingleEnded:
            return 159;
        case zul::hardware::CurrentDifferential:
            return 175;
        }
    } else if (kind.map() == zul::RegisterMap::AnalogOutputs) {
        if (hardwareCode == zul::hardware::VoltageSingleEnded)
            return 143;
        if (hardwareCode == zul::hardware::CurrentSingleEnded)
            return 159;
    }
    return 0;
}

} // namespace zulsim::image
