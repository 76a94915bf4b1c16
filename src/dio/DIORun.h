// The steps of a production run on a DIO module, built from a plan: Identify, Pulse inputs (the
// maximum rates), Pulsed outputs (the update times), one step per column of the DIO Results grid
// (the check page shown, the operator told what to do, ticks the column's boxes and confirms),
// Save. On a loop-back fixture the run checks the digital inputs and outputs itself: it switches
// each output on in turn through the check page and ticks the boxes from the inputs it saw.
#pragma once

#include "module/KindRun.h"
#include "run/Plan.h"
#include "runsteps/RunSteps.h"

#include <QString>

#include <functional>

class TZULDIO;
class TZULGeneral;
struct TSession;

struct TDIORunContext
{
    TSession &Session;
    TZULGeneral &General;
    TZULDIO &Unit;
    QString Operator; // the row's TECHNICIAN; empty leaves it empty
};

TRunSteps DIORunSteps(const TDIORunContext &context, const zul::run::Plan &plan);
// The kind plug-in's run maker: the steps above for the unit the run dock hands over.
TRunSteps DIORun(const TRunMaker &maker, const zul::run::Plan &plan);
