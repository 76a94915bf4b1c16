#include "Discovery.h"

#include "core/KindRegistry.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zulsim {

namespace {

struct Entry
{
    std::string kind;
    long pid = 0;
    int instance = 1; // a second simulator in the same process gets "-2"
};

// Parses "<KIND>-<pid>" or "<KIND>-<pid>-<n>".
bool parseName(const std::string &name, Entry &entry)
{
    const std::size_t dash = name.find('-');
    if (dash == std::string::npos)
        return false;
    entry.kind = name.substr(0, dash);
    const zul::TKindRow *kind = zul::findKindByName(entry.kind);
    if (!kind || kind->Name != entry.kind) // written by a simulator, so in the registry's spelling
        return false;
    const char *digits = name.c_str() + dash + 1;
    char *end = nullptr;
    entry.pid = std::strtol(digits, &end, 10);
    if (end == digits || entry.pid <= 0)
        return false;
    entry.instance = 1;
    if (*end == '-') {
        const char *rest = end + 1;
        entry.instance = static_cast<int>(std::strtol(rest, &end, 10));
        if (end == rest || entry.instance < 2)
            return false;
    }
    return *end == '\0';
}

bool processAlive(long pid)
{
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string linkTarget(const std::string &path)
{
    char buffer[4096];
    const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// The directory must be ours and not a symlink planted by someone else.
bool usableDirectory(const std::string &dir, bool create)
{
    if (create)
        mkdir(dir.c_str(), 0700);
    struct stat st
    {
    };
    return lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

template<typename Visit>
void forEachLink(const std::string &dir, Visit visit)
{
    DIR *handle = opendir(dir.c_str());
    if (!handle)
        return;
    while (const dirent *item = readdir(handle)) {
        Entry entry;
        if (parseName(item->d_name, entry))
            visit(dir + "/" + item->d_name, entry);
    }
    closedir(handle);
}

} // namespace

std::string discoveryDirectory()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/zul-sim";
    return "/tmp/zul-sim-" + std::to_string(getuid());
}

std::vector<std::pair<std::string, std::string>> runningSimulators()
{
    const std::string dir = discoveryDirectory();
    std::vector<std::pair<Entry, std::string>> found;
    if (usableDirectory(dir, false)) {
        forEachLink(dir, [&found](const std::string &path, const Entry &entry) {
            const std::string device = linkTarget(path);
            struct stat st
            {
            };
            if (!device.empty() && processAlive(entry.pid) && stat(device.c_str(), &st) == 0)
                found.emplace_back(entry, device);
        });
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        return a.first.pid != b.first.pid ? a.first.pid < b.first.pid
                                          : a.first.instance < b.first.instance;
    });
    std::vector<std::pair<std::string, std::string>> result;
    for (const auto &[entry, device] : found) {
        std::string label = "zul-sim " + entry.kind + " (pid " + std::to_string(entry.pid);
        if (entry.instance > 1)
            label += " #" + std::to_string(entry.instance);
        result.emplace_back(label + ")", device);
    }
    return result;
}

std::string announceSimulator(const std::string &kindName, const std::string &device)
{
    const std::string dir = discoveryDirectory();
    if (!usableDirectory(dir, true))
        return {};
    forEachLink(dir, [](const std::string &path, const Entry &entry) {
        struct stat st
        {
        };
        const bool ourOldLink = entry.pid == getpid() && stat(path.c_str(), &st) != 0;
        if (!processAlive(entry.pid) || ourOldLink)
            unlink(path.c_str());
    });
    const std::string base = dir + "/" + kindName + "-" + std::to_string(getpid());
    for (int instance = 1; instance < 100; ++instance) {
        std::string path = instance == 1 ? base : base + "-" + std::to_string(instance);
        if (symlink(device.c_str(), path.c_str()) == 0)
            return path;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

void withdrawSimulator(const std::string &linkPath, const std::string &device)
{
    if (!linkPath.empty() && linkTarget(linkPath) == device)
        unlink(linkPath.c_str());
}

} // namespace zulsim
