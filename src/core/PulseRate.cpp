#include "PulseRate.h"

#include "NumberFormat.h"
#include "Rounding.h"

#include <algorithm>

namespace zul {

std::uint16_t maxRateWordFromText(std::string_view text, bool div10)
{
    constexpr double MaxRateHz = 1000;
    const double rate = std::clamp(parseReal(text).value_or(MaxRateHz), 0.0, MaxRateHz);
    if (div10)
        return static_cast<std::uint16_t>(MaxRateDiv10Base + roundHalfEven(std::max(rate, 1.0)));
    return static_cast<std::uint16_t>(roundHalfEven(rate * 60));
}

} // namespace zul
