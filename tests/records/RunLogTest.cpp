// Where a production run's record goes: the file in the runs folder and the row in the run log
// table, on the embedded SQLite file and on the PostgreSQL test server; a database without the
// table; names never reused; and the runs read back for the history.
#include "MessageRecorder.h"
#include "RecordTestSupport.h"

#include "records/RunHistory.h"
#include "records/RunLog.h"
#include "records/ZUL_Database.h"
#include "run/RunRecord.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A real record: Identify passes, Verify fails once and passes on Retry, so three attempts.
QString sampleRecord(const std::string &serial)
{
    using namespace zul::run;
    int verifyCalls = 0;
    std::vector<Step> steps { { "Identify", "",
                                  [](StepContext &) { return StepResult::passed(); } },
        { "Verify", "Apply 2.5 V", [&verifyCalls](StepContext &) {
             return ++verifyCalls == 1 ? StepResult::failed("CH3 off by 40 counts")
                                       : StepResult::passed("8 of 8 within ±128");
         } } };
    Run run(std::move(steps));
    run.start();
    run.next();
    run.next();
    run.retry();
    EXPECT_TRUE(run.finished());
    return QString::fromStdString(runRecordJson(
        { "AIN single-ended voltage 0 to 5V", "Jo", "bench-3", "1.4", { { "serial", serial } }, 7,
            "0b9e7c1e-3f55-4c1a-8d0e-6a4f2b7c9d10", std::string(64, 'a') },
        run));
}

TRunLogEntry sampleEntry(const QString &serial = "00123456")
{
    return { serial, "AIN", "2026-12-07T17:10:00.123Z", "2026-12-07T17:14:30.000Z", "PASSED", "Jo",
        "bench-3", "1.4", "AIN single-ended voltage 0 to 5V", 7, sampleRecord(serial.toStdString()),
        "0b9e7c1e-3f55-4c1a-8d0e-6a4f2b7c9d10" };
}

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RunLog : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runs.isValid());
        QString whyNot;
        m_db = TestDatabase::create(GetParam(), &whyNot);
        if (m_db)
            return;
        if (GetParam() == Engine::Sqlite || runningInCi())
            FAIL() << "test database unavailable: " << whyNot.toStdString();
        GTEST_SKIP() << "PostgreSQL test server unavailable: " << whyNot.toStdString();
    }

    // The embedded default on SQLite (the file the tool makes itself), the alias on a server.
    DatabasePaths paths() const
    {
        return GetParam() == Engine::Sqlite ? m_db->embeddedPaths() : m_db->paths();
    }
    QString folder() const { return m_runs.filePath("share/zulconfig/runs"); }

    QTemporaryDir m_runs;
    std::unique_ptr<TestDatabase> m_db;
};

} // namespace

// The embedded file here is one made before runs were logged: connect gives it the table.
TEST_P(RunLog, TheRecordGoesToItsFileAndToOneRowWithEveryColumn)
{
    if (GetParam() == Engine::Sqlite) {
        ASSERT_TRUE(m_db->exec(R"(DROP TABLE "ZUL-Run-Log")"));
    }
    // The id of the results row a run saves is there for its record.
    TDataModule_Results module(paths());
    TMessageRecorder messages;
    TDIOConfigRecord dio = sampleDioRecord();
    ASSERT_TRUE(dio.SaveToDatabase(module, messages));
    ASSERT_TRUE(dio.SaveToDatabase(module, messages));
    ASSERT_TRUE(module.LastInsertedId().has_value());
    EXPECT_EQ(
        *module.LastInsertedId(), m_db->rows("ZUL-472K-11-Log").at(1).value("id").toLongLong());

    const TRunLogEntry entry = sampleEntry();
    const TRunLogResult result = StoreRunRecord(module, entry, folder());
    EXPECT_TRUE(result.fileWritten);
    EXPECT_TRUE(result.rowWritten) << result.error.toStdString();
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(result.file, folder() + "/AIN-00123456-20261207T171000Z.json");
    EXPECT_EQ(result.where, "Run record saved to " + result.file + " and to the results database");
    EXPECT_EQ(fileText(result.file), entry.record.toUtf8());
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_FALSE(module.isConnected());

    const auto rows = m_db->rows(RunLogTable);
    ASSERT_EQ(rows.size(), 1u);
    const RecordRow expected = runLogRow(entry);
    ASSERT_EQ(m_db->columns(RunLogTable).count(), int(expected.size()) + 1);
    for (const RecordColumn &column : expected)
        EXPECT_EQ(
            storedValueMismatch(GetParam(), column, rows[0].value(column.name)).toStdString(), "");
    EXPECT_EQ(rows[0].value("RESULT_ROW").toLongLong(), 7);
    EXPECT_EQ(rows[0].value("OUTCOME").toString(), "PASSED");
    EXPECT_EQ(expected[2].value.toDateTime(),
        QDateTime(QDate(2026, 12, 7), QTime(17, 10, 0, 123), Qt::UTC));

    // A run that saved no row keeps RESULT_ROW empty, not 0.
    TRunLogEntry aborted = sampleEntry("00999999");
    aborted.outcome = "ABORTED";
    aborted.started = "2026-12-07T16:00:00.000Z";
    aborted.resultRow.reset();
    ASSERT_TRUE(StoreRunRecord(module, aborted, folder()).rowWritten);
    EXPECT_TRUE(m_db->rows(RunLogTable).at(1).isNull("RESULT_ROW"));

    // Read back for the history: newest first, attempts from the record, filters as results.
    TRunHistoryModel history;
    ASSERT_TRUE(history.load(paths())) << history.lastError().toStdString();
    ASSERT_EQ(history.rowCount(), 2);
    EXPECT_EQ(history.run(0).serial, "00123456"); // the later start, though the earlier row
    const auto cell = [&history](int row, int column) {
        return history.index(row, column).data().toString();
    };
    EXPECT_EQ(cell(0, TRunHistoryModel::Attempts), "3");
    EXPECT_EQ(cell(0, TRunHistoryModel::Outcome), "PASSED");
    EXPECT_EQ(cell(0, TRunHistoryModel::Operator), "Jo");
    EXPECT_EQ(cell(0, TRunHistoryModel::Plan), "AIN single-ended voltage 0 to 5V");
    EXPECT_EQ(cell(0, TRunHistoryModel::Started),
        QDateTime(QDate(2026, 12, 7), QTime(17, 10), Qt::UTC)
            .toLocalTime()
            .toString("yyyy-MM-dd hh:mm:ss"));
    EXPECT_EQ(history.run(0).record, entry.record);
    history.select(HistoryKind::AIN, { "0999", {}, {} });
    ASSERT_EQ(history.rowCount(), 1);
    EXPECT_EQ(cell(0, TRunHistoryModel::Outcome), "ABORTED");
    history.select(HistoryKind::DIO, {});
    EXPECT_EQ(history.rowCount(), 0);
    history.select(HistoryKind::All, { {}, QDate(2026, 12, 9), {} });
    EXPECT_EQ(history.rowCount(), 0);
}

// A server (or an aliased file) not yet upgraded keeps the record as a file, and says so.
TEST_P(RunLog, ADatabaseWithoutTheTableKeepsTheFileOnly)
{
    ASSERT_TRUE(m_db->exec(R"(DROP TABLE "ZUL-Run-Log")"));
    TDataModule_Results module(m_db->paths());
    const TRunLogResult result = StoreRunRecord(module, sampleEntry(), folder());
    EXPECT_TRUE(result.fileWritten);
    EXPECT_FALSE(result.rowWritten);
    EXPECT_EQ(result.where,
        "The results database has no table ZUL-Run-Log: run record saved to " + result.file
            + " only");
    EXPECT_TRUE(QFile::exists(result.file));
    EXPECT_FALSE(module.isConnected());
    EXPECT_FALSE(m_db->columns("ZUL-Run-Log").count()); // not made behind the administrator

    TRunHistoryModel history;
    EXPECT_FALSE(history.load(m_db->paths()));
    EXPECT_EQ(history.lastError(), "The results database has no table ZUL-Run-Log.");
    EXPECT_EQ(history.rowCount(), 0);
}

// The run's id has a column of its own; a table made before runs had ids still takes the run,
// whose record keeps the id.
TEST_P(RunLog, TheRunIdHasItsColumnAndATableWithoutItStillTakesTheRun)
{
    TDataModule_Results module(m_db->paths());
    const TRunLogEntry entry = sampleEntry();
    const TRunLogResult result = StoreRunRecord(module, entry, folder());
    EXPECT_TRUE(result.rowWritten) << result.error.toStdString();
    ASSERT_EQ(m_db->rows(RunLogTable).size(), 1u);
    EXPECT_EQ(m_db->rows(RunLogTable).at(0).value("RUN_ID").toString(), entry.runId);

    ASSERT_TRUE(m_db->exec(R"(ALTER TABLE "ZUL-Run-Log" DROP COLUMN "RUN_ID")"));
    TDataModule_Results older(m_db->paths());
    const TRunLogResult kept = StoreRunRecord(older, entry, folder());
    EXPECT_TRUE(kept.rowWritten) << kept.error.toStdString();
    EXPECT_EQ(kept.where, "Run record saved to " + kept.file + " and to the results database");
    ASSERT_EQ(m_db->rows(RunLogTable).size(), 2u);
    EXPECT_EQ(m_db->rows(RunLogTable).at(1).value("RECORD").toString(), entry.record);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, RunLog, ::testing::Values(Engine::Sqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, RunLog, ::testing::Values(Engine::Postgres));

// Two runs of one module in the same second, a stale file of the same name, a database that
// cannot be reached: nothing already written is ever replaced, and nothing is lost silently.
TEST(RunLogFiles, NamesAreNeverReusedAndEveryFailureIsSaid)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("runs");
    const DatabasePaths nowhere { writeAliasFile(dir.path(),
                                      { "Driver=QSQLITE", "Database=" + dir.filePath("none.db") }),
        dir.filePath("unused.sqlite") };
    TDataModule_Results module(nowhere);
    TRunLogEntry entry = sampleEntry("SN/7 x");

    const TRunLogResult first = StoreRunRecord(module, entry, folder);
    ASSERT_TRUE(first.fileWritten) << first.error.toStdString();
    EXPECT_FALSE(first.rowWritten);
    EXPECT_EQ(QFileInfo(first.file).fileName(), "AIN-SN_7_x-20261207T171000Z.json");
    EXPECT_TRUE(first.where.startsWith("Run record saved to " + first.file
        + " only: the results "
          "database could not "
          "be opened"))
        << first.where.toStdString();

    const QString firstRecord = entry.record;
    entry.record = "second";
    const TRunLogResult second = StoreRunRecord(module, entry, folder);
    entry.record = "third";
    const TRunLogResult third = StoreRunRecord(module, entry, folder);
    EXPECT_EQ(QFileInfo(second.file).fileName(), "AIN-SN_7_x-20261207T171000Z-2.json");
    EXPECT_EQ(QFileInfo(third.file).fileName(), "AIN-SN_7_x-20261207T171000Z-3.json");
    EXPECT_EQ(fileText(first.file), firstRecord.toUtf8());
    EXPECT_EQ(fileText(second.file), "second");
    EXPECT_EQ(fileText(third.file), "third");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);

    // A folder that cannot be made: neither copy, and the sentence says nothing was saved.
    QFile blocker(dir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const TRunLogResult none = StoreRunRecord(module, entry, dir.filePath("blocked/runs"));
    EXPECT_FALSE(none.fileWritten);
    EXPECT_TRUE(none.file.isEmpty());
    EXPECT_TRUE(none.where.startsWith("Run record not saved: cannot make the folder"))
        << none.where.toStdString();
    EXPECT_TRUE(none.error.contains("could not be opened")) << none.error.toStdString();
}
