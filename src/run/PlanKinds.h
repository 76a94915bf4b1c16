// The module kinds' parts of the production-run plans: each kind registers its configurations,
// its built-in plans and how its plan files are read, under its kind registry row's Name. The run
// layer lists and reads plans through these entries only, so a kind more registers an entry more
// and nothing here changes. A kind registers with its own registerPlans() (its *Plans.h); the
// tool's kind plug-ins do so at start-up, tests and tools call them. Qt-free.
#pragma once

#include "Plan.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zul::run {

// How a kind's plan files are written.
enum class PlanFileForm {
    // "configuration", "range" or "ranges", "calibration", "stimuli", "tolerance", "stability",
    // "attempts", "digitalChecks" and, where outputs are driven, "safeOutput".
    Ranged,
    // "maxRates", "div10", "updateTimes", "loopback" and "attempts"; the kind's one
    // configuration.
    Digital,
};

// A kind driven by output words: its plans calibrate and verify at output words rather than V
// or mA, by default at the calibration page's drive words and the output test dialog's
// suggestions.
struct DriveWords
{
    double low;
    double high;
    std::vector<double> stimuli;
};

struct PlanKindEntry
{
    const char *name = ""; // the kind registry row's Name
    // Where the kind's built-in plans stand in the dock's list, and its name in the list of
    // kinds a plan file may give; lower first.
    int listOrder = 0;
    std::span<const ConfigurationRow> configurations;
    std::vector<Plan> (*builtInPlans)() = nullptr;
    PlanFileForm fileForm = PlanFileForm::Ranged;
    std::optional<DriveWords> driveWords;
    // The tolerance is a whole number of scaled counts; otherwise V or mA, or a percentage.
    bool toleranceInCounts = false;
    // A plan's tolerance unless its file gives one; empty keeps the plan's own default.
    std::string defaultTolerance;
    // Plan files may give "safeOutput".
    bool safeOutput = false;
};

// A second entry of the same name takes the first one's place.
void registerPlanKind(PlanKindEntry entry);
// The registered kinds by listOrder.
std::vector<const PlanKindEntry *> planKinds();
const PlanKindEntry *findPlanKind(std::string_view name);
// The built-in plans of every registered kind, by listOrder.
std::vector<Plan> allBuiltInPlans();

} // namespace zul::run
