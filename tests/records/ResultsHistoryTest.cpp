// The results history against real databases: filter, order, test numbers, the texts shown and
// the CSV export; every case runs on SQLite and on the PostgreSQL test server.
#include "MessageRecorder.h"
#include "RecordTestSupport.h"

#include "records/ResultsHistory.h"
#include "records/ZUL_Database.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringListModel>
#include <QTemporaryDir>

namespace {

QDateTime at(int day, int hour, int minute = 0, int second = 0)
{
    return QDateTime(QDate(2024, 5, day), QTime(hour, minute, second));
}

class ResultsHistory : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        QString whyNot;
        m_db = TestDatabase::create(GetParam(), &whyNot);
        if (!m_db) {
            if (GetParam() == Engine::Sqlite || runningInCi())
                FAIL() << "test database unavailable: " << whyNot.toStdString();
            GTEST_SKIP() << "PostgreSQL test server unavailable: " << whyNot.toStdString();
        }
        // Saved in this order, so that ids alone would split the retests of SN-0001.
        saveDio("SN-0001", at(6, 10), false, "Failed: 3, 12");
        saveDio("SN_0002", at(7, 9), true, "");
        saveDio("SNX0002", at(7, 11), false, "He said \"ok\",\nthen left");
        saveDio("SN-0001", at(8, 14), true, "");
        TAINConfigRecord ain = sampleAinRecord();
        ain.SerialNo = "sn-0003";
        ain.TestDate = at(9, 23, 59, 59);
        save(ain);
        TAOTConfigRecord aot = sampleAotRecord();
        aot.SerialNo = "SN-0004";
        aot.TestDate = at(10, 0);
        aot.DinComments = QStringLiteral("Prüfung bestanden ✓");
        save(aot);
        ASSERT_TRUE(model.open(m_db->paths())) << model.lastError().toStdString();
    }

    void save(TConfigRecord &record)
    {
        TDataModule_Results module(m_db->paths());
        TMessageRecorder messages;
        ASSERT_TRUE(record.SaveToDatabase(module, messages)) << module.lastError().toStdString();
    }

    void saveDio(const QString &serial, const QDateTime &when, bool dinPass, const QString &note)
    {
        TDIOConfigRecord record = sampleDioRecord();
        record.SerialNo = serial;
        record.TestDate = when;
        record.DinPass = dinPass;
        record.DinComments = note;
        save(record);
    }

    void select(HistoryKind kind, const HistoryFilter &filter = {})
    {
        ASSERT_TRUE(model.select(kind, filter)) << model.lastError().toStdString();
    }

    QString cell(int row, const char *field) const
    {
        return model.index(row, model.fieldColumn(QString::fromLatin1(field))).data().toString();
    }

    // "serial test" per row, e.g. "SN-0001 2 of 2".
    QStringList rows() const
    {
        QStringList shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown << cell(row, "SERIAL_NO") + ' ' + cell(row, "TEST_NO");
        return shown;
    }

    std::unique_ptr<TestDatabase> m_db;
    TResultsHistoryModel model;
};

} // namespace

TEST_P(ResultsHistory, RetestsOfOneModuleStandTogetherInTestOrder)
{
    select(HistoryKind::DIO);
    EXPECT_EQ(rows(),
        (QStringList { "SN-0001 1 of 2", "SN-0001 2 of 2", "SNX0002 1 of 1", "SN_0002 1 of 1" }));
    EXPECT_EQ(model.moduleCount(), 3);
    EXPECT_EQ(cell(0, "DATE_FLD"), "2024-05-06 10:00:00");
    EXPECT_EQ(cell(1, "DATE_FLD"), "2024-05-08 14:00:00");
    // Flags read the same whatever the engine hands back (0/1 or false/true).
    EXPECT_EQ(cell(0, "DIN_RESULT"), "FAIL");
    EXPECT_EQ(cell(1, "DIN_RESULT"), "PASS");
    EXPECT_EQ(cell(0, "COMMENTS_DIN"), "Failed: 3, 12");
    EXPECT_GE(model.fieldColumn("PinMaxRate1"), 0);
}

TEST_P(ResultsHistory, SerialFilterIgnoresCaseAndTakesPatternCharactersLiterally)
{
    select(HistoryKind::DIO, { "n_0", {}, {} });
    EXPECT_EQ(rows(), QStringList { "SN_0002 1 of 1" }); // not SNX0002
    select(HistoryKind::All, { "SN-000", {}, {} });
    EXPECT_EQ(rows(),
        (QStringList { "SN-0001 1 of 2", "SN-0001 2 of 2", "SN-0004 1 of 1", "sn-0003 1 of 1" }));
    select(HistoryKind::All, { "%", {}, {} });
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_P(ResultsHistory, DateRangeTakesWholeDaysAndKeepsTheTestNumbers)
{
    select(HistoryKind::All, { {}, QDate(2024, 5, 8), QDate(2024, 5, 9) });
    // The retest alone is still the second test; 23:59:59 belongs to its day, midnight of the
    // day after the range does not.
    EXPECT_EQ(rows(), (QStringList { "SN-0001 2 of 2", "sn-0003 1 of 1" }));
    select(HistoryKind::All, { {}, QDate(2024, 5, 10), {} });
    EXPECT_EQ(rows(), QStringList { "SN-0004 1 of 1" });
    select(HistoryKind::DIO, { "sn-0001", {}, QDate(2024, 5, 7) });
    EXPECT_EQ(rows(), QStringList { "SN-0001 1 of 2" });
}

TEST_P(ResultsHistory, AllKindsShowTheSharedColumnsWithTheKind)
{
    select(HistoryKind::All);
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(model.moduleCount(), 5);
    EXPECT_GE(model.fieldColumn("COMMENTS_DIN"), 0);
    EXPECT_EQ(model.fieldColumn("PinMaxRate1"), -1); // DIO only
    EXPECT_EQ(model.fieldColumn("VIN_OFFSET1"), -1); // AIN only
    QStringList kinds;
    for (int row = 0; row < model.rowCount(); ++row)
        kinds << cell(row, "KIND");
    EXPECT_EQ(kinds, (QStringList { "DIO", "DIO", "AOT", "DIO", "DIO", "AIN" }));
    EXPECT_EQ(model.headerData(model.fieldColumn("SERIAL_NO"), Qt::Horizontal), "Serial number");

    select(HistoryKind::AIN);
    EXPECT_EQ(rows(), QStringList { "sn-0003 1 of 1" });
    EXPECT_EQ(cell(0, "SE_VIN_TESTED"), "yes");
    EXPECT_EQ(cell(0, "SE_IIN_TESTED"), "no");
}

// The choices come from the kinds' rows; each shows its own kind's rows and "All kinds" every one.
TEST_P(ResultsHistory, EachChoiceShowsTheRowsOfItsKind)
{
    const QList<HistoryChoice> choices = historyChoices();
    QStringList captions;
    for (const HistoryChoice &choice : choices)
        captions << choice.caption;
    ASSERT_EQ(captions, (QStringList { "All kinds", "DIO", "AIN", "AOT" }));
    EXPECT_EQ(choices[0].kind, HistoryKind::All);
    EXPECT_EQ(choices[3].kind, HistoryKind::AOT);

    const QMap<QString, int> rowsPerKind { { "All kinds", 6 }, { "DIO", 4 }, { "AIN", 1 },
        { "AOT", 1 } };
    for (const HistoryChoice &choice : choices) {
        SCOPED_TRACE(choice.caption.toStdString());
        select(choice.kind);
        EXPECT_EQ(model.rowCount(), rowsPerKind.value(choice.caption));
        for (int row = 0; choice.kind != HistoryKind::All && row < model.rowCount(); ++row)
            EXPECT_EQ(cell(row, "KIND"), choice.caption);
    }
}

TEST_P(ResultsHistory, SortingAColumnKeepsEachModulesTestsTogether)
{
    select(HistoryKind::DIO);
    model.sort(model.fieldColumn("DIN_RESULT"), Qt::DescendingOrder);
    EXPECT_EQ(rows(),
        (QStringList { "SN-0001 2 of 2", "SN_0002 1 of 1", "SN-0001 1 of 2", "SNX0002 1 of 1" }));
    model.sort(model.fieldColumn("DATE_FLD"), Qt::DescendingOrder);
    EXPECT_EQ(rows().first(), "SN-0001 2 of 2");
    // The order stays for the next filter.
    select(HistoryKind::DIO, { "SN-0001", {}, {} });
    EXPECT_EQ(rows(), (QStringList { "SN-0001 2 of 2", "SN-0001 1 of 2" }));
}

TEST_P(ResultsHistory, OpenedAgainAfterAQueryItQueriesAgain)
{
    // Refresh re-reads the alias: the old connection goes while the model holds a query of it.
    select(HistoryKind::DIO);
    ASSERT_TRUE(model.open(m_db->paths())) << model.lastError().toStdString();
    select(HistoryKind::DIO, { "SN-0001", {}, {} });
    EXPECT_EQ(model.rowCount(), 2);
    ASSERT_TRUE(model.open(m_db->paths()));
    select(HistoryKind::All);
    EXPECT_EQ(model.rowCount(), 6);
}

TEST_P(ResultsHistory, ItsConnectionWritesNothing)
{
    select(HistoryKind::DIO);
    QSqlQuery insert(QSqlDatabase::database(model.connectionName(), false));
    EXPECT_FALSE(insert.exec(R"(INSERT INTO "ZUL-472K-11-Log" ("SERIAL_NO") VALUES ('X'))"));
    EXPECT_EQ(m_db->rowCount("ZUL-472K-11-Log"), 4);
    EXPECT_EQ(model.flags(model.index(0, 0)) & Qt::ItemIsEditable, Qt::NoItemFlags);
}

TEST_P(ResultsHistory, CsvQuotesCommasQuotesAndNewlinesAndKeepsUtf8)
{
    select(HistoryKind::All, { {}, QDate(2024, 5, 6), QDate(2024, 5, 7) });
    const QList<int> shown { model.fieldColumn("SERIAL_NO"), model.fieldColumn("TEST_NO"),
        model.fieldColumn("DIN_RESULT"), model.fieldColumn("COMMENTS_DIN") };
    EXPECT_EQ(toCsv(model, shown),
        "Serial number,Test,DIN_RESULT,COMMENTS_DIN\r\n"
        "SN-0001,1 of 2,FAIL,\"Failed: 3, 12\"\r\n"
        "SNX0002,1 of 1,FAIL,\"He said \"\"ok\"\",\nthen left\"\r\n"
        "SN_0002,1 of 1,PASS,\r\n");

    select(HistoryKind::AOT);
    QTemporaryDir dir;
    QString error;
    const QString file = dir.filePath("aot.csv");
    ASSERT_TRUE(writeCsv(model, { model.fieldColumn("COMMENTS_DIN") }, file, &error))
        << error.toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        written.readAll(), QStringLiteral("COMMENTS_DIN\r\nPrüfung bestanden ✓\r\n").toUtf8());
}

INSTANTIATE_TEST_SUITE_P(Sqlite, ResultsHistory, ::testing::Values(Engine::Sqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, ResultsHistory, ::testing::Values(Engine::Postgres));

TEST(ResultsHistoryFile, AStationWithoutResultsGetsNoFileCreated)
{
    QTemporaryDir dir;
    const DatabasePaths paths { dir.filePath("db-aliases.ini"), dir.filePath("zul/none.sqlite") };
    TResultsHistoryModel model;
    EXPECT_FALSE(model.open(paths));
    EXPECT_EQ(model.lastError(), "no results have been saved on this station yet");
    EXPECT_FALSE(QFile::exists(paths.defaultDatabaseFile));
    EXPECT_FALSE(model.select(HistoryKind::All, {}));
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(Csv, PlainFieldsStayBareAndEveryLineEndsInCrLf)
{
    // A list model's header is its section number.
    QStringListModel model({ "plain", "carriage\rreturn", "", "semi;colon" });
    EXPECT_EQ(toCsv(model), "1\r\nplain\r\n\"carriage\rreturn\"\r\n\"\"\r\nsemi;colon\r\n");
}

TEST(Csv, UnwritableFileIsReported)
{
    QStringListModel model({ "x" });
    QString error;
    EXPECT_FALSE(writeCsv(model, {}, "/nonexistent-dir/out.csv", &error));
    EXPECT_FALSE(error.isEmpty());
}
