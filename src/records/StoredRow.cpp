#include "StoredRow.h"

#include "DatabaseConnection.h"
#include "RunLog.h"
#include "ZUL_Database.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace {

QString nextConnectionName()
{
    static std::atomic<int> instances { 0 };
    return QStringLiteral("StoredRow-%1").arg(++instances);
}

std::optional<TStoredRow> read(
    QSqlDatabase &db, const zul::TKindRow &kind, qint64 id, QString *error)
{
    const auto table = [&db](const QString &name) {
        return db.driver()->escapeIdentifier(name, QSqlDriver::TableName);
    };
    QSqlQuery row(db);
    row.prepare(QStringLiteral(R"(SELECT * FROM %1 WHERE "id" = ?)")
                    .arg(table(TDataModule_Results::resultsTable(kind))));
    row.addBindValue(id);
    if (!row.exec()) {
        *error = describeSqlError(row.lastError());
        return std::nullopt;
    }
    if (!row.next()) {
        *error = QStringLiteral("the results database holds no row %1").arg(id);
        return std::nullopt;
    }
    TStoredRow stored;
    const QSqlRecord fields = row.record();
    for (int n = 0; n < fields.count(); ++n)
        stored.columns.insert(fields.fieldName(n), fields.value(n));
    if (!db.tables().contains(RunLogTable))
        return stored;
    // The newest run naming the row: a row is saved by one run only, but nothing forbids a
    // second record pointing at it.
    QSqlQuery run(db);
    run.prepare(QStringLiteral(
        R"(SELECT "RECORD" FROM %1 WHERE "RESULT_ROW" = ? AND "KIND" = ? ORDER BY "id" DESC)")
                    .arg(table(RunLogTable)));
    run.addBindValue(id);
    run.addBindValue(QString::fromUtf8(kind.Name.data(), kind.Name.size()));
    if (run.exec() && run.next())
        stored.runRecord = run.value(0).toString();
    return stored;
}

} // namespace

std::optional<TStoredRow> readStoredRow(
    const DatabasePaths &paths, const zul::TKindRow &kind, qint64 id, QString *error)
{
    const QString connection = nextConnectionName();
    std::optional<TStoredRow> stored;
    if (openResultsConnection(
            connection, resolveDatabaseAlias(paths), ConnectionAccess::ReadOnly, error)) {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        stored = read(db, kind, id, error);
    }
    closeResultsConnection(connection);
    return stored;
}
