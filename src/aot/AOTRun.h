// The steps of a production run on an AOT module, built from a plan: Identify, Configuration,
// Scales, Calibration low and high (the outputs driven through the calibration page, the
// operator's meter readings typed), Calibration save, one Verification per output value (driven
// as the test dialog drives it, readings typed and judged), Digital points and Save. At its end,
// whatever the outcome, the outputs go back to the plan's safe value.
#pragma once

#include "analog/RunSupport.h"
#include "module/KindRun.h"
#include "run/Plan.h"
#include "runsteps/RunSteps.h"

#include <QString>

#include <functional>

class TZULAOT;
class TZULGeneral;
struct TSession;

struct TAOTRunContext
{
    TSession &Session;
    TZULGeneral &General;
    TZULAOT &Unit;
    TRunLiveValues &Live;
    TRunReadings &Readings;
    std::function<void(int page)> ShowPage;
    QString Operator; // the row's TECHNICIAN; empty leaves it empty
};

TRunSteps AOTRunSteps(const TAOTRunContext &context, const zul::run::Plan &plan);
// The kind plug-in's run maker: the steps above for the unit the run dock hands over.
TRunSteps AOTRun(const TRunMaker &maker, const zul::run::Plan &plan);
