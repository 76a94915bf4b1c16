// Tables made by an older version of the tool: the embedded file is brought up to date at
// connect; any other database is left alone, and a save into a table lacking columns names them.
#include "MessageRecorder.h"
#include "RecordTestSupport.h"

#include "records/SchemaDrift.h"
#include "records/SchemaScript.h"
#include "records/ZUL_Database.h"

#include <gtest/gtest.h>

#include <QSqlField>

namespace {

const QString DioTable = QStringLiteral("ZUL-472K-11-Log");
const QString AinTable = QStringLiteral("ZUL-472K-Log");
const QString Unable = QStringLiteral("Unable to connect to database!");

// The embedded default file, a SQLite file named by an alias, a PostgreSQL server.
enum class Setup { Embedded, SqliteAlias, Postgres };

void PrintTo(Setup setup, std::ostream *out)
{
    *out << (setup == Setup::Embedded ? "embedded" : setup == Setup::SqliteAlias ? "alias" : "pg");
}

class SchemaDrift : public ::testing::TestWithParam<Setup>
{
protected:
    void SetUp() override
    {
        QString whyNot;
        const bool pg = GetParam() == Setup::Postgres;
        m_db = TestDatabase::create(pg ? Engine::Postgres : Engine::Sqlite, &whyNot);
        if (m_db)
            return;
        if (!pg || runningInCi())
            FAIL() << "test database unavailable: " << whyNot.toStdString();
        GTEST_SKIP() << "PostgreSQL test server unavailable: " << whyNot.toStdString();
    }

    DatabasePaths paths() const
    {
        return GetParam() == Setup::Embedded ? m_db->embeddedPaths() : m_db->paths();
    }

    void dropColumn(const QString &table, const QString &column)
    {
        ASSERT_TRUE(
            m_db->exec(QStringLiteral(R"(ALTER TABLE "%1" DROP COLUMN "%2")").arg(table, column)))
            << m_db->lastError().toStdString();
    }

    bool hasColumn(const QString &table, const QString &column)
    {
        return m_db->columns(table).indexOf(column) >= 0;
    }

    std::unique_ptr<TestDatabase> m_db;
    TMessageRecorder m_messages;
};

using EmbeddedDrift = SchemaDrift;
using ExternalDrift = SchemaDrift;

} // namespace

TEST_P(EmbeddedDrift, AnOlderFileGetsTheColumnsItLacksAtConnectAndKeepsItsRows)
{
    ASSERT_TRUE(m_db->exec(
        QStringLiteral(R"(INSERT INTO "%1" ("SERIAL_NO") VALUES ('OLD-1'))").arg(DioTable)));
    dropColumn(DioTable, "PinRatePass4");
    dropColumn(AinTable, "TLC_SCALING");

    TDataModule_Results module(paths());
    ASSERT_TRUE(module.testConnection()) << module.lastError().toStdString();
    // With the type the embedded schema gives them: the driver reports BOOLEAN as a flag.
    ASSERT_TRUE(hasColumn(DioTable, "PinRatePass4"));
    EXPECT_EQ(m_db->columns(DioTable).field("PinRatePass4").metaType().id(), QMetaType::Bool);
    ASSERT_TRUE(hasColumn(AinTable, "TLC_SCALING"));
    EXPECT_EQ(m_db->columns(AinTable).field("TLC_SCALING").metaType().id(), QMetaType::Bool);

    TDIOConfigRecord dio = sampleDioRecord();
    TAINConfigRecord ain = sampleAinRecord();
    ASSERT_TRUE(dio.SaveToDatabase(module, m_messages)) << module.lastError().toStdString();
    ASSERT_TRUE(ain.SaveToDatabase(module, m_messages)) << module.lastError().toStdString();
    EXPECT_TRUE(m_messages.texts().isEmpty());

    const auto rows = m_db->rows(DioTable);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].value("SERIAL_NO").toString(), "OLD-1");
    EXPECT_TRUE(rows[0].isNull("PinRatePass4"));
    EXPECT_EQ(rows[1].value("PinRatePass4").toLongLong(), 1);
    const QSqlRecord ainRow = m_db->rows(AinTable).at(0);
    EXPECT_FALSE(ainRow.isNull("TLC_SCALING"));
    EXPECT_EQ(ainRow.value("TLC_SCALING").toLongLong(), 0);
}

TEST_P(ExternalDrift, NothingIsAlteredAndTheFailedSaveNamesTheMissingColumns)
{
    dropColumn(DioTable, "PinRatePass3");
    dropColumn(DioTable, "PinRatePass4");
    const int columnsBefore = m_db->columns(DioTable).count();

    TDataModule_Results module(paths());
    ASSERT_TRUE(module.testConnection()) << module.lastError().toStdString();
    EXPECT_EQ(m_db->columns(DioTable).count(), columnsBefore);
    EXPECT_FALSE(hasColumn(DioTable, "PinRatePass4"));

    TDIOConfigRecord dio = sampleDioRecord();
    EXPECT_FALSE(dio.SaveToDatabase(module, m_messages));
    EXPECT_EQ(m_messages.texts(), QStringList { Unable });
    const QString script = GetParam() == Setup::Postgres ? "postgresql" : "sqlite";
    EXPECT_EQ(m_messages.hints(),
        QStringList { "The table ZUL-472K-11-Log lacks the columns PinRatePass3, PinRatePass4. "
                      "The administrator can add them with db/"
            + script + "-upgrade.sql." });
    EXPECT_EQ(m_db->rowCount(DioTable), 0);

    // A gap in one table leaves the others saving.
    m_messages.clear();
    TAINConfigRecord ain = sampleAinRecord();
    EXPECT_TRUE(ain.SaveToDatabase(module, m_messages)) << module.lastError().toStdString();
    EXPECT_TRUE(m_messages.texts().isEmpty());

    // The shipped script mends the table; for SQLite its statements for the columns the table
    // has fail, as they do in the sqlite3 shell, and the rest go on.
    const bool pg = GetParam() == Setup::Postgres;
    for (int run = 0; run < (pg ? 2 : 1); ++run) { // on PostgreSQL it may be run again
        for (const QString &statement : splitSqlStatements(readDbScript(script + "-upgrade.sql"))) {
            const bool ok = m_db->exec(statement);
            if (pg) {
                ASSERT_TRUE(ok) << statement.toStdString() << m_db->lastError().toStdString();
            }
        }
    }
    EXPECT_TRUE(dio.SaveToDatabase(module, m_messages)) << module.lastError().toStdString();
    EXPECT_TRUE(module.schemaHint(DioTable).isEmpty());
    ASSERT_EQ(m_db->rowCount(DioTable), 1);
    EXPECT_TRUE(m_db->rows(DioTable).at(0).value("PinRatePass4").toBool());
}

TEST_P(SchemaDrift, AColumnDroppedAfterConnectFailsTheSaveWithoutAPartialRow)
{
    TDataModule_Results module(paths());
    ASSERT_TRUE(module.testConnection()) << module.lastError().toStdString();
    dropColumn(DioTable, "PinRatePass4");

    TDIOConfigRecord dio = sampleDioRecord();
    EXPECT_FALSE(dio.SaveToDatabase(module, m_messages));
    EXPECT_EQ(m_messages.texts(), QStringList { Unable });
    EXPECT_TRUE(m_messages.lastHint().contains("lacks the column PinRatePass4"))
        << m_messages.lastHint().toStdString();
    EXPECT_EQ(m_db->rowCount(DioTable), 0);
    // A save never alters a table, not even the embedded one: only connect does.
    EXPECT_FALSE(hasColumn(DioTable, "PinRatePass4"));

    if (GetParam() != Setup::Embedded)
        return;
    EXPECT_TRUE(m_messages.lastHint().endsWith("Connecting to the module again adds it."));
    ASSERT_TRUE(module.testConnection()) << module.lastError().toStdString();
    EXPECT_TRUE(dio.SaveToDatabase(module, m_messages)) << module.lastError().toStdString();
    EXPECT_EQ(m_db->rowCount(DioTable), 1);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, EmbeddedDrift, ::testing::Values(Setup::Embedded));
INSTANTIATE_TEST_SUITE_P(Sqlite, ExternalDrift, ::testing::Values(Setup::SqliteAlias));
INSTANTIATE_TEST_SUITE_P(Postgres, ExternalDrift, ::testing::Values(Setup::Postgres));
INSTANTIATE_TEST_SUITE_P(
    Sqlite, SchemaDrift, ::testing::Values(Setup::Embedded, Setup::SqliteAlias));
INSTANTIATE_TEST_SUITE_P(Postgres, SchemaDrift, ::testing::Values(Setup::Postgres));

TEST(SchemaDriftHint, NamesAFewColumnsAndTheRemedyOfTheEngine)
{
    DatabaseSettings odbc;
    odbc.driver = "QODBC";
    EXPECT_EQ(missingColumnsHint(DioTable, { "A", "B", "C", "D", "E", "F", "G", "H" }, odbc),
        "The table ZUL-472K-11-Log lacks the columns A, B, C, D, E, F and 2 more. "
        "The administrator can add them; db/postgresql-upgrade.sql lists the types.");
    EXPECT_EQ(missingColumnsHint(DioTable, {}, odbc), "");
}
