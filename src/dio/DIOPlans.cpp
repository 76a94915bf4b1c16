#include "DIOPlans.h"

#include "run/PlanKinds.h"

#include <vector>

namespace zul::dio {

namespace {

// A DIO module has one configuration and no ranges.
constexpr run::ConfigurationRow Configurations[] = {
    { "DIO", "digital", 0, 0, false, false },
};

std::vector<run::Plan> builtInPlans()
{
    return { standardPlan() };
}

} // namespace

run::Plan standardPlan()
{
    run::Plan plan;
    plan.name = "DIO standard";
    plan.source = "built-in";
    plan.configuration = &Configurations[0];
    return plan;
}

void registerPlans()
{
    run::PlanKindEntry entry;
    entry.name = "DIO";
    entry.listOrder = 2;
    entry.configurations = Configurations;
    entry.builtInPlans = &builtInPlans;
    entry.fileForm = run::PlanFileForm::Digital;
    run::registerPlanKind(std::move(entry));
}

} // namespace zul::dio
