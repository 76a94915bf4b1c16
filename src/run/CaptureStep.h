// The action of a step that waits for settled live values (calibration low and high, each
// verification stimulus): a stable capture fed once per poll tick by the run, so the window
// never waits. Qt-free.
#pragma once

#include "RunEngine.h"
#include "StableCapture.h"

#include <functional>
#include <optional>

namespace zul::run {

struct CaptureStep
{
    Stability stability;
    std::vector<int> channels; // the 1-based channels judged; empty: all
    // One reading per channel, element 0 = channel 1; nothing when this tick has none (a failed
    // or not yet repeated read).
    std::function<std::optional<std::vector<std::int32_t>>()> read;
    // Judges the settled values (the rounded mean of each channel's last readings); it may
    // also file them where they belong (the calibration grid, the test dialog).
    std::function<StepResult(const StableCapture &capture)> settled;
    std::function<StableCapture::TimePoint()> clock = &std::chrono::steady_clock::now;
};

// The step action: every call reads once; Working until the capture settles (then `settled`
// answers) or times out (Failed, naming the channels that did not settle, with their values).
// Each attempt starts a fresh capture.
std::function<StepResult(StepContext &)> captureAction(CaptureStep capture);

} // namespace zul::run
