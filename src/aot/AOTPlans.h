// The AOT kind's part of the production-run plans: its three output configurations, its nine
// built-in plans, the drive words its plans calibrate and verify at, and how its plan files
// read. Qt-free.
#pragma once

#include "run/Plan.h"

#include <string>
#include <vector>

namespace zul::aot {

// The calibration page's drive words and the output test dialog's suggested stimuli.
constexpr double OutputLowWord = 0x4000;
constexpr double OutputHighWord = 0xC000;
std::vector<double> suggestedOutputWords();
// An output word as the output test dialog's field takes it: hexadecimal digits, "4000".
std::string outputWordText(double word);

// The nine AOT plans: voltage, current source and current sink outputs with each of their
// ranges on all channels, driven at the calibration page's Low and High and at the output test
// dialog's suggestions, judged with its tolerance of 5% of the range's high end.
std::vector<run::Plan> builtInPlans();

// Registers the kind's entry with the plan layer (run/PlanKinds.h); again does no harm.
void registerPlans();

} // namespace zul::aot
