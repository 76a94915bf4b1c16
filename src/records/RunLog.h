// Where a production run's record goes: a JSON file of its own in the runs folder, written after
// every attempt while the run goes (run/RunRecordFile.h), and at the end one row in the results
// database's run log table. The run dock calls StoreRunRecord once per run, at its end, and shows
// the sentence it answers; the results history reads the rows back (RunHistory.h).
#pragma once

#include "RecordRow.h"

#include <QString>

#include <optional>

namespace zul::run {
class RunRecordFile;
}

class TDataModule_Results;

inline const QString RunLogTable = QStringLiteral("ZUL-Run-Log");

struct TRunLogEntry
{
    QString serial;
    QString kind; // "AIN"
    QString started; // ISO 8601 UTC text, as the record has it: "2026-12-07T17:10:00.123Z"
    QString finished;
    QString outcome; // "PASSED", "FAILED", "ABORTED", "ERROR"
    QString operatorName; // may be empty
    QString station;
    QString toolVersion;
    QString plan;
    std::optional<qint64> resultRow; // the results row the run saved, when it saved one
    QString record; // the run's JSON record
    QString runId; // as the record has it; a run log table without RUN_ID goes without
};

struct TRunLogResult
{
    QString file; // the record file's full path; empty when it could not be written
    bool fileWritten = false;
    bool rowWritten = false;
    // For the operator: "Run record saved to ~/.local/share/zulconfig/runs/AIN-....json and to
    // the results database", or why one of the two is missing.
    QString where;
    QString error; // the reasons of what failed, for logs and tests; empty when both worked
};

// $XDG_DATA_HOME/zulconfig/runs (~/.local/share/zulconfig/runs without it).
QString defaultRunsFolder();

// The row in the run log table's column order; STARTED and FINISHED as UTC date-times.
RecordRow runLogRow(const TRunLogEntry &entry);

// "<kind>-<serial>-<start as 20261207T171000Z>": the record file's name without ".json" (it gains
// "-2", "-3", ... where a file of another run has it).
QString runRecordBaseName(const TRunLogEntry &entry);

// The file is written (a last time) first and stays whatever the database does; a database
// without the run log table (a server not yet upgraded) keeps the file only, and `where` says so.
// Nothing is shown here: the caller shows `where`. `file` is the run's record file, written
// after its attempts; the other form starts one in runsFolder (empty: defaultRunsFolder()).
TRunLogResult StoreRunRecord(
    TDataModule_Results &db, const TRunLogEntry &entry, zul::run::RunRecordFile &file);
TRunLogResult StoreRunRecord(
    TDataModule_Results &db, const TRunLogEntry &entry, const QString &runsFolder = {});
