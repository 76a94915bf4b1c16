// Runs one zulmb invocation through the register layer (ZUL_Modbus) and prints its result: values
// on `out`, errors and the --verbose trace on `err`. main() and the tests call it.
#pragma once

#include "ZulmbArgs.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace zulmb {

enum ExitStatus {
    ExitOk = 0,
    ExitTransactionFailed = 1,
    ExitUsageOrPort = 2, // bad usage, or the port could not be opened
};

int run(const Invocation &invocation, std::ostream &out, std::ostream &err);
// "DIO (Digital I/O module)", or "(no module detected)" for a code of no kind.
std::string kindName(std::uint16_t code);
// Parses args (the words after the program name) and runs them.
int runCommandLine(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace zulmb
