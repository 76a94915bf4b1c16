#include "TimeCodec.h"

#include "Rounding.h"

namespace zul {

namespace {

constexpr int StepMs = 32;

} // namespace

std::uint16_t secondsToTimeWord(double seconds)
{
    // NaN and negative times (never produced by a picker) would otherwise wrap to a large word.
    if (!(seconds > 0))
        return 0;
    if (seconds > 2 * MaxTimeSeconds) // well past 0xFFFF steps; keeps infinity out of the rounding
        return 0xFFFF;
    const std::int64_t wholeSeconds = roundHalfEven(seconds);
    const std::int64_t steps = roundHalfEven(static_cast<double>(wholeSeconds) * 1000 / StepMs);
    return steps > 0xFFFF ? std::uint16_t { 0xFFFF } : static_cast<std::uint16_t>(steps);
}

int timeWordToSeconds(std::uint16_t word)
{
    // word * 32 ms never ends in exactly 500 ms, so the half-even rule only matters in principle;
    // it is applied anyway so both directions follow one rounding rule.
    return static_cast<int>(roundHalfEven(static_cast<double>(word) * StepMs / 1000));
}

double limitTimeSeconds(double seconds)
{
    constexpr double ToleranceSeconds = 0.001;
    return seconds > MaxTimeSeconds + ToleranceSeconds ? double { MaxTimeSeconds } : seconds;
}

std::string timeWordToHms(std::uint16_t word)
{
    const int seconds = timeWordToSeconds(word);
    const int hours = seconds / 3600;
    const int rest = seconds - hours * 3600;
    const int minutes = rest / 60;
    return std::to_string(hours) + ":" + std::to_string(minutes) + ":"
        + std::to_string(rest - minutes * 60);
}

} // namespace zul
