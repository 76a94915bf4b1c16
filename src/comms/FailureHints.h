// Short plain-language hints shown under a failure message (the message itself never changes):
// why a port would not open, and what the last transaction's outcome suggests to check. The
// choice is pure, from facts gathered by the caller, so that every branch can be tested; the
// gathering functions read this machine (/proc, the device's group).
#pragma once

#include "ModbusSerial.h"

#include <cstdint>
#include <string>
#include <vector>

class ZUL_Modbus;

namespace comms {

struct PortOpenFacts
{
    std::string device; // the file opened, e.g. /dev/ttyUSB0
    int error = 0; // errno of the failed open or lock
    std::vector<std::string> presentPorts; // what could be opened instead
    std::vector<std::string> holders; // "minicom (pid 1234)"
    // The group that owns the device and may read and write it, e.g. "dialout"; empty when no
    // group but root may.
    std::string deviceGroup;
};

// Empty when the error says nothing useful.
std::string portOpenHint(const PortOpenFacts &facts);

// The processes that have `device` open, as "name (pid N)", found like fuser does through
// /proc/<pid>/fd; processes this user may not look into are missed, and the simulator, which
// holds its own side of a pseudo-terminal, is not named.
std::vector<std::string> portHolders(
    const std::string &device, const std::string &procRoot = "/proc");
// The group that owns `device` when that group may read and write it and is not root; empty
// otherwise (then only an administrator can give access).
std::string deviceGroup(const std::string &device);

struct TransactionFacts
{
    modbus::Outcome outcome = modbus::Outcome::Ok;
    std::vector<std::uint8_t> request;
    std::vector<std::uint8_t> reply;
    std::uint8_t slave = 0;
    int baud = 0;
    int parity = 0; // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stopBits = 0; // 0 one, 1 two
    bool localEcho = false;
};

// Empty after a good transaction.
std::string transactionHint(const TransactionFacts &facts);
// The facts of the register layer's latest transaction.
TransactionFacts transactionFacts(const ZUL_Modbus &modbus);

// What an exception code means to the technician: "a register asked for does not exist ...".
std::string exceptionMeaning(std::uint8_t code);

} // namespace comms
