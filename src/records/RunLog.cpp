#include "RunLog.h"

#include "ResultsTarget.h"
#include "ZUL_Database.h"
#include "run/RunRecord.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QStandardPaths>

#include <chrono>

namespace {

// More copies of one name than this means something else is wrong; the caller is told.
constexpr int MaxNameSuffix = 999;

QDateTime utcTime(const QString &text)
{
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : time;
}

QString recordBaseName(const TRunLogEntry &entry)
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
    if (!db.postRow(RunLogTable, runLogRow(entry)))
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
        text("SERIAL_NO", entry.serial),
        text("KIND", entry.kind),
        time("STARTED", entry.started),
        time("FINISHED", entry.finished),
        text("OUTCOME", entry.outcome),
        text("OPERATOR", entry.operatorName),
        text("STATION", entry.station),
        text("TOOL_VERSION", entry.toolVersion),
        text("PLAN", entry.plan),
        { QStringLiteral("RESULT_ROW"), ColumnKind::BigInt,
            entry.resultRow ? QVariant(*entry.resultRow)
                            : QVariant(QMetaType::fromType<qint64>()) },
        text("RECORD", entry.record),
    };
}

QString writeNewFile(
    const QString &folder, const QString &baseName, const QByteArray &text, QString *error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make the folder %1").arg(folder);
        return {};
    }
    for (int n = 1; n <= MaxNameSuffix; ++n) {
        QString path = QDir(folder).filePath(
            baseName + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + ".json");
        QFile file(path);
        // NewOnly fails on an existing name in the same call that creates the file, so two runs
        // ending together cannot both take one name.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists())
                continue;
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
            return {};
        }
        if (file.write(text) != text.size() || !file.flush()) {
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
            file.remove(); // half a record is worse than none beside the database's copy
            return {};
        }
        return path;
    }
    *error = QStringLiteral("%1 names in %2 are taken").arg(baseName).arg(folder);
    return {};
}

TRunLogResult StoreRunRecord(
    TDataModule_Results &db, const TRunLogEntry &entry, const QString &runsFolder)
{
    TRunLogResult result;
    QString fileError;
    result.file = writeNewFile(runsFolder.isEmpty() ? defaultRunsFolder() : runsFolder,
        recordBaseName(entry), entry.record.toUtf8(), &fileError);
    result.fileWritten = !result.file.isEmpty();

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
