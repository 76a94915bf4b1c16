// zulmb scan: the bus scan of the comms library from the shell, one line per answer as it comes.
#pragma once

#include "ZulmbArgs.h"

#include <iosfwd>
#include <string>

namespace modbus {
struct ScanAnswer;
}

namespace zulmb {

// 0 when a module answered, 1 when none did, 2 when the port could not be opened.
int runScan(const Invocation &invocation, std::ostream &out, std::ostream &err);
// "slave 17, 19200 baud, parity none, 1 stop bit: 0x0101 DIO (Digital I/O module), serial
// 0012ABCD"
std::string scanLine(const modbus::ScanAnswer &answer);

} // namespace zulmb
