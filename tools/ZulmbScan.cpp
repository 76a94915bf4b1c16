#include "ZulmbScan.h"

#include "FrameDump.h"
#include "ZulmbRun.h"

#include "comms/ModuleScan.h"
#include "comms/RKCOMM.h"
#include "core/ModuleCodes.h"
#include "core/Registers.h"

#include <cstdio>
#include <ostream>

namespace zulmb {

namespace {

template<typename Value>
std::vector<Value> allOr(const std::vector<Value> &chosen, std::initializer_list<Value> all)
{
    return chosen.empty() ? std::vector<Value>(all) : chosen;
}

modbus::ScanPlan planOf(const Invocation &inv)
{
    modbus::ScanPlan plan;
    plan.portIndex = inv.portIndex;
    plan.devicePath = inv.devicePath;
    plan.firstAddress = inv.firstAddress;
    plan.lastAddress = inv.lastAddress;
    plan.baudIndices = inv.scanBaudIndices;
    if (plan.baudIndices.empty())
        for (int index = 0; TRKComm::BaudRate(index) > 0; ++index)
            plan.baudIndices.push_back(index);
    // The most common settings first, whatever order the lists were typed in.
    plan.baudIndices = modbus::baudScanOrder(plan.baudIndices);
    plan.parities = modbus::parityScanOrder(allOr<std::uint8_t>(inv.scanParities, { 0, 1, 2 }));
    plan.stopBits = modbus::stopBitsScanOrder(allOr<std::uint8_t>(inv.scanStopBits, { 0, 1 }));
    plan.kindRegister = zul::reg::ModuleKind;
    plan.serialRegister = zul::reg::Identity + 2;
    plan.localEcho = inv.localEcho;
    return plan;
}

} // namespace

std::string scanLine(const modbus::ScanAnswer &answer)
{
    static constexpr const char *Parities[] = { "none", "odd", "even" };
    const modbus::LineSetting &line = answer.setting;
    std::string text = "slave " + std::to_string(answer.address) + ", "
        + std::to_string(TRKComm::BaudRate(line.baudIndex)) + " baud, parity "
        + (line.parity < 3 ? Parities[line.parity] : "?") + ", "
        + (line.stopBits ? "2 stop bits" : "1 stop bit") + ": ";
    char code[8];
    if (!answer.kind) {
        std::snprintf(code, sizeof code, "%02X", answer.exceptionCode);
        return text + "exception " + code + " to the module kind read (not a ZUL module)";
    }
    std::snprintf(code, sizeof code, "0x%04X", *answer.kind);
    text += std::string(code) + ' ' + kindName(*answer.kind) + ", serial ";
    if (!answer.serial)
        return text + "not read";
    return text
        + zul::pcbSerialText(
            static_cast<std::uint16_t>(*answer.serial >> 16), *answer.serial & 0xFFFF);
}

int runScan(const Invocation &inv, std::ostream &out, std::ostream &err)
{
    modbus::ModuleScan scan(planOf(inv));
    if (inv.verbose)
        scan.setFrameHook(
            [&](const modbus::FrameEvent &event) { err << describeFrame(event) << '\n'; });
    int answers = 0;
    try {
        scan.run([&](const modbus::ScanAnswer &answer) {
            ++answers;
            out << scanLine(answer) << std::endl; // at once: a full scan takes minutes
        });
    } catch (const std::exception &e) {
        err << e.what() << '\n';
        return ExitUsageOrPort;
    }
    if (answers > 0)
        return ExitOk;
    err << "No module answered.\n";
    return ExitTransactionFailed;
}

} // namespace zulmb
