#include "ResultsTarget.h"

#include <QDir>

namespace {

QString engineName(const QString &driver)
{
    struct Name
    {
        const char *driver;
        const char *engine;
    };
    static constexpr Name names[] = {
        { "QPSQL", "PostgreSQL" },
        { "QSQLITE", "SQLite" },
        { "QODBC", "ODBC" },
        { "QMYSQL", "MySQL" },
        { "QMARIADB", "MariaDB" },
        { "QOCI", "Oracle" },
        { "QIBASE", "InterBase" },
        { "QDB2", "DB2" },
    };
    for (const Name &name : names)
        if (driver == QLatin1String(name.driver))
            return QString::fromLatin1(name.engine);
    return driver;
}

} // namespace

QString abbreviateHome(const QString &path, const QString &home)
{
    QString root = QDir::cleanPath(home);
    if (root.isEmpty() || root == QLatin1String("/"))
        return path;
    const QString clean = QDir::cleanPath(path);
    if (clean == root)
        return QStringLiteral("~");
    root += '/';
    return clean.startsWith(root) ? QStringLiteral("~/") + clean.mid(root.size()) : path;
}

QString describeResultsTarget(
    const DatabaseSettings &settings, const DatabasePaths &paths, const QString &home)
{
    if (settings.embeddedDefault)
        return QStringLiteral("local file %1").arg(abbreviateHome(settings.databaseName, home));
    if (settings.driver.isEmpty())
        return QStringLiteral("nothing: alias %1 in %2 names no Driver")
            .arg(ResultsDatabaseAlias, abbreviateHome(paths.aliasFile, home));
    if (settings.driver == QLatin1String("QSQLITE"))
        return QStringLiteral("SQLite file %1").arg(abbreviateHome(settings.databaseName, home));

    // Server engines: database, then where and as whom, each only when the alias says it;
    // otherwise the client library's own default applies and naming one would mislead.
    QString text = engineName(settings.driver);
    if (!settings.databaseName.isEmpty())
        text += ' ' + settings.databaseName;
    if (!settings.host.isEmpty()) {
        text += QStringLiteral(" on ") + settings.host;
        if (settings.port > 0)
            text += QStringLiteral(":%1").arg(settings.port);
    } else if (settings.port > 0) {
        text += QStringLiteral(" on port %1").arg(settings.port);
    }
    if (!settings.user.isEmpty())
        text += QStringLiteral(" as ") + settings.user;
    return text;
}

QString describeResultsTarget(const DatabasePaths &paths)
{
    return describeResultsTarget(resolveDatabaseAlias(paths), paths, QDir::homePath());
}
