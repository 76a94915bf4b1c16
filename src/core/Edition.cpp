#include "Edition.h"

#include "ModuleCodes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace zul {

namespace {

std::string upperBaseName(const std::string &path)
{
    const auto slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::transform(name.begin(), name.end(), name.begin(),
        [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

bool isProductionTestName(const std::string &name)
{
    // A leading dot starts a hidden name rather than an extension.
    const auto dot = name.find_last_of('.');
    const std::size_t end = (dot == std::string::npos || dot == 0) ? name.size() : dot;
    return end > 0 && name[end - 1] == 'T';
}

bool containsAny(const std::string &name, std::initializer_list<std::string_view> parts)
{
    return std::any_of(parts.begin(), parts.end(),
        [&](std::string_view part) { return name.find(part) != std::string::npos; });
}

int chooseVariant(const std::string &name)
{
    if (containsAny(name, { "JBD", "TALVIK", "Q4 ZT", "Q4ZT", "Q4_ZT" }))
        return 1;
    if (containsAny(name, { "BRENTHOLM", "VAQ" }))
        return 2;
    if (containsAny(name, { modelNamePrefix(3) }))
        return 3;
    if (containsAny(name, { modelNamePrefix(4) }))
        return 4;
    if (containsAny(name, { modelNamePrefix(5), "VKR" }))
        return 5;
    return 0;
}

} // namespace

Edition chooseEdition(const std::string &path)
{
    const std::string name = upperBaseName(path);
    return Edition { isProductionTestName(name), chooseVariant(name) };
}

} // namespace zul
