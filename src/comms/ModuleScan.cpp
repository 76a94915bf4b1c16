#include "ModuleScan.h"

#include "RKCOMM.h"

#include <algorithm>
#include <array>

namespace modbus {

namespace {

using Microseconds = std::chrono::microseconds;

constexpr int ReadRequestBytes = 8;
constexpr int OneRegisterReply = 7;

// TRKComm::BaudRateTable indices, most common first: the standard rates from the default up,
// then the slow ones, then the rates few masters offer.
constexpr std::array<int, 11> BaudRank { 3, 5, 7, 8, 10, 2, 1, 0, 4, 6, 9 };
constexpr std::array<std::uint8_t, 3> ParityRank { 0, 2, 1 }; // none, even, odd
constexpr std::array<std::uint8_t, 2> StopBitsRank { 0, 1 };

template<typename Value, std::size_t N>
std::vector<Value> inRankOrder(const std::vector<Value> &chosen, const std::array<Value, N> &rank)
{
    std::vector<Value> ordered;
    for (const Value value : rank)
        if (std::find(chosen.begin(), chosen.end(), value) != chosen.end())
            ordered.push_back(value);
    return ordered;
}

// Closes the port however a setting's probes end, a cancel or an exception included.
class OpenPort
{
public:
    explicit OpenPort(TRKComm &port)
        : m_port(port)
    {
        m_port.Open();
    }
    ~OpenPort() { m_port.Close(); }
    OpenPort(const OpenPort &) = delete;
    OpenPort &operator=(const OpenPort &) = delete;

private:
    TRKComm &m_port;
};

} // namespace

std::vector<int> baudScanOrder(const std::vector<int> &chosen)
{
    return inRankOrder(chosen, BaudRank);
}

std::vector<std::uint8_t> parityScanOrder(const std::vector<std::uint8_t> &chosen)
{
    return inRankOrder(chosen, ParityRank);
}

std::vector<std::uint8_t> stopBitsScanOrder(const std::vector<std::uint8_t> &chosen)
{
    return inRankOrder(chosen, StopBitsRank);
}

std::vector<LineSetting> scanSettings(const ScanPlan &plan)
{
    std::vector<LineSetting> settings;
    for (const std::uint8_t parity : plan.parities)
        for (const std::uint8_t stopBits : plan.stopBits)
            for (const int baudIndex : plan.baudIndices)
                settings.push_back({ baudIndex, parity, stopBits });
    return settings;
}

void applySetting(TRKComm &port, const LineSetting &setting)
{
    port.BaudIndex = static_cast<std::uint8_t>(setting.baudIndex);
    port.Parity = setting.parity;
    port.StopBits = setting.stopBits;
    port.DataBitsIndex = 4; // 8 data bits, as every ZUL module uses
}

Microseconds probeTimeout(
    const LineSetting &setting, int requestBytes, int replyBytes, Microseconds margin)
{
    const long long baud = std::max(TRKComm::BaudRate(setting.baudIndex), 1200);
    const long long bits =
        std::max(11, 1 + 8 + (setting.parity != 0 ? 1 : 0) + (setting.stopBits != 0 ? 2 : 1));
    // The silence before a reply is fixed above 19200 baud, as the master's own is.
    const long long silenceUs = baud > 19200 ? 1750 : (35 * 11'000'000LL / baud + 9) / 10;
    const long long wireUs = (requestBytes + replyBytes) * bits * 1'000'000LL / baud;
    return Microseconds(wireUs + silenceUs) + margin;
}

ModuleScan::ModuleScan(ScanPlan plan)
    : m_plan(std::move(plan))
    , m_settings(scanSettings(m_plan))
{
    m_master.setLocalEcho(m_plan.localEcho);
}

int ModuleScan::probeCount() const
{
    const int addresses = std::max(m_plan.lastAddress - m_plan.firstAddress + 1, 0);
    return addresses * static_cast<int>(m_settings.size());
}

Microseconds ModuleScan::estimatedTime() const
{
    const int addresses = std::max(m_plan.lastAddress - m_plan.firstAddress + 1, 0);
    Microseconds total {};
    for (const LineSetting &setting : m_settings)
        total += addresses
            * probeTimeout(setting, ReadRequestBytes, OneRegisterReply, m_plan.adapterMargin);
    return total;
}

bool ModuleScan::run(const AnswerHandler &onAnswer, const ProgressHandler &onProgress)
{
    ScanProgress progress { 0, probeCount(), estimatedTime() };
    TRKComm port;
    port.PortIndex = static_cast<std::uint8_t>(m_plan.portIndex);
    port.DevicePath = m_plan.devicePath;
    for (const LineSetting &setting : m_settings) {
        if (m_cancelled)
            return false;
        applySetting(port, setting);
        // Held open for all the addresses of one setting: reopening for every probe would cost
        // a USB adapter far more than the probe itself.
        const OpenPort open(port);
        const Microseconds each =
            probeTimeout(setting, ReadRequestBytes, OneRegisterReply, m_plan.adapterMargin);
        for (int address = m_plan.firstAddress; address <= m_plan.lastAddress; ++address) {
            if (m_cancelled)
                return false;
            probe(port, address, setting, onAnswer);
            ++progress.done;
            progress.left = std::max(progress.left - each, Microseconds::zero());
            if (onProgress)
                onProgress(progress);
        }
    }
    return !m_cancelled;
}

bool ModuleScan::readInputs(TRKComm &port, int address, const LineSetting &setting, int number,
    int count, TWordArrayDynamic &words)
{
    m_master.setReplyTimeout(
        probeTimeout(setting, ReadRequestBytes, 5 + 2 * count, m_plan.adapterMargin));
    std::string errorText;
    return m_master.ReadBlock(port, static_cast<std::uint8_t>(address),
        static_cast<std::uint16_t>(number - 1), words, ReadInputRegisters, count, errorText);
}

void ModuleScan::probe(
    TRKComm &port, int address, const LineSetting &setting, const AnswerHandler &onAnswer)
{
    ScanAnswer answer;
    answer.address = address;
    answer.setting = setting;
    TWordArrayDynamic words(2);
    if (readInputs(port, address, setting, m_plan.kindRegister, 1, words)) {
        answer.kind = words[0];
        // A module that answered once answers again; one that does not is still listed.
        if (readInputs(port, address, setting, m_plan.serialRegister, 2, words))
            answer.serial = static_cast<std::uint32_t>(words[0]) << 16 | words[1];
    } else if (m_master.lastOutcome() == Outcome::ExceptionReply) {
        // Some device lives at this address, though not one that has the register.
        answer.exceptionCode = m_master.lastReply().at(2);
    } else {
        return;
    }
    if (onAnswer)
        onAnswer(answer);
}

} // namespace modbus
