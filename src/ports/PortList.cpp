#include "PortList.h"

#include "SerialAdapters.h"
#include "sim/Discovery.h"

namespace fs = std::filesystem;

std::vector<std::string> SerialDevicePaths(const fs::path &devRoot)
{
    std::vector<std::string> paths;
    for (const TSerialAdapter &adapter : SerialAdapters(devRoot))
        paths.push_back(adapter.Path);
    return paths;
}

std::vector<TPortChoice> AvailablePortsIn(const fs::path &devRoot)
{
    std::vector<TPortChoice> ports;
    for (const TSerialAdapter &adapter : SerialAdapters(devRoot)) {
        QString label = QString::fromStdString(adapter.Device);
        if (!adapter.ById.empty())
            label +=
                QStringLiteral(" - ") + QString::fromStdString(AdapterDescription(adapter.ById));
        ports.push_back({ label, QString::fromStdString(adapter.Path), false });
    }
    for (const auto &[label, path] : zulsim::runningSimulators())
        ports.push_back({ QString::fromStdString(label), QString::fromStdString(path), true });
    return ports;
}

std::vector<TPortChoice> AvailablePorts()
{
    return AvailablePortsIn("/dev");
}
