// Resolves the results database name "ZUL_472K_Log" to connection settings: an alias section in
// an INI file the station's administrator writes, or else the embedded SQLite default. Used by
// TDataModule_Results and the results history at every connect, so an edited alias file takes
// effect without a restart; DatabaseConnection.h opens what it resolves.
#pragma once

#include <QString>

inline const QString ResultsDatabaseAlias = QStringLiteral("ZUL_472K_Log");

struct DatabasePaths
{
    QString aliasFile; // INI file with a [ZUL_472K_Log] section
    QString defaultDatabaseFile; // the embedded SQLite database used without an alias
};

// <config>/zul/db-aliases.ini (ZUL_DB_ALIASES overrides) and <data>/zul/ZUL_472K_Log.sqlite
// (ZUL_DB_DEFAULT overrides), following the XDG locations.
DatabasePaths standardDatabasePaths();

struct DatabaseSettings
{
    bool embeddedDefault = false;
    QString driver; // a Qt SQL driver name: QSQLITE, QPSQL, QODBC, ...
    QString databaseName;
    QString host;
    int port = -1; // -1: the driver's default
    QString user;
    QString options; // driver connect options as the alias gives them
    QString aliasFile; // where the settings were looked for, for messages
};

// Passwords are deliberately not read: they belong in the engine's own secret store
// (~/.pgpass for PostgreSQL), never in a file that every station account can read.
DatabaseSettings resolveDatabaseAlias(const DatabasePaths &paths);
