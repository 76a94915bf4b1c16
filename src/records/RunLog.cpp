#include "RunLog.h"

#include "ResultsTarget.h"
#include "SchemaDrift.h"
#include "ZUL_Database.h"
#include "run/RunRecord.h"
#include "run/RunRecordFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlRecord>
#include <QStandardPaths>

#include <chrono>

namespace {

QDateTime utcTime(const QString &text)
{
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : time;
}

QString shown(const QString &path)
{
    return abbreviateHome(path, QDir::homePath());
}

// The reason the row could not be written, or empty when it was.
QString postEntry(TDataModule_Results &db, const TRunLogEntry &entry, bool *noTable)
{
    *noTable = false;
    if (!db.connect())
        return QStringLiteral("the results database could not be opened: ") + db.lastError();
    const bool hasTable =
        QSqlDatabase::database(db.connectionName(), false).tables().contains(RunLogTable);
    if (!hasTable) {
        db.disconnect();
        *noTable = true;
        return QStringLiteral("the results database has no table ") + RunLogTable;
    }
    RecordRow row = runLogRow(entry);
    // A table made before runs had ids still takes the run; its record names the id.
    QSqlDatabase connection = QSqlDatabase::database(db.connectionName(), false);
    const QSqlRecord fields = connection.record(
        connection.driver()->escapeIdentifier(RunLogTable, QSqlDriver::TableName));
    if (!missingColumns({ QStringLiteral("RUN_ID") }, fields).isEmpty())
        row.pop_back();
    if (!db.postRow(RunLogTable, row))
        return QStringLiteral("the results database refused the row: ") + db.lastError();
    return {};
}

QString describe(const TRunLogResult &result, bool noTable, const QString &rowError)
{
    const QString file = shown(result.file);
    if (result.fileWritten && result.rowWritten)
        return QStringLiteral("Run record saved to %1 and to the results database").arg(file);
    if (result.fileWritten)
        return noTable ? QStringLiteral("The results database has no table %1: run record saved "
                                        "to %2 only")
                             .arg(RunLogTable, file)
                       : QStringLiteral("Run record saved to %1 only: %2").arg(file, rowError);
    if (result.rowWritten)
        return QStringLiteral("Run record saved to the results database only: %1")
            .arg(result.error);
    return QStringLiteral("Run record not saved: %1").arg(result.error);
}

} // namespace

QString defaultRunsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/zulconfig/runs");
}

RecordRow runLogRow(const TRunLogEntry &entry)
{
    const auto text = [](const char *name, const QString &value) {
        // Never NULL, as the results tables' text columns.
        return RecordColumn { QString::fromLatin1(name), ColumnKind::Text,
            value.isNull() ? QString("") : value };
    };
    const auto time = [](const char *name, const QString &value) {
        return RecordColumn { QString::fromLatin1(name), ColumnKind::DateTime, utcTime(value) };
    };
    return {
        text("SERIAL_NO", entry.serial), text("KIND", entry.kind), time("STARTED", entry.started),
        time("FINISHED", entry.finished), text("OUTCOME", entry.outcome),
        text("OPERATOR", entry.operatorName), text("STATION", entry.station),
        text("TOOL_VERSION", entry.toolVersion), text("PLAN", entry.plan),
        { QStringLiteral("RESULT_ROW"), ColumnKind::BigInt,
            entry.resultRow ? QVariant(*entry.resultRow)
                            : QVariant(QMetaType::fromType<qint64>()) },
        text("RECORD", entry.record),
        text("RUN_ID", entry.runId), // last: an older table lacks it (postEntry)
    };
}

QString runRecordBaseName(const TRunLogEntry &entry)
{
    QDateTime started = utcTime(entry.started);
    if (!started.isValid())
        started = QDateTime::currentDateTimeUtc();
    const zul::run::Clock::time_point time { std::chrono::milliseconds(
        started.toMSecsSinceEpoch()) };
    QString name = QString::fromStdString(
        zul::run::recordFileName(entry.kind.toStdString(), entry.serial.toStdString(), time));
    if (name.endsWith(QLatin1String(".json")))
        name.chop(5);
    return name;
}

TRunLogResult StoreRunRecord(
    TDataModule_Results &db, const TRunLogEntry &entry, const QString &runsFolder)
{
    zul::run::RunRecordFile file(
        QFile::encodeName(runsFolder.isEmpty() ? defaultRunsFolder() : runsFolder).toStdString(),
        QFile::encodeName(runRecordBaseName(entry)).toStdString());
    return StoreRunRecord(db, entry, file);
}

TRunLogResult StoreRunRecord(
    TDataModule_Results &db, const TRunLogEntry &entry, zul::run::RunRecordFile &file)
{
    TRunLogResult result;
    const QByteArray text = entry.record.toUtf8();
    result.fileWritten = file.write(std::string_view(text.constData(), std::size_t(text.size())));
    result.file = result.fileWritten ? QFile::decodeName(file.path().c_str()) : QString();
    const QString fileError = QString::fromStdString(file.error());

    bool noTable = false;
    const QString rowError = postEntry(db, entry, &noTable);
    result.rowWritten = rowError.isEmpty();

    QStringList errors;
    for (const QString &error : { fileError, rowError })
        if (!error.isEmpty())
            errors << error;
    result.error = errors.join(QStringLiteral("; "));
    result.where = describe(result, noTable, rowError);
    return result;
}
