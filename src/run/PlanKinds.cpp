#include "PlanKinds.h"

#include <algorithm>
#include <deque>

namespace zul::run {

namespace {

// A deque keeps the entries where they are as more are registered; callers hold pointers.
std::deque<PlanKindEntry> &registry()
{
    // Built on first use: kinds may register while static objects are still being made.
    static std::deque<PlanKindEntry> entries;
    return entries;
}

} // namespace

void registerPlanKind(PlanKindEntry entry)
{
    for (PlanKindEntry &known : registry())
        if (std::string_view(known.name) == entry.name) {
            known = std::move(entry);
            return;
        }
    registry().push_back(std::move(entry));
}

std::vector<const PlanKindEntry *> planKinds()
{
    std::vector<const PlanKindEntry *> kinds;
    for (const PlanKindEntry &entry : registry())
        kinds.push_back(&entry);
    std::stable_sort(kinds.begin(), kinds.end(),
        [](const PlanKindEntry *a, const PlanKindEntry *b) { return a->listOrder < b->listOrder; });
    return kinds;
}

const PlanKindEntry *findPlanKind(std::string_view name)
{
    for (const PlanKindEntry &entry : registry())
        if (name == entry.name)
            return &entry;
    return nullptr;
}

const ConfigurationRow *findConfiguration(std::string_view kind, std::string_view name)
{
    if (const PlanKindEntry *entry = findPlanKind(kind))
        for (const ConfigurationRow &row : entry->configurations)
            if (name == row.name)
                return &row;
    return nullptr;
}

const ConfigurationRow *defaultConfiguration()
{
    static constexpr ConfigurationRow Blank { "", "", 0, 0, false, false };
    for (const PlanKindEntry *entry : planKinds())
        if (!entry->configurations.empty())
            return entry->configurations.data();
    return &Blank;
}

std::vector<Plan> allBuiltInPlans()
{
    std::vector<Plan> plans;
    for (const PlanKindEntry *entry : planKinds())
        if (entry->builtInPlans) {
            std::vector<Plan> own = entry->builtInPlans();
            plans.insert(plans.end(), std::make_move_iterator(own.begin()),
                std::make_move_iterator(own.end()));
        }
    return plans;
}

} // namespace zul::run
