// At a run's end: its record into the run log (file and database) and, when the run's own save
// appended a results row, the certificate written again with the record. Answers the sentence
// the dock shows under the verdict.
#pragma once

#include <QString>

struct TSession;

namespace zul {
struct ModuleState;
}

namespace zul::run {
class Run;
struct Plan;
} // namespace zul::run

// `module` is the module as the run identified it: the record and the certificate name it.
QString StoreRunEnd(const TSession &session, const zul::ModuleState &module,
    const zul::run::Run &run, const zul::run::Plan &plan, const QString &operatorName);
