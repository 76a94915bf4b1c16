// The control commands of zul-sim: one line in, one answer out ("ok ..." or "error ...").
#include "Simulator.h"

#include "Discovery.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace zulsim {

namespace {

using Args = std::vector<std::string>;

// Decimal, 0x or $ hexadecimal, with an optional minus sign.
std::optional<long long> parseNumber(const std::string &text)
{
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++at;
    int base = 10;
    if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
        base = 16;
        at += 2;
    } else if (text.compare(at, 1, "$") == 0) {
        base = 16;
        at += 1;
    }
    const auto digit = [base](char c) {
        return base == 16 ? std::isxdigit(static_cast<unsigned char>(c))
                          : std::isdigit(static_cast<unsigned char>(c));
    };
    if (at >= text.size() || !std::all_of(text.begin() + at, text.end(), digit)
        || text.size() - at > 12)
        return std::nullopt;
    const long long value = std::strtoll(text.c_str() + at, nullptr, base);
    if (value > 0xFFFFFFFFLL)
        return std::nullopt;
    return negative ? -value : value;
}

struct CommandError
{
    std::string text;
};

long long numberArg(
    const Args &args, std::size_t index, long long low, long long high, const char *what)
{
    if (index >= args.size())
        throw CommandError { std::string("missing ") + what };
    const auto value = parseNumber(args[index]);
    if (!value || *value < low || *value > high)
        throw CommandError { std::string("bad ") + what + " '" + args[index] + "' ("
            + std::to_string(low) + ".." + std::to_string(high) + ")" };
    return *value;
}

// Register values may be given signed (raw values, offsets); they are kept as 16-bit words.
std::uint16_t wordArg(const Args &args, std::size_t index)
{
    return static_cast<std::uint16_t>(numberArg(args, index, -32768, 65535, "value"));
}

int registerArg(const Args &args, std::size_t index)
{
    return static_cast<int>(numberArg(args, index, 1, 65536, "register number"));
}

double realArg(const Args &args, std::size_t index)
{
    if (index >= args.size())
        throw CommandError { "missing value" };
    char *end = nullptr;
    const double value = std::strtod(args[index].c_str(), &end);
    if (*end != '\0' || end == args[index].c_str())
        throw CommandError { "bad value '" + args[index] + "'" };
    return value;
}

void expectArgs(const Args &args, std::size_t low, std::size_t high)
{
    if (args.size() < low + 1 || args.size() > high + 1)
        throw CommandError { "wrong number of arguments for '" + args[0] + "'" };
}

std::string joined(const Args &args)
{
    std::string text = "ok";
    for (const std::string &arg : args)
        text += " " + arg;
    return text;
}

// A fault with its argument before the count: none, optional or required, and its range.
struct FaultEntry
{
    enum Param { NoParam, OptionalParam, RequiredParam };
    const char *name;
    Fault fault;
    Param param;
    long long low, high;
    const char *what; // the argument's name in messages
    const char *shape; // and in the help
    const char *help;
};

constexpr FaultEntry Faults[] = {
    { "none", Fault::None, FaultEntry::NoParam, 0, 0, "", "", "answer normally again" },
    { "silent", Fault::Silent, FaultEntry::NoParam, 0, 0, "", "",
        "no reply, and the request is not carried out" },
    { "wrongslave", Fault::WrongSlave, FaultEntry::NoParam, 0, 0, "", "",
        "reply from the next slave address" },
    { "exception", Fault::ExceptionReply, FaultEntry::OptionalParam, 1, 255, "exception code",
        "code", "exception reply (code 04 unless given); nothing is carried out" },
    { "badcrc", Fault::BadCrc, FaultEntry::NoParam, 0, 0, "", "", "reply with a corrupted CRC" },
    { "garbled", Fault::Garbled, FaultEntry::NoParam, 0, 0, "", "",
        "reply bytes replaced by noise" },
    { "split", Fault::SplitReply, FaultEntry::OptionalParam, 0, 600000, "milliseconds", "ms",
        "a pause after the reply's first 2 bytes (60 ms unless given)" },
    { "delay", Fault::Delay, FaultEntry::RequiredParam, 0, 600000, "milliseconds", "ms",
        "reply that much later (beyond the master's time-out: a late reply)" },
    { "trailing", Fault::TrailingByte, FaultEntry::OptionalParam, 0, 255, "byte", "byte",
        "one byte more right after the reply (0 unless given)" },
    { "echo", Fault::Echo, FaultEntry::NoParam, 0, 0, "", "",
        "the request comes back before the reply (a two-wire adapter's echo)" },
};

// fault NAME [param] [count]; without a count the fault stays until cleared.
std::string faultCommand(Simulator &sim, const Args &args)
{
    const std::string &which = args[1];
    const auto *entry = std::find_if(std::begin(Faults), std::end(Faults),
        [&which](const FaultEntry &fault) { return which == fault.name; });
    if (entry == std::end(Faults))
        return "error unknown fault '" + which + "'";
    if (entry->fault == Fault::None) {
        expectArgs(args, 1, 1);
        sim.clearFault();
        return "ok fault none";
    }
    std::size_t next = 2;
    int param = 0;
    if (entry->param == FaultEntry::RequiredParam
        || (entry->param == FaultEntry::OptionalParam && args.size() > next))
        param = static_cast<int>(numberArg(args, next++, entry->low, entry->high, entry->what));
    const int count =
        args.size() > next ? static_cast<int>(numberArg(args, next++, 1, 1000000, "count")) : -1;
    if (args.size() > next)
        throw CommandError { "too many arguments for 'fault " + which + "'" };
    sim.setFault(entry->fault, count, param);
    return joined(args);
}

std::string setKind(Simulator &sim, const Args &args)
{
    const auto kind = kindFromName(args[1].c_str());
    if (!kind)
        return "error unknown kind '" + args[1] + "' (" + simulatedKindNames(", ", " or ") + ")";
    sim.setKind(*kind);
    return std::string("ok kind ") + kindName(*kind);
}

std::string setKindCode(Simulator &sim, const Args &args)
{
    sim.model().setKindCode(static_cast<std::uint16_t>(numberArg(args, 1, 0, 65535, "kind code")));
    return joined(args);
}

std::string setSlave(Simulator &sim, const Args &args)
{
    sim.setSlave(static_cast<std::uint8_t>(numberArg(args, 1, 1, 247, "slave address")));
    return "ok slave " + std::to_string(sim.slave());
}

std::string setRegister(Simulator &sim, const Args &args)
{
    const int number = registerArg(args, 1);
    const std::uint16_t value = wordArg(args, 2);
    if (args[0] == "input")
        sim.model().setInputRegister(number, value);
    else
        sim.model().setHoldingRegister(number, value);
    return "ok " + args[0] + " " + std::to_string(number) + " " + std::to_string(value);
}

std::string setPoint(Simulator &sim, const Args &args)
{
    const int number = static_cast<int>(numberArg(args, 1, 1, sim.model().bitCount(), "point"));
    const bool on = numberArg(args, 2, 0, 1, "state") != 0;
    if (args[0] == "coil")
        sim.model().setCoil(number, on);
    else
        sim.model().setDiscreteInput(number, on);
    return joined(args);
}

std::string setStimulus(Simulator &sim, const Args &args)
{
    sim.model().setAnalogStimulus(
        static_cast<int>(numberArg(args, 1, 1, 8, "channel")), realArg(args, 2));
    return joined(args);
}

std::string setPulseInput(Simulator &sim, const Args &args)
{
    if (sim.model().kind().map() != zul::RegisterMap::Digital)
        return "error pulse inputs exist on a DIO module only";
    const int input = static_cast<int>(numberArg(args, 1, 1, 4, "pulse input"));
    if (args[0] == "count")
        sim.model().setPulseInputCount(
            input, static_cast<std::uint32_t>(numberArg(args, 2, 0, 0xFFFFFFFF, "count")));
    else
        sim.model().setPulseInputRate(
            input, static_cast<std::uint16_t>(numberArg(args, 2, 0, 65535, "rate")));
    return joined(args);
}

std::string setPulseOutputCount(Simulator &sim, const Args &args)
{
    sim.model().setPulseOutputCount(static_cast<int>(numberArg(args, 1, 1, 8, "pulse output")),
        static_cast<std::uint16_t>(numberArg(args, 2, 0, 65535, "count")));
    return joined(args);
}

std::string disturb(Simulator &sim, const Args &args)
{
    const int channel = static_cast<int>(numberArg(args, 1, 1, 8, "channel"));
    const int low = args[0] == "noise" ? 0 : -32768;
    const int counts = static_cast<int>(numberArg(args, 2, low, 32767, "counts"));
    if (args[0] == "offby")
        sim.model().setChannelError(channel, counts);
    else if (args[0] == "noise")
        sim.model().setChannelNoise(channel, counts);
    else
        sim.model().setChannelDrift(channel, counts);
    return joined(args);
}

std::string setLoopback(Simulator &sim, const Args &args)
{
    if (args[1] != "on" && args[1] != "off")
        return "error loopback on|off";
    sim.model().setLoopback(args[1] == "on");
    return joined(args);
}

std::string steady(Simulator &sim, const Args &)
{
    sim.model().clearDisturbances();
    return "ok steady";
}

std::string removeHolding(Simulator &sim, const Args &args)
{
    sim.model().removeHoldingRegister(registerArg(args, 1));
    return joined(args);
}

std::string showLog(Simulator &sim, const Args &)
{
    std::string text;
    const auto records = sim.requestLog();
    for (const RequestRecord &record : records)
        text += record.text() + "\n";
    return text + "ok " + std::to_string(records.size()) + " requests";
}

std::string clearLog(Simulator &sim, const Args &)
{
    sim.clearRequestLog();
    return "ok";
}

std::string getRegister(Simulator &sim, const Args &args)
{
    const int number = registerArg(args, 2);
    ModuleModel &model = sim.model();
    if (args[1] == "input" && model.hasInputRegister(number))
        return "ok " + std::to_string(model.inputRegister(number));
    if (args[1] == "holding" && model.hasHoldingRegister(number))
        return "ok " + std::to_string(model.holdingRegister(number));
    if (args[1] != "input" && args[1] != "holding")
        return "error get input|holding N";
    return "error " + args[1] + " register " + std::to_string(number) + " is not mapped";
}

std::string unplug(Simulator &sim, const Args &)
{
    sim.unplug();
    return "ok unplug";
}

std::string replug(Simulator &sim, const Args &)
{
    try {
        return "ok replug " + sim.replug();
    } catch (const std::exception &error) {
        return std::string("error ") + error.what();
    }
}

// The program's own loop ends on this answer.
std::string quit(Simulator &, const Args &)
{
    return "ok quit";
}

struct CommandEntry
{
    const char *name;
    std::size_t minArgs, maxArgs; // words after the name
    const char *shape; // the arguments as the help shows them; null: the fault table's lines
    const char *help;
    std::string (*run)(Simulator &sim, const Args &args);
};

// Defined before the table that points into it, so it is built first.
const std::string KindShape = simulatedKindNames("|", "|");

const CommandEntry Commands[] = {
    { "kind", 1, 1, KindShape.c_str(), "plug in another module (resets every register)", setKind },
    { "kindcode", 1, 1, "N", "what input register 195 answers", setKindCode },
    { "slave", 1, 1, "N", "slave address", setSlave },
    { "input", 2, 2, "N V", "set an input register (N 1-based; V decimal, 0x.. or $..)",
        setRegister },
    { "holding", 2, 2, "N V", "set a holding register, as a master's write would", setRegister },
    { "coil", 2, 2, "N 0|1", "set a coil", setPoint },
    { "din", 2, 2, "N 0|1", "set a discrete input", setPoint },
    { "stimulus", 2, 2, "CH VALUE", "AIN: volts or milliamps at input CH", setStimulus },
    { "offby", 2, 2, "CH COUNTS", "analog channel CH reads that many counts off (0: exact)",
        disturb },
    { "noise", 2, 2, "CH COUNTS", "each read of channel CH up to +-COUNTS off at random", disturb },
    { "drift", 2, 2, "CH COUNTS", "each read of channel CH COUNTS on from the last: never settles",
        disturb },
    { "steady", 0, 0, "", "every channel read exactly again", steady },
    { "loopback", 1, 1, "on|off", "loop-back fixture: discrete input N reads as coil N",
        setLoopback },
    { "count", 2, 2, "INPUT N", "DIO: 32-bit pulse count of input 1..4", setPulseInput },
    { "rate", 2, 2, "INPUT N", "DIO: pulse rate of input 1..4", setPulseInput },
    { "outcount", 2, 2, "N V", "pulse output count of DIO N (1..8)", setPulseOutputCount },
    { "remove-holding", 1, 1, "N", "make holding register N unmapped (exception 02)",
        removeHolding },
    { "fault", 1, 3, nullptr, nullptr, faultCommand },
    { "log", 0, 0, "", "show the request log", showLog },
    { "clearlog", 0, 0, "", "clear the request log", clearLog },
    { "get", 2, 2, "input|holding N", "read a register", getRegister },
    { "unplug", 0, 0, "", "the device disappears; the module keeps its registers", unplug },
    { "replug", 0, 0, "", "a new device, under the same link name", replug },
    { "quit", 0, 0, "", "stop the simulator", quit },
};

std::string helpLine(const std::string &usage, const char *help)
{
    std::string line = "  " + usage;
    line.resize(std::max<std::size_t>(line.size() + 1, 28), ' ');
    return line + help + "\n";
}

} // namespace

std::string Simulator::command(const std::string &line)
{
    std::istringstream stream(line);
    Args args;
    for (std::string word; stream >> word;)
        args.push_back(word);
    if (args.empty())
        return "error empty command";
    const auto *entry = std::find_if(std::begin(Commands), std::end(Commands),
        [&args](const CommandEntry &command) { return args[0] == command.name; });
    if (entry == std::end(Commands))
        return "error unknown command '" + args[0] + "'";
    try {
        expectArgs(args, entry->minArgs, entry->maxArgs);
        return entry->run(*this, args);
    } catch (const CommandError &error) {
        return "error " + error.text;
    }
}

std::string Simulator::commandHelp()
{
    std::string text;
    for (const CommandEntry &command : Commands) {
        if (command.shape) {
            const std::string usage = *command.shape
                ? std::string(command.name) + " " + command.shape
                : std::string(command.name);
            text += helpLine(usage, command.help);
            continue;
        }
        for (const FaultEntry &fault : Faults) {
            std::string usage = std::string(command.name) + " " + fault.name;
            if (fault.param == FaultEntry::RequiredParam)
                usage += std::string(" ") + fault.shape + " [count]";
            else if (fault.param == FaultEntry::OptionalParam)
                usage += std::string(" [") + fault.shape + " [count]]";
            else if (fault.fault != Fault::None)
                usage += " [count]";
            text += helpLine(usage, fault.help);
        }
    }
    return text;
}

void Simulator::setKind(Kind kind)
{
    m_model.setKind(kind);
    if (!m_announcePath.empty()) { // the registration names the kind
        withdrawSimulator(m_announcePath, m_device);
        m_announcePath = announceSimulator(kindName(kind), m_device);
    }
}

} // namespace zulsim
