// The one serial port through which the tool talks to a module (TRKComm), and the optional
// plain-text log of its open sequence (TCommsDebugger). POSIX termios underneath; knows nothing of
// MODBUS. ModbusSerial frames requests on top of it; ZUL_Modbus opens and closes it around every
// transaction.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

struct termios;

// The four exception classes deliberately do not derive from one another.
class ECommsError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class EPortAlreadyOpen : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class EOpeningPortError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
    // errno of the failed open or lock, so that the message box can say why (0: not known).
    EOpeningPortError(const std::string &text, int error, std::string device)
        : std::runtime_error(text)
        , m_error(error)
        , m_device(std::move(device))
    {
    }
    int Error() const { return m_error; }
    const std::string &Device() const { return m_device; } // the file that was opened

private:
    int m_error = 0;
    std::string m_device;
};

class EOpeningLogFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TCommsDebugger
{
public:
    explicit TCommsDebugger(const std::string &fileName);
    ~TCommsDebugger();
    TCommsDebugger(const TCommsDebugger &) = delete;
    TCommsDebugger &operator=(const TCommsDebugger &) = delete;

    void OpenLog(const std::string &name);
    void Log(const std::string &text);

    bool Enabled() const { return m_enabled; }
    const std::string &FileName() const { return m_fileName; }

private:
    std::ofstream m_file;
    std::string m_fileName;
    bool m_enabled = false;
};

class TRKComm
{
public:
    // Time-outs of the open sequence; the protocol layer relies on them.
    static constexpr int ReadIntervalMs = 25;
    static constexpr int ReadTotalMultiplierMs = 3;
    static constexpr int ReadTotalConstantMs = 50;
    static constexpr int WriteTotalMultiplierMs = 10;
    static constexpr int WriteTotalConstantMs = 100;
    static constexpr int MaxReadBytes = 255;
    // A read that sees nothing gives up after 3 * 255 + 50 ms.
    static constexpr int ReadNothingMs = ReadTotalMultiplierMs * MaxReadBytes + ReadTotalConstantMs;

    // Given the bytes received so far, how many bytes the whole frame needs.
    using LengthPredictor = std::function<int(const std::uint8_t *bytes, int count)>;

    TRKComm();
    // Owners close before they destroy; an open device is still released here, silently, so that
    // a forgotten port does not stay locked.
    ~TRKComm();
    TRKComm(const TRKComm &) = delete;
    TRKComm &operator=(const TRKComm &) = delete;

    std::string LogFileName;
    std::uint8_t PortIndex = 0; // 0 = COM1 = /dev/ttyS0
    std::uint8_t BaudIndex = 3; // index into BaudRateTable
    std::uint8_t Parity = 0; // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 two
    std::uint8_t DataBitsIndex = 4; // data bits - 4
    // When set, this device is opened as is (USB adapters, simulator ptys) and messages name it;
    // otherwise PortIndex chooses COMn = /dev/ttyS(n-1).
    std::string DevicePath;

    bool Open();
    void Close();
    void Purge();
    bool Write(const std::uint8_t *bytes, int count);
    // Counted buffer: byte 0 receives the count, bytes 1.. the data; at most 255 bytes.
    bool Read(std::uint8_t *countedBuffer);
    // Reads into dst until `wanted` bytes (or, with a predictor, the predicted frame length, never
    // more than wanted) have arrived, or 25 ms passed after the last byte, or 815 ms with nothing.
    // Returns the number of bytes read (0 on time-out); purges the receive queue afterwards.
    int ReadBytes(std::uint8_t *dst, int wanted, const LengthPredictor &predictor = {});
    // The same read without the purge: what arrives behind the frame stays queued. For the echo
    // of a request on a two-wire line, with the reply right behind it, and for a reply that may
    // have a later one behind it. `nothingWait` replaces the 815 ms wait for the first byte where
    // the caller knows how soon a reply must begin (a scan of the bus).
    int ReadBytesKeepingRest(std::uint8_t *dst, int wanted, const LengthPredictor &predictor = {},
        std::chrono::microseconds nothingWait = std::chrono::milliseconds(ReadNothingMs));
    // Reads and throws away whatever arrives until the line has been quiet for 25 ms, or at most
    // limitMs; resynchronises after a reply that was cut or came late.
    void DiscardUntilQuiet(int limitMs);
    // Reads whatever arrives until the line has been quiet for quietMs, or at most limitMs; keeps
    // the first `room` bytes in dst and returns their number. Purges the receive queue afterwards.
    int ReadUntilQuiet(std::uint8_t *dst, int room, int quietMs, int limitMs);
    // Waits at most `wait` for a byte and reads what has arrived by then, at most `room` bytes
    // (the rest stays queued). Returns their number, 0 when the line stayed quiet. Waits are in
    // microseconds: the silent interval between frames is a few milliseconds.
    int ReadArrived(std::uint8_t *dst, int room, std::chrono::microseconds wait);
    // When a read last brought bytes (the clock's epoch before the first): the line's latest
    // activity as far as this port saw it.
    std::chrono::steady_clock::time_point LastReceived() const { return m_lastReceived; }

    // Turns the driver's settings into the ones Open() writes: raw, with this port's data bits,
    // parity, stop bits and hardware flow control, and the rate when termios has a constant for
    // it (then true; the table's other rates go through termios2 after the write). An unknown
    // parity, data or stop code leaves the driver's own. Pure, so that what a pty would ignore
    // can still be checked.
    bool BuildLineSettings(termios &tio) const;

    bool IsOpen() const { return m_fd >= 0; }
    int Handle() const { return m_fd; }
    // "COM1".."COMn", or the device path when DevicePath is set.
    std::string PortName() const;
    // The file that Open() opens.
    std::string DeviceName() const;
    TCommsDebugger *Logger() const { return m_logger.get(); }

    static constexpr int BaudRateTable[] = { 1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400,
        57600, 76800, 115200 };
    // Bits per second of a table index, or 0 outside the table.
    static int BaudRate(int index);
    // Table index of a rate, or -1 when the rate is not in the table.
    static int BaudIndexOf(int rate);

private:
    void log(const std::string &text);
    int readInto(std::uint8_t *dst, int wanted, const LengthPredictor &predictor,
        std::chrono::microseconds nothingWait);

    int m_fd = -1;
    std::chrono::steady_clock::time_point m_lastReceived;
    std::unique_ptr<TCommsDebugger> m_logger;
    std::unique_ptr<char[]> m_scratchBuffer;
};
