// The steps of a production run on an AIN module, built from a plan: Identify, DIP switches,
// Configuration, Scales, Calibration low and high, Calibration save, one Verification per
// stimulus, Digital points and Save. Each step calls the operation the page's button calls and
// then checks what the module holds; the run dock drives them and keeps the record.
#pragma once

#include "analog/RunSupport.h"
#include "module/KindRun.h"
#include "run/Plan.h"
#include "runsteps/RunSteps.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class TZULAIN;
class TZULGeneral;
struct TSession;

struct TAINRunContext
{
    TSession &Session;
    TZULGeneral &General;
    TZULAIN &Unit;
    TRunLiveValues &Live;
    std::function<void(int page)> ShowPage;
    QString Operator; // the row's TECHNICIAN; empty leaves it empty
};

std::vector<TRunStepEntry> AINRunSteps(const TAINRunContext &context, const zul::run::Plan &plan);
// The kind plug-in's run maker: the steps above for the unit the run dock hands over.
TRunSteps AINRun(const TRunMaker &maker, const zul::run::Plan &plan);
