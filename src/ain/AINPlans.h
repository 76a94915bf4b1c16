// The AIN kind's part of the production-run plans: its four input configurations, its twelve
// built-in plans and how its plan files read. Qt-free.
#pragma once

#include "run/Plan.h"

#include <vector>

namespace zul::ain {

// The twelve AIN plans: every configuration with every one of its ranges on all channels.
std::vector<run::Plan> builtInPlans();

// Registers the kind's entry with the plan layer (run/PlanKinds.h); again does no harm.
void registerPlans();

} // namespace zul::ain
