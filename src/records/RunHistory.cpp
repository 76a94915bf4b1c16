#include "RunHistory.h"

#include "DatabaseConnection.h"
#include "RunLog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <iterator>

namespace {

QString nextConnectionName()
{
    static std::atomic<int> instances { 0 };
    return QStringLiteral("RunHistory-%1").arg(++instances);
}

// PostgreSQL answers a date-time, SQLite the text the driver stored.
QDateTime storedTime(const QVariant &value)
{
    if (value.isNull())
        return {};
    return value.typeId() == QMetaType::QDateTime
        ? value.toDateTime()
        : QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

QString kindName(HistoryKind kind)
{
    const zul::TKindRow *row = kind.kind();
    return row ? QString::fromUtf8(row->Name.data(), std::ssize(row->Name)) : QString();
}

bool passes(const TRunHistoryRow &run, const QString &kind, const HistoryFilter &filter)
{
    if (!kind.isEmpty() && run.kind.compare(kind, Qt::CaseInsensitive) != 0)
        return false;
    if (!filter.serial.isEmpty() && !run.serial.contains(filter.serial, Qt::CaseInsensitive))
        return false;
    // The day as the station sees it, as for the results' test dates.
    const QDate day = run.started.toLocalTime().date();
    if (filter.from.isValid() && (!day.isValid() || day < filter.from))
        return false;
    return !filter.to.isValid() || (day.isValid() && day <= filter.to);
}

} // namespace

int recordAttempts(const QString &recordJson)
{
    const QJsonDocument document = QJsonDocument::fromJson(recordJson.toUtf8());
    const QJsonValue steps = document.object().value(QLatin1String("steps"));
    if (!steps.isArray())
        return -1;
    int attempts = 0;
    for (const QJsonValue step : steps.toArray())
        attempts += int(step.toObject().value(QLatin1String("attempts")).toArray().size());
    return attempts;
}

bool TRunHistoryModel::load(const DatabasePaths &paths)
{
    beginResetModel();
    m_all.clear();
    m_rows.clear();
    m_lastError.clear();
    const QString connection = nextConnectionName();
    if (openResultsConnection(
            connection, resolveDatabaseAlias(paths), ConnectionAccess::ReadOnly, &m_lastError)) {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        if (!db.tables().contains(RunLogTable)) {
            m_lastError = QStringLiteral("The results database has no table %1.").arg(RunLogTable);
        } else {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            const QString sql = QStringLiteral(
                R"(SELECT "id", "SERIAL_NO", "KIND", "STARTED", "OUTCOME", "OPERATOR", "PLAN", )"
                R"("RECORD" FROM %1 ORDER BY "STARTED" DESC, "id" DESC)")
                                    .arg(db.driver()->escapeIdentifier(
                                        RunLogTable, QSqlDriver::TableName));
            if (!query.exec(sql))
                m_lastError = describeSqlError(query.lastError());
            while (query.next()) {
                const QString record = query.value(7).toString();
                m_all.append({ query.value(0).toLongLong(), query.value(1).toString(),
                    query.value(2).toString(), storedTime(query.value(3)),
                    query.value(4).toString(), recordAttempts(record), query.value(5).toString(),
                    query.value(6).toString(), record });
            }
        }
    }
    closeResultsConnection(connection);
    m_rows = m_all;
    endResetModel();
    return m_lastError.isEmpty();
}

void TRunHistoryModel::select(HistoryKind kind, const HistoryFilter &filter)
{
    beginResetModel();
    m_rows.clear();
    const QString name = kindName(kind);
    for (const TRunHistoryRow &run : std::as_const(m_all))
        if (passes(run, name, filter))
            m_rows.append(run);
    endResetModel();
}

int TRunHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TRunHistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TRunHistoryModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    const TRunHistoryRow &run = m_rows.at(index.row());
    switch (index.column()) {
    case Serial:
        return run.serial;
    case Kind:
        return run.kind;
    case Started:
        return run.started.isValid()
            ? run.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
            : QString();
    case Outcome:
        return run.outcome;
    case Attempts:
        return run.attempts < 0 ? QVariant(QString()) : QVariant(run.attempts);
    case Operator:
        return run.operatorName;
    case Plan:
        return run.plan;
    }
    return {};
}

QVariant TRunHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList captions { QStringLiteral("Serial number"), QStringLiteral("Kind"),
        QStringLiteral("Started"), QStringLiteral("Outcome"), QStringLiteral("Attempts"),
        QStringLiteral("Operator"), QStringLiteral("Plan") };
    return captions.value(section);
}
