#include "AOTCore.h"

namespace zul::aot {

SpanOffset calibrationDefaults(std::string_view hardwareLine)
{
    if (hardwareLine == "Current")
        return { 80, 2304 };
    return { 160, 2048 };
}

} // namespace zul::aot
