#include "RecordTestSupport.h"

#include "core/KindRegistry.h"
#include "records/RunLog.h"
#include "records/SchemaScript.h"
#include "records/ZUL_Database.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <map>

namespace {

// Table name -> columns of every CREATE TABLE in a script, types upper-cased.
std::map<QString, std::vector<SchemaColumn>> parseTables(const QString &script)
{
    std::map<QString, std::vector<SchemaColumn>> tables;
    for (SchemaTable &table : schemaTables(script)) {
        for (SchemaColumn &column : table.columns)
            column.type = column.type.toUpper();
        tables[table.name] = std::move(table.columns);
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
    case ColumnKind::BigInt:
        return type == (postgres ? "BIGINT" : "INTEGER"); // SQLite's INTEGER holds 64 bits
    }
    return false;
}

void expectScriptMatchesRecords(const QString &fileName)
{
    SCOPED_TRACE(fileName.toStdString());
    const auto tables = parseTables(readDbScript(fileName));
    const std::map<QString, RecordRow> rows { { "ZUL-472K-Log", sampleAinRecord().columns() },
        { "ZUL-472K-11-Log", sampleDioRecord().columns() },
        { "ZUL-472K-13-Log", sampleAotRecord().columns() }, { "ZUL-Run-Log", runLogRow({}) } };
    ASSERT_EQ(tables.size(), 4u);
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

// The tables records are saved to and the history reads come from the kinds' rows; the scripts
// must create exactly those, and the production runs' log.
TEST(SchemaScripts, BothScriptsCreateTheTableOfEveryKindThatSavesAndNoOther)
{
    QStringList kindTables;
    for (const zul::TKindRow &kind : zul::ModuleKinds)
        if (!kind.ResultsTable.empty())
            kindTables << TDataModule_Results::resultsTable(kind);
    kindTables.sort();
    EXPECT_EQ(kindTables, (QStringList { "ZUL-472K-11-Log", "ZUL-472K-13-Log", "ZUL-472K-Log" }));
    for (const char *fileName : { "sqlite.sql", "postgresql.sql" }) {
        QStringList scriptTables;
        for (const auto &[table, columns] : parseTables(readDbScript(fileName)))
            scriptTables << table;
        scriptTables.sort();
        EXPECT_EQ(scriptTables, kindTables + QStringList { RunLogTable }) << fileName;
    }
    EXPECT_EQ(TDataModule_Results::AIN_Table, "ZUL-472K-Log");
    EXPECT_EQ(TDataModule_Results::DIO_Table, "ZUL-472K-11-Log");
    EXPECT_EQ(TDataModule_Results::AOT_Table, "ZUL-472K-13-Log");
}

TEST(SchemaScripts, TheEmbeddedDatabaseIsBuiltFromTheShippedScript)
{
    EXPECT_EQ(QString::fromUtf8(embeddedSqliteSchema()), readDbScript("sqlite.sql"));
}

// An upgrade script that missed a column the create script gained would leave an upgraded
// database refusing every save into that table.
TEST(SchemaScripts, UpgradeScriptsAddEveryColumnWithTheCreateScriptsType)
{
    static const QRegularExpression addColumn(
        R"re(^ALTER TABLE "([^"]+)" ADD COLUMN (IF NOT EXISTS )?"([^"]+)" (.+)$)re",
        QRegularExpression::DotMatchesEverythingOption);
    for (const QString engine : { "sqlite", "postgresql" }) {
        SCOPED_TRACE(engine.toStdString());
        std::map<QString, std::vector<SchemaColumn>> added;
        // A table new in this version is created whole, where it is missing.
        for (SchemaTable &table : schemaTables(readDbScript(engine + "-upgrade.sql"))) {
            for (SchemaColumn &column : table.columns)
                column.type = column.type.toUpper();
            table.columns.erase(table.columns.begin()); // id
            added[table.name] = std::move(table.columns);
        }
        for (const QString &statement : splitSqlStatements(readDbScript(engine + "-upgrade.sql"))) {
            if (statement.startsWith("CREATE TABLE IF NOT EXISTS "))
                continue;
            const auto match = addColumn.match(statement);
            ASSERT_TRUE(match.hasMatch()) << statement.toStdString();
            // PostgreSQL skips the columns a table has; SQLite cannot, see the script.
            EXPECT_EQ(match.hasCaptured(2), engine == "postgresql") << statement.toStdString();
            added[match.captured(1)].push_back({ match.captured(3), match.captured(4).toUpper() });
        }
        auto created = parseTables(readDbScript(engine + ".sql"));
        for (auto &[table, columns] : created)
            columns.erase(columns.begin()); // id
        ASSERT_EQ(added.size(), created.size());
        for (const auto &[table, columns] : created) {
            SCOPED_TRACE(table.toStdString());
            ASSERT_EQ(added[table].size(), columns.size());
            for (std::size_t i = 0; i < columns.size(); ++i) {
                EXPECT_EQ(added[table][i].name, columns[i].name);
                EXPECT_EQ(added[table][i].type, columns[i].type);
            }
        }
    }
}
