#include "AINCore.h"

#include "core/Rounding.h"

namespace zul::ain {

SpanOffset calibrationDefaults(std::string_view hardwareLine)
{
    if (hardwareLine == "Current, single-ended" || hardwareLine == "Current, differential")
        return { 232, 32 };
    return { 2304, 32 };
}

SpanOffset fullRange(SpanOffset calibration)
{
    const auto span = static_cast<std::int32_t>(roundHalfEven(calibration.span / 2.0));
    return { span, calibration.offset + 12 * span };
}

bool allChannelsAre4To20mA(std::span<const std::string> lines)
{
    for (std::string line : lines) {
        if (line.size() > 3)
            line[3] = '0';
        if (line != "AIN0: 4 to 20mA")
            return false;
    }
    return !lines.empty();
}

} // namespace zul::ain
