// The results page's save as a production run's step: only this save carries the run's operator
// (the row's TECHNICIAN) and plan (its certificate); a hand save never does. The save's own
// confirmation becomes the step's result.
#pragma once

#include "Session.h"
#include "run/RunEngine.h"

#include <QString>

#include <functional>
#include <string>

inline zul::run::StepResult RunSave(TSession &session, const QString &operatorName,
    const std::string &plan, const std::function<bool()> &save)
{
    session.RunOperator = operatorName;
    session.RunPlan = QString::fromStdString(plan);
    const bool saved = save();
    session.RunOperator.clear();
    session.RunPlan.clear();
    return saved ? zul::run::StepResult::passed()
                 : zul::run::StepResult::error("The results could not be saved");
}
