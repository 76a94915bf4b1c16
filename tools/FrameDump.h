// One line of zulmb's --verbose traffic trace: time, direction (">>" sent, "<<" received), the
// frame in hex and, for a reply, the transaction's outcome. Called by the frame hook in ZulmbRun.
#pragma once

#include "comms/ModbusSerial.h"

#include <string>

namespace zulmb {

std::string hexBytes(const std::vector<std::uint8_t> &bytes); // "64 04 00 C2"
std::string describeFrame(const modbus::FrameEvent &event);

} // namespace zulmb
