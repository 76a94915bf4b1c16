// Serves a ModuleModel as a MODBUS RTU slave on a pseudo-terminal, in a thread of its own, with
// fault injection and a request log. zul-sim wraps it as a program; tests run it in-process.
#pragma once

#include "ModuleModel.h"
#include "PtyDevice.h"
#include "RtuFrames.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zulsim {

enum class Fault {
    None,
    Silent, // no reply at all, and the request is not carried out (module unplugged)
    WrongSlave, // reply carries another slave address
    ExceptionReply, // exception code `param` (default 04); the request is not carried out
    BadCrc, // reply with a corrupted CRC
    Garbled, // reply bytes replaced by garbage
    SplitReply, // reply split after 2 bytes by a pause of `param` ms (default 60)
    Delay, // reply delayed by `param` ms; beyond the master's time-out it is a late reply
    TrailingByte, // one byte `param` (default 0x00) right after the reply, as line noise or a
                  // slave that sends one byte too many
    Echo, // the request comes back before the reply, as from a two-wire adapter that echoes
};

struct Options
{
    Kind kind = Kind::named(DefaultKind);
    std::uint8_t slave = 100;
    int baud = 9600;
    int parity = 0; // 0 none, 1 odd, 2 even
    int stopBits = 1;
    // Answer only a master whose port is set to baud, parity and stop bits above, as a real
    // module hears only noise at other settings. Off, any settings are answered.
    bool strictLine = false;
    // Answer a holding-register read of every holding register, not only of those the module's
    // map lists as readable that way (for masters written against early simulators).
    bool lenientHoldingReads = false;
    bool pace = false; // send replies at the wire speed of `baud` (11 bits per byte)
    std::string link; // optional symlink to the pty device
    bool announce = false; // register in the directory that runningSimulators() lists
};

class Simulator
{
public:
    explicit Simulator(Options options = {});
    ~Simulator(); // stops
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;

    // Opens the pty and starts serving; returns the device path (or the link when set).
    // Throws std::runtime_error when the pty or the link cannot be made.
    std::string start();
    // Stops serving and closes the pty: the device disappears. Returns within a few
    // milliseconds, also in the middle of a delayed reply.
    void stop();
    std::string devicePath() const; // the pty device itself, empty when stopped
    // The module's cable pulled: as stop(), but the module keeps its registers, faults and log.
    void unplug() { stop(); }
    // Plugged in again: a new device, under the same link name when there is one.
    std::string replug() { return start(); }
    bool running() const { return m_thread.joinable(); }

    ModuleModel &model();
    void setSlave(std::uint8_t slave);
    std::uint8_t slave() const { return m_slave; }
    // count < 0: until cleared; otherwise for the next `count` requests addressed to us.
    void setFault(Fault fault, int count = -1, int param = 0);
    void clearFault() { setFault(Fault::None); }

    // Requests addressed to us or broadcast that passed the CRC check, oldest first (the last
    // 10000 are kept).
    std::vector<RequestRecord> requestLog() const;
    void clearRequestLog();

    // One control command as zul-sim reads them from stdin (see zul-sim --help); returns the
    // answer line ("ok ..." or "error ..."; `log` gives its lines before the "ok"). Shared by the
    // program and tests of it.
    std::string command(const std::string &line);
    // The control commands with their arguments and meaning, one per line, for --help.
    static std::string commandHelp();
    // Plugs in another kind of module (every register resets) and renames the registration.
    void setKind(Kind kind);

private:
    using Clock = std::chrono::steady_clock;
    struct ActiveFault
    {
        Fault fault = Fault::None;
        int param = 0;
    };

    void serve();
    void handleFrame(const std::vector<std::uint8_t> &frame, Clock::time_point arrival);
    void sendReply(std::vector<std::uint8_t> adu, ActiveFault fault, Clock::time_point earliest);
    bool writePaced(const std::uint8_t *bytes, int count);
    bool writeNow(const std::uint8_t *bytes, int count);
    bool waitUntil(Clock::time_point deadline); // false when stopping
    Clock::duration wireTime(int bytes) const;
    ActiveFault takeFault();
    void remember(RequestRecord record);
    void makeLink(const std::string &device);

    Options m_options;
    ModuleModel m_model;
    PtyDevice m_pty;
    std::atomic<std::uint8_t> m_slave;
    mutable std::mutex m_mutex; // fault state and log
    ActiveFault m_fault;
    int m_faultCount = -1;
    std::deque<RequestRecord> m_log;
    std::thread m_thread;
    int m_stopFd = -1;
    std::string m_device;
    std::string m_linkPath;
    std::string m_announcePath;
};

} // namespace zulsim
