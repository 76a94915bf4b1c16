// Splits the db/ schema scripts into single statements, because Qt SQL drivers run one statement
// per exec(), and reads the tables they declare. Used by TDataModule_Results to create the
// embedded database and to bring an older embedded file up to date, and by the tests that load
// and compare the scripts.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Drops "--" comments and splits at ';'. The scripts hold no string literals, so no quoting rules
// beyond that are needed.
QStringList splitSqlStatements(const QString &script);

struct SchemaColumn
{
    QString name;
    QString type; // the rest of the definition as written: "BOOLEAN", "INTEGER PRIMARY KEY ..."
};

struct SchemaTable
{
    QString name;
    std::vector<SchemaColumn> columns; // in declaration order
};

// Every CREATE TABLE of a script, in script order. Only the scripts' own shape is understood:
// quoted table and column names, one column per definition, no table constraints.
std::vector<SchemaTable> schemaTables(const QString &script);

// The SQLite script, compiled in from db/sqlite.sql at build time.
const char *embeddedSqliteSchema();

// The embedded script's tables, read once.
const std::vector<SchemaTable> &embeddedSchemaTables();
