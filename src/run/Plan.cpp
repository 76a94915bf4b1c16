#include "Plan.h"

#include <algorithm>
#include <cstdio>

namespace zul::run {

namespace {

// The input test dialog offers these, by the module's hardware.
constexpr double VoltageSuggestions[] = { 0, 3.3, 5 };
constexpr double CurrentSuggestions[] = { 0, 8, 12 };

} // namespace

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

} // namespace zul::run
