// Opens a named Qt SQL connection to the results database as the alias resolves it: the one
// place that turns DatabaseSettings into an open connection, for the saves
// (TDataModule_Results) and for the read-only results history alike.
#pragma once

#include "DatabaseAlias.h"

#include <QString>

class QSqlError;

enum class ConnectionAccess {
    ReadWrite,
    // SQLite opens the file read-only; PostgreSQL sets the session read-only, because a station
    // role may hold more rights than a reader needs.
    ReadOnly,
};

// The options the connection is opened with: the alias's own, verbatim, and for PostgreSQL a
// connect time-out of 10 s unless the alias sets connect_timeout itself. libpq waits for an
// unreachable server without limit, and a station blocked for minutes looks hung.
QString connectOptions(const DatabaseSettings &settings);

// Adds the connection `name` and opens it. A SQLite file named by an alias must exist already:
// SQLite would create an empty file that can never hold the tables. The embedded default is
// created on first use for writing (its directory here, its tables by the caller) and never by
// a reader: a station that has saved nothing has no history. On failure answers false with the
// reason, and no connection of that name is left behind.
bool openResultsConnection(const QString &name, const DatabaseSettings &settings,
    ConnectionAccess access, QString *reason);

// Closes and removes the connection, if there is one.
void closeResultsConnection(const QString &name);

// The driver's text for an error, never empty.
QString describeSqlError(const QSqlError &error);
