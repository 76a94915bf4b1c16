#include "RecordTestSupport.h"

#include "records/SchemaScript.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <map>

namespace {

struct ScriptColumn
{
    QString name;
    QString type;
};

// Table name -> columns of every CREATE TABLE in a script, types upper-cased.
std::map<QString, std::vector<ScriptColumn>> parseTables(const QString &script)
{
    static const QRegularExpression create(
        R"re(^CREATE TABLE (?:IF NOT EXISTS )?"([^"]+)"\s*\((.*)\)$)re",
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression columnLine(R"re(^"([^"]+)"\s+(.+)$)re");
    std::map<QString, std::vector<ScriptColumn>> tables;
    for (const QString &statement : splitSqlStatements(script)) {
        const auto table = create.match(statement);
        if (!table.hasMatch())
            continue;
        auto &columns = tables[table.captured(1)];
        for (const QString &definition : table.captured(2).split(',')) {
            const auto column = columnLine.match(definition.trimmed());
            if (column.hasMatch())
                columns.push_back({ column.captured(1), column.captured(2).toUpper() });
        }
    }
    return tables;
}

bool typeFits(ColumnKind kind, const QString &type, bool postgres)
{
    switch (kind) {
    case ColumnKind::Text:
        return type == "TEXT";
    case ColumnKind::DateTime:
        // On a shared server the zone keeps stations with different clock settings comparable.
        return type == (postgres ? "TIMESTAMP WITH TIME ZONE" : "TIMESTAMP");
    case ColumnKind::Bool:
        return type == "BOOLEAN";
    case ColumnKind::SmallInt:
        return type == "SMALLINT";
    case ColumnKind::Integer:
        return type == "INTEGER"; // 32 bits: an unsigned 16-bit span needs more than SMALLINT
    }
    return false;
}

void expectScriptMatchesRecords(const QString &fileName)
{
    SCOPED_TRACE(fileName.toStdString());
    const auto tables = parseTables(readDbScript(fileName));
    const std::map<QString, RecordRow> rows { { "ZUL-472K-Log", sampleAinRecord().columns() },
        { "ZUL-472K-11-Log", sampleDioRecord().columns() },
        { "ZUL-472K-13-Log", sampleAotRecord().columns() } };
    ASSERT_EQ(tables.size(), 3u);
    for (const auto &[table, row] : rows) {
        SCOPED_TRACE(table.toStdString());
        ASSERT_TRUE(tables.count(table));
        const auto &columns = tables.at(table);
        ASSERT_EQ(columns.size(), row.size() + 1);
        EXPECT_EQ(columns[0].name, "id");
        EXPECT_TRUE(columns[0].type.contains("PRIMARY KEY"));
        for (std::size_t i = 0; i < row.size(); ++i) {
            EXPECT_EQ(columns[i + 1].name, row[i].name);
            EXPECT_TRUE(typeFits(row[i].kind, columns[i + 1].type, fileName.startsWith("postgres")))
                << row[i].name.toStdString() << " " << columns[i + 1].type.toStdString();
        }
    }
}

} // namespace

TEST(SchemaScripts, BothScriptsDeclareEveryRecordColumnInOrder)
{
    expectScriptMatchesRecords("sqlite.sql");
    expectScriptMatchesRecords("postgresql.sql");
}

TEST(SchemaScripts, TheEmbeddedDatabaseIsBuiltFromTheShippedScript)
{
    EXPECT_EQ(QString::fromUtf8(embeddedSqliteSchema()), readDbScript("sqlite.sql"));
}
