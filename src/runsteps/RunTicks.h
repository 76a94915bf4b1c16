// The judgement of boxes an operator ticks for points that work: Passed only when every one is
// ticked, with the sentence "15 of 16 ticked; not ticked: DIN3". The DIO columns and the analog
// kinds' digital points say it alike.
#pragma once

#include "run/RunEngine.h"

#include <string>
#include <utility>
#include <vector>

inline zul::run::StepResult JudgedTicks(
    std::vector<zul::run::Measurement> values, int ticked, int total, const std::string &unticked)
{
    std::string message = std::to_string(ticked) + " of " + std::to_string(total) + " ticked";
    if (!unticked.empty())
        message += "; not ticked: " + unticked;
    return zul::run::StepResult::judged(std::move(values), message);
}
