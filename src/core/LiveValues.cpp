#include "LiveValues.h"

#include "AnalogTestArithmetic.h"
#include "ModuleCodes.h"

#include <string_view>

namespace zul {

namespace {

// The unit a scale's text ends with; empty for a code without a scale.
std::string scaleUnit(const std::string &scale)
{
    const std::string_view text(scale);
    if (text.ends_with("mA"))
        return "mA";
    if (text.ends_with("V"))
        return "V";
    return {};
}

} // namespace

double ScaledValue(std::uint16_t scaleCode, bool outputs, double counts)
{
    const TestRange range = outputs ? outputTestRange(scaleCode) : inputTestRange(scaleCode);
    return range.low + (counts - 16384.0) * (range.high - range.low) / 32768.0;
}

LiveSample ScaledSample(std::string page, std::string channelPrefix,
    const std::array<std::uint16_t, LiveChannels> &words,
    const std::array<std::uint16_t, LiveChannels> &scaleCodes, bool outputs)
{
    LiveSample sample { std::move(page), std::move(channelPrefix) };
    sample.raw = words;
    for (int n = 0; n < LiveChannels; ++n) {
        const std::string scale = ScaleText(scaleCodes[n]).first;
        const std::string unit = scaleUnit(scale);
        if (unit.empty()) {
            sample.values[n] = words[n];
            sample.units[n] = "counts";
        } else {
            sample.values[n] = ScaledValue(scaleCodes[n], outputs, words[n]);
            sample.units[n] = unit;
            sample.scales[n] = scale;
        }
    }
    return sample;
}

LiveSample RawSample(std::string page, std::string channelPrefix,
    const std::array<std::uint16_t, LiveChannels> &words)
{
    LiveSample sample { std::move(page), std::move(channelPrefix) };
    sample.raw = words;
    for (int n = 0; n < LiveChannels; ++n) {
        sample.values[n] = static_cast<std::int16_t>(words[n]);
        sample.units[n] = "counts";
    }
    return sample;
}

std::string UnitsText(const LiveSample &sample)
{
    std::string text;
    for (const std::string &unit : sample.units) {
        if (unit.empty() || text == unit || text.find(unit) != std::string::npos)
            continue;
        text += text.empty() ? unit : ", " + unit;
    }
    return text;
}

} // namespace zul
