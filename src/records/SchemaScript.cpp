#include "SchemaScript.h"

#include "EmbeddedSchema.h"

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

const char *embeddedSqliteSchema()
{
    return EmbeddedSqliteSchema;
}
