#include "ZulmbRun.h"

#include "FrameDump.h"
#include "ZulmbScan.h"

#include "comms/RKCOMM.h"
#include "comms/Traffic.h"
#include "comms/ZUL_Modbus.h"
#include "core/KindRegistry.h"
#include "core/ModuleCodes.h"
#include "core/Registers.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>
#include <sstream>

namespace zulmb {

namespace {

std::unique_ptr<TRKComm> makePort(const Invocation &inv)
{
    auto port = std::make_unique<TRKComm>();
    port->PortIndex = static_cast<std::uint8_t>(inv.portIndex);
    port->DevicePath = inv.devicePath;
    port->BaudIndex = static_cast<std::uint8_t>(inv.baudIndex);
    port->Parity = inv.parity;
    port->StopBits = inv.stopBits;
    port->DataBitsIndex = 4; // 8 data bits, as every ZUL module uses
    return port;
}

std::string hex4(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

bool identify(ZUL_Modbus &modbus, std::ostream &out)
{
    TWordArrayDynamic kind(1);
    if (!modbus.ReadInputRegisters(zul::reg::ModuleKind, 1, kind))
        return false;
    out << "Kind: " << hex4(kind[0]) << ' ' << kindName(kind[0]) << '\n';
    TWordArrayDynamic id(zul::reg::IdentityCount);
    if (!modbus.ReadInputRegisters(zul::reg::Identity, zul::reg::IdentityCount, id))
        return false;
    out << "Firmware: " << zul::firmwareText(id[0]) << '\n'
        << "PCB revision: " << zul::pcbRevisionText(id[1]) << '\n'
        << "PCB serial: " << zul::pcbSerialText(id[2], id[3]) << '\n';
    return true;
}

void printWords(std::ostream &out, int number, const TWordArrayDynamic &words)
{
    for (const std::uint16_t word : words)
        out << number++ << ": " << word << " (" << hex4(word) << ")\n";
}

void printBits(std::ostream &out, int number, const std::vector<bool> &bits)
{
    for (const bool bit : bits)
        out << number++ << ": " << (bit ? 1 : 0) << '\n';
}

bool execute(ZUL_Modbus &modbus, const Invocation &inv, std::ostream &out)
{
    TWordArrayDynamic words(inv.count);
    std::vector<bool> bits(inv.count);
    switch (inv.command) {
    case Command::Identify:
        return identify(modbus, out);
    case Command::ReadInput:
    case Command::ReadHolding: {
        const bool ok = inv.command == Command::ReadInput
            ? modbus.ReadInputRegisters(inv.number, inv.count, words)
            : modbus.ReadHoldingRegisters(inv.number, inv.count, words);
        if (ok)
            printWords(out, inv.number, words);
        return ok;
    }
    case Command::ReadCoils:
    case Command::ReadInputs: {
        const bool ok = inv.command == Command::ReadCoils
            ? modbus.ReadCoilBits(inv.number, inv.count, bits)
            : modbus.ReadInputBits(inv.number, inv.count, bits);
        if (ok)
            printBits(out, inv.number, bits);
        return ok;
    }
    case Command::WriteHolding:
        return modbus.WriteHoldingRegisters(inv.number, inv.count, inv.values);
    case Command::WriteCoils:
        bits.assign(inv.values.begin(), inv.values.end());
        return modbus.WriteCoilBits(inv.number, inv.count, bits);
    case Command::StoreCommand:
        return modbus.ExecuteCommand(inv.number);
    case Command::Scan: // run() hands it to runScan
        break;
    }
    return false;
}

// The master's own text where it has one; the handshake and a wrong function code leave it
// empty, and a script still deserves to know what went wrong.
std::string failureText(const ZUL_Modbus &modbus, const Invocation &inv)
{
    if (!modbus.lastError().empty())
        return modbus.lastError();
    if (inv.command == Command::StoreCommand && modbus.lastOutcome() == modbus::Outcome::Ok)
        return "Register " + std::to_string(inv.number) + " did not acknowledge the store command.";
    return std::string("Transaction failed: ") + modbus::outcomeName(modbus.lastOutcome()) + '.';
}

std::string millisecondsText(std::int64_t us)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f ms", static_cast<double>(us) / 1000.0);
    return text;
}

// What --stats collects from the frame hook.
struct LineSample
{
    modbus::TrafficDecoder decoder;
    modbus::TrafficRecord record;
    modbus::LineStatistics statistics;
    std::vector<std::int64_t> roundTrips; // of the replies that came

    void add(const modbus::FrameEvent &event)
    {
        decoder.decode(event, record);
        statistics.add(record);
        // Time-outs and unexpected bytes have no round trip.
        if (event.direction == modbus::FrameEvent::Direction::Received && record.roundTripUs >= 0
            && event.outcome != modbus::Outcome::Timeout)
            roundTrips.push_back(record.roundTripUs);
    }

    void print(std::ostream &out, int runs, int failures)
    {
        const modbus::LineCounts counts = statistics.counts();
        out << "runs " << runs << ", failed " << failures << '\n'
            << "requests " << counts.requests << ", good " << counts.good << ", time-outs "
            << counts.timeouts << ", CRC/length " << counts.damaged << ", exceptions "
            << counts.exceptions << ", other " << counts.otherErrors << '\n';
        if (roundTrips.empty()) {
            out << "round trip: no reply came\n";
            return;
        }
        std::sort(roundTrips.begin(), roundTrips.end());
        const std::size_t n = roundTrips.size();
        const std::int64_t median =
            n % 2 ? roundTrips[n / 2] : (roundTrips[n / 2 - 1] + roundTrips[n / 2]) / 2;
        out << "round trip min " << millisecondsText(roundTrips.front()) << ", median "
            << millisecondsText(median) << ", max " << millisecondsText(roundTrips.back()) << '\n';
    }
};

} // namespace

std::string kindName(std::uint16_t code)
{
    const zul::TKindRow *kind = zul::findKind(code);
    if (!kind)
        return "(no module detected)";
    return std::string(kind->Name) + " (" + std::string(kind->TypeText) + ")";
}

int run(const Invocation &inv, std::ostream &out, std::ostream &err)
{
    if (inv.command == Command::Scan)
        return runScan(inv, out, err);
    ZUL_Modbus modbus;
    modbus.setPort(makePort(inv));
    modbus.setSlaveAddress(inv.slave);
    modbus.setLocalEcho(inv.localEcho);
    LineSample sample;
    if (inv.verbose || inv.stats)
        modbus.setFrameHook([&](const modbus::FrameEvent &event) {
            if (inv.verbose)
                err << describeFrame(event) << '\n';
            if (inv.stats)
                sample.add(event);
        });
    int failures = 0;
    for (int runNo = 1; runNo <= inv.repeat; ++runNo) {
        // Values once, from the last run: a repeat measures the line, it does not log values.
        std::ostringstream unused;
        bool ok = false;
        try {
            ok = execute(modbus, inv, runNo == inv.repeat ? out : unused);
        } catch (const std::exception &e) {
            // Only opening the port raises: missing, in use, or not a serial device.
            err << e.what() << '\n';
            return ExitUsageOrPort;
        }
        if (!ok) {
            ++failures;
            err << (inv.repeat > 1 ? "run " + std::to_string(runNo) + ": " : std::string())
                << failureText(modbus, inv) << '\n';
        }
    }
    if (inv.stats)
        sample.print(out, inv.repeat, failures);
    return failures == 0 ? ExitOk : ExitTransactionFailed;
}

int runCommandLine(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    std::string error;
    const auto inv = parseArguments(args, error);
    if (!inv) {
        err << "zulmb: " << error << "\n\n" << usageText();
        return ExitUsageOrPort;
    }
    if (inv->help) {
        out << usageText();
        return ExitOk;
    }
    return run(*inv, out, err);
}

} // namespace zulmb
