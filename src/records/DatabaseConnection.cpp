#include "DatabaseConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

bool refuse(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

QString readOnlyOptions(const QString &options)
{
    const QString readOnly = QStringLiteral("QSQLITE_OPEN_READONLY");
    return options.isEmpty() ? readOnly : options + ';' + readOnly;
}

// Name, host, port, user and options onto a connection not yet opened; what the alias leaves
// out stays the driver's default.
void applySettings(QSqlDatabase &db, const DatabaseSettings &settings, ConnectionAccess access)
{
    db.setDatabaseName(settings.databaseName);
    if (!settings.host.isEmpty())
        db.setHostName(settings.host);
    if (settings.port > 0)
        db.setPort(settings.port);
    if (!settings.user.isEmpty())
        db.setUserName(settings.user);
    const bool sqlite = settings.driver == QLatin1String("QSQLITE");
    db.setConnectOptions(access == ConnectionAccess::ReadOnly && sqlite
            ? readOnlyOptions(connectOptions(settings))
            : connectOptions(settings));
}

bool open(
    QSqlDatabase &db, const DatabaseSettings &settings, ConnectionAccess access, QString *reason)
{
    if (!db.open())
        return refuse(reason, describeSqlError(db.lastError()));
    if (access == ConnectionAccess::ReadOnly && settings.driver == QLatin1String("QPSQL")) {
        QSqlQuery readOnly(db);
        if (!readOnly.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")))
            return refuse(reason, describeSqlError(readOnly.lastError()));
    }
    return true;
}

} // namespace

QString describeSqlError(const QSqlError &error)
{
    return error.text().isEmpty() ? QStringLiteral("unknown database error") : error.text();
}

QString connectOptions(const DatabaseSettings &settings)
{
    if (settings.driver != QLatin1String("QPSQL"))
        return settings.options;
    // The driver hands the options to libpq as key=value pairs separated by ';' or blanks; only a
    // key of that name counts, not the word inside another option's value.
    static const QRegularExpression ownTimeout(QStringLiteral("(^|[;\\s])connect_timeout\\s*="));
    if (ownTimeout.match(settings.options).hasMatch())
        return settings.options;
    const QString timeout = QStringLiteral("connect_timeout=10");
    return settings.options.trimmed().isEmpty() ? timeout : settings.options + ';' + timeout;
}

bool openResultsConnection(
    const QString &name, const DatabaseSettings &settings, ConnectionAccess access, QString *reason)
{
    if (settings.driver.isEmpty())
        return refuse(reason,
            QStringLiteral("alias %1 in %2 names no Driver")
                .arg(ResultsDatabaseAlias, settings.aliasFile));
    if (!QSqlDatabase::isDriverAvailable(settings.driver))
        return refuse(
            reason, QStringLiteral("Qt SQL driver %1 is not available").arg(settings.driver));
    if (settings.embeddedDefault) {
        if (access == ConnectionAccess::ReadOnly && !QFileInfo::exists(settings.databaseName))
            return refuse(reason, QStringLiteral("no results have been saved on this station yet"));
        const QString dir = QFileInfo(settings.databaseName).absolutePath();
        if (access == ConnectionAccess::ReadWrite && !QDir().mkpath(dir))
            return refuse(reason, QStringLiteral("cannot create directory %1").arg(dir));
    } else if (settings.driver == QLatin1String("QSQLITE")
        && settings.databaseName != QLatin1String(":memory:")
        && !QFileInfo::exists(settings.databaseName))
        return refuse(
            reason, QStringLiteral("database file %1 does not exist").arg(settings.databaseName));
    bool opened = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(settings.driver, name);
        applySettings(db, settings, access);
        opened = open(db, settings, access, reason);
    } // the handle must be gone before the connection is removed
    if (!opened)
        closeResultsConnection(name);
    return opened;
}

void closeResultsConnection(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
