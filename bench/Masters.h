// The masters the transaction benchmark compares, behind one small interface: our register layer
// (port opened and closed around each transaction), our master on a port held open, and libmodbus
// connected once. Used by transactions.cpp only.
#pragma once

#include "comms/ModbusSerial.h"
#include "comms/RKCOMM.h"
#include "comms/ZUL_Modbus.h"

#include <memory>
#include <string>

struct _modbus;

namespace bench {

enum class Operation { Read1, Read8, Coils16, Write8 };

struct OperationInfo
{
    const char *name;
    int requestBytes;
    int replyBytes;
};

OperationInfo info(Operation operation);

struct Link
{
    std::string path;
    int baud = 9600;
    std::uint8_t slave = 100;
};

class Master
{
public:
    virtual ~Master() = default;
    // Connects where the master keeps a connection; called before and after each batch so that
    // no two masters hold the pty at once.
    virtual void begin() { }
    virtual void end() { }
    virtual bool run(Operation operation) = 0;
};

// ZUL_Modbus: opens and closes the port around every transaction, as the tool does; with a
// frame hook, as the window runs it with its traffic view.
class RegisterLayerMaster : public Master
{
public:
    explicit RegisterLayerMaster(const Link &link, modbus::FrameHook hook = {});
    bool run(Operation operation) override;

private:
    ZUL_Modbus m_modbus;
};

// TModbusSerial on a TRKComm that stays open for the whole batch.
class OpenPortMaster : public Master
{
public:
    explicit OpenPortMaster(const Link &link);
    ~OpenPortMaster() override;
    void begin() override;
    void end() override;
    bool run(Operation operation) override;

private:
    TRKComm m_port;
    TModbusSerial m_master;
    std::uint8_t m_slave;
};

class LibmodbusMaster : public Master
{
public:
    explicit LibmodbusMaster(const Link &link);
    ~LibmodbusMaster() override;
    void begin() override;
    void end() override;
    bool run(Operation operation) override;

private:
    _modbus *m_ctx = nullptr;
    bool m_connected = false;
};

// TRKComm::Open and Close with no transaction between: what the register layer adds.
class OpenCloseOnly : public Master
{
public:
    explicit OpenCloseOnly(const Link &link);
    bool run(Operation operation) override;

private:
    TRKComm m_port;
};

void configurePort(TRKComm &port, const Link &link);

} // namespace bench
