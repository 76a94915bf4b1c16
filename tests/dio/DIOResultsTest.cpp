// "DIO Results": the "ALL" boxes, a save that appends one row to a real SQLite file, and the
// database failures at save and at connect.
#include "DIOFixture.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

using zul::DIOResultsPage;

namespace {

const QString ProductionVersion = QStringLiteral("zulconfigt");
const QString DatabaseWarning = QStringLiteral(
    "Unable to connect to test reports database\r\nYou will not be able to save your results.");

// The DIO rows of a SQLite file, oldest first, read through a connection of the test's own.
std::vector<QSqlRecord> dioRows(const QString &file)
{
    std::vector<QSqlRecord> rows;
    const QString connection = QStringLiteral("dio-results-check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(QStringLiteral(R"(SELECT * FROM "ZUL-472K-11-Log" ORDER BY id)"), db);
            while (query.next())
                rows.push_back(query.record());
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}

} // namespace

class DIOResults : public DIOFixture
{
protected:
    QCheckBox *box(const QString &name) { return on<QCheckBox>(DIOResultsPage, name); }
    QCheckBox *box(const char *prefix, int n) { return box(QString("%1%2").arg(prefix).arg(n)); }
    void tickAll()
    {
        for (const char *all : { "CheckBox100", "CheckBox99", "CheckBox90", "CheckBox81",
                 "CheckBox109", "CheckBox110" })
            box(all)->click();
    }
    void save() { on<QPushButton>(DIOResultsPage, "Button1")->click(); }
    void pointAliasAtMissingFile()
    {
        QFile alias(dbDir.filePath("db-aliases.ini"));
        ASSERT_TRUE(alias.open(QIODevice::WriteOnly | QIODevice::Text));
        alias.write(
            ("[ZUL_472K_Log]\nDriver=QSQLITE\nDatabase=" + dbDir.filePath("gone.sqlite") + "\n")
                .toUtf8());
    }
};

TEST_F(DIOResults, AllBoxesSetTheirOwnColumnOnly)
{
    connectDIO(ProductionVersion); // the kind's pages are built when its module first connects
    box("CheckBox100")->click();
    for (int n = 1; n <= 16; ++n)
        EXPECT_TRUE(box("DINResult", n)->isChecked()) << n;
    EXPECT_FALSE(box("DOUTResult", 1)->isChecked());
    box("DINResult", 3)->click();
    EXPECT_TRUE(box("CheckBox100")->isChecked()); // a single box leaves "ALL" alone
    box("CheckBox100")->click();
    EXPECT_FALSE(box("DINResult", 16)->isChecked());

    box("CheckBox110")->click();
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(box("PINRateResult", n)->isChecked()) << n;
}

TEST_F(DIOResults, SaveAppendsOneRowWithTheTicksIdentityRatesAndUpdateTimes)
{
    connectDIO(ProductionVersion);
    ASSERT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(on<QDateEdit>(DIOResultsPage, "DIOResultsDateBox")->date(), QDate::currentDate());
    sim->model().setHoldingRegister(109, 31);
    sim->model().setHoldingRegister(110, 0xFFFF);
    sim->model().setInputRegister(101, 750); // read back as 12.50 Hz
    on<QPushButton>(zul::DIOSetupPage, "DIOSetupReadZULButton")->click();

    tickAll();
    box("DINResult", 3)->click();
    box("DINResult", 12)->click();
    box("DOUTResult", 16)->click();
    box("PINCntResult", 2)->click();
    on<QDateEdit>(DIOResultsPage, "DIOResultsDateBox")->setDate(QDate(2024, 5, 17));
    save();
    EXPECT_EQ(messages.texts(), QStringList { "Results saved to database" });
    EXPECT_EQ(messages.lastKind(), TMessageKind::Information); // a confirmation, not a warning

    std::vector<QSqlRecord> rows = dioRows(dbFile());
    ASSERT_EQ(rows.size(), 1u);
    const QSqlRecord &row = rows[0];
    EXPECT_EQ(row.value("SERIAL_NO").toString(), "00123456");
    EXPECT_EQ(row.value("BOARD_REV").toString(), "1.2A");
    EXPECT_EQ(row.value("FWARE_REV").toString(), "01.02");
    EXPECT_EQ(row.value("DATE_FLD").toDateTime().date(), QDate(2024, 5, 17));
    EXPECT_FALSE(row.value("DIN_RESULT").toBool());
    EXPECT_EQ(row.value("COMMENTS_DIN").toString(), "Failed: 3 12 ");
    EXPECT_FALSE(row.value("DOT_RESULT").toBool());
    EXPECT_EQ(row.value("COMMENTS_DOT").toString(), "Failed: 16 ");
    EXPECT_TRUE(row.value("POT_RESULT").toBool());
    EXPECT_EQ(row.value("PoutTime1").toString(), "0:0:1");
    EXPECT_EQ(row.value("PoutTime2").toString(), "0:34:57");
    EXPECT_EQ(row.value("PinMaxRate1").toString(), "750");
    EXPECT_EQ(row.value("PinMaxRate2").toString(), "60000");
    EXPECT_FALSE(row.value("PinCountPass2").toBool());
    EXPECT_TRUE(row.value("PinRatePass2").toBool());

    // The same record again, now all passed: no comment of the first save survives.
    box("DINResult", 3)->click();
    box("DINResult", 12)->click();
    box("DOUTResult", 16)->click();
    save();
    rows = dioRows(dbFile());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[1].value("DIN_RESULT").toBool());
    EXPECT_EQ(rows[1].value("COMMENTS_DIN").toString(), "");
}

TEST_F(DIOResults, UnreachableDatabaseAtSaveReportsAndKeepsThePage)
{
    connectDIO(ProductionVersion);
    ASSERT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    pointAliasAtMissingFile();
    box("CheckBox100")->click();
    on<QDateEdit>(DIOResultsPage, "DIOResultsDateBox")->setDate(QDate(2024, 1, 2));
    save();
    EXPECT_EQ(messages.texts(), QStringList { "Unable to connect to database!" });
    EXPECT_EQ(messages.lastKind(), TMessageKind::Error);
    EXPECT_TRUE(dioRows(dbFile()).empty());
    EXPECT_TRUE(box("DINResult", 7)->isChecked());
    EXPECT_EQ(on<QDateEdit>(DIOResultsPage, "DIOResultsDateBox")->date(), QDate(2024, 1, 2));
}

TEST_F(DIOResults, SaveChecksTheModuleAndRefusesWhatItCouldNotRead)
{
    connectDIO(ProductionVersion);
    tickAll();
    // A silent module: nothing is read beyond the check and nothing is saved.
    sim->setFault(zulsim::Fault::Silent);
    sim->clearRequestLog();
    save();
    sim->clearFault();
    EXPECT_EQ(messages.texts(), QStringList { "Modbus communications lost!" });
    EXPECT_TRUE(requests(4, 109).empty());
    EXPECT_TRUE(dioRows(dbFile()).empty());

    // Another DIO module plugged in since connect: its own serial number goes into the row.
    sim->model().setInputRegister(804, 0x0777);
    messages.clear();
    save();
    EXPECT_EQ(messages.texts(), QStringList { "Results saved to database" });
    ASSERT_EQ(dioRows(dbFile()).size(), 1u);
    EXPECT_EQ(dioRows(dbFile())[0].value("SERIAL_NO").toString(), "00120777");

    // Update times the module did not give are not saved as 0:0:0.
    sim->model().removeInputRegister(110);
    save();
    EXPECT_EQ(messages.last(), "Modbus communications lost!");
    EXPECT_EQ(dioRows(dbFile()).size(), 1u);
}

TEST_F(DIOResults, DatabaseWarningAtConnectOnlyInTheProductionVersion)
{
    pointAliasAtMissingFile();
    connectDIO();
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(window->Session().Records[zul::DIOList], nullptr);

    const std::string path = sim->devicePath();
    openWindow(ProductionVersion);
    connectTo(path);
    EXPECT_EQ(messages.texts(), QStringList { DatabaseWarning });
    ASSERT_EQ(window->Session().Records[zul::DIOList], nullptr);

    // Without a record the save is refused before anything is read from the module.
    messages.clear();
    sim->clearRequestLog();
    save();
    EXPECT_EQ(messages.texts(), QStringList { "Unable to connect to database!" });
    EXPECT_TRUE(requests(4, 109).empty());
}
