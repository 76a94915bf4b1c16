#include "ZulmbArgs.h"

#include "comms/RKCOMM.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace zulmb {

namespace {

// Protocol addresses are 16 bits, so the last item may be number 65536.
constexpr int HighestNumber = 65536;
constexpr int MostRepeats = 1000000;

struct CommandForm
{
    std::string_view name;
    Command command;
    enum class Operands { None, NumberCount, NumberValues, NumberBits, Number } operands;
};

constexpr std::array<CommandForm, 9> Commands { {
    { "identify", Command::Identify, CommandForm::Operands::None },
    { "read-input", Command::ReadInput, CommandForm::Operands::NumberCount },
    { "read-holding", Command::ReadHolding, CommandForm::Operands::NumberCount },
    { "write-holding", Command::WriteHolding, CommandForm::Operands::NumberValues },
    { "read-coils", Command::ReadCoils, CommandForm::Operands::NumberCount },
    { "read-inputs", Command::ReadInputs, CommandForm::Operands::NumberCount },
    { "write-coils", Command::WriteCoils, CommandForm::Operands::NumberBits },
    { "command", Command::StoreCommand, CommandForm::Operands::Number },
    { "scan", Command::Scan, CommandForm::Operands::None },
} };

constexpr std::array<std::string_view, 3> ParityNames { "none", "odd", "even" };

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<int> parseRanged(const std::string &text, int low, int high)
{
    if (text.empty() || text.front() == ' ')
        return std::nullopt;
    const auto value = zul::parseInteger(text);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return *value;
}

std::optional<std::uint8_t> parityCode(const std::string &word)
{
    const auto it = std::find(ParityNames.begin(), ParityNames.end(), lower(word));
    if (it == ParityNames.end())
        return std::nullopt;
    return static_cast<std::uint8_t>(it - ParityNames.begin());
}

// "9600,19200": each item through `parse`; false at the first it refuses, or an empty item.
template<typename Item, typename Parse>
bool parseList(const std::string &text, std::vector<Item> &items, Parse parse)
{
    items.clear();
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        const std::optional<Item> item = parse(text.substr(from, comma - from));
        if (!item)
            return false;
        items.push_back(*item);
        if (comma == std::string::npos)
            return true;
        from = comma + 1;
    }
}

std::string applyScanOption(Invocation &inv, const std::string &option, const std::string &value)
{
    if (option == "--addresses") {
        const std::size_t dash = value.find('-');
        const auto first = parseRanged(value.substr(0, dash), 1, 247);
        const auto last =
            dash == std::string::npos ? first : parseRanged(value.substr(dash + 1), 1, 247);
        if (!first || !last || *first > *last)
            return "--addresses takes A-B, from 1 to 247";
        inv.firstAddress = *first;
        inv.lastAddress = *last;
    } else if (option == "--bauds") {
        if (!parseList(
                value, inv.scanBaudIndices, [](const std::string &item) -> std::optional<int> {
                    const auto rate = parseRanged(item, 1, 1 << 30);
                    const int index = rate ? TRKComm::BaudIndexOf(*rate) : -1;
                    return index < 0 ? std::nullopt : std::optional<int>(index);
                }))
            return "--bauds takes rates such as 9600,19200";
    } else if (option == "--parities") {
        if (!parseList(value, inv.scanParities, parityCode))
            return "--parities takes none, odd and even, comma-separated";
    } else if (option == "--stops") {
        if (!parseList(value, inv.scanStopBits, [](const std::string &item) {
                return item == "1" || item == "2" ? std::optional<std::uint8_t>(item == "2" ? 1 : 0)
                                                  : std::nullopt;
            }))
            return "--stops takes 1 and 2, comma-separated";
    } else {
        return "unknown option '" + option + "'";
    }
    return {};
}

void applyPort(Invocation &inv, const std::string &port)
{
    const std::string name = lower(port);
    if (name.size() == 4 && name.starts_with("com") && name[3] >= '1' && name[3] <= '4') {
        inv.portIndex = name[3] - '1';
        inv.devicePath.clear();
    } else {
        inv.devicePath = port;
    }
}

// Applies one option and its value; answers an error text, empty when it was accepted.
std::string applyOption(Invocation &inv, const std::string &option, const std::string &value)
{
    if (option == "--port") {
        if (value.empty())
            return "--port needs a port name or device path";
        applyPort(inv, value);
    } else if (option == "--baud") {
        const auto rate = parseRanged(value, 1, 1 << 30);
        const int index = rate ? TRKComm::BaudIndexOf(*rate) : -1;
        if (index < 0)
            return "unsupported baud rate '" + value + "'";
        inv.baudIndex = index;
    } else if (option == "--parity") {
        const auto parity = parityCode(value);
        if (!parity)
            return "--parity takes none, odd or even";
        inv.parity = *parity;
    } else if (option == "--stop") {
        if (value != "1" && value != "2")
            return "--stop takes 1 or 2";
        inv.stopBits = value == "2" ? 1 : 0;
    } else if (option == "--slave") {
        // 0 is the broadcast address, which no slave answers.
        const auto slave = parseRanged(value, 1, 247);
        if (!slave)
            return "--slave takes an address from 1 to 247";
        inv.slave = static_cast<std::uint8_t>(*slave);
    } else if (option == "--repeat") {
        const auto repeat = parseRanged(value, 1, MostRepeats);
        if (!repeat)
            return "--repeat takes a count from 1 to 1000000";
        inv.repeat = *repeat;
    } else {
        return applyScanOption(inv, option, value);
    }
    return {};
}

std::string applyOperands(
    Invocation &inv, const CommandForm &form, const std::vector<std::string> &operands)
{
    using Operands = CommandForm::Operands;
    const std::string name(form.name);
    if (form.operands == Operands::None)
        return operands.empty() ? std::string() : name + " takes no operands";
    if (operands.empty())
        return name + " needs a register number";
    const auto number = parseRanged(operands[0], 1, HighestNumber);
    if (!number)
        return "bad register number '" + operands[0] + "' (1 to 65536)";
    inv.number = *number;
    const std::vector<std::string> rest(operands.begin() + 1, operands.end());

    switch (form.operands) {
    case Operands::None:
        break;
    case Operands::Number:
        if (!rest.empty())
            return name + " takes one register number";
        break;
    case Operands::NumberCount: {
        if (rest.size() != 1)
            return name + " takes a register number and a count";
        const auto count = parseRanged(rest[0], 1, HighestNumber);
        if (!count)
            return "bad count '" + rest[0] + "'";
        inv.count = *count;
        break;
    }
    case Operands::NumberValues:
    case Operands::NumberBits:
        if (rest.empty())
            return name + " needs at least one value";
        for (const std::string &text : rest) {
            std::optional<std::uint16_t> value;
            if (form.operands == Operands::NumberBits) {
                if (text == "0" || text == "1")
                    value = text == "1";
            } else if (!text.empty() && text.front() != ' ') {
                value = zul::parseWord(text);
            }
            if (!value)
                return "bad value '" + text + "'"
                    + (form.operands == Operands::NumberBits ? " (0 or 1)" : " (0 to 65535)");
            inv.values.push_back(*value);
        }
        inv.count = static_cast<int>(inv.values.size());
        break;
    }
    if (inv.count > 0 && inv.number + inv.count - 1 > HighestNumber)
        return "the items run past number 65536";
    return {};
}

// What the options tell beyond the invocation's own fields, for the checks against the command.
struct OptionsSeen
{
    bool port = false;
    bool scanOption = false;
    bool singleSetting = false; // an option that a scan's lists replace, or that it cannot use
    std::vector<std::string> words; // the command and its operands
};

// The options into `inv`, every other word into seen.words; stops at --help. An error text, or
// empty.
std::string readOptions(const std::vector<std::string> &args, Invocation &inv, OptionsSeen &seen)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            inv.help = true;
            return {};
        }
        if (arg == "--verbose" || arg == "-v") {
            inv.verbose = true;
            continue;
        }
        if (arg == "--stats") {
            inv.stats = true;
            seen.singleSetting = true;
            continue;
        }
        if (arg == "--echo") {
            inv.localEcho = true;
            continue;
        }
        if (!arg.starts_with("--")) {
            seen.words.push_back(arg);
            continue;
        }
        std::string option = arg;
        std::string value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            option = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return option + " needs a value";
        }
        if (std::string error = applyOption(inv, option, value); !error.empty())
            return error;
        seen.port = seen.port || option == "--port";
        seen.scanOption = seen.scanOption || option == "--addresses" || option == "--bauds"
            || option == "--parities" || option == "--stops";
        seen.singleSetting = seen.singleSetting || option == "--baud" || option == "--parity"
            || option == "--stop" || option == "--slave" || option == "--repeat";
    }
    return {};
}

// The command named by the first word, checked against the options given, and its operands.
std::string applyCommand(Invocation &inv, const OptionsSeen &seen)
{
    if (!seen.port)
        return "--port is required";
    if (seen.words.empty())
        return "no command given";
    const std::vector<std::string> &words = seen.words;
    const auto form = std::find_if(Commands.begin(), Commands.end(),
        [&](const CommandForm &candidate) { return candidate.name == words[0]; });
    if (form == Commands.end())
        return "unknown command '" + words[0] + "'";
    inv.command = form->command;
    if (seen.scanOption && inv.command != Command::Scan)
        return "--addresses, --bauds, --parities and --stops belong to scan";
    // Silently ignored, --baud 19200 would let a scan run for minutes over every other rate.
    if (seen.singleSetting && inv.command == Command::Scan)
        return "scan takes --addresses, --bauds, --parities and --stops instead of --slave, "
               "--baud, --parity and --stop, and no --repeat or --stats";
    return applyOperands(inv, *form, { words.begin() + 1, words.end() });
}

} // namespace

std::optional<Invocation> parseArguments(const std::vector<std::string> &args, std::string &error)
{
    Invocation inv;
    OptionsSeen seen;
    error = readOptions(args, inv, seen);
    if (!error.empty())
        return std::nullopt;
    if (inv.help)
        return inv;
    error = applyCommand(inv, seen);
    if (!error.empty())
        return std::nullopt;
    return inv;
}

std::string usageText()
{
    return "Usage: zulmb --port P [--baud B] [--parity none|odd|even] [--stop 1|2] [--slave N]\n"
           "             [--echo] [--verbose] [--repeat N] [--stats] COMMAND\n"
           "       zulmb --port P scan [--addresses A-B] [--bauds LIST] [--parities LIST]\n"
           "             [--stops LIST]\n"
           "\n"
           "P is COM1..COM4 (/dev/ttyS0../dev/ttyS3) or a device path. Defaults: 9600 baud,\n"
           "no parity, 1 stop bit, slave 100. Numbers are 1-based register or bit numbers;\n"
           "values are decimal, $hex or 0xhex.\n"
           "\n"
           "--echo       the adapter hands back each request before the reply (two-wire RS-485)\n"
           "--verbose    every frame on stderr\n"
           "--repeat N   run the command N times; values are printed from the last run,\n"
           "             each failed run's reason on stderr\n"
           "--stats      after the runs: runs and failures, requests and replies by outcome,\n"
           "             round trip min/median/max of the replies that came\n"
           "\n"
           "Commands:\n"
           "  identify                 module kind and identity block\n"
           "  read-input N COUNT       input registers (function 4)\n"
           "  read-holding N COUNT     holding registers (function 3)\n"
           "  write-holding N V...     holding registers (function 16)\n"
           "  read-coils N COUNT       coils (function 1)\n"
           "  read-inputs N COUNT      discrete inputs (function 2)\n"
           "  write-coils N 0|1...     coils (function 15)\n"
           "  command N                store handshake on holding register N\n"
           "  scan                     look for modules: one read of the module kind (input\n"
           "                           195) per address and setting, one line per answer.\n"
           "                           Lists are comma-separated (--bauds 9600,19200,\n"
           "                           --parities none,even, --stops 1,2); by default every\n"
           "                           address 1-247, rate, parity and stop bits, the most\n"
           "                           common first\n"
           "\n"
           "Exit status: 0 success (scan: a module answered), 1 a transaction failed (in any\n"
           "run; scan: nothing answered), 2 bad usage or port not opened.\n";
}

} // namespace zulmb
