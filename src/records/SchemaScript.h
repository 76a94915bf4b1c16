// Splits the db/ schema scripts into single statements, because Qt SQL drivers run one statement
// per exec(). Used by TDataModule_Results to create the embedded database, and by the tests that
// load and compare the scripts.
#pragma once

#include <QStringList>

// Drops "--" comments and splits at ';'. The scripts hold no string literals, so no quoting rules
// beyond that are needed.
QStringList splitSqlStatements(const QString &script);

// The SQLite script, compiled in from db/sqlite.sql at build time.
const char *embeddedSqliteSchema();
