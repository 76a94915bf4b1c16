#include "SchemaScript.h"

#include "EmbeddedSchema.h"

#include <QRegularExpression>

QStringList splitSqlStatements(const QString &script)
{
    QString withoutComments;
    for (const QString &line : script.split('\n')) {
        const qsizetype comment = line.indexOf(QStringLiteral("--"));
        withoutComments += (comment < 0 ? line : line.left(comment)) + '\n';
    }
    QStringList statements;
    for (const QString &part : withoutComments.split(';')) {
        const QString statement = part.trimmed();
        if (!statement.isEmpty())
            statements << statement;
    }
    return statements;
}

std::vector<SchemaTable> schemaTables(const QString &script)
{
    static const QRegularExpression create(
        R"re(^CREATE TABLE (?:IF NOT EXISTS )?"([^"]+)"\s*\((.*)\)$)re",
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression columnLine(
        R"re(^"([^"]+)"\s+(.+)$)re", QRegularExpression::DotMatchesEverythingOption);
    std::vector<SchemaTable> tables;
    for (const QString &statement : splitSqlStatements(script)) {
        const auto table = create.match(statement);
        if (!table.hasMatch())
            continue;
        SchemaTable &entry = tables.emplace_back(SchemaTable { table.captured(1), {} });
        for (const QString &definition : table.captured(2).split(',')) {
            const auto column = columnLine.match(definition.trimmed());
            if (column.hasMatch())
                entry.columns.push_back({ column.captured(1), column.captured(2).simplified() });
        }
    }
    return tables;
}

const char *embeddedSqliteSchema()
{
    return EmbeddedSqliteSchema;
}

const std::vector<SchemaTable> &embeddedSchemaTables()
{
    static const std::vector<SchemaTable> tables =
        schemaTables(QString::fromUtf8(embeddedSqliteSchema()));
    return tables;
}
