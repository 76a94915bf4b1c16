// How the tool reaches a module: the port, its line settings, the slave address and whether the
// adapter echoes. The Connect page edits one; Connect, the poll, Find module's "Use", Reconnect
// and the run's next module connect with one, so nothing types into the page to make the tool
// act. Qt-free.
#pragma once

#include <string>

namespace zul {

struct ConnectionSettings
{
    int portIndex = 0; // "Com1".."Com4" by index, when devicePath is empty
    std::string devicePath; // any other port, used as is
    int baudIndex = 3; // the baud box's item, "9600"
    int parity = 0; // none, odd, even
    int stopBits = 0; // one, two
    int address = 100; // the slave address
    bool localEcho = false; // a two-wire adapter that hands back every request

    bool operator==(const ConnectionSettings &) const = default;
};

} // namespace zul
