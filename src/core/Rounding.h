// Rounding to the nearest integer with halves to the even neighbour, as the module arithmetic
// requires everywhere (2.5 -> 2, 3.5 -> 4).
#pragma once

#include <cmath>
#include <cstdint>

namespace zul {

inline std::int64_t roundHalfEven(double value)
{
    return static_cast<std::int64_t>(std::nearbyint(value)); // default FE_TONEAREST is half-even
}

} // namespace zul
