#include "Plan.h"

#include <algorithm>
#include <cstdio>

namespace zul::run {

namespace {

// The AIN test dialog offers these, by the module's hardware.
constexpr double VoltageSuggestions[] = { 0, 3.3, 5 };
constexpr double CurrentSuggestions[] = { 0, 8, 12 };

} // namespace

const char *kindName(PlanKind kind)
{
    switch (kind) {
    case PlanKind::AIN:
        return "AIN";
    case PlanKind::AOT:
        return "AOT";
    case PlanKind::DIO:
        break;
    }
    return "DIO";
}

const ConfigurationRow *findConfiguration(PlanKind kind, std::string_view name)
{
    for (const ConfigurationRow &row : Configurations)
        if (row.kind == kind && name == row.name)
            return &row;
    return nullptr;
}

const RangeRow *findRange(std::string_view name)
{
    for (const RangeRow &row : Ranges)
        if (name == row.name)
            return &row;
    return nullptr;
}

std::uint16_t scaleCode(const ConfigurationRow &configuration, const RangeRow &range)
{
    return static_cast<std::uint16_t>(configuration.scaleBase | range.column);
}

const RangeRow *rangeOfCode(const ConfigurationRow &configuration, std::uint16_t code)
{
    for (const RangeRow &row : Ranges)
        if (row.current == configuration.current && scaleCode(configuration, row) == code)
            return &row;
    return nullptr;
}

std::vector<int> Plan::measuredChannels() const
{
    std::vector<int> channels;
    for (int channel = 1; channel <= PlanChannels; channel += configuration->differential ? 2 : 1)
        channels.push_back(channel);
    return channels;
}

std::vector<double> suggestedStimuli(const RangeRow &range)
{
    std::vector<double> stimuli { (range.low + range.high) / 2 };
    if (range.current)
        stimuli.insert(stimuli.end(), std::begin(CurrentSuggestions), std::end(CurrentSuggestions));
    else
        stimuli.insert(stimuli.end(), std::begin(VoltageSuggestions), std::end(VoltageSuggestions));
    std::erase_if(stimuli, [&range](double s) { return s < range.low || s > range.high; });
    std::sort(stimuli.begin(), stimuli.end());
    stimuli.erase(std::unique(stimuli.begin(), stimuli.end()), stimuli.end());
    return stimuli;
}

std::string stimulusText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

Plan standardPlan(std::string name, const ConfigurationRow &configuration, const RangeRow &range)
{
    Plan plan;
    plan.name = std::move(name);
    plan.source = "built-in";
    plan.configuration = &configuration;
    plan.scales.fill(scaleCode(configuration, range));
    plan.calibrationLow = range.low;
    plan.calibrationHigh = range.high;
    plan.stimuli = suggestedStimuli(range);
    return plan;
}

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

Plan standardDIOPlan()
{
    Plan plan;
    plan.name = "DIO standard";
    plan.source = "built-in";
    plan.configuration = findConfiguration(PlanKind::DIO, "digital");
    return plan;
}

std::vector<Plan> builtInAOTPlans()
{
    std::vector<Plan> plans;
    for (const ConfigurationRow &configuration : Configurations) {
        if (configuration.kind != PlanKind::AOT)
            continue;
        const std::string_view type = configuration.name;
        const bool current = configuration.current;
        for (const RangeRow &range : Ranges) {
            if (range.current != current)
                continue;
            // "current source" is named "current output 4 to 20mA source".
            const std::string name = current ? "AOT current output " + std::string(range.name) + " "
                    + std::string(type.substr(type.find(' ') + 1))
                                             : "AOT voltage output " + std::string(range.name);
            Plan plan = standardPlan(name, configuration, range);
            plan.calibrationLow = OutputLowWord;
            plan.calibrationHigh = OutputHighWord;
            plan.stimuli = suggestedOutputWords();
            plan.tolerance = "5%";
            plans.push_back(std::move(plan));
        }
    }
    return plans;
}

std::vector<Plan> builtInPlans()
{
    std::vector<Plan> plans;
    for (const ConfigurationRow &configuration : Configurations) {
        if (configuration.kind != PlanKind::AIN)
            continue;
        for (const RangeRow &range : Ranges)
            if (range.current == configuration.current)
                plans.push_back(
                    standardPlan(std::string("AIN ") + configuration.name + " " + range.name,
                        configuration, range));
    }
    return plans;
}

} // namespace zul::run
