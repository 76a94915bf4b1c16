// The certificate of a row the results save just appended: written beside the save when the
// setting allows, and the sentence for the save message's informative text, saying where it
// went or why it is missing. The row is saved before this is called and stays saved whatever
// happens here.
#pragma once

#include <QString>

#include <optional>

class TConfigRecord;

namespace zul {
struct ModuleState;
}

struct TCertificateNote
{
    QString hint; // empty when certificates are turned off
    bool failed = false; // a certificate was due and is missing
    QString pdf; // the file written, or the one that could not be
};

// `module` is the module the row was read from; `plan` the run's plan when a run saved the row
// (empty: a manual test); `runRecord` the run's JSON record when that run has ended (empty
// otherwise).
TCertificateNote WriteRowCertificate(const zul::ModuleState &module, const TConfigRecord &record,
    std::optional<qint64> rowId, const QString &plan, const QString &runRecord = {});

// At a run's end: the certificate of the row the run's save appended (that save writes none),
// with the run's record (the plan, the run's id, the calibration as found, the attempts that did
// not pass), from the kind's record, which still holds the saved row. Answers a sentence for the
// run dock: " Certificate ...", or why it is missing; empty when certificates are off.
QString WriteRunCertificate(const zul::ModuleState &module, const TConfigRecord &record,
    qint64 rowId, const QString &plan, const QString &runRecord);
