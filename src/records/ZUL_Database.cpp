#include "ZUL_Database.h"

#include "DatabaseConnection.h"
#include "SchemaDrift.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <atomic>
#include <iterator>

namespace {

// The first data module owns the session name "Default"; further ones (tests, or a second
// window) get their own so that their connections never close each other.
QString nextConnectionName()
{
    static std::atomic<int> instances { 0 };
    const int n = instances++;
    return n == 0 ? QStringLiteral("Default") : QStringLiteral("Default-%1").arg(n + 1);
}

} // namespace

TDataModule_Results::TDataModule_Results(DatabasePaths paths)
    : m_paths(std::move(paths))
    , m_connectionName(nextConnectionName())
{
}

TDataModule_Results::~TDataModule_Results()
{
    disconnect();
}

bool TDataModule_Results::fail(const QString &reason)
{
    m_lastError = reason;
    return false;
}

bool TDataModule_Results::connect()
{
    if (isConnected())
        return true;
    m_lastError.clear();
    m_settings = resolveDatabaseAlias(m_paths);
    QString reason;
    if (!openResultsConnection(m_connectionName, m_settings, ConnectionAccess::ReadWrite, &reason))
        return fail(reason);
    if (m_settings.embeddedDefault && !createEmbeddedTables()) {
        disconnect();
        return false;
    }
    return true;
}

bool TDataModule_Results::createEmbeddedTables()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const QStringList existing = db.tables();
    // Every table of the script, not only the kinds': a file made before a table was added
    // gains it here (the script only creates what is missing).
    const std::vector<SchemaTable> &tables = embeddedSchemaTables();
    if (std::all_of(tables.begin(), tables.end(),
            [&existing](const SchemaTable &table) { return existing.contains(table.name); }))
        return true;
    db.transaction();
    QSqlQuery query(db);
    for (const QString &statement : splitSqlStatements(QString::fromUtf8(embeddedSqliteSchema()))) {
        if (!query.exec(statement)) {
            const QString reason = describeSqlError(query.lastError());
            db.rollback();
            return fail(QStringLiteral("creating the embedded tables: %1").arg(reason));
        }
    }
    if (!db.commit())
        return fail(describeSqlError(db.lastError()));
    return true;
}

bool TDataModule_Results::reconcileSchema()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const QStringList existing = db.tables();
    for (const SchemaTable &table : embeddedSchemaTables()) {
        if (!existing.contains(table.name)) {
            // Its saves fail on the missing table, and for the AIN table so does this test.
            noteMissingColumns(table.name, {});
            continue;
        }
        QStringList written;
        for (const SchemaColumn &column : table.columns) {
            if (column.name != QLatin1String("id")) // numbered by the engine, never written
                written << column.name;
        }
        QStringList lacking = missingColumns(
            written, db.record(db.driver()->escapeIdentifier(table.name, QSqlDriver::TableName)));
        if (m_settings.embeddedDefault && !lacking.isEmpty()) {
            if (!addColumns(table, lacking))
                return false;
            lacking.clear();
        }
        noteMissingColumns(table.name, lacking);
    }
    return true;
}

bool TDataModule_Results::addColumns(const SchemaTable &table, const QStringList &names)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const QSqlDriver *driver = db.driver();
    // All or nothing, so a file that could not be mended is found as it was at the next connect.
    db.transaction();
    QSqlQuery query(db);
    for (const SchemaColumn &column : table.columns) {
        if (!names.contains(column.name))
            continue;
        const QString sql =
            QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                .arg(driver->escapeIdentifier(table.name, QSqlDriver::TableName),
                    driver->escapeIdentifier(column.name, QSqlDriver::FieldName), column.type);
        if (!query.exec(sql)) {
            const QString reason = describeSqlError(query.lastError());
            db.rollback();
            return fail(
                QStringLiteral("adding column %1 to %2: %3").arg(column.name, table.name, reason));
        }
    }
    if (!db.commit())
        return fail(describeSqlError(db.lastError()));
    return true;
}

void TDataModule_Results::noteMissingColumns(const QString &table, const QStringList &columns)
{
    if (columns.isEmpty())
        m_schemaHints.remove(table);
    else
        m_schemaHints.insert(table, missingColumnsHint(table, columns, m_settings));
}

void TDataModule_Results::disconnect()
{
    m_openTables.clear();
    closeResultsConnection(m_connectionName);
}

bool TDataModule_Results::isConnected() const
{
    return QSqlDatabase::contains(m_connectionName)
        && QSqlDatabase::database(m_connectionName, false).isOpen();
}

bool TDataModule_Results::openTable(const QString &table)
{
    if (!isConnected())
        return fail(QStringLiteral("table %1: not connected").arg(table));
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.tables().contains(table))
        return fail(QStringLiteral("table %1 does not exist").arg(table));
    // Drivers fold unquoted names (PostgreSQL to lower case); the quoted name is looked up as is.
    const QSqlRecord fields =
        db.record(db.driver()->escapeIdentifier(table, QSqlDriver::TableName));
    if (fields.isEmpty())
        return fail(QStringLiteral("cannot read the columns of table %1").arg(table));
    m_openTables.insert(table, fields);
    return true;
}

void TDataModule_Results::closeTable(const QString &table)
{
    m_openTables.remove(table);
}

bool TDataModule_Results::insertRow(const QString &table, const RecordRow &row)
{
    // Checked before anything is sent, so a table that lacks a column gets no partial row; what
    // is seen now replaces what connect saw, whichever way the table changed since.
    QStringList written;
    for (const RecordColumn &column : row)
        written << column.name;
    const QStringList lacking = missingColumns(written, m_openTables.value(table));
    noteMissingColumns(table, lacking);
    if (!lacking.isEmpty())
        return fail(QStringLiteral("table %1 lacks %2").arg(table, lacking.join(", ")));
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const QSqlDriver *driver = db.driver();
    QStringList names;
    QStringList placeholders;
    for (const RecordColumn &column : row) {
        names << driver->escapeIdentifier(column.name, QSqlDriver::FieldName);
        placeholders << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(driver->escapeIdentifier(table, QSqlDriver::TableName),
                                names.join(", "), placeholders.join(", "));

    const bool inTransaction = driver->hasFeature(QSqlDriver::Transactions) && db.transaction();
    QSqlQuery query(db);
    bool ok = query.prepare(sql);
    for (const RecordColumn &column : row)
        query.addBindValue(column.value);
    ok = ok && query.exec();
    if (!ok) {
        const QString reason = describeSqlError(query.lastError());
        if (inTransaction)
            db.rollback();
        return fail(QStringLiteral("insert into %1 refused: %2").arg(table, reason));
    }
    // Taken now, before the query is reused below.
    QVariant id = db.driverName() == QLatin1String("QPSQL") ? QVariant() : query.lastInsertId();
    if (inTransaction && !db.commit())
        return fail(QStringLiteral("commit on %1 refused: %2")
                        .arg(table, describeSqlError(db.lastError())));
    // PostgreSQL's driver answers the row's OID for lastInsertId(), which tables made without
    // OIDs lack. The identity's last value of this session is asked after the commit, so that
    // a station role without rights on the sequence still saves, only without the id (RETURNING
    // would need SELECT on the table and fail the insert itself).
    if (db.driverName() == QLatin1String("QPSQL") && query.exec(QStringLiteral("SELECT lastval()"))
        && query.next())
        id = query.value(0);
    if (id.isValid() && !id.isNull())
        m_lastInsertedId = id.toLongLong();
    return true;
}

bool TDataModule_Results::postRow(const QString &table, const RecordRow &row)
{
    m_lastInsertedId.reset();
    const bool posted = !row.empty() && connect() && openTable(table) && insertRow(table, row);
    if (row.empty())
        fail(QStringLiteral("the record has no columns"));
    closeTable(table);
    disconnect();
    return posted;
}

bool TDataModule_Results::appendRow(
    const QString &table, const RecordRow &row, TMessageSink &messages)
{
    const bool posted = postRow(table, row);
    if (!posted) {
        const QString hint = schemaHint(table);
        if (hint.isEmpty())
            messages.ShowError(UnableToConnectMessage.toStdString());
        else
            messages.ShowError(UnableToConnectMessage.toStdString(), hint.toStdString());
    }
    return posted;
}

bool TDataModule_Results::testConnection()
{
    const bool ok = connect() && reconcileSchema() && openTable(AIN_Table);
    closeTable(AIN_Table);
    disconnect();
    return ok;
}
