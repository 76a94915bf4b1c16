#include "ZUL_Modbus.h"

#include "PackedBits.h"
#include "RKCOMM.h"

namespace {

// Closes the port however the transaction ends, the master's exceptions included: the port is
// never left open between operations.
class PortSession
{
public:
    explicit PortSession(TRKComm &port)
        : m_port(port)
    {
    }
    ~PortSession() { m_port.Close(); }
    PortSession(const PortSession &) = delete;
    PortSession &operator=(const PortSession &) = delete;

private:
    TRKComm &m_port;
};

// Callers count registers and bits from 1; the wire counts from 0.
std::uint16_t protocolAddress(int number)
{
    return static_cast<std::uint16_t>(number - 1);
}

} // namespace

ZUL_Modbus::ZUL_Modbus() = default;
ZUL_Modbus::~ZUL_Modbus() = default;

void ZUL_Modbus::setPort(std::unique_ptr<TRKComm> port)
{
    m_port = std::move(port);
}

void ZUL_Modbus::setFrameHook(modbus::FrameHook hook)
{
    m_master.setFrameHook(std::move(hook));
}

template<typename Operation>
bool ZUL_Modbus::transaction(Operation &&operation)
{
    m_lastError.clear();
    if (!m_port) {
        m_lastError = "No port";
        return false;
    }
    if (!m_port->Open())
        return false;
    PortSession session(*m_port);
    return operation(*m_port);
}

bool ZUL_Modbus::WriteRegister(int number, std::uint16_t value)
{
    return transaction([&](TRKComm &port) {
        return m_master.WriteSingle(port, m_slave, protocolAddress(number), value,
            modbus::WriteSingleRegister, m_lastError);
    });
}

bool ZUL_Modbus::ExecuteCommand(int number)
{
    // Only the read-backs decide: the module answers a write before it has acted on it.
    TWordArrayDynamic value(1);
    WriteRegister(number, CommandArm);
    if (!ReadHoldingRegisters(number, 1, value) || value[0] != CommandArm)
        return false;
    WriteRegister(number, CommandExecute);
    return ReadHoldingRegisters(number, 1, value) && value[0] == 0;
}

bool ZUL_Modbus::readRegisters(
    int number, int count, TWordArrayDynamic &words, std::uint8_t function)
{
    if (count > 0 && words.size() < static_cast<std::size_t>(count))
        words.resize(static_cast<std::size_t>(count));
    return transaction([&](TRKComm &port) {
        return m_master.ReadBlock(
            port, m_slave, protocolAddress(number), words, function, count, m_lastError);
    });
}

bool ZUL_Modbus::ReadHoldingRegisters(int number, int count, TWordArrayDynamic &words)
{
    return readRegisters(number, count, words, modbus::ReadHoldingRegisters);
}

bool ZUL_Modbus::ReadInputRegisters(int number, int count, TWordArrayDynamic &words)
{
    return readRegisters(number, count, words, modbus::ReadInputRegisters);
}

bool ZUL_Modbus::WriteHoldingRegisters(int number, int count, const TWordArrayDynamic &words)
{
    return transaction([&](TRKComm &port) {
        return m_master.WriteBlock(port, m_slave, protocolAddress(number), words,
            modbus::WriteMultipleRegisters, count, m_lastError);
    });
}

bool ZUL_Modbus::readBits(int number, int count, std::vector<bool> &bits, std::uint8_t function)
{
    if (count > 0 && bits.size() < static_cast<std::size_t>(count))
        bits.resize(static_cast<std::size_t>(count));
    m_bitWords.clear();
    const bool ok = transaction([&](TRKComm &port) {
        return m_master.ReadBlock(
            port, m_slave, protocolAddress(number), m_bitWords, function, count, m_lastError);
    });
    if (ok)
        for (int i = 0; i < count; ++i)
            bits[static_cast<std::size_t>(i)] = modbus::packed::bitAt(m_bitWords, i);
    return ok;
}

bool ZUL_Modbus::ReadInputBits(int number, int count, std::vector<bool> &bits)
{
    return readBits(number, count, bits, modbus::ReadDiscreteInputs);
}

bool ZUL_Modbus::ReadCoilBits(int number, int count, std::vector<bool> &bits)
{
    if (m_coilStatus)
        m_coilStatus("");
    const bool ok = readBits(number, count, bits, modbus::ReadCoils);
    if (!ok && m_coilStatus)
        m_coilStatus("Modbus error");
    return ok;
}

bool ZUL_Modbus::WriteCoilBits(int number, int count, const std::vector<bool> &bits)
{
    // With fewer booleans than count the array stays empty and the master refuses the block.
    const bool enough = count > 0 && bits.size() >= static_cast<std::size_t>(count);
    m_bitWords.assign(enough ? modbus::packed::wordsForBits(count) : 0, 0);
    for (int i = 0; enough && i < count; ++i)
        modbus::packed::setBit(m_bitWords, i, bits[static_cast<std::size_t>(i)]);
    return transaction([&](TRKComm &port) {
        return m_master.WriteBlock(port, m_slave, protocolAddress(number), m_bitWords,
            modbus::WriteMultipleCoils, count, m_lastError);
    });
}
