// User plans: JSON files in the "zulconfig/plans" folder of the XDG config dirs. A file that
// does not parse or names something unknown still becomes a listed plan, carrying its error, so
// the run dock can show why it cannot be started. The format is in the README ("Production run
// plans").
#pragma once

#include "Plan.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace zul::run {

// A plan from one file's text; `source` names the file in the plan and its errors. A bad file
// gives a plan named `fallbackName` (or its own name when that was read) with `error` set.
Plan parsePlan(const QByteArray &json, const std::string &source, const std::string &fallbackName);
Plan readPlanFile(const QString &path);

// $XDG_CONFIG_HOME (default ~/.config) then each of $XDG_CONFIG_DIRS (default /etc/xdg), each
// with "/zulconfig/plans" appended.
QStringList planDirectories();
// Every *.json file of the folders, by plan name (case aside). A file name met again in a later
// folder is left out (the user's own copy wins over the system's); a plan whose name is taken
// already, by one of `taken` or by a plan before it, is listed with that error.
std::vector<Plan> userPlans(const QStringList &directories, const std::vector<Plan> &taken = {});
// The built-in plans, then the user plans of planDirectories().
std::vector<Plan> availablePlans();

} // namespace zul::run
