// Shared helpers for the records tests: alias files, filled sample records,
// and throw-away results databases on SQLite (a file in a temp dir) or on the PostgreSQL test
// server that the CTest fixture starts (a fresh database per test, copied from its template).
#pragma once

#include "records/DataRecords.h"
#include "records/DatabaseAlias.h"

#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <ostream>
#include <vector>

// Writes a [ZUL_472K_Log] section with the given key=value lines into dir/db-aliases.ini.
QString writeAliasFile(const QString &dir, const QStringList &lines);

// The text of a file in the source tree's db/ folder.
QString readDbScript(const QString &fileName);

// A TCP port on 127.0.0.1 on which nothing listens (bound once, then released).
int closedLocalPort();

// Records filled with values that differ from column to column, so a value landing in the
// wrong column shows up.
TDIOConfigRecord sampleDioRecord();
TAINConfigRecord sampleAinRecord();
TAOTConfigRecord sampleAotRecord();

enum class Engine { Sqlite, Postgres };
void PrintTo(
    Engine engine, std::ostream *out); // names the CTest cases ".../sqlite", ".../postgres"

class TestDatabase
{
public:
    // nullptr with a reason when the engine cannot be used (e.g. the PostgreSQL server is down).
    static std::unique_ptr<TestDatabase> create(Engine engine, QString *whyNot);
    ~TestDatabase();

    // Alias and default paths that make a TDataModule_Results use this database.
    DatabasePaths paths() const;
    // SQLite only: no alias, and this database's file as the embedded default, so the module
    // takes it for the file it created itself.
    DatabasePaths embeddedPaths() const;
    Engine engine() const { return m_engine; }

    bool exec(const QString &sql); // DDL against the database, outside the module under test
    int rowCount(const QString &table) { return static_cast<int>(rows(table).size()); }
    std::vector<QSqlRecord> rows(const QString &table); // ordered by id
    QSqlRecord columns(const QString &table); // the table's fields as the driver reports them
    QString lastError() const { return m_lastError; }

private:
    explicit TestDatabase(Engine engine);
    bool setUpSqlite(QString *whyNot);
    bool setUpPostgres(QString *whyNot);

    Engine m_engine;
    QTemporaryDir m_dir;
    QString m_connection; // the checking connection, separate from the module's
    QString m_aliasFile;
    int m_pgPort = 0;
    QString m_pgDatabase; // set once created, so it is dropped again
    QString m_lastError;
};

// True when CI=true: a PostgreSQL server that did not start fails the tests instead of skipping.
bool runningInCi();

// Compares one stored value with the value the record handed over, by the column's kind and the
// way each engine reports it; answers a description of the mismatch, or empty.
QString storedValueMismatch(Engine engine, const RecordColumn &expected, const QVariant &stored);
