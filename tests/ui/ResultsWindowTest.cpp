// Where results go, seen from the window: the About box and the DIO results page name the
// target, the normal edition leaves the database alone at connect, and File > "Results
// history..." shows, filters, sorts and exports the saved tests.
#include "MessageRecorder.h"
#include "UiFixture.h"

#include "dio/UnitZUL_DIO.h"
#include "history/ResultsHistoryDialog.h"
#include "history/RunsView.h"
#include "records/DataRecords.h"
#include "records/ResultsHistory.h"
#include "records/ResultsTarget.h"
#include "records/RunHistory.h"
#include "records/RunLog.h"
#include "records/ZUL_Database.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Points the window's results database into a directory of the test's own and puts the
// binary's setting back afterwards, so later tests never reach the user's home.
class ResultsWindow : public UiFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        savedDefault = qgetenv("ZUL_DB_DEFAULT");
        savedAliases = qgetenv("ZUL_DB_ALIASES");
        qputenv("ZUL_DB_DEFAULT", QFile::encodeName(dbFile()));
        qputenv("ZUL_DB_ALIASES", QFile::encodeName(aliasFile()));
    }

    void TearDown() override
    {
        UiFixture::TearDown();
        qputenv("ZUL_DB_DEFAULT", savedDefault);
        qputenv("ZUL_DB_ALIASES", savedAliases);
    }

    QString dbFile() const { return dir.filePath("results/ZUL_472K_Log.sqlite"); }
    QString aliasFile() const { return dir.filePath("db-aliases.ini"); }
    QString localTarget() const
    {
        return "local file " + abbreviateHome(dbFile(), QDir::homePath());
    }

    void writePostgresAlias()
    {
        QFile alias(aliasFile());
        ASSERT_TRUE(alias.open(QIODevice::WriteOnly | QIODevice::Text));
        alias.write("[ZUL_472K_Log]\nDriver=QPSQL\nHost=results.lab.example\nUser=station7\n"
                    "Database=zul_results\n");
    }

    void saveDio(const QString &serial, const QDateTime &when, const QString &comments)
    {
        TDataModule_Results database({ aliasFile(), dbFile() });
        TDIOConfigRecord record;
        record.SerialNo = serial;
        record.TestDate = when;
        record.DinComments = comments;
        TMessageRecorder sink;
        ASSERT_TRUE(record.SaveToDatabase(database, sink)) << database.lastError().toStdString();
    }

    // Every history dialog of the window (findChild<> cannot tell dialog classes apart here).
    QList<TResultsHistoryDialog *> historyDialogs() const
    {
        QList<TResultsHistoryDialog *> found;
        for (QDialog *child : window->findChildren<QDialog *>())
            if (auto *dialog = dynamic_cast<TResultsHistoryDialog *>(child))
                found << dialog;
        return found;
    }

    TResultsHistoryDialog *openHistory()
    {
        find<QAction>("ResultsHistory1")->trigger();
        const auto dialogs = historyDialogs();
        return dialogs.isEmpty() ? nullptr : dialogs.first();
    }

    QTemporaryDir dir;
    QByteArray savedDefault;
    QByteArray savedAliases;
};

QDateTime day(int n)
{
    return QDateTime(QDate(2024, 6, n), QTime(8, 30));
}

} // namespace

TEST_F(ResultsWindow, OnlyTheProductionVersionTouchesTheDatabaseAtConnect)
{
    const std::string path = startSim(zulsim::Kind::named("DIO"));
    openWindow(QStringLiteral("zulconfig"));
    connectTo(path);
    EXPECT_FALSE(QFile::exists(dbFile()));
    EXPECT_EQ(window->Session().Records[zul::DIOList], nullptr);
    EXPECT_TRUE(messages.texts().isEmpty());

    openWindow(QStringLiteral("zulconfigt"));
    connectTo(path);
    EXPECT_TRUE(QFile::exists(dbFile()));
    EXPECT_NE(window->Session().Records[zul::DIOList], nullptr);
}

TEST_F(ResultsWindow, AboutBoxNamesTheTargetAsTheAliasNowSays)
{
    openWindow();
    find<QAction>("About1")->trigger();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.last().endsWith("\r\n\r\nResults database: " + localTarget()))
        << messages.last().toStdString();
    EXPECT_FALSE(QFile::exists(dbFile())); // naming it does not create it

    writePostgresAlias();
    find<QAction>("About1")->trigger();
    EXPECT_TRUE(messages.last().endsWith(
        "Results database: PostgreSQL zul_results on results.lab.example as station7"));
}

TEST_F(ResultsWindow, DioResultsPageNamesTheTargetWhenShown)
{
    const std::string path = startSim(zulsim::Kind::named("DIO"));
    openWindow(QStringLiteral("zulconfigt"));
    window->show();
    connectTo(path);
    auto *tabs = find<QTabWidget>("PageControl_ZUL");
    tabs->setCurrentIndex(zul::DIOResultsPage);
    auto *label = window->Page(zul::DIOResultsPage)->findChild<QLabel *>("ResultsTargetLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Saved to " + localTarget());

    writePostgresAlias(); // edited while the tool runs: the page says so when shown again
    tabs->setCurrentIndex(zul::DIOCheckPage);
    tabs->setCurrentIndex(zul::DIOResultsPage);
    EXPECT_EQ(label->text(), "Saved to PostgreSQL zul_results on results.lab.example as station7");
}

TEST_F(ResultsWindow, HistoryItemStandsBeforeExitAndKeepsOneWindow)
{
    openWindow();
    const QList<QAction *> items = find<QMenu>("File1")->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[items.size() - 2]->objectName(), "ResultsHistory1");
    EXPECT_EQ(items[items.size() - 2]->text(), "Results history...");
    EXPECT_EQ(items.last()->objectName(), "Exit1");

    TResultsHistoryDialog *dialog = openHistory();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(openHistory(), dialog);
    EXPECT_EQ(historyDialogs().size(), 1);
    // Nothing saved yet: said so, nothing to export, and no file made by looking.
    EXPECT_EQ(dialog->CountLabel->text(), "no results have been saved on this station yet");
    EXPECT_FALSE(dialog->ExportButton->isEnabled());
    EXPECT_EQ(dialog->TargetLabel->text(), "Results database: " + localTarget());
    EXPECT_FALSE(QFile::exists(dbFile()));
}

TEST_F(ResultsWindow, HistoryFiltersSortsAndExportsWhatItShows)
{
    saveDio("A-100", day(3), "Failed: 2, 5");
    saveDio("B-200", day(4), "");
    saveDio("A-100", day(5), "");
    openWindow();
    TResultsHistoryDialog *dialog = openHistory();
    ASSERT_NE(dialog, nullptr);
    QTableView *view = dialog->HistoryView;
    TResultsHistoryModel &model = dialog->Model();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(dialog->CountLabel->text(), "3 tests of 2 modules");
    const int kindColumn = model.fieldColumn(TResultsHistoryModel::KindField);
    EXPECT_FALSE(view->isColumnHidden(kindColumn));
    EXPECT_TRUE(view->isColumnHidden(model.fieldColumn("id")));

    dialog->KindBox->setCurrentText("DIO");
    EXPECT_TRUE(view->isColumnHidden(kindColumn));
    dialog->SerialEdit->setText("a-1");
    QTest::keyClick(dialog->SerialEdit, Qt::Key_Return);
    EXPECT_EQ(dialog->CountLabel->text(), "2 tests of 1 module");

    // A header click orders by date, newest first; the helper columns stay hidden.
    const int dateColumn = model.fieldColumn("DATE_FLD");
    view->sortByColumn(dateColumn, Qt::DescendingOrder);
    EXPECT_EQ(model.index(0, dateColumn).data().toString(), "2024-06-05 08:30:00");
    EXPECT_TRUE(view->isColumnHidden(model.fieldColumn("id")));
    EXPECT_TRUE(view->isColumnHidden(model.fieldColumn(TResultsHistoryModel::TestCountField)));

    dialog->FromCheck->click();
    dialog->FromDate->setDate(QDate(2024, 6, 4));
    EXPECT_EQ(model.rowCount(), 1);

    // Export writes the shown columns in the shown order, the shown rows only.
    const QString file = dir.filePath("history.csv");
    dialog->AskExportFile = [&file] { return file; };
    view->horizontalHeader()->moveSection(
        view->horizontalHeader()->visualIndex(model.fieldColumn("COMMENTS_DIN")), 0);
    dialog->FromCheck->click(); // both tests of A-100 again
    dialog->ExportButton->click();
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // header, two rows, and the end after the last CRLF
    EXPECT_TRUE(lines[0].startsWith("COMMENTS_DIN,Test,Serial number,Date,")) << lines[0].data();
    EXPECT_FALSE(lines[0].contains("Kind"));
    EXPECT_FALSE(lines[0].contains("Tests"));
    EXPECT_TRUE(lines[1].startsWith(",2 of 2,A-100,2024-06-05 08:30:00,")) << lines[1].data();
    EXPECT_TRUE(lines[2].startsWith("\"Failed: 2, 5\",1 of 2,A-100,")) << lines[2].data();
    EXPECT_EQ(dialog->CountLabel->text(), "2 rows exported to history.csv");

    dialog->AskExportFile = [] { return QStringLiteral("/nonexistent-dir/x.csv"); };
    dialog->ExportButton->click();
    ASSERT_FALSE(messages.texts().isEmpty());
    EXPECT_TRUE(messages.last().startsWith("Could not write /nonexistent-dir/x.csv: "));
}

TEST_F(ResultsWindow, RunsViewListsTheRunsUnderTheFilterAndOpensTheirRecord)
{
    // Two steps, the second retried once: three attempts.
    const QString record = QStringLiteral(R"({
  "plan": "AIN single-ended voltage 0 to 5V",
  "outcome": "FAILED",
  "steps": [
    { "name": "Identify", "status": "Passed", "attempts": [ { "status": "Passed" } ] },
    { "name": "Verify 2.5 V", "status": "Failed",
      "attempts": [ { "status": "Failed" }, { "status": "Failed" } ] }
  ]
}
)");
    TDataModule_Results database({ aliasFile(), dbFile() });
    const TRunLogEntry ain { "00123456", "AIN", "2026-12-07T17:10:00.000Z",
        "2026-12-07T17:20:00.000Z", "FAILED", "Jo", "bench-3", "1.4",
        "AIN single-ended voltage 0 to 5V", 12, record, "5f0c2a9e-1d4b-4c7a-9b1e-3a2f6d8c0e71" };
    const TRunLogEntry dio { "D-7", "DIO", "2026-12-06T09:00:00.000Z", "2026-12-06T09:01:00.000Z",
        "ABORTED", "", "bench-3", "1.4", "DIO outputs", std::nullopt, "{}",
        "0b9e7c1e-3f55-4c1a-8d0e-6a4f2b7c9d10" };
    for (const TRunLogEntry &entry : { ain, dio })
        ASSERT_TRUE(StoreRunRecord(database, entry, dir.filePath("runs")).rowWritten);

    openWindow();
    TResultsHistoryDialog *dialog = openHistory();
    ASSERT_NE(dialog, nullptr);
    auto *runs = dialog->findChild<TRunsView *>("RunsView");
    ASSERT_NE(runs, nullptr);
    dialog->HistoryTabs->setCurrentWidget(runs);
    EXPECT_EQ(dialog->HistoryTabs->tabText(dialog->HistoryTabs->currentIndex()), "Runs");
    EXPECT_EQ(runs->RunsCountLabel->text(), "2 runs");

    const QAbstractItemModel *model = runs->RunsTable->model();
    QStringList header;
    for (int column = 0; column < model->columnCount(); ++column)
        header << model->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(header,
        (QStringList {
            "Serial number", "Kind", "Started", "Outcome", "Attempts", "Operator", "Plan" }));
    QStringList first;
    for (int column = 0; column < model->columnCount(); ++column)
        first << model->index(0, column).data().toString();
    const QString started = QDateTime(QDate(2026, 12, 7), QTime(17, 10), Qt::UTC)
                                .toLocalTime()
                                .toString("yyyy-MM-dd hh:mm:ss");
    EXPECT_EQ(first,
        (QStringList {
            "00123456", "AIN", started, "FAILED", "3", "Jo", "AIN single-ended voltage 0 to 5V" }));

    // The history's filter holds for runs too.
    dialog->KindBox->setCurrentText("DIO");
    EXPECT_EQ(runs->RunsCountLabel->text(), "1 run");
    EXPECT_EQ(model->index(0, TRunHistoryModel::Outcome).data().toString(), "ABORTED");
    dialog->KindBox->setCurrentText("All kinds");
    dialog->SerialEdit->setText("2345");
    QTest::keyClick(dialog->SerialEdit, Qt::Key_Return);
    ASSERT_EQ(model->rowCount(), 1);

    // Nothing chosen, nothing to open; a chosen run opens its record read-only beside the list.
    EXPECT_FALSE(runs->OpenRecordButton->isEnabled());
    runs->RunsTable->selectRow(0);
    ASSERT_TRUE(runs->OpenRecordButton->isEnabled());
    runs->OpenRecordButton->click();
    auto *shown = dialog->findChild<QDialog *>("RunRecordDialog");
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_FALSE(shown->isModal());
    EXPECT_TRUE(shown->windowTitle().startsWith("Run record: AIN 00123456"));
    auto *text = shown->findChild<QPlainTextEdit *>("RunRecordText");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->toPlainText(), record);
    shown->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialog->findChild<QDialog *>("RunRecordDialog"), nullptr);
}
