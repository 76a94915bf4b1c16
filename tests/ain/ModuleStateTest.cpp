// One state of the module and one judgement of each test: the status panel, the save, its
// certificate and the production run all take the module's facts from what was read of it, never
// from a label; a test filed by hand keeps the tolerance it was judged with all the way into
// the certificate; a grid cell typed over afterwards carries its text into the filed test.
#include "ain/UnitZUL_AIN.h"
#include "certificate/CertificateSupport.h"
#include "core/Registers.h"
#include "records/ZUL_Database.h"
#include "run/RunEngine.h"
#include "rundock/RunDock.h"
#include "runsteps/RunSave.h"
#include "ui/ModuleFixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>

using namespace zul;

class AINModuleState : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        m_previousFolder = qgetenv("ZUL_CERTIFICATE_DIR");
        m_previousData = qgetenv("XDG_DATA_HOME");
        qputenv("ZUL_CERTIFICATE_DIR", QFile::encodeName(certificateDir.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dbDir.path()));
        connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt"));
    }
    void TearDown() override
    {
        ModuleFixture::TearDown();
        qputenv("ZUL_CERTIFICATE_DIR", m_previousFolder);
        qputenv("XDG_DATA_HOME", m_previousData);
    }

    TZULAIN &unit() { return kindUnit<TZULAIN>(AINList); }
    TTestAINsForm &dialog() { return unit().TestDialog(); }
    QString certificateText(const QSqlRecord &row) const
    {
        const QString pdf = certificateDir.filePath(
            QStringLiteral("AIN/AIN-%1-%2-%3.pdf")
                .arg(row.value("SERIAL_NO").toString(), QDate::currentDate().toString("yyyyMMdd"),
                    row.value("id").toString()));
        return QFile::exists(pdf) ? flattened(pdfPages(pdf).join(' ')) : QString();
    }
    void save()
    {
        messages.clear();
        on<QPushButton>(AINResultsPage, "AINResultsSaveDBBut")->click();
    }

    QTemporaryDir settingsDir;
    QTemporaryDir certificateDir;
    QByteArray m_previousFolder;
    QByteArray m_previousData;
};

TEST_F(AINModuleState, PanelSaveCertificateAndRunFollowTheModuleStateAndNoLabel)
{
    // Another serial on the line: the panel shows it once the state has read it.
    sim->model().setInputRegister(reg::Identity + 2, 0x0042);
    sim->model().setInputRegister(reg::Identity + 3, 0x1234);
    find<QPushButton>("UpdateStatusBut")->click();
    EXPECT_EQ(window->Session().Module.serialText(), "00421234");
    EXPECT_EQ(text("PCBNumLabel"), "00421234");
    EXPECT_EQ(text("Label170"), QString::fromStdString(window->Session().Module.channelText(1)));

    // A label typed over is only a picture: nothing takes its text.
    find<QLabel>("PCBNumLabel")->setText("DEADBEEF");
    find<QLabel>("ModelNameLabel")->setText("Someone else's module");
    find<QLabel>("ZULHWLabel")->setText("Current, differential");
    TAnalogResults &results = unit().Results();
    results.SetCellText(1, 0, "V-SE");
    results.SetCellText(1, 1, "5");
    results.SetCellText(1, 2, "$8000");
    results.SetCellText(1, 10, "PASS");
    save();
    const auto rows = tableRows(TDataModule_Results::AIN_Table);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value("SERIAL_NO").toString(), "00421234");
    EXPECT_EQ(rows[0].value("ANALOG_CONFIG").toString().toStdString(),
        window->Session().Module.hardwareText());
    const QString certificate = certificateText(rows[0]);
    EXPECT_TRUE(certificate.contains("00421234"));
    EXPECT_TRUE(certificate.contains("472K-12 (AIN)"));
    EXPECT_FALSE(certificate.contains("DEADBEEF"));
    EXPECT_FALSE(certificate.contains("Someone else"));
    EXPECT_EQ(text("PCBNumLabel"), "00421234"); // the save read the module and redrew the panel

    // The run's Identify names the module the state read.
    find<QLabel>("PCBNumLabel")->setText("DEADBEEF");
    find<QAction>("ActionProductionRun")->trigger();
    auto *plans = find<QComboBox>("RunPlanBox");
    plans->setCurrentIndex(plans->findText("AIN single-ended voltage 0 to 10V"));
    find<QLineEdit>("RunOperatorEdit")->setText("Ann Tester");
    find<QPushButton>("RunStartButton")->click();
    const run::Run *run = window->RunDock()->CurrentRun();
    ASSERT_NE(run, nullptr);
    for (int press = 0; press < 3 && run->steps()[0].attempts.empty(); ++press) {
        find<QPushButton>("RunNextButton")->click();
        for (int tick = 0; tick < 20 && run->running(); ++tick)
            poll();
    }
    ASSERT_FALSE(run->steps()[0].attempts.empty());
    EXPECT_EQ(run->steps()[0].attempts.back().message,
        "472K-12 (AIN), serial 00421234, firmware " + window->Session().Module.firmwareText()
            + ", board " + window->Session().Module.boardText());
}

TEST_F(AINModuleState, AHandTestKeepsItsToleranceAndVerdictIntoTheRowAndTheCertificate)
{
    dialog().show();
    QEvent activation(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&dialog(), &activation);
    dialog().TolEdit->setText("$0100"); // wider than the dialog's standard $0080
    dialog().TestStimEdit->setText("5"); // $8000 expected on every channel
    for (int n = 0; n < 8; ++n)
        dialog().SetRecordText(n, "$8000");
    dialog().SetRecordText(1, "$80C0"); // within $0100, outside $0080
    dialog().CopyButton->click();
    dialog().hide();

    const std::vector<FiledTest> filed = unit().Results().FiledTests();
    ASSERT_EQ(filed.size(), 1u);
    EXPECT_EQ(filed[0].tolerance, "$0100");
    EXPECT_EQ(filed[0].by, FiledBy::Hand);
    EXPECT_TRUE(filed[0].passed);
    EXPECT_TRUE(filed[0].channels[1].judged);
    EXPECT_EQ(filed[0].channels[1].expected, "$8000");
    EXPECT_EQ(unit().Results().CellText(1, 10), "PASS");

    save();
    const auto rows = tableRows(TDataModule_Results::AIN_Table);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].value("SE_VIN_TESTS").toBool());
    const QString certificate = certificateText(rows[0]);
    // Judged once, with the test's own tolerance: the line says so and agrees with the row.
    EXPECT_TRUE(certificate.contains("1 2 5V $8000 $80C0 $0100 192 PASS"))
        << certificate.toStdString();
    EXPECT_TRUE(certificate.contains("SE_VIN_TESTS PASS"));
    EXPECT_FALSE(certificate.contains("test by hand is not stored"));
}

TEST_F(AINModuleState, ACellTypedOverCarriesItsTextIntoTheFiledTestAndAnEmptiedColumnDropsIt)
{
    dialog().show();
    QEvent activation(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&dialog(), &activation);
    dialog().TestStimEdit->setText("5");
    dialog().SetRecordText(0, "$8000");
    dialog().CopyButton->click(); // column 1
    dialog().CopyButton->click(); // column 2
    dialog().hide();

    QTableWidget *grid = on<QTableWidget>(AINResultsPage, "AINResultsGrid");
    ASSERT_NE(grid, nullptr);
    // The user types over the verdict of the first test and empties the second one.
    ASSERT_EQ(unit().Results().CellText(1, 10), "FAIL"); // seven channels unrecorded
    grid->item(10, 1)->setText("PASS");
    grid->item(0, 2)->setText("");
    grid->item(1, 2)->setText(" ");
    const std::vector<FiledTest> filed = unit().Results().FiledTests();
    ASSERT_EQ(filed.size(), 1u);
    EXPECT_EQ(filed[0].column, 1);
    EXPECT_TRUE(filed[0].passed); // the row counts the cell's text, and so does the test
    EXPECT_TRUE(filed[0].editedByHand);

    // Our own writes are no hand edits; a new module starts with nothing filed.
    unit().Results().ClearForNextModule();
    EXPECT_TRUE(unit().Results().FiledTests().empty());
}

TEST_F(AINModuleState, ARunsSaveThatThrowsLeavesNoOperatorOrPlanForTheNextHandSave)
{
    TAnalogResults &results = unit().Results();
    // The adapter is pulled while the run's save works: the step never ends normally.
    EXPECT_THROW(RunSave(QStringLiteral("Ann Tester"), "AIN 0-10V",
                     [](const TSaveContext &who) -> bool {
                         EXPECT_EQ(who.Operator, "Ann Tester");
                         throw std::runtime_error("adapter pulled");
                     }),
        std::runtime_error);
    results.SetCellText(1, 0, "V-SE");
    results.SetCellText(1, 1, "5");
    save();
    const auto rows = tableRows(TDataModule_Results::AIN_Table);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value("TECHNICIAN").toString(), "");
    const QString certificate = certificateText(rows[0]);
    EXPECT_TRUE(certificate.contains("Method manual test")) << certificate.toStdString();
    EXPECT_FALSE(certificate.contains("Ann Tester"));
}
