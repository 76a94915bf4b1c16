// What a production run makes of a module and how it judges it: the configuration, the range of
// every channel, the calibration points, the verification stimuli with their tolerance, the
// stability of a capture, the attempts a step may take and whether the digital points are
// checked. The kinds bring their configurations and built-in plans (PlanKinds.h); user plans come
// from files (PlanFiles.h). The run dock lists both and builds its steps from the one picked.
// Qt-free.
#pragma once

#include "StableCapture.h"
#include "core/AnalogTestArithmetic.h"
#include "core/CommsSettings.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zul::run {

// A configuration as plan files name it, with the module codes behind it. A kind lists its own
// (PlanKinds.h).
struct ConfigurationRow
{
    const char *kind; // the kind registry row's Name
    const char *name; // "single-ended voltage", ... "current sink"
    std::uint16_t hardwareCode; // what input registers 133-140 answer once it is saved
    std::uint16_t scaleBase; // the scale code of a range is scaleBase | its column
    bool current; // ranges in mA, otherwise in V
    bool differential; // only the odd channels measure
};

struct RangeRow
{
    const char *name; // as the scale pages and the status panel show it
    double low;
    double high;
    bool current;
    std::uint16_t column; // 1..3, the low bits of the scale code
};

constexpr RangeRow Ranges[] = {
    { "0 to 5V", 0, 5, false, 1 },
    { "0 to 10V", 0, 10, false, 2 },
    { "1 to 5V", 1, 5, false, 3 },
    { "0 to 10mA", 0, 10, true, 1 },
    { "0 to 20mA", 0, 20, true, 2 },
    { "4 to 20mA", 4, 20, true, 3 },
};

constexpr int PlanChannels = 8;
// Each verification files one test column of the analog results grid (column 0 is its fixed
// column); a verification more would find no column and its result would never be saved.
constexpr int MaxPlanStimuli = zul::ResultsGridColumns - 1;
// A capture sees the live values once per poll, so a shorter time-out ends every capture
// before its first reading.
constexpr std::chrono::milliseconds ShortestCaptureTimeout { zul::MinimumPollIntervalMs };

// A configuration of a registered kind (PlanKinds.h); null when the kind has none of that name.
const ConfigurationRow *findConfiguration(std::string_view kind, std::string_view name);
// The first configuration of the first kind listed: where a plan stands before its file is read,
// and so a plan whose file is bad. A blank row when no kind is registered.
const ConfigurationRow *defaultConfiguration();
const RangeRow *findRange(std::string_view name);
// The range behind a scale code in a configuration; null when the code is not one of it.
const RangeRow *rangeOfCode(const ConfigurationRow &configuration, std::uint16_t scaleCode);
std::uint16_t scaleCode(const ConfigurationRow &configuration, const RangeRow &range);

struct Plan
{
    std::string name;
    std::string source; // "built-in" or the file it was read from
    std::string error; // why it cannot be started; empty when it can
    // SHA-256 hex of the plan file's bytes as read; empty for a built-in plan (the run record
    // then hashes its name, "built-in" and the tool version).
    std::string contentHash;
    const ConfigurationRow *configuration = defaultConfiguration();
    std::array<std::uint16_t, PlanChannels> scales {}; // element 0 = channel 1
    double calibrationLow = 0; // as the stimuli
    double calibrationHigh = 0;
    // V or mA applied to every input, or, for a kind driven by output words, the words driven
    // (0x4000 is the range's low end, 0xC000 its high end).
    std::vector<double> stimuli; // in the order the run applies them
    std::string tolerance = "$0080"; // as the test dialog's tolerance field takes it
    Stability stability;
    int attempts = 3;
    bool digitalChecks = true;
    // Outputs: what they are driven to when the run ends (or its dock closes), whatever the
    // outcome, so that nothing wired to the module is left at a test value.
    std::uint16_t safeOutput = 0x4000;
    // Digital points: the maximum rate words of the four pulse inputs (60000 is 1000 per second,
    // above it "Div 10"), the update time words of the eight pulsed outputs, and whether the
    // module sits on a loop-back fixture (output n wired to input n), so the run checks the
    // digital points itself.
    std::array<std::uint16_t, 4> maxRateWords { 60000, 60000, 60000, 60000 };
    std::array<std::uint16_t, 8> updateTimes {};
    bool loopback = false;

    bool startable() const { return error.empty(); }
    const char *kind() const { return configuration->kind; }
    const char *unit() const { return configuration->current ? "mA" : "V"; }
    // The channels judged: 1, 3, 5 and 7 on a differential module, otherwise all eight.
    std::vector<int> measuredChannels() const;
};

// The test dialog's suggested stimuli that lie in the range and the range's mid-point, each
// once, rising.
std::vector<double> suggestedStimuli(const RangeRow &range);
// A stimulus as the test dialog's field takes it: "0", "2.5", "3.3", "12".
std::string stimulusText(double value);

// Why a plan of a kind with ranged channels (PlanKinds.h) cannot prove anything, or nothing when
// it can: no verification, more verifications than the results grid files, a time-out shorter
// than a poll, calibration points not rising, or a value applied to the inputs outside a judged
// channel's range (a kind driven by output words: a value that is no output word). Plan files
// are refused with it; the built-in plans are held to it too.
std::string planFault(const Plan &plan);

// A plan with one range for all channels, calibrated at the range's ends and verified at its
// suggested stimuli; the rest as the defaults.
Plan standardPlan(std::string name, const ConfigurationRow &configuration, const RangeRow &range);

} // namespace zul::run
