#include "FailureHints.h"

#include "RKCOMM.h"
#include "Traffic.h"
#include "ZUL_Modbus.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <system_error>

namespace comms {

namespace fs = std::filesystem;

namespace {

constexpr const char *SimulatorProgram = "zul-sim";

std::string joined(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

std::string lineSettings(const TransactionFacts &facts)
{
    static const char *const Parities[] = { "none", "odd", "even", "mark", "space" };
    const char *parity = facts.parity >= 0 && facts.parity < 5 ? Parities[facts.parity] : "?";
    return std::to_string(facts.baud) + " baud, parity " + parity + ", "
        + (facts.stopBits == 1 ? "2 stop bits" : "1 stop bit");
}

// Without the echo option, an adapter that echoes makes the request come back as if it were
// the reply: what was taken for the reply then starts like the request (and may run on into
// the real reply).
bool looksLikeOwnEcho(const TransactionFacts &facts)
{
    const auto &reply = facts.reply;
    const std::size_t common = std::min(reply.size(), facts.request.size());
    return !facts.localEcho && common >= 4
        && std::equal(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(common),
            facts.request.begin());
}

const char *const EchoOnHint =
    "What came back starts with the request itself: the adapter seems to echo what it sends. "
    "Tick \"Adapter echoes what it sends\" on the Connect page.";

const char *const DamagedHint =
    "Replies arrive damaged. Check that baud rate, parity and stop bits match the module's, and "
    "the line for noise (RS-485 termination, shielding, a common ground).";

} // namespace

std::string portOpenHint(const PortOpenFacts &facts)
{
    const std::string &device = facts.device;
    switch (facts.error) {
    case EACCES:
    case EPERM: {
        // Joining a group helps only when the group may read and write the device; the root
        // group never is the answer.
        if (facts.deviceGroup.empty())
            return "You may not open " + device
                + ", and no group but root may. Ask an administrator to give it to a group such "
                  "as dialout (a udev rule with GROUP=\"dialout\", MODE=\"0660\").";
        const std::string &group = facts.deviceGroup;
        return "You may not open " + device + ". It belongs to the group \"" + group
            + "\": add yourself with \"sudo usermod -aG " + group
            + " $USER\" and log in again (\"id\" lists the groups you are in now).";
    }
    case ENOENT:
    case ENODEV:
    case ENXIO: {
        const std::string missing = facts.error == ENOENT
            ? device + " does not exist."
            : "There is no serial port behind " + device + ".";
        if (facts.presentPorts.empty())
            return missing
                + " No USB or ACM serial adapter is present now: check the adapter's cable "
                  "(\"dmesg\" shows whether the system saw it).";
        return missing + " Ports present now: " + joined(facts.presentPorts) + ".";
    }
    case EBUSY:
    case EWOULDBLOCK: {
        if (!facts.holders.empty())
            return device + " is held by " + joined(facts.holders)
                + ". Close that program and connect again.";
        return "Another program holds " + device
            + " (a terminal program, ModemManager, another copy of this tool); \"fuser -v " + device
            + "\" names it.";
    }
    case 0:
        return {};
    default:
        return std::string("The system says: ") + std::strerror(facts.error) + ".";
    }
}

std::vector<std::string> portHolders(const std::string &device, const std::string &procRoot)
{
    std::vector<std::string> holders;
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error)
        return holders;
    for (fs::directory_iterator proc(procRoot, error), end; !error && proc != end;
         proc.increment(error)) {
        const std::string pid = proc->path().filename().string();
        const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), digit))
            continue;
        std::error_code fdError;
        bool holds = false;
        for (fs::directory_iterator fd(proc->path() / "fd", fdError), fdEnd;
             !fdError && fd != fdEnd && !holds; fd.increment(fdError)) {
            std::error_code linkError;
            holds = fs::read_symlink(fd->path(), linkError) == target && !linkError;
        }
        if (!holds)
            continue;
        std::string name;
        std::getline(std::ifstream(proc->path() / "comm"), name);
        // The simulator keeps its own side of the pseudo-terminal open; it is the port, not
        // the program in the way.
        if (name == SimulatorProgram)
            continue;
        holders.push_back((name.empty() ? "a program" : name) + " (pid " + pid + ")");
    }
    return holders;
}

std::string deviceGroup(const std::string &device)
{
    struct stat st
    {
    };
    if (stat(device.c_str(), &st) != 0)
        return {};
    const bool groupReadWrite = (st.st_mode & S_IRGRP) && (st.st_mode & S_IWGRP);
    if (!groupReadWrite || st.st_gid == 0)
        return {};
    const group *owner = getgrgid(st.st_gid);
    return owner && owner->gr_name ? owner->gr_name : "";
}

std::string exceptionMeaning(std::uint8_t code)
{
    switch (code) {
    case 0x01:
        return "the module does not support this function.";
    case 0x02:
        return "a register asked for does not exist on this module; is it the kind and firmware "
               "expected?";
    case 0x03:
        return "a value or count is outside what the module accepts.";
    case 0x04:
        return "the module failed while carrying out the request; try again, and reset the "
               "module if it persists.";
    case 0x05:
    case 0x06:
        return "the module is busy with an earlier request; try again in a moment.";
    default:
        return "see the module's documentation for this code.";
    }
}

std::string transactionHint(const TransactionFacts &facts)
{
    using modbus::Outcome;
    switch (facts.outcome) {
    case Outcome::Ok:
    case Outcome::Refused:
    case Outcome::Unexpected:
        return {};
    case Outcome::Timeout:
        return "No answer from slave " + std::to_string(facts.slave) + " at " + lineSettings(facts)
            + ". Check that the slave address and these settings match the module's (new comms "
              "settings take effect after the module is reset), the module's power, the wiring "
              "(RS-485: A and B not swapped), and that the adapter asserts CTS: the port uses "
              "hardware flow control.";
    case Outcome::ExceptionReply: {
        if (facts.reply.size() < 3)
            return DamagedHint;
        const std::uint8_t code = facts.reply[2];
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", code);
        const std::string name = modbus::exceptionName(code);
        return std::string("The module refused the request with exception ") + hex
            + (name.empty() ? "" : " (" + name + ")") + ": " + exceptionMeaning(code);
    }
    case Outcome::InvalidResponse:
        if (looksLikeOwnEcho(facts))
            return EchoOnHint;
        if (facts.reply.size() >= 4 && facts.reply[0] != facts.slave
            && modbus::crcMatches(facts.reply.data(), static_cast<int>(facts.reply.size())))
            return "Slave " + std::to_string(facts.reply[0]) + " answered instead of slave "
                + std::to_string(facts.slave) + ": set the slave address to the module's.";
        return DamagedHint;
    case Outcome::BadCrc:
    case Outcome::BadLength:
    case Outcome::WrongFunction:
        return looksLikeOwnEcho(facts) ? EchoOnHint : DamagedHint;
    case Outcome::BadEcho:
        return "\"Adapter echoes what it sends\" is ticked, but what came back first was not the "
               "request. Untick it unless the adapter echoes (two-wire RS-485 adapters without "
               "echo suppression do).";
    }
    return {};
}

TransactionFacts transactionFacts(const ZUL_Modbus &modbus)
{
    TransactionFacts facts;
    facts.outcome = modbus.lastOutcome();
    facts.request = modbus.lastRequest();
    facts.reply = modbus.lastReply();
    // The address the request went to; the spin edit may have changed since.
    facts.slave = facts.request.empty() ? modbus.slaveAddress() : facts.request[0];
    facts.localEcho = modbus.localEcho();
    if (const TRKComm *port = modbus.port()) {
        facts.baud = TRKComm::BaudRate(port->BaudIndex);
        facts.parity = port->Parity;
        facts.stopBits = port->StopBits;
    }
    return facts;
}

} // namespace comms
