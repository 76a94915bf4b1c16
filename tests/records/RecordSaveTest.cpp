// Saves against real databases; every case runs on SQLite and on the PostgreSQL test server.
#include "MessageRecorder.h"
#include "RecordTestSupport.h"

#include "records/ZUL_Database.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>

namespace {

class RecordSave : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        QString whyNot;
        m_db = TestDatabase::create(GetParam(), &whyNot);
        if (m_db)
            return;
        // Only a missing PostgreSQL test server may skip, and not on CI.
        if (GetParam() == Engine::Sqlite || runningInCi())
            FAIL() << "test database unavailable: " << whyNot.toStdString();
        GTEST_SKIP() << "PostgreSQL test server unavailable: " << whyNot.toStdString();
    }

    // Saves through a fresh data module, as a results page does, and checks the connection was
    // closed afterwards whatever the outcome.
    bool save(TConfigRecord &record)
    {
        TDataModule_Results module(m_db->paths());
        const bool saved = record.SaveToDatabase(module, m_messages);
        EXPECT_FALSE(module.isConnected());
        EXPECT_FALSE(QSqlDatabase::contains(module.connectionName()));
        m_lastError = module.lastError();
        return saved;
    }

    void expectStoredRow(const QString &table, const TConfigRecord &record)
    {
        const auto rows = m_db->rows(table);
        ASSERT_EQ(rows.size(), 1u) << m_db->lastError().toStdString();
        const RecordRow expected = record.columns();
        ASSERT_EQ(rows[0].count(), static_cast<int>(expected.size()) + 1); // + id
        for (const RecordColumn &column : expected) {
            const QString mismatch =
                storedValueMismatch(GetParam(), column, rows[0].value(column.name));
            EXPECT_TRUE(mismatch.isEmpty()) << mismatch.toStdString();
        }
    }

    std::unique_ptr<TestDatabase> m_db;
    TMessageRecorder m_messages;
    QString m_lastError;
    const QString DioTable = "ZUL-472K-11-Log";
};

} // namespace

TEST_P(RecordSave, DioSaveAppendsOneRowHoldingEveryColumn)
{
    TDIOConfigRecord record = sampleDioRecord();
    ASSERT_TRUE(save(record)) << m_lastError.toStdString();
    EXPECT_TRUE(m_messages.texts().isEmpty());
    expectStoredRow(DioTable, record);

    const QSqlRecord row = m_db->rows(DioTable).at(0);
    EXPECT_EQ(row.value("COMMENTS_DIN").toString(), "Failed: 3 12 ");
    EXPECT_EQ(row.value("PoutTime3").toString(), "0:34:57");
    EXPECT_EQ(row.value("PinMaxRate2").toString(), "60000");
    EXPECT_FALSE(row.value("PinRatePass1").toBool());
    EXPECT_TRUE(row.value("PinRatePass4").toBool());
    EXPECT_EQ(m_db->rowCount("ZUL-472K-Log") + m_db->rowCount("ZUL-472K-13-Log"), 0);
}

TEST_P(RecordSave, EverySaveAppendsItsOwnRowAndTechnicianStaysEmpty)
{
    TDIOConfigRecord record = sampleDioRecord();
    ASSERT_TRUE(save(record)) << m_lastError.toStdString();
    record.DinPass = true;
    record.DinComments = "";
    ASSERT_TRUE(save(record)) << m_lastError.toStdString();

    const auto rows = m_db->rows(DioTable);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FALSE(rows[0].value("DIN_RESULT").toBool());
    EXPECT_TRUE(rows[1].value("DIN_RESULT").toBool());
    EXPECT_EQ(rows[1].value("COMMENTS_DIN").toString(), "");
    ASSERT_TRUE(m_db->exec("SELECT 1")); // the checking connection is still usable
    for (const QSqlRecord &row : rows) {
        EXPECT_FALSE(row.isNull("TECHNICIAN"));
        EXPECT_EQ(row.value("TECHNICIAN").toString(), "");
    }
}

TEST_P(RecordSave, MissingColumnOrRefusedInsertLeavesNoRow)
{
    ASSERT_TRUE(m_db->exec(R"(ALTER TABLE "ZUL-472K-11-Log" DROP COLUMN "PinRatePass4")"))
        << m_db->lastError().toStdString();
    TDIOConfigRecord record = sampleDioRecord();
    EXPECT_FALSE(save(record));
    EXPECT_EQ(m_messages.texts(), QStringList { "Unable to connect to database!" });
    EXPECT_TRUE(m_lastError.contains("PinRatePass4")) << m_lastError.toStdString();
    EXPECT_EQ(m_db->rowCount(DioTable), 0);

    // A row the engine itself refuses (here a duplicate serial number) is not posted either.
    m_messages.clear();
    TAOTConfigRecord aot = sampleAotRecord();
    ASSERT_TRUE(
        m_db->exec(R"(CREATE UNIQUE INDEX one_per_serial ON "ZUL-472K-13-Log" ("SERIAL_NO"))"));
    ASSERT_TRUE(save(aot)) << m_lastError.toStdString();
    aot.VoutPass = true;
    EXPECT_FALSE(save(aot));
    EXPECT_EQ(m_messages.texts(), QStringList { "Unable to connect to database!" });
    ASSERT_EQ(m_db->rowCount("ZUL-472K-13-Log"), 1);
    EXPECT_FALSE(m_db->rows("ZUL-472K-13-Log").at(0).value("VOUT_TESTS").toBool());
}

TEST_P(RecordSave, AnalogRowsStoreEveryFieldWithItsKind)
{
    TAINConfigRecord ain = sampleAinRecord();
    TAOTConfigRecord aot = sampleAotRecord();
    ASSERT_TRUE(save(ain)) << m_lastError.toStdString();
    ASSERT_TRUE(save(aot)) << m_lastError.toStdString();
    expectStoredRow("ZUL-472K-Log", ain);
    expectStoredRow("ZUL-472K-13-Log", aot);

    const QSqlRecord row = m_db->rows("ZUL-472K-Log").at(0);
    EXPECT_EQ(row.value("VIN_OFFSET3").toInt(), -12);
    EXPECT_EQ(row.value("VIN_SPAN3").toInt(), 40000);
    EXPECT_EQ(row.value("Test5_4").toString(), " ");
    EXPECT_EQ(m_db->rows("ZUL-472K-13-Log").at(0).value("VOT_OFFSET3").toInt(), -12);
}

TEST_P(RecordSave, ConnectTimeTestNeedsTheAinTableAndAlwaysDisconnects)
{
    TDataModule_Results module(m_db->paths());
    EXPECT_TRUE(module.testConnection()) << module.lastError().toStdString();
    EXPECT_FALSE(module.isConnected());

    ASSERT_TRUE(m_db->exec(R"(DROP TABLE "ZUL-472K-Log")"));
    EXPECT_FALSE(module.testConnection());
    EXPECT_FALSE(module.isConnected());
    EXPECT_TRUE(module.lastError().contains("ZUL-472K-Log")) << module.lastError().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sqlite, RecordSave, ::testing::Values(Engine::Sqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, RecordSave, ::testing::Values(Engine::Postgres));
