// The tool's version, set by the build: the About box, --version, the run record and the
// certificate all state it from here.
#pragma once

#include <string>

namespace zul {

struct ToolVersion
{
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
};

// The version this program was built as.
ToolVersion toolVersion();

// "major.minor.release", the form the records and certificates name.
std::string toolVersionText();

} // namespace zul
