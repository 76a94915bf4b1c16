#include "PortList.h"

#include "sim/Discovery.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// ttyUSB2 before ttyUSB10.
bool naturalLess(const std::string &a, const std::string &b)
{
    auto split = [](const std::string &s) {
        const std::size_t digits = s.find_last_not_of("0123456789") + 1;
        const std::string number = s.substr(digits);
        return std::make_pair(s.substr(0, digits), number.empty() ? -1L : std::stol(number));
    };
    return split(a) < split(b);
}

std::vector<std::string> listMatching(const fs::path &dir, const std::vector<std::string> &prefixes)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool wanted = prefixes.empty()
            || std::any_of(prefixes.begin(), prefixes.end(),
                [&](const std::string &prefix) { return name.rfind(prefix, 0) == 0; });
        if (wanted)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

} // namespace

std::vector<std::string> SerialDevicePaths(const fs::path &devRoot)
{
    std::vector<std::string> paths;
    for (const std::string &name : listMatching(devRoot, { "ttyUSB", "ttyACM" }))
        paths.push_back((devRoot / name).string());
    const fs::path byId = devRoot / "serial" / "by-id";
    for (const std::string &name : listMatching(byId, {}))
        paths.push_back((byId / name).string());
    return paths;
}

std::vector<TPortChoice> AvailablePorts()
{
    std::vector<TPortChoice> ports;
    for (const std::string &path : SerialDevicePaths())
        ports.push_back({ QString::fromStdString(path), QString::fromStdString(path), false });
    for (const auto &[label, path] : zulsim::runningSimulators())
        ports.push_back({ QString::fromStdString(label), QString::fromStdString(path), true });
    return ports;
}
