// Finding the simulated modules that run on this machine. Every zul-sim registers a symlink
// <KIND>-<pid> to its pty device in one directory; the tool's connect page lists them through
// runningSimulators(). Qt-free and independent of the serving code (library zul_sim_discovery).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zulsim {

// ${XDG_RUNTIME_DIR}/zul-sim, or /tmp/zul-sim-<uid> without XDG_RUNTIME_DIR (a shared /tmp
// directory would let one user block or spoof the simulators of another).
std::string discoveryDirectory();

// (label, device path) of every live simulator, e.g. ("zul-sim AIN (pid 1234)", "/dev/pts/3"),
// ordered by pid. Links of processes that are gone or whose device disappeared are skipped.
std::vector<std::pair<std::string, std::string>> runningSimulators();

// Registers this process's simulator of kind `kindName` ("DIO", "AIN", "AOT") serving `device`;
// also removes links left by dead processes. Returns the link path, empty on failure.
std::string announceSimulator(const std::string &kindName, const std::string &device);
// Removes a link made by announceSimulator (only if it still points to `device`).
void withdrawSimulator(const std::string &linkPath, const std::string &device);

} // namespace zulsim
