#include "Masters.h"

#include <modbus.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace bench {

namespace {

// Register numbers (1-based) every simulated kind answers: the kind register, the eight update
// times (holding registers, mirrored as input registers) and the digital points.
constexpr int KindRegister = 195;
constexpr int EightInputs = 109;
constexpr int FirstCoil = 1;
constexpr int EightHolding = 109;

const TWordArrayDynamic WriteWords { 10, 20, 30, 40, 50, 60, 70, 80 };

} // namespace

OperationInfo info(Operation operation)
{
    // Request and reply lengths on the wire, CRC included.
    switch (operation) {
    case Operation::Read1:
        return { "read 1 reg (fn 4)", 8, 7 };
    case Operation::Read8:
        return { "read 8 regs (fn 4)", 8, 21 };
    case Operation::Coils16:
        return { "read 16 coils (fn 1)", 8, 7 };
    case Operation::Write8:
        return { "write 8 regs (fn 16)", 25, 8 };
    }
    return { "?", 0, 0 };
}

void configurePort(TRKComm &port, const Link &link)
{
    port.DevicePath = link.path;
    const int index = TRKComm::BaudIndexOf(link.baud);
    port.BaudIndex = static_cast<std::uint8_t>(index < 0 ? 3 : index);
    port.Parity = 0;
    port.StopBits = 0;
    port.DataBitsIndex = 4;
}

RegisterLayerMaster::RegisterLayerMaster(const Link &link, modbus::FrameHook hook)
{
    auto port = std::make_unique<TRKComm>();
    configurePort(*port, link);
    m_modbus.setPort(std::move(port));
    m_modbus.setSlaveAddress(link.slave);
    if (hook)
        m_modbus.setFrameHook(std::move(hook));
}

bool RegisterLayerMaster::run(Operation operation)
{
    TWordArrayDynamic words(8);
    std::vector<bool> bits(16);
    switch (operation) {
    case Operation::Read1:
        return m_modbus.ReadInputRegisters(KindRegister, 1, words);
    case Operation::Read8:
        return m_modbus.ReadInputRegisters(EightInputs, 8, words);
    case Operation::Coils16:
        return m_modbus.ReadCoilBits(FirstCoil, 16, bits);
    case Operation::Write8:
        return m_modbus.WriteHoldingRegisters(EightHolding, 8, WriteWords);
    }
    return false;
}

OpenPortMaster::OpenPortMaster(const Link &link)
    : m_slave(link.slave)
{
    configurePort(m_port, link);
}

OpenPortMaster::~OpenPortMaster()
{
    end();
}

void OpenPortMaster::begin()
{
    m_port.Open();
}

void OpenPortMaster::end()
{
    if (m_port.IsOpen())
        m_port.Close();
}

bool OpenPortMaster::run(Operation operation)
{
    TWordArrayDynamic words(8);
    std::string error;
    switch (operation) {
    case Operation::Read1:
        return m_master.ReadBlock(
            m_port, m_slave, KindRegister - 1, words, modbus::ReadInputRegisters, 1, error);
    case Operation::Read8:
        return m_master.ReadBlock(
            m_port, m_slave, EightInputs - 1, words, modbus::ReadInputRegisters, 8, error);
    case Operation::Coils16:
        return m_master.ReadBlock(
            m_port, m_slave, FirstCoil - 1, words, modbus::ReadCoils, 16, error);
    case Operation::Write8:
        return m_master.WriteBlock(m_port, m_slave, EightHolding - 1, WriteWords,
            modbus::WriteMultipleRegisters, 8, error);
    }
    return false;
}

LibmodbusMaster::LibmodbusMaster(const Link &link)
    : m_ctx(modbus_new_rtu(link.path.c_str(), link.baud, 'N', 8, 1))
{
    if (!m_ctx)
        throw std::runtime_error("libmodbus: cannot create an RTU context for " + link.path);
    modbus_set_slave(m_ctx, link.slave);
}

LibmodbusMaster::~LibmodbusMaster()
{
    end();
    modbus_free(m_ctx);
}

void LibmodbusMaster::begin()
{
    if (modbus_connect(m_ctx) != 0)
        throw std::runtime_error(std::string("libmodbus: ") + modbus_strerror(errno));
    m_connected = true;
}

void LibmodbusMaster::end()
{
    if (m_connected)
        modbus_close(m_ctx);
    m_connected = false;
}

bool LibmodbusMaster::run(Operation operation)
{
    std::array<std::uint16_t, 8> registers {};
    std::array<std::uint8_t, 16> bits {};
    switch (operation) {
    case Operation::Read1:
        return modbus_read_input_registers(m_ctx, KindRegister - 1, 1, registers.data()) == 1;
    case Operation::Read8:
        return modbus_read_input_registers(m_ctx, EightInputs - 1, 8, registers.data()) == 8;
    case Operation::Coils16:
        return modbus_read_bits(m_ctx, FirstCoil - 1, 16, bits.data()) == 16;
    case Operation::Write8:
        return modbus_write_registers(m_ctx, EightHolding - 1, 8, WriteWords.data()) == 8;
    }
    return false;
}

OpenCloseOnly::OpenCloseOnly(const Link &link)
{
    configurePort(m_port, link);
}

bool OpenCloseOnly::run(Operation)
{
    const bool opened = m_port.Open();
    m_port.Close();
    return opened;
}

} // namespace bench
