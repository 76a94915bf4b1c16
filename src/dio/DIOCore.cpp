#include "DIOCore.h"

#include "core/NumberFormat.h"

namespace zul::dio {

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
