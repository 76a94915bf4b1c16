// What the tool knows of the connected module, as read from it: its kind and model, its
// identity block, its configuration and scale codes and the calibration sets as read, each with
// when it was read and whether that read worked. The status panel shows it; the save, the run,
// the live values, the log and the certificate read it. Nothing reads a widget's text back to
// learn a fact of the module. Qt-free.
#pragma once

#include "KindRegistry.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zul {

// One register block as last read: `ok` is false before the first read and after a failed one,
// when `words` hold nothing the module said.
template<typename Words>
struct ModuleRead
{
    Words words {};
    bool ok = false;
    std::chrono::system_clock::time_point when {};

    void take(const Words &read, bool worked)
    {
        words = worked ? read : Words {};
        ok = worked;
        when = std::chrono::system_clock::now();
    }
    void forget() { *this = {}; }
};

using ChannelWords = std::array<std::uint16_t, 8>;

// Input registers 801-804: firmware, board revision, serial number high and low words.
struct ModuleIdentity
{
    std::uint16_t firmware = 0;
    std::uint16_t board = 0;
    std::uint16_t serialHigh = 0;
    std::uint16_t serialLow = 0;

    std::string firmwareText() const; // "01.02"
    std::string boardText() const;
    std::string serialText() const; // eight hex digits
    bool operator==(const ModuleIdentity &) const = default;
};

// Which module a run tests: what Identify read, compared again before every step that judges
// or writes, so that a module swapped mid-run is never saved with another one's measurements.
struct ModuleLock
{
    std::uint16_t kind = KindUnknown;
    ModuleIdentity identity;

    bool operator==(const ModuleLock &) const = default;
};

struct ModuleState
{
    std::uint16_t kind = KindUnknown; // until a module answered
    int modelVariant = 0; // the edition's model names
    // The status block was read since the module was last found or lost: the model and type
    // lines are shown only then, though the kind stays known for the module check.
    bool statusRead = false;

    ModuleRead<ModuleIdentity> identity;
    // The status panel's hardware line: channel 1's hardware code.
    ModuleRead<std::uint16_t> statusHardware;
    // The hardware and scale codes of all eight channels (the configuration pages' read).
    ModuleRead<ChannelWords> hardware;
    ModuleRead<ChannelWords> scales;
    // The calibration as last read (offsets 117-124, then spans 125-132): the run's Identify
    // and the calibration page's read keep it here.
    ModuleRead<std::vector<std::uint16_t>> calibration;

    // Nothing known: before connect, after the module went away.
    void clear();
    // Identity and codes forgotten but the kind kept: a status read that is about to start.
    void forgetReads();

    // The texts the status panel, the records and the certificate state; empty when the fact
    // was not read.
    std::string modelText() const;
    std::string typeText() const;
    std::string serialText() const;
    std::string firmwareText() const;
    std::string boardText() const;
    std::string hardwareText() const; // the status panel's hardware line
    std::string channelText(int channel) const; // 1-based; "AIN1: 0 to 10V"
    int channelLines() const; // how many channel lines the kind shows
    // "<model>, serial <n>, firmware <f>, board <b>": the run's Identify result.
    std::string identitySentence() const;
    // The hardware code common to all eight channels, 0 when they differ or were not read.
    std::uint16_t commonHardware() const;
    // A channel's scale code (1-based), 0xFFFF ("no range") when the scales were not read.
    std::uint16_t scaleCode(int channel) const;
    ChannelWords scaleCodes() const;
    // The kind and identity, once both were read.
    std::optional<ModuleLock> lock() const;
};

} // namespace zul
