// What the production run's steps of the analog kinds share: the live values the poll ticks
// publish (the window hands each to the run), an action that waits for them to settle on the
// page the run shows, and reading back what a step wrote. The steps call the pages' own
// operations; these helpers only watch and compare.
#pragma once

#include "core/LiveValues.h"
#include "module/RunReadBack.h"
#include "run/RunEngine.h"
#include "run/StableCapture.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TRunLiveValues
{
public:
    void Add(const zul::LiveSample &sample)
    {
        m_latest = sample;
        ++m_added;
    }
    // The sample of a tick not taken yet, when it came from `page`; nullptr otherwise.
    const zul::LiveSample *Take(const std::string &page);
    // Whatever came before now is not taken.
    void Forget() { m_taken = m_added; }

private:
    zul::LiveSample m_latest;
    unsigned long m_added = 0;
    unsigned long m_taken = 0;
};

using TRunAction = std::function<zul::run::StepResult(zul::run::StepContext &)>;

// Waits, tick by tick, until the live values of `page` settle (raw words read as signed 16-bit
// counts when signedWords), then answers what `settled` makes of the capture; Failed, naming
// the channels, when they do not settle in time. showPage runs at the attempt's start.
TRunAction CaptureAction(TRunLiveValues &live, std::string page, bool signedWords,
    zul::run::Stability stability, std::vector<int> channels, std::function<void()> showPage,
    std::function<zul::run::StepResult(const zul::run::StableCapture &)> settled);
