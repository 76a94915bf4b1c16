#include "ToolVersion.h"

namespace zul {

ToolVersion toolVersion()
{
    return { ZUL_VERSION_MAJOR, ZUL_VERSION_MINOR, ZUL_VERSION_RELEASE, ZUL_VERSION_BUILD };
}

std::string toolVersionText()
{
    const ToolVersion v = toolVersion();
    return std::to_string(v.major) + '.' + std::to_string(v.minor) + '.'
        + std::to_string(v.release);
}

} // namespace zul
