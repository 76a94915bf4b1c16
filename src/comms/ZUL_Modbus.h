// The register layer: the only way the rest of the tool touches a module. Holds the port object
// and the slave address; every operation opens the port, runs one master operation with the
// 1-based register number minus one as the protocol address, and closes the port again.
#pragma once

#include "ModbusSerial.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRKComm;

class ZUL_Modbus
{
public:
    static constexpr std::uint16_t CommandArm = 0x7E21;
    static constexpr std::uint16_t CommandExecute = 0xA7D2;

    ZUL_Modbus();
    ~ZUL_Modbus();

    // Replaces any earlier port object (each Connect builds it afresh).
    void setPort(std::unique_ptr<TRKComm> port);
    TRKComm *port() const { return m_port.get(); }
    void setSlaveAddress(std::uint8_t slave) { m_slave = slave; }
    std::uint8_t slaveAddress() const { return m_slave; }

    // Exceptions from opening the port pass through to the caller.
    bool WriteRegister(int number, std::uint16_t value);
    bool ExecuteCommand(int number);
    bool ReadHoldingRegisters(int number, int count, TWordArrayDynamic &words);
    bool ReadInputRegisters(int number, int count, TWordArrayDynamic &words);
    bool WriteHoldingRegisters(int number, int count, const TWordArrayDynamic &words);
    bool ReadInputBits(int number, int count, std::vector<bool> &bits);
    bool ReadCoilBits(int number, int count, std::vector<bool> &bits);
    bool WriteCoilBits(int number, int count, const std::vector<bool> &bits);

    // ReadCoilBits reports "" when it starts and "Modbus error" when it fails, so that the window
    // can show it without the comms library knowing any widget.
    void setCoilStatusReporter(std::function<void(const std::string &)> reporter)
    {
        m_coilStatus = std::move(reporter);
    }
    void setFrameHook(modbus::FrameHook hook);
    // The adapter hands back each request before the reply (two-wire RS-485); off by default.
    void setLocalEcho(bool echo) { m_master.setLocalEcho(echo); }
    bool localEcho() const { return m_master.localEcho(); }

    // The master's text and reason for the latest operation (for logs and tests).
    const std::string &lastError() const { return m_lastError; }
    modbus::Outcome lastOutcome() const { return m_master.lastOutcome(); }
    const std::vector<std::uint8_t> &lastRequest() const { return m_master.lastRequest(); }
    const std::vector<std::uint8_t> &lastReply() const { return m_master.lastReply(); }

private:
    // Opens the port, runs the operation on it, closes the port again whatever happens.
    template<typename Operation>
    bool transaction(Operation &&operation);
    bool readRegisters(int number, int count, TWordArrayDynamic &words, std::uint8_t function);
    bool readBits(int number, int count, std::vector<bool> &bits, std::uint8_t function);

    std::unique_ptr<TRKComm> m_port;
    std::uint8_t m_slave = 100;
    TModbusSerial m_master;
    std::function<void(const std::string &)> m_coilStatus;
    std::string m_lastError;
    TWordArrayDynamic m_bitWords; // packed bits on their way to or from the master
};
