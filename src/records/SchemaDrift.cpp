#include "SchemaDrift.h"

#include <QSqlRecord>

namespace {

// A table from the first version lacks dozens; the hint names a few and counts the rest.
constexpr qsizetype NamedColumns = 6;

QString columnList(const QStringList &columns)
{
    if (columns.size() == 1)
        return QStringLiteral("the column %1").arg(columns.first());
    if (columns.size() <= NamedColumns)
        return QStringLiteral("the columns %1").arg(columns.join(QStringLiteral(", ")));
    return QStringLiteral("the columns %1 and %2 more")
        .arg(columns.first(NamedColumns).join(QStringLiteral(", ")))
        .arg(columns.size() - NamedColumns);
}

QString remedy(const DatabaseSettings &settings, bool single)
{
    const QString them = single ? QStringLiteral("it") : QStringLiteral("them");
    if (settings.embeddedDefault)
        return QStringLiteral("Connecting to the module again adds %1.").arg(them);
    if (settings.driver == QLatin1String("QPSQL"))
        return QStringLiteral("The administrator can add %1 with db/postgresql-upgrade.sql.")
            .arg(them);
    if (settings.driver == QLatin1String("QSQLITE"))
        return QStringLiteral("The administrator can add %1 with db/sqlite-upgrade.sql.").arg(them);
    return QStringLiteral(
        "The administrator can add %1; db/postgresql-upgrade.sql lists the types.")
        .arg(them);
}

} // namespace

QStringList missingColumns(const QStringList &wanted, const QSqlRecord &fields)
{
    QStringList missing;
    for (const QString &column : wanted) {
        if (fields.indexOf(column) < 0)
            missing << column;
    }
    return missing;
}

QString missingColumnsHint(
    const QString &table, const QStringList &columns, const DatabaseSettings &settings)
{
    if (columns.isEmpty())
        return {};
    return QStringLiteral("The table %1 lacks %2. %3")
        .arg(table, columnList(columns), remedy(settings, columns.size() == 1));
}
