// What a kind's production run is made of, as the run dock takes it: the steps with the page
// each works on, and what the run must do at its end whatever the outcome. Every kind builds
// its steps from a plan in its own library; the dock only drives them.
#pragma once

#include "run/RunEngine.h"

#include <functional>
#include <optional>
#include <vector>

// A step and the page it works on, which the run shows when the step comes up.
struct TRunStepEntry
{
    zul::run::Step Step;
    int Page;
    // Runs when the step comes up, before the operator acts on its prompt: sets the module to
    // the state the operator measures (the outputs driven to a value, say). Null: nothing.
    std::function<void()> Prepare = {};
    // The operator types one reading per channel before Next (the meter's value of each output).
    bool Readings = false;
};

// The readings the operator typed for the current step, element 0 = channel 1; the dock fills
// them before it runs a step that asks for them.
struct TRunReadings
{
    std::vector<double> Values;
};

struct TRunSteps
{
    std::vector<TRunStepEntry> Steps;
    // At every end of the run (passed, failed, aborted, error) and when the dock closes.
    std::function<void()> End = {};
};
