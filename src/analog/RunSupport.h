// What the production run's steps of the analog kinds share: the live values the poll ticks
// publish (the window hands each to the run), an action that waits for them to settle on the
// page the run shows, and reading back what a step wrote. Each has its own header; this one
// gathers them for the kinds' run steps and the run dock.
#pragma once

#include "RunCapture.h"
#include "runsteps/RunLiveValues.h"
#include "runsteps/RunReadBack.h"
