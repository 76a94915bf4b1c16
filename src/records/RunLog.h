// Where a production run's record goes at the end of every run: a JSON file of its own in the
// runs folder, and one row in the results database's run log table. The run dock calls
// StoreRunRecord once per run and shows the sentence it answers; the results history reads the
// rows back (RunHistory.h).
#pragma once

#include "RecordRow.h"

#include <QString>

#include <optional>

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

// Writes `text` to folder/baseName.json, making the folder; an existing file is never touched:
// the name gains "-2", "-3", ... instead. Answers the path written, or empty with the reason.
QString writeNewFile(
    const QString &folder, const QString &baseName, const QByteArray &text, QString *error);

// The file is written first and stays whatever the database does; a database without the run
// log table (a server not yet upgraded) keeps the file only, and `where` says so. Nothing is
// shown here: the caller shows `where`. An empty runsFolder is defaultRunsFolder().
TRunLogResult StoreRunRecord(
    TDataModule_Results &db, const TRunLogEntry &entry, const QString &runsFolder = {});
