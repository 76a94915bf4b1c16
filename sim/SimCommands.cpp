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

long long numberArg(const std::vector<std::string> &args, std::size_t index, long long low,
    long long high, const char *what)
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
std::uint16_t wordArg(const std::vector<std::string> &args, std::size_t index)
{
    return static_cast<std::uint16_t>(numberArg(args, index, -32768, 65535, "value"));
}

int registerArg(const std::vector<std::string> &args, std::size_t index)
{
    return static_cast<int>(numberArg(args, index, 1, 65536, "register number"));
}

double realArg(const std::vector<std::string> &args, std::size_t index)
{
    if (index >= args.size())
        throw CommandError { "missing value" };
    char *end = nullptr;
    const double value = std::strtod(args[index].c_str(), &end);
    if (*end != '\0' || end == args[index].c_str())
        throw CommandError { "bad value '" + args[index] + "'" };
    return value;
}

void expectArgs(const std::vector<std::string> &args, std::size_t low, std::size_t high)
{
    if (args.size() < low + 1 || args.size() > high + 1)
        throw CommandError { "wrong number of arguments for '" + args[0] + "'" };
}

std::string joined(const std::vector<std::string> &args)
{
    std::string text = "ok";
    for (const std::string &arg : args)
        text += " " + arg;
    return text;
}

} // namespace

std::string Simulator::command(const std::string &line)
{
    std::istringstream stream(line);
    std::vector<std::string> args;
    for (std::string word; stream >> word;)
        args.push_back(word);
    if (args.empty())
        return "error empty command";
    const std::string &name = args[0];
    try {
        if (name == "kind") {
            expectArgs(args, 1, 1);
            const auto kind = kindFromName(args[1].c_str());
            if (!kind)
                return "error unknown kind '" + args[1] + "' (DIO, AIN or AOT)";
            m_model.setKind(*kind);
            if (!m_announcePath.empty()) { // the registration names the kind
                withdrawSimulator(m_announcePath, m_device);
                m_announcePath = announceSimulator(kindName(*kind), m_device);
            }
            return std::string("ok kind ") + kindName(*kind);
        }
        if (name == "kindcode") {
            expectArgs(args, 1, 1);
            m_model.setKindCode(
                static_cast<std::uint16_t>(numberArg(args, 1, 0, 65535, "kind code")));
            return joined(args);
        }
        if (name == "slave") {
            expectArgs(args, 1, 1);
            setSlave(static_cast<std::uint8_t>(numberArg(args, 1, 1, 247, "slave address")));
            return "ok slave " + std::to_string(slave());
        }
        if (name == "input" || name == "holding") {
            expectArgs(args, 2, 2);
            const int number = registerArg(args, 1);
            const std::uint16_t value = wordArg(args, 2);
            if (name == "input")
                m_model.setInputRegister(number, value);
            else
                m_model.setHoldingRegister(number, value);
            return "ok " + name + " " + std::to_string(number) + " " + std::to_string(value);
        }
        if (name == "coil" || name == "din") {
            expectArgs(args, 2, 2);
            const int number = static_cast<int>(numberArg(args, 1, 1, m_model.bitCount(), "point"));
            const bool on = numberArg(args, 2, 0, 1, "state") != 0;
            if (name == "coil")
                m_model.setCoil(number, on);
            else
                m_model.setDiscreteInput(number, on);
            return joined(args);
        }
        if (name == "stimulus") {
            expectArgs(args, 2, 2);
            m_model.setAnalogStimulus(
                static_cast<int>(numberArg(args, 1, 1, 8, "channel")), realArg(args, 2));
            return joined(args);
        }
        if (name == "count" || name == "rate") {
            expectArgs(args, 2, 2);
            if (m_model.kind() != Kind::DIO)
                return "error pulse inputs exist on a DIO module only";
            const int input = static_cast<int>(numberArg(args, 1, 1, 4, "pulse input"));
            if (name == "count")
                m_model.setPulseInputCount(
                    input, static_cast<std::uint32_t>(numberArg(args, 2, 0, 0xFFFFFFFF, "count")));
            else
                m_model.setPulseInputRate(
                    input, static_cast<std::uint16_t>(numberArg(args, 2, 0, 65535, "rate")));
            return joined(args);
        }
        if (name == "outcount") {
            expectArgs(args, 2, 2);
            m_model.setPulseOutputCount(static_cast<int>(numberArg(args, 1, 1, 8, "pulse output")),
                static_cast<std::uint16_t>(numberArg(args, 2, 0, 65535, "count")));
            return joined(args);
        }
        if (name == "remove-holding") {
            expectArgs(args, 1, 1);
            m_model.removeHoldingRegister(registerArg(args, 1));
            return joined(args);
        }
        if (name == "fault")
            return faultCommand(args);
        if (name == "log") {
            expectArgs(args, 0, 0);
            std::string text;
            const auto records = requestLog();
            for (const RequestRecord &record : records)
                text += record.text() + "\n";
            return text + "ok " + std::to_string(records.size()) + " requests";
        }
        if (name == "clearlog") {
            expectArgs(args, 0, 0);
            clearRequestLog();
            return "ok";
        }
        if (name == "get") {
            expectArgs(args, 2, 2);
            const int number = registerArg(args, 2);
            if (args[1] == "input" && m_model.hasInputRegister(number))
                return "ok " + std::to_string(m_model.inputRegister(number));
            if (args[1] == "holding" && m_model.hasHoldingRegister(number))
                return "ok " + std::to_string(m_model.holdingRegister(number));
            if (args[1] != "input" && args[1] != "holding")
                return "error get input|holding N";
            return "error " + args[1] + " register " + std::to_string(number) + " is not mapped";
        }
        if (name == "quit") {
            expectArgs(args, 0, 0);
            return "ok quit";
        }
        return "error unknown command '" + name + "'";
    } catch (const CommandError &error) {
        return "error " + error.text;
    }
}

// fault none | silent [count] | wrongslave [count] | exception [code [count]] | badcrc [count]
//     | garbled [count] | split [ms [count]] | delay ms [count]
std::string Simulator::faultCommand(const std::vector<std::string> &args)
{
    expectArgs(args, 1, 3);
    const std::string &which = args[1];
    struct FaultSyntax
    {
        const char *name;
        Fault fault;
        int params; // 0: none, 1: optional, 2: required
    };
    static const FaultSyntax syntaxes[] = { { "none", Fault::None, 0 },
        { "silent", Fault::Silent, 0 }, { "wrongslave", Fault::WrongSlave, 0 },
        { "exception", Fault::ExceptionReply, 1 }, { "badcrc", Fault::BadCrc, 0 },
        { "garbled", Fault::Garbled, 0 }, { "split", Fault::SplitReply, 1 },
        { "delay", Fault::Delay, 2 } };
    for (const FaultSyntax &entry : syntaxes) {
        if (which != entry.name)
            continue;
        if (entry.fault == Fault::None) {
            expectArgs(args, 1, 1);
            clearFault();
            return "ok fault none";
        }
        std::size_t next = 2;
        int param = 0;
        if (entry.params == 2 || (entry.params == 1 && args.size() > next)) {
            const long long high = entry.fault == Fault::ExceptionReply ? 255 : 600000;
            param = static_cast<int>(
                numberArg(args, next++, entry.fault == Fault::ExceptionReply ? 1 : 0, high,
                    entry.fault == Fault::ExceptionReply ? "exception code" : "milliseconds"));
        }
        const int count = args.size() > next
            ? static_cast<int>(numberArg(args, next++, 1, 1000000, "count"))
            : -1;
        if (args.size() > next)
            throw CommandError { "too many arguments for 'fault " + which + "'" };
        setFault(entry.fault, count, param);
        return joined(args);
    }
    return "error unknown fault '" + which + "'";
}

} // namespace zulsim
