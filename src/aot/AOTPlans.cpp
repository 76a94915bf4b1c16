#include "AOTPlans.h"

#include "core/ModuleCodes.h"
#include "run/PlanKinds.h"

#include <cstdio>
#include <string_view>

namespace zul::aot {

namespace {

using run::ConfigurationRow;
using run::Plan;
using run::RangeRow;

// Every output configuration answers a single-ended hardware code; source and sink differ in
// the scale codes only.
constexpr ConfigurationRow Configurations[] = {
    { "AOT", "voltage", hardware::VoltageSingleEnded, scale::VoltageBase, false, false },
    { "AOT", "current source", hardware::CurrentSingleEnded, scale::SourceBase, true, false },
    { "AOT", "current sink", hardware::CurrentSingleEnded, scale::SinkBase, true, false },
};

// The output test dialog's default: a share of the range.
constexpr const char *DefaultTolerance = "5%";

} // namespace

std::vector<double> suggestedOutputWords()
{
    return { OutputLowWord, 0x8000, OutputHighWord };
}

std::string outputWordText(double word)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(word));
    return buffer;
}

std::vector<Plan> builtInPlans()
{
    std::vector<Plan> plans;
    for (const ConfigurationRow &configuration : Configurations) {
        const std::string_view type = configuration.name;
        const bool current = configuration.current;
        for (const RangeRow &range : run::Ranges) {
            if (range.current != current)
                continue;
            // "current source" is named "current output 4 to 20mA source".
            const std::string name = current ? "AOT current output " + std::string(range.name) + " "
                    + std::string(type.substr(type.find(' ') + 1))
                                             : "AOT voltage output " + std::string(range.name);
            Plan plan = run::standardPlan(name, configuration, range);
            plan.calibrationLow = OutputLowWord;
            plan.calibrationHigh = OutputHighWord;
            plan.stimuli = suggestedOutputWords();
            plan.tolerance = DefaultTolerance;
            plans.push_back(std::move(plan));
        }
    }
    return plans;
}

void registerPlans()
{
    run::PlanKindEntry entry;
    entry.name = "AOT";
    entry.listOrder = 1;
    entry.configurations = Configurations;
    entry.builtInPlans = &builtInPlans;
    entry.driveWords = run::DriveWords { OutputLowWord, OutputHighWord, suggestedOutputWords() };
    entry.defaultTolerance = DefaultTolerance;
    entry.safeOutput = true;
    run::registerPlanKind(std::move(entry));
}

} // namespace zul::aot
