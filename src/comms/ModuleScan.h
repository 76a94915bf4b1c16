// Finds modules on one serial port whose settings nobody knows: one read of the module-kind
// register per slave address and line setting, each waiting only as long as the question and the
// longest answer take on the wire, then the serial number of every module that answered. It only
// reads. Qt-free; the Find module dialog runs it in a thread of its own, `zulmb scan` in its one.
#pragma once

#include "ModbusSerial.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TRKComm;

namespace modbus {

struct LineSetting
{
    int baudIndex = 3; // index into TRKComm::BaudRateTable
    std::uint8_t parity = 0; // 0 none, 1 odd, 2 even
    std::uint8_t stopBits = 0; // 0 one, 1 two
    bool operator==(const LineSetting &) const = default;
};

// The rates, parities and stop bits a module is most often set to come first (9600 8N1, the
// tool's and the modules' default, before all); what is not chosen is left out.
std::vector<int> baudScanOrder(const std::vector<int> &chosen);
std::vector<std::uint8_t> parityScanOrder(const std::vector<std::uint8_t> &chosen);
std::vector<std::uint8_t> stopBitsScanOrder(const std::vector<std::uint8_t> &chosen);

struct ScanPlan
{
    int portIndex = 0; // COMn = /dev/ttyS(n-1) when devicePath is empty
    std::string devicePath;
    int firstAddress = 1;
    int lastAddress = 247;
    // Every rate is tried with the first parity and stop bits before the next parity comes:
    // a module's rate is changed far more often than its framing.
    std::vector<int> baudIndices;
    std::vector<std::uint8_t> parities;
    std::vector<std::uint8_t> stopBits;
    int kindRegister = 0; // 1-based input register read at every address
    int serialRegister = 0; // the serial number's two input registers, high word first
    // What a USB adapter may add before handing a reply on: the common chips' latency timer is
    // 16 ms out of the box.
    std::chrono::microseconds adapterMargin = std::chrono::milliseconds(20);
    bool localEcho = false;
};

// The settings in the order they are tried.
std::vector<LineSetting> scanSettings(const ScanPlan &plan);
// Sets the port's rate, parity and stop bits (and 8 data bits) for one setting.
void applySetting(TRKComm &port, const LineSetting &setting);
// How long after a request starts out its reply of `replyBytes` must have begun: request and
// reply at the line's character length (at least the 11 bits the protocol counts), the
// 3.5-character silence, and the adapter's margin.
std::chrono::microseconds probeTimeout(
    const LineSetting &setting, int requestBytes, int replyBytes, std::chrono::microseconds margin);

struct ScanAnswer
{
    int address = 0;
    LineSetting setting;
    std::optional<std::uint16_t> kind; // empty: the device refused the read with an exception
    std::uint8_t exceptionCode = 0;
    std::optional<std::uint32_t> serial; // empty when it could not be read
};

struct ScanProgress
{
    int done = 0;
    int total = 0;
    std::chrono::microseconds left {}; // the remaining probes' time-outs
};

class ModuleScan
{
public:
    using AnswerHandler = std::function<void(const ScanAnswer &)>;
    using ProgressHandler = std::function<void(const ScanProgress &)>;

    explicit ModuleScan(ScanPlan plan);

    const ScanPlan &plan() const { return m_plan; }
    int probeCount() const;
    // The whole scan when no address answers.
    std::chrono::microseconds estimatedTime() const;
    void setFrameHook(FrameHook hook) { m_master.setFrameHook(std::move(hook)); }

    // Runs the scan in the calling thread, reporting each answer and then the progress after
    // every probe. False when cancelled. Throws what opening the port throws (missing, in use,
    // not a serial device); the port is closed again however the scan ends.
    bool run(const AnswerHandler &onAnswer, const ProgressHandler &onProgress = {});
    // From any thread: the scan stops before its next probe.
    void cancel() { m_cancelled = true; }

private:
    void probe(
        TRKComm &port, int address, const LineSetting &setting, const AnswerHandler &onAnswer);
    bool readInputs(TRKComm &port, int address, const LineSetting &setting, int number, int count,
        TWordArrayDynamic &words);

    ScanPlan m_plan;
    std::vector<LineSetting> m_settings;
    TModbusSerial m_master;
    std::atomic<bool> m_cancelled = false;
};

} // namespace modbus
