// The results data module: the connection to the results database "ZUL_472K_Log" and the kinds'
// tables, the save protocol every test record follows and the connect-time check. Created once at
// start-up by the main window; Connect calls testConnection() and CreateTestRecords()
// (TestRecords.h), the records call appendRow() when they are saved.
#pragma once

#include "DatabaseAlias.h"
#include "RecordRow.h"
#include "SchemaScript.h"
#include "core/KindRegistry.h"
#include "core/MessageSink.h"

#include <QHash>
#include <QSqlRecord>
#include <QString>

#include <iterator>
#include <optional>

class TDataModule_Results
{
public:
    explicit TDataModule_Results(DatabasePaths paths = standardDatabasePaths());
    ~TDataModule_Results();
    TDataModule_Results(const TDataModule_Results &) = delete;
    TDataModule_Results &operator=(const TDataModule_Results &) = delete;

    // A kind's results table, from its registry row (empty for a kind that saves no record).
    // Names hold hyphens, so they are always quoted by the driver.
    static QString resultsTable(const zul::TKindRow &kind)
    {
        return QString::fromUtf8(kind.ResultsTable.data(), std::ssize(kind.ResultsTable));
    }
    // The table components, under the names the records use.
    static inline const QString AIN_Table = resultsTable(zul::kindNamed("AIN"));
    static inline const QString AOT_Table = resultsTable(zul::kindNamed("AOT"));
    static inline const QString DIO_Table = resultsTable(zul::kindNamed("DIO"));

    // ZUL_Database: resolves the alias afresh and opens the connection; the embedded default is
    // created with its tables on first use.
    bool connect();
    void disconnect();
    bool isConnected() const;

    // Checks that the table exists and reads its columns; needs the connection.
    bool openTable(const QString &table);
    void closeTable(const QString &table);
    bool isTableOpen(const QString &table) const { return m_openTables.contains(table); }
    QSqlRecord tableFields(const QString &table) const { return m_openTables.value(table); }

    // The save protocol: connect, open the table, insert the whole row with one statement, close
    // and disconnect on every path. Any failure shows UnableToConnectMessage once, answers false
    // and leaves no row behind; when the table was last seen lacking columns of the row, the
    // message names them beside the text.
    bool appendRow(const QString &table, const RecordRow &row, TMessageSink &messages);
    // The same protocol without a message: for callers that word the outcome themselves (the
    // run log says where a run's record went). False with lastError() on failure.
    bool postRow(const QString &table, const RecordRow &row);
    // The id the engine gave the row of the last successful append; empty after a failed one,
    // or when the engine cannot tell. A production run notes it in its record.
    std::optional<qint64> LastInsertedId() const { return m_lastInsertedId; }

    // Connect-time test: can AIN_Table be opened right now? Compares the kinds' tables with the
    // embedded schema on the way: the embedded file gets the columns it lacks (an older file
    // keeps working after an upgrade), any other database is left alone and its gaps are kept
    // for the hint of a failing save. Always closes and disconnects.
    bool testConnection();

    // What a failing save into the table would show under the message; empty when the table
    // lacked nothing when last compared.
    QString schemaHint(const QString &table) const { return m_schemaHints.value(table); }

    // Why the last operation failed, for logs and tests; the user only sees the fixed message.
    QString lastError() const { return m_lastError; }
    QString connectionName() const { return m_connectionName; }
    const DatabasePaths &paths() const { return m_paths; }

private:
    bool fail(const QString &reason);
    bool createEmbeddedTables();
    bool reconcileSchema();
    bool addColumns(const SchemaTable &table, const QStringList &names);
    void noteMissingColumns(const QString &table, const QStringList &columns);
    bool insertRow(const QString &table, const RecordRow &row);

    DatabasePaths m_paths;
    DatabaseSettings m_settings; // as resolved at the last connect
    QString m_connectionName;
    QHash<QString, QSqlRecord> m_openTables;
    QHash<QString, QString> m_schemaHints;
    QString m_lastError;
    std::optional<qint64> m_lastInsertedId;
};
