// The serial adapters plugged into this machine as the Connect page offers them: each USB or ACM
// device with the stable name udev gives it under serial/by-id, and how an adapter is known again
// after it was pulled and plugged back in, perhaps under another ttyUSB number. Qt-free; used by
// PortList and TAdapterReconnect.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct TSerialAdapter
{
    std::string Path; // what to open: the device, or a stable name whose device lies elsewhere
    std::string Device; // the device node it leads to, as the list shows it
    std::string ById; // its name under serial/by-id, empty when it has none
};

// ttyUSB* and ttyACM* under devRoot in number order, each with its by-id name; then the by-id
// names that lead to none of them. A by-id link whose device is gone is left out.
std::vector<TSerialAdapter> SerialAdapters(const std::filesystem::path &devRoot = "/dev");

// "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" -> "FTDI FT232R USB UART A50285BI".
std::string AdapterDescription(const std::string &byIdName);

// How an adapter is recognised when it returns: by its by-id name, which stays with the adapter
// whatever number it gets; a running simulator by its registration; else by its path.
struct TAdapterIdentity
{
    std::string ById;
    std::string Path;
    bool operator==(const TAdapterIdentity &) const = default;
};

TAdapterIdentity IdentifyAdapter(
    const std::string &path, const std::filesystem::path &devRoot = "/dev");
// Whether two paths lead to the same device that is there now.
bool SameDevice(const std::string &a, const std::string &b);
// The path to open the adapter by now; empty while it is away.
std::string LocateAdapter(
    const TAdapterIdentity &identity, const std::filesystem::path &devRoot = "/dev");
