// The DIO kind's part of the production-run plans: its one configuration, "DIO standard" and
// how its plan files read. Qt-free.
#pragma once

#include "run/Plan.h"

namespace zul::dio {

// "DIO standard": the module's defaults, the digital points checked by the operator.
run::Plan standardPlan();

// Registers the kind's entry with the plan layer (run/PlanKinds.h); again does no harm.
void registerPlans();

} // namespace zul::dio
