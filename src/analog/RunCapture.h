// A production run step's action for the analog kinds that waits for the live values to settle
// on the page the run shows. The steps call the pages' own operations; this only watches and
// compares.
#pragma once

#include "run/RunEngine.h"
#include "run/StableCapture.h"
#include "runsteps/RunLiveValues.h"

#include <functional>
#include <string>
#include <vector>

using TRunAction = std::function<zul::run::StepResult(zul::run::StepContext &)>;

// Waits, tick by tick, until the live values of `page` settle (raw words read as signed 16-bit
// counts when signedWords), then answers what `settled` makes of the capture; Failed, naming
// the channels, when they do not settle in time. showPage runs at the attempt's start.
TRunAction CaptureAction(TRunLiveValues &live, std::string page, bool signedWords,
    zul::run::Stability stability, std::vector<int> channels, std::function<void()> showPage,
    std::function<zul::run::StepResult(const zul::run::StableCapture &)> settled);
