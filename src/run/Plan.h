// What a production run makes of a module and how it judges it: the configuration, the range of
// every channel, the calibration points, the verification stimuli with their tolerance, the
// stability of a capture, the attempts a step may take and whether the digital points are
// checked. The built-in AIN plans are made here; user plans come from files (PlanFiles.h). The
// run dock lists both and builds its steps from the one picked. Qt-free.
#pragma once

#include "StableCapture.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zul::run {

enum class PlanKind { AIN, AOT, DIO };

// A configuration as plan files name it, with the module codes behind it.
struct ConfigurationRow
{
    PlanKind kind;
    const char *name; // "single-ended voltage", ... "current sink"
    std::uint16_t hardwareCode; // what input registers 133-140 answer once it is saved
    std::uint16_t scaleBase; // the scale code of a range is scaleBase | its column
    bool current; // ranges in mA, otherwise in V
    bool differential; // only the odd channels measure
};

constexpr ConfigurationRow Configurations[] = {
    { PlanKind::AIN, "single-ended voltage", 0x1101, 0x1100, false, false },
    { PlanKind::AIN, "differential voltage", 0x1102, 0x1100, false, true },
    { PlanKind::AIN, "single-ended current", 0x0101, 0x0200, true, false },
    { PlanKind::AIN, "differential current", 0x0102, 0x0200, true, true },
    { PlanKind::AOT, "voltage", 0x1101, 0x1100, false, false },
    { PlanKind::AOT, "current source", 0x0101, 0x0100, true, false },
    { PlanKind::AOT, "current sink", 0x0101, 0x0200, true, false },
    // A DIO module has one configuration and no ranges.
    { PlanKind::DIO, "digital", 0, 0, false, false },
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

const char *kindName(PlanKind kind); // "AIN", "AOT", "DIO"
const ConfigurationRow *findConfiguration(PlanKind kind, std::string_view name);
const RangeRow *findRange(std::string_view name);
// The range behind a scale code in a configuration; null when the code is not one of it.
const RangeRow *rangeOfCode(const ConfigurationRow &configuration, std::uint16_t scaleCode);
std::uint16_t scaleCode(const ConfigurationRow &configuration, const RangeRow &range);

struct Plan
{
    std::string name;
    std::string source; // "built-in" or the file it was read from
    std::string error; // why it cannot be started; empty when it can
    const ConfigurationRow *configuration = &Configurations[0];
    std::array<std::uint16_t, PlanChannels> scales {}; // element 0 = channel 1
    double calibrationLow = 0; // as the stimuli
    double calibrationHigh = 0;
    // AIN: V or mA applied to every input; AOT: the output words driven (0x4000 is the range's
    // low end, 0xC000 its high end).
    std::vector<double> stimuli; // in the order the run applies them
    std::string tolerance = "$0080"; // as the test dialog's tolerance field takes it
    Stability stability;
    int attempts = 3;
    bool digitalChecks = true;
    // AOT: what the outputs are driven to when the run ends (or its dock closes), whatever the
    // outcome, so that nothing wired to the module is left at a test value.
    std::uint16_t safeOutput = 0x4000;
    // DIO: the maximum rate words of the four pulse inputs (60000 is 1000 per second, above it
    // "Div 10"), the update time words of the eight pulsed outputs, and whether the module sits
    // on a loop-back fixture (output n wired to input n), so the run checks the digital points
    // itself.
    std::array<std::uint16_t, 4> maxRateWords { 60000, 60000, 60000, 60000 };
    std::array<std::uint16_t, 8> updateTimes {};
    bool loopback = false;

    bool startable() const { return error.empty(); }
    PlanKind kind() const { return configuration->kind; }
    const char *unit() const { return configuration->current ? "mA" : "V"; }
    // The channels judged: 1, 3, 5 and 7 on a differential module, otherwise all eight.
    std::vector<int> measuredChannels() const;
};

// The test dialog's suggested stimuli that lie in the range and the range's mid-point, each
// once, rising.
std::vector<double> suggestedStimuli(const RangeRow &range);
// A stimulus as the test dialog's field takes it: "0", "2.5", "3.3", "12".
std::string stimulusText(double value);

// The twelve AIN plans: every configuration with every one of its ranges on all channels.
std::vector<Plan> builtInPlans();
// The nine AOT plans: voltage, current source and current sink outputs with each of their
// ranges on all channels, driven at the calibration page's Low and High and at the output test
// dialog's suggestions, judged with its tolerance of 5% of the range's high end.
std::vector<Plan> builtInAOTPlans();
// "DIO standard": the module's defaults, the digital points checked by the operator.
Plan standardDIOPlan();
// The calibration page's drive words and the output test dialog's suggested stimuli.
constexpr double OutputLowWord = 0x4000;
constexpr double OutputHighWord = 0xC000;
std::vector<double> suggestedOutputWords();
// An output word as the output test dialog's field takes it: hexadecimal digits, "4000".
std::string outputWordText(double word);
// A plan with one range for all channels, calibrated at the range's ends and verified at its
// suggested stimuli; the rest as the defaults.
Plan standardPlan(std::string name, const ConfigurationRow &configuration, const RangeRow &range);

} // namespace zul::run
