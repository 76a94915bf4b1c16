#include "SerialAdapters.h"

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

// Where a path leads in the end; empty when nothing is there.
std::string resolved(const fs::path &path)
{
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return error ? std::string() : target.string();
}

// A simulator keeps its registration when it is plugged back in, whatever device it then gets.
std::string registrationOf(const std::string &device)
{
    std::error_code error;
    for (fs::directory_iterator it(zulsim::discoveryDirectory(), error), end;
         !device.empty() && !error && it != end; it.increment(error))
        if (resolved(it->path()) == device)
            return it->path().string();
    return {};
}

} // namespace

bool SameDevice(const std::string &a, const std::string &b)
{
    const std::string device = resolved(a);
    return !device.empty() && device == resolved(b);
}

std::vector<TSerialAdapter> SerialAdapters(const fs::path &devRoot)
{
    std::vector<TSerialAdapter> adapters;
    std::vector<std::string> targets;
    for (const std::string &name : listMatching(devRoot, { "ttyUSB", "ttyACM" })) {
        const std::string path = (devRoot / name).string();
        adapters.push_back({ path, path, {} });
        targets.push_back(resolved(path));
    }
    const fs::path byId = devRoot / "serial" / "by-id";
    for (const std::string &name : listMatching(byId, {})) {
        const std::string target = resolved(byId / name);
        if (target.empty())
            continue;
        const auto found = std::find(targets.begin(), targets.end(), target);
        if (found == targets.end()) {
            adapters.push_back({ (byId / name).string(), target, name });
            continue;
        }
        TSerialAdapter &device = adapters[static_cast<std::size_t>(found - targets.begin())];
        if (device.ById.empty())
            device.ById = name;
    }
    return adapters;
}

std::string AdapterDescription(const std::string &byIdName)
{
    std::string text = byIdName;
    for (const char *bus : { "usb-", "pci-", "platform-" })
        if (text.rfind(bus, 0) == 0) {
            text.erase(0, std::string(bus).size());
            break;
        }
    // The interface and port numbers say nothing to whoever reads the list.
    for (const char *tail : { "-port", "-if" }) {
        const std::size_t at = text.rfind(tail);
        if (at != std::string::npos && at > 0)
            text.erase(at);
    }
    std::replace(text.begin(), text.end(), '_', ' ');
    return text;
}

TAdapterIdentity IdentifyAdapter(const std::string &path, const fs::path &devRoot)
{
    const fs::path given(path);
    if (given.parent_path() == devRoot / "serial" / "by-id")
        return { given.filename().string(), {} };
    const std::string target = resolved(given);
    for (const TSerialAdapter &adapter : SerialAdapters(devRoot))
        if (!adapter.ById.empty() && (adapter.Path == path || resolved(adapter.Path) == target))
            return { adapter.ById, {} };
    const std::string registration = registrationOf(target);
    return { {}, registration.empty() ? path : registration };
}

std::string LocateAdapter(const TAdapterIdentity &identity, const fs::path &devRoot)
{
    if (identity.ById.empty())
        return resolved(identity.Path).empty() ? std::string() : identity.Path;
    for (const TSerialAdapter &adapter : SerialAdapters(devRoot))
        if (adapter.ById == identity.ById)
            return adapter.Path;
    return {};
}
