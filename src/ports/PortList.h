// The ports the Connect page offers beyond Com1..Com4: serial devices present on this machine and
// the simulated modules that are running. Used by the main window to feed CommsPortBox.
#pragma once

#include "module/WidgetConnectPage.h"

#include <filesystem>
#include <string>
#include <vector>

// USB and ACM adapters under devRoot (ttyUSB*, ttyACM*, in number order), then the stable names
// in devRoot/serial/by-id that lead to none of them.
std::vector<std::string> SerialDevicePaths(const std::filesystem::path &devRoot = "/dev");

// Serial devices first, each with its by-id description beside its device name, then running
// simulators.
std::vector<TPortChoice> AvailablePortsIn(const std::filesystem::path &devRoot);
std::vector<TPortChoice> AvailablePorts();
