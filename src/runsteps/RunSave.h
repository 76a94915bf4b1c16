// The results page's save as a production run's step: the run's operator (the row's TECHNICIAN)
// and plan (its certificate) go to the save as its context; a hand save passes none. The save's
// own confirmation becomes the step's result.
#pragma once

#include "module/SaveContext.h"
#include "run/RunEngine.h"

#include <QString>

#include <functional>
#include <string>

inline zul::run::StepResult RunSave(const QString &operatorName, const std::string &plan,
    const std::function<bool(const TSaveContext &)> &save)
{
    const bool saved = save(TSaveContext { operatorName, QString::fromStdString(plan) });
    return saved ? zul::run::StepResult::passed()
                 : zul::run::StepResult::error("The results could not be saved");
}
