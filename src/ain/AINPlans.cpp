#include "AINPlans.h"

#include "core/ModuleCodes.h"
#include "run/PlanKinds.h"

#include <string>

namespace zul::ain {

namespace {

using run::ConfigurationRow;
using run::Plan;
using run::RangeRow;

// Inputs sink current; the differential configurations measure on the odd channels only.
constexpr ConfigurationRow Configurations[] = {
    { "AIN", "single-ended voltage", hardware::VoltageSingleEnded, scale::VoltageBase, false,
        false },
    { "AIN", "differential voltage", hardware::VoltageDifferential, scale::VoltageBase, false,
        true },
    { "AIN", "single-ended current", hardware::CurrentSingleEnded, scale::SinkBase, true, false },
    { "AIN", "differential current", hardware::CurrentDifferential, scale::SinkBase, true, true },
};

} // namespace

std::vector<Plan> builtInPlans()
{
    std::vector<Plan> plans;
    for (const ConfigurationRow &configuration : Configurations) {
        for (const RangeRow &range : run::Ranges)
            if (range.current == configuration.current)
                plans.push_back(
                    run::standardPlan(std::string("AIN ") + configuration.name + " " + range.name,
                        configuration, range));
    }
    return plans;
}

void registerPlans()
{
    run::PlanKindEntry entry;
    entry.name = "AIN";
    entry.listOrder = 0;
    entry.configurations = Configurations;
    entry.builtInPlans = &builtInPlans;
    entry.toleranceInCounts = true;
    run::registerPlanKind(std::move(entry));
}

} // namespace zul::ain
