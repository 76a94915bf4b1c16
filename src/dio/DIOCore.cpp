#include "DIOCore.h"

#include "core/NumberFormat.h"
#include "core/Rounding.h"

#include <algorithm>

namespace zul::dio {

std::uint16_t maxRateWordFromText(std::string_view text, bool div10)
{
    constexpr double MaxRateHz = 1000;
    const double rate = std::clamp(parseReal(text).value_or(MaxRateHz), 0.0, MaxRateHz);
    if (div10)
        return static_cast<std::uint16_t>(MaxRateDiv10Base + roundHalfEven(std::max(rate, 1.0)));
    return static_cast<std::uint16_t>(roundHalfEven(rate * 60));
}

MaxRateDisplay maxRateDisplay(std::uint16_t word)
{
    if (word > MaxRateDiv10Base)
        return { true, std::to_string(word - MaxRateDiv10Base) };
    if (word == MaxRateDiv10Base)
        return { false, "1000" };
    return { false, formatFixed2(word / 60.0) };
}

std::int32_t pulseCount32(std::uint16_t high, std::uint16_t low)
{
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(high) << 16) | low);
}

} // namespace zul::dio
