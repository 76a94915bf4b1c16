#include "DatabaseAlias.h"

#include <QFile>
#include <QHash>
#include <QStandardPaths>
#include <QTextStream>

#include <optional>

namespace {

QString pathFromEnvironment(
    const char *variable, QStandardPaths::StandardLocation location, const QString &fileName)
{
    QString overridden = qEnvironmentVariable(variable);
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(location) + "/zul/" + fileName;
}

// QSettings would cut a value at ';' and split it at ',', both of which occur in driver options
// ("connect_timeout=5;sslmode=require"), so the section is read verbatim: key = rest of the line.
std::optional<QHash<QString, QString>> readIniSection(const QString &fileName, const QString &name)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&file);
    std::optional<QHash<QString, QString>> section;
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            inSection = line.mid(1, line.size() - 2).trimmed() == name;
            if (inSection && !section)
                section.emplace();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (inSection && equals > 0)
            section->insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return section;
}

} // namespace

DatabasePaths standardDatabasePaths()
{
    return { pathFromEnvironment(
                 "ZUL_DB_ALIASES", QStandardPaths::GenericConfigLocation, "db-aliases.ini"),
        pathFromEnvironment("ZUL_DB_DEFAULT", QStandardPaths::GenericDataLocation,
            ResultsDatabaseAlias + ".sqlite") };
}

DatabaseSettings resolveDatabaseAlias(const DatabasePaths &paths)
{
    const auto alias = readIniSection(paths.aliasFile, ResultsDatabaseAlias);
    if (!alias) {
        DatabaseSettings embedded;
        embedded.embeddedDefault = true;
        embedded.driver = QStringLiteral("QSQLITE");
        embedded.databaseName = paths.defaultDatabaseFile;
        embedded.aliasFile = paths.aliasFile;
        return embedded;
    }
    DatabaseSettings settings;
    settings.aliasFile = paths.aliasFile;
    settings.driver = alias->value("Driver");
    settings.databaseName = alias->value("Database");
    settings.host = alias->value("Host");
    bool portOk = false;
    const int port = alias->value("Port").toInt(&portOk);
    settings.port = portOk && port > 0 && port <= 65535 ? port : -1;
    settings.user = alias->value("User");
    settings.options = alias->value("Options");
    return settings;
}
