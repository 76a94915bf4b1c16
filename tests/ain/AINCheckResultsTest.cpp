// "AIN Check", the "Test Analogs" dialog and "AIN Results": the live page, the dialog's timers,
// expected values and pass marks, filing tests into the results grid, and a save that lands as
// one row of the AIN table.
#include "ain/UnitZUL_AIN.h"
#include "ui/ModuleFixture.h"

#include "analog/WidgetAnalogResultsPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <algorithm>

using namespace zul;

class AINTesting : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt"));
    }
    TZULAIN &unit() { return kindUnit<TZULAIN>(AINList); }
    TTestAINsForm &dialog() { return unit().TestDialog(); }
    QString shown(int number)
    {
        return on<QLabel>(AINCheckPage, QString("StaticText%1").arg(number))->text();
    }
    QRadioButton *radio(int number)
    {
        return on<QRadioButton>(AINCheckPage, QString("RadioButton%1").arg(number));
    }
    void activate()
    {
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&dialog(), &activation);
    }
    void fileTest(int column, const char *mark, const char *stimulus, const char *verdict)
    {
        TAnalogResults &results = unit().Results();
        results.SetCellText(column, 0, mark);
        results.SetCellText(column, 1, stimulus);
        results.SetCellText(column, 10, verdict);
    }
};

TEST_F(AINTesting, CheckPageShowsTheModuleAndDrivesItsOutputs)
{
    zulsim::ModuleModel &module = sim->model();
    module.setAnalogStimulus(1, 10); // the high end of 0 to 10V
    module.setDiscreteInput(2, true);
    module.setCoil(3, true);
    module.setHoldingRegister(16, 255); // target of DIO8
    showPage(AINCheckPage);
    poll();
    EXPECT_EQ(shown(25), "49152");
    EXPECT_TRUE(on<QLabel>(AINCheckPage, "Label93")->isEnabled());
    EXPECT_TRUE(radio(49)->isChecked()); // DIO3 ON
    EXPECT_EQ(shown(80), "255");
    find<QToolButton>("HexButton")->click();
    EXPECT_EQ(shown(80), "$00FF"); // at once; the values at the next tick
    EXPECT_EQ(shown(25), "49152");
    poll();
    EXPECT_EQ(shown(25), "$C000");

    on<QCheckBox>(AINCheckPage, "AINCheck_DOUTEditCheckBox")->click();
    radio(45)->click(); // DIO1 ON
    radio(48)->click(); // DIO3 OFF
    module.setCoil(3, true);
    poll(); // the choice survives while "Edit" is ticked
    EXPECT_TRUE(radio(45)->isChecked());
    sim->clearRequestLog();
    on<QPushButton>(AINCheckPage, "Button3")->click();
    const auto writes = requests(15, 1);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_FALSE(module.coil(3));
    EXPECT_TRUE(module.coil(1));

    // Unticked again: a failed coil read shows every output OFF.
    on<QCheckBox>(AINCheckPage, "AINCheck_DOUTEditCheckBox")->click();
    sim->setFault(zulsim::Fault::ExceptionReply, 2);
    unit().Check().Poll();
    for (int off = 44; off <= 58; off += 2)
        EXPECT_TRUE(radio(off)->isChecked()) << off;
    EXPECT_FALSE(on<QLabel>(AINCheckPage, "Label93")->isEnabled());
}

TEST_F(AINTesting, DialogTakesOverPollingJudgesAndFilesTests)
{
    QTimer &poll = window->ModbusTimer();
    poll.start();
    dialog().show();
    activate();
    EXPECT_FALSE(poll.isActive());
    EXPECT_TRUE(dialog().Timer->isActive());
    EXPECT_EQ(dialog().TypeLabel->text(), "Analog Input module");
    EXPECT_EQ(dialog().HWLabel->text(), "Voltage, single-ended");
    EXPECT_EQ(dialog().StimLabel->text(), "0V, 3.3V, 5V");
    EXPECT_EQ(dialog().ScaleLabels[0]->text(), "0 to 10V");

    sim->model().setAnalogStimulus(1, 5);
    dialog().TimerTick();
    EXPECT_EQ(dialog().LiveTexts[0]->text(), "$8000"); // hexadecimal whatever the window shows
    dialog().CopyButtons[0]->click();
    EXPECT_EQ(dialog().RecordText(0), "$8000");
    dialog().TestStimEdit->setText("5");
    EXPECT_EQ(dialog().ExpectedTexts[0]->text(), "$8000");
    EXPECT_TRUE(dialog().PassBoxes[0]->isChecked());
    dialog().SetRecordText(1, "$8081"); // one count beyond the initial tolerance $0080
    EXPECT_FALSE(dialog().PassBoxes[1]->isChecked());
    dialog().SetRecordText(1, "$7F80");
    EXPECT_TRUE(dialog().PassBoxes[1]->isChecked());

    dialog().CopyButton->click(); // channels 3..8 unrecorded
    TAnalogResults &results = unit().Results();
    EXPECT_EQ(results.CellText(1, 0), "V-SE");
    EXPECT_EQ(results.CellText(1, 1), "5");
    EXPECT_EQ(results.CellText(1, 2), "$8000");
    EXPECT_EQ(results.CellText(1, 10), "FAIL");
    EXPECT_EQ(results.CellText(0, 2), "AIN1"); // the fixed column from the set-up

    for (int column = 2; column <= 12; ++column)
        results.SetCellText(column, 0, "I-D");
    dialog().CopyButton->click();
    EXPECT_EQ(messages.last(), "No space in results grid! Delete some results to store more.");
    dialog().TestStimEdit->clear();
    dialog().CopyButton->click();
    EXPECT_EQ(messages.last(), "Please enter the test stimulus");

    dialog().hide();
    EXPECT_TRUE(poll.isActive());
    EXPECT_FALSE(dialog().Timer->isActive());

    // A differential module: the second input of each pair is hidden and not judged.
    for (int n = 0; n < 8; ++n)
        sim->model().setHoldingRegister(133 + n, 0x1102);
    dialog().show();
    activate();
    EXPECT_TRUE(dialog().PassBoxes[1]->isHidden());
    EXPECT_EQ(dialog().HWLabel->text(), "Voltage, differential");
    dialog().hide();

    // Another kind at activation: the message and the dialog closes with polling back.
    sim->model().setKind(zulsim::Kind::named("DIO"));
    dialog().show();
    activate();
    EXPECT_EQ(messages.last(), "Error! 472K-12 (AIN) not detected");
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(poll.isActive());
    EXPECT_FALSE(dialog().Timer->isActive());
}

TEST_F(AINTesting, PassMarksFollowTheRecordsHoweverABoxIsToggled)
{
    dialog().show();
    activate();
    dialog().TestStimEdit->setText("5"); // expected $8000 on every channel
    for (int n = 0; n < 8; ++n)
        dialog().SetRecordText(n, "$8000");
    dialog().SetRecordText(2, "$9000"); // far outside the tolerance
    QCheckBox *failing = dialog().PassBoxes[2];
    QCheckBox *passing = dialog().PassBoxes[0];
    failing->click();
    EXPECT_FALSE(failing->isChecked());
    failing->setFocus();
    QTest::keyClick(failing, Qt::Key_Space);
    EXPECT_FALSE(failing->isChecked());
    failing->setChecked(true);
    EXPECT_FALSE(failing->isChecked());
    passing->click();
    EXPECT_TRUE(passing->isChecked());

    dialog().CopyButton->click();
    EXPECT_EQ(unit().Results().CellText(1, 10), "FAIL");
    dialog().SetRecordText(2, "$8000");
    EXPECT_TRUE(failing->isChecked());
    dialog().CopyButton->click();
    EXPECT_EQ(unit().Results().CellText(2, 10), "PASS");
    dialog().hide();
}

TEST_F(AINTesting, TheKeyboardReachesEveryButtonAndNeverClearsTheRecords)
{
    dialog().show();
    activate();
    dialog().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog()));
    dialog().SetRecordText(0, "$8000");
    dialog().TestStimEdit->setFocus();
    QTest::keyClick(dialog().TestStimEdit, Qt::Key_Return);
    QTest::keyClick(dialog().TestStimEdit, Qt::Key_Enter);
    EXPECT_EQ(dialog().RecordText(0), "$8000");
    EXPECT_TRUE(dialog().isVisible());

    // One Tab cycle from "Test Stimulus" passes the record grid once and reaches every button.
    std::vector<QWidget *> stops;
    for (int n = 0; n < 60; ++n) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        if (focus == dialog().TestStimEdit)
            break;
        // A cell editor counts as the grid.
        while (focus && focus != dialog().ResultGrid && focus->parentWidget() != &dialog())
            focus = focus->parentWidget();
        stops.push_back(focus);
    }
    const auto count = [&](QWidget *widget) {
        return std::count(stops.begin(), stops.end(), widget);
    };
    EXPECT_EQ(count(dialog().ResultGrid), 1);
    for (QWidget *button :
        { static_cast<QWidget *>(dialog().CopyButton), static_cast<QWidget *>(dialog().CloseButton),
            static_cast<QWidget *>(dialog().ClearButton),
            static_cast<QWidget *>(dialog().CopyButtons[7]) })
        EXPECT_EQ(count(button), 1) << button->objectName().toStdString();
    dialog().hide();
}

TEST_F(AINTesting, TimersHandOverOnOpenAndCloseWhateverTheActivationEvents)
{
    // Opened as the results page opens it (modally), with a real message box inside; no
    // activation event is sent by hand: whatever the platform delivers, opening takes over from
    // the poll timer and closing gives it back.
    QTimer &poll = window->ModbusTimer();
    poll.start();
    const auto dialogOwnsTheLine = [&] { return !poll.isActive() && dialog().Timer->isActive(); };
    const auto windowOwnsTheLine = [&] { return poll.isActive() && !dialog().Timer->isActive(); };
    auto *open = on<QPushButton>(AINResultsPage, "AINResultsTestButton");
    bool tookOver = false;
    QString hardware;
    QTimer::singleShot(100, &dialog(), [&] {
        tookOver = dialogOwnsTheLine();
        hardware = dialog().HWLabel->text();
        QMessageBox box(QMessageBox::Information, QStringLiteral("ZUL"),
            QStringLiteral("Please enter the test stimulus"), QMessageBox::Ok, &dialog());
        QTimer::singleShot(100, &box, &QMessageBox::accept);
        box.exec();
        dialog().CloseButton->click();
    });
    open->click();
    EXPECT_TRUE(tookOver);
    EXPECT_EQ(hardware, "Voltage, single-ended");
    EXPECT_TRUE(QTest::qWaitFor(windowOwnsTheLine, 1000));
    // Some window managers hand the activation back to the dialog only after the box is gone,
    // by which time the dialog may be closed: that must not take the line back.
    QEvent lateActivation(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&dialog(), &lateActivation);
    QTest::qWait(100);
    EXPECT_TRUE(windowOwnsTheLine());

    // Opened again, it takes over and reads the hardware afresh: the configuration is gone.
    for (int n = 0; n < 8; ++n)
        sim->model().setHoldingRegister(133 + n, 0xFFFF);
    QTimer::singleShot(100, &dialog(), [&] {
        tookOver = dialogOwnsTheLine();
        hardware = dialog().HWLabel->text();
        dialog().CloseButton->click();
    });
    open->click();
    EXPECT_TRUE(tookOver);
    EXPECT_EQ(hardware, "Hardware configuration not set.");
    EXPECT_EQ(dialog().StimLabel->text(), "?");
    EXPECT_TRUE(QTest::qWaitFor(windowOwnsTheLine, 1000));
}

TEST_F(AINTesting, SaveJudgesTheDigitalColumnsAndTheFiledTestsIntoOneRow)
{
    auto *page = static_cast<TAnalogResultsPage *>(window->Page(AINResultsPage));
    page->ResultGrid->AllBox(0)->click(); // digital inputs all passed
    on<QCheckBox>(AINResultsPage, "CheckBox17")->click(); // digital outputs: only DIO2
    fileTest(1, "V-SE", "5", "PASS");
    fileTest(2, "V-SE", "10", "FAIL");
    fileTest(3, "I-D", "12", "PASS");
    fileTest(4, "V-D", "", "FAIL"); // no stimulus: not a test
    fileTest(5, "v-se", "1", "FAIL"); // no such mark
    unit().Results().SetCellText(1, 2, "$8000");
    sim->model().setHoldingRegister(109, 1875); // 60 s
    on<QPushButton>(AINResultsPage, "AINResultsSaveDBBut")->click();
    EXPECT_EQ(messages.texts(), QStringList { "Results saved to database" });

    const auto rows = tableRows("ZUL-472K-Log");
    ASSERT_EQ(rows.size(), 1u);
    const QSqlRecord &row = rows[0];
    EXPECT_EQ(row.value("SERIAL_NO").toString(), "00123456");
    EXPECT_TRUE(row.value("DIN_RESULT").toBool());
    EXPECT_EQ(row.value("COMMENTS_DIN").toString(), "");
    EXPECT_EQ(row.value("COMMENTS_DOT").toString(), "Failed: 1 3 4 5 6 7 8 ");
    EXPECT_FALSE(row.value("SE_VIN_TESTS").toBool());
    EXPECT_TRUE(row.value("SE_VIN_TESTED").toBool());
    EXPECT_EQ(row.value("COMMENTS_SE_VIN").toString(), "Failed:  10");
    EXPECT_TRUE(row.value("D_IIN_TESTS").toBool());
    EXPECT_EQ(row.value("COMMENTS_D_VIN").toString(), "Differential Voltage input not tested. ");
    EXPECT_EQ(row.value("COMMENTS_SE_IIN").toString(), "Single-ended current input not tested. ");
    EXPECT_EQ(row.value("Test1_STIM").toString(), "5");
    EXPECT_EQ(row.value("Test1_1").toString(), "$8000");
    EXPECT_EQ(row.value("Test1_2").toString(), " "); // an empty cell is saved as one space
    EXPECT_EQ(row.value("VIN_SPAN1").toInt(), 3000);
    EXPECT_EQ(row.value("SE_IIN_SPAN8").toInt(), 1500);
    EXPECT_EQ(row.value("ANALOG_CONFIG").toString(), "Voltage, single-ended");
    EXPECT_EQ(row.value("SCALE3").toString(), "AIN3: 0 to 10V");
    EXPECT_EQ(unit().Results().CellText(12, 10), " ");

    // The one-space cells are free columns again for the dialog.
    EXPECT_EQ(zul::firstFreeTestColumn(unit().Results().GridTexts()), 6);
}

TEST_F(AINTesting, SaveTakesTheIdentityFromTheModuleNotFromAStalePanel)
{
    // One missed poll reply empties the status panel and a later good poll leaves it empty;
    // then another module of the same kind is plugged in without connecting again.
    showPage(AINCheckPage);
    sim->setFault(zulsim::Fault::Silent, 1);
    poll();
    poll();
    sim->model().setInputRegister(803, 0x0065);
    sim->model().setInputRegister(804, 0x4321);
    auto *save = on<QPushButton>(AINResultsPage, "AINResultsSaveDBBut");
    save->click();
    EXPECT_EQ(messages.texts(), QStringList { "Results saved to database" });
    auto rows = tableRows("ZUL-472K-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value("SERIAL_NO").toString(), "00654321");
    EXPECT_EQ(rows[0].value("FWARE_REV").toString(), "01.02");

    // A serial number that cannot be read is no serial number: nothing is saved, and the
    // module is not read any further.
    sim->model().removeInputRegister(803);
    messages.clear();
    sim->clearRequestLog();
    save->click();
    EXPECT_EQ(messages.texts(),
        QStringList { "No serial number was read from the module. Nothing saved." });
    EXPECT_TRUE(requests(4, 109).empty());
    EXPECT_TRUE(requests(4, 143).empty());
    EXPECT_EQ(tableRows("ZUL-472K-Log").size(), 1u);
}

TEST_F(AINTesting, TheTwelfthColumnTakesATestThatCountsAtSave)
{
    for (int column = 1; column <= 11; ++column)
        fileTest(column, "V-SE", "5", "PASS");
    dialog().show();
    activate();
    dialog().TestStimEdit->setText("10");
    dialog().CopyButton->click(); // unrecorded channels: FAIL
    dialog().hide();
    EXPECT_EQ(unit().Results().CellText(12, 1), "10");
    on<QPushButton>(AINResultsPage, "AINResultsSaveDBBut")->click();
    const auto rows = tableRows("ZUL-472K-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].value("SE_VIN_TESTS").toBool());
    EXPECT_EQ(rows[0].value("COMMENTS_SE_VIN").toString(), "Failed:  10");
    EXPECT_EQ(rows[0].value("Test12_STIM").toString(), "10");
}

TEST_F(AINTesting, NothingIsSavedOrLostWhenModuleOrDatabaseFail)
{
    fileTest(1, "V-SE", "5", "PASS");
    auto *save = on<QPushButton>(AINResultsPage, "AINResultsSaveDBBut");
    sim->setFault(zulsim::Fault::ExceptionReply);
    sim->clearRequestLog();
    save->click();
    sim->clearFault();
    EXPECT_EQ(messages.texts(), QStringList { "Modbus communications lost!" });
    EXPECT_TRUE(requests(4, 109).empty()); // no update times ...
    EXPECT_TRUE(requests(4, 143).empty()); // ... and no stored calibration read
    EXPECT_TRUE(tableRows("ZUL-472K-Log").empty());
    EXPECT_EQ(unit().Results().CellText(2, 0), ""); // nothing turned into spaces

    // The database gone after connect: the record says so and the page keeps everything.
    QFile alias(dbDir.filePath("db-aliases.ini"));
    ASSERT_TRUE(alias.open(QIODevice::WriteOnly | QIODevice::Text));
    alias.write(("[ZUL_472K_Log]\nDriver=QSQLITE\nDatabase=" + dbDir.filePath("gone.sqlite") + "\n")
                    .toUtf8());
    alias.close();
    save->click();
    EXPECT_EQ(messages.last(), "Unable to connect to database!");
    EXPECT_TRUE(tableRows("ZUL-472K-Log").empty());
    EXPECT_EQ(unit().Results().CellText(1, 1), "5");

    // A scale changed between two openings of the dialog: the expectation follows it.
    dialog().TestStimEdit->setText("5");
    dialog().show();
    activate();
    EXPECT_EQ(dialog().ExpectedTexts[0]->text(), "$8000"); // 0 to 10V
    dialog().hide();
    sim->model().setHoldingRegister(101, 0x1101); // 0 to 5V
    dialog().show();
    activate();
    EXPECT_EQ(dialog().ExpectedTexts[0]->text(), "$C000");

    // An unknown hardware configuration still takes its column.
    dialog().hide();
    for (int n = 0; n < 8; ++n)
        sim->model().setHoldingRegister(133 + n, 0x0000);
    dialog().show();
    activate();
    dialog().CopyButton->click();
    dialog().CopyButton->click();
    EXPECT_EQ(unit().Results().CellText(2, 0), "?");
    EXPECT_EQ(unit().Results().CellText(3, 0), "?");
    dialog().hide();
}
