#include "Plan.h"

#include "PlanKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zul::run {

namespace {

// The input test dialog offers these, by the module's hardware.
constexpr double VoltageSuggestions[] = { 0, 3.3, 5 };
constexpr double CurrentSuggestions[] = { 0, 8, 12 };

// Why `value`, given as `field`, cannot be applied: it is no output word of a kind driven by
// output words, or it lies outside the range of a channel judged. Beyond its range an input
// saturates, and a saturated reading matches a saturated expected value whatever the module does.
std::string driveFault(const Plan &plan, const PlanKindEntry &kind, double value, const char *field)
{
    const std::string name = std::string("\"") + field + "\" ";
    if (kind.driveWords) {
        if (!std::isfinite(value) || value != std::floor(value) || value < 0 || value > 0xFFFF)
            return name + "must be an output word from 0 to 65535";
        return {};
    }
    for (const int channel : plan.measuredChannels()) {
        const RangeRow *range =
            rangeOfCode(*plan.configuration, plan.scales[std::size_t(channel - 1)]);
        if (!range)
            return "channel " + std::to_string(channel) + " has no range of configuration \""
                + plan.configuration->name + "\"";
        if (!std::isfinite(value) || value < range->low || value > range->high)
            return name + stimulusText(value) + " lies outside the range " + range->name
                + " of channel " + std::to_string(channel);
    }
    return {};
}

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

std::string planFault(const Plan &plan)
{
    const PlanKindEntry *kind = findPlanKind(plan.kind());
    if (!kind || kind->fileForm != PlanFileForm::Ranged)
        return {};
    if (plan.stimuli.empty())
        return "\"stimuli\" must list at least one number";
    if (plan.stimuli.size() > std::size_t { MaxPlanStimuli })
        return "\"stimuli\" may list at most " + std::to_string(MaxPlanStimuli)
            + " values, as the results grid has " + std::to_string(MaxPlanStimuli)
            + " test columns";
    if (plan.stability.timeout < ShortestCaptureTimeout)
        return "\"stability.timeoutSeconds\" must be at least "
            + stimulusText(std::chrono::duration<double>(ShortestCaptureTimeout).count())
            + ", the shortest poll of the live values";
    if (!(plan.calibrationLow < plan.calibrationHigh))
        return "\"calibration.low\" must lie below \"calibration.high\"";
    for (const auto &[value, field] : { std::pair { plan.calibrationLow, "calibration.low" },
             std::pair { plan.calibrationHigh, "calibration.high" } })
        if (std::string fault = driveFault(plan, *kind, value, field); !fault.empty())
            return fault;
    for (const double stimulus : plan.stimuli)
        if (std::string fault = driveFault(plan, *kind, stimulus, "stimuli"); !fault.empty())
            return fault;
    return {};
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
