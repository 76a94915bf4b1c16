// The eight channel values a poll tick has just read or written, as the page shows them: what
// the trend draws and the live-value log writes. The pages publish one sample per tick; nothing
// here talks to the module. Qt-free.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace zul {

constexpr int LiveChannels = 8;

struct LiveSample
{
    std::string page; // the page's caption: "AIN Check", "AOT Calibration", "Test Analogs"
    std::string channelPrefix; // "AIN" or "AOT"
    std::array<double, LiveChannels> values {}; // in units[n]
    std::array<std::string, LiveChannels> units {}; // "V", "mA" or "counts"
    std::array<std::string, LiveChannels> scales {}; // "0 to 10V"; empty for raw counts
    std::array<std::uint16_t, LiveChannels> raw {}; // the words as read or written
    // Expected value plus and minus the tolerance, where a test knows them.
    std::array<std::optional<std::pair<double, double>>, LiveChannels> bands {};
};

// Scaled counts in volts or milliamps by each channel's scale code:
// low + (word - 16384) x (high - low) / 32768. A channel without a known scale stays in counts.
LiveSample ScaledSample(std::string page, std::string channelPrefix,
    const std::array<std::uint16_t, LiveChannels> &words,
    const std::array<std::uint16_t, LiveChannels> &scaleCodes, bool outputs);

// Raw converter counts, signed.
LiveSample RawSample(std::string page, std::string channelPrefix,
    const std::array<std::uint16_t, LiveChannels> &words);

// The value of scaled counts in a channel's unit, as ScaledSample converts them (for bands).
double ScaledValue(std::uint16_t scaleCode, bool outputs, double counts);

// "V", "mA", or "V, mA" when the channels differ: the caption of a value axis or log column.
std::string UnitsText(const LiveSample &sample);

} // namespace zul
