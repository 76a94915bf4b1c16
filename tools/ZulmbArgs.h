// The command line of zulmb turned into one Invocation: port settings, slave, verbosity and the
// command with its numbers and values. No port is touched here, so main() and the tests can check
// every usage error without a device.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zulmb {

enum class Command {
    Identify,
    ReadInput,
    ReadHolding,
    WriteHolding,
    ReadCoils,
    ReadInputs,
    WriteCoils,
    StoreCommand, // `command N`: the store handshake
    Scan, // every address and line setting chosen, for modules that answer
};

struct Invocation
{
    bool help = false;
    // COM1..COM4 select portIndex 0..3; any other port is a device path opened as is.
    int portIndex = 0;
    std::string devicePath;
    int baudIndex = 3; // index into TRKComm::BaudRateTable (9600)
    std::uint8_t parity = 0; // 0 none, 1 odd, 2 even
    std::uint8_t stopBits = 0; // 0 one, 1 two
    std::uint8_t slave = 100;
    bool verbose = false;
    bool localEcho = false; // the adapter hands back each request before the reply
    int repeat = 1; // runs of the command
    bool stats = false; // counts and round trips after the runs

    Command command = Command::Identify;
    int number = 0; // 1-based register or bit number
    int count = 0; // items to read or write
    std::vector<std::uint16_t> values; // words to write, or coils as 0/1

    // scan: the addresses and what to try, each list in the order given (empty: all)
    int firstAddress = 1;
    int lastAddress = 247;
    std::vector<int> scanBaudIndices;
    std::vector<std::uint8_t> scanParities;
    std::vector<std::uint8_t> scanStopBits;
};

// args: the words after the program name. Answers nothing and sets `error` on bad usage.
std::optional<Invocation> parseArguments(const std::vector<std::string> &args, std::string &error);

std::string usageText();

} // namespace zulmb
