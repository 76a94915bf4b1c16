// "AOT Check", the output "Test Analogs" dialog and "AOT Results": outputs driven from the page
// and from the dialog, expected values in volts and milliamps with their tolerance, and a save
// that lands as one row of the AOT table, and the line under Save that names where it lands.
#include "aot/UnitZUL_AOT.h"
#include "records/ResultsTarget.h"
#include "ui/ModuleFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using namespace zul;

class AOTTesting : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        connectKind(zulsim::Kind::named("AOT"), QStringLiteral("zulconfigt"));
    }
    TZULAOT &unit() { return kindUnit<TZULAOT>(AOTList); }
    TTestAOTsForm &dialog() { return unit().TestDialog(); }
    QLineEdit *scaled(int channel)
    {
        return on<QLineEdit>(AOTCheckPage, QString("Edit%1").arg(117 - channel));
    }
    void activate()
    {
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&dialog(), &activation);
    }
};

TEST_F(AOTTesting, CheckPageWritesItsScaledEditsAtEveryTick)
{
    showPage(AOTCheckPage);
    EXPECT_EQ(scaled(1)->text(), "0"); // empty until shown
    scaled(1)->setText("$C000");
    scaled(2)->setText("abc");
    scaled(3)->setText("70000"); // low 16 bits: 4464
    sim->clearRequestLog();
    poll();
    const std::vector<std::uint16_t> first = blockWrite(1);
    ASSERT_EQ(first.size(), 8u);
    EXPECT_EQ(first[0], 0xC000);
    EXPECT_EQ(first[1], 0);
    EXPECT_EQ(first[2], 70000 & 0xFFFF);

    on<QLineEdit>(AOTCheckPage, "AOTCheckCopyFrom")->setText("16384");
    on<QPushButton>(AOTCheckPage, "AOTCheckCopyButton")->click();
    EXPECT_EQ(scaled(8)->text(), "16384");
    find<QToolButton>("HexButton")->click();
    EXPECT_EQ(scaled(8)->text(), "$4000");
    EXPECT_EQ(scaled(1)->text(), "$4000");
    sim->clearRequestLog();
    poll();
    EXPECT_EQ(blockWrite(1), std::vector<std::uint16_t>(8, 0x4000));
    EXPECT_EQ(on<QLabel>(AOTCheckPage, "StaticText64")->text(), "$0000");
}

TEST_F(AOTTesting, DialogDrivesTheOutputsAndJudgesInUnits)
{
    for (int n = 0; n < 8; ++n)
        sim->model().setHoldingRegister(101 + n, n == 1 ? 0x0103 : 0x1102); // AOT2 4 to 20mA source
    dialog().show();
    activate();
    EXPECT_EQ(dialog().HWLabel->text(), "Voltage");
    EXPECT_EQ(dialog().StimLabel->text(), "$4000, $8000, $C000");
    EXPECT_EQ(dialog().ScaleLabels[1]->text(), "4 to 20mA");
    EXPECT_FALSE(window->ModbusTimer().isActive());

    dialog().TestStimEdit->setText("8000");
    EXPECT_EQ(dialog().ExpectedTexts[0]->text(), "5");
    EXPECT_EQ(dialog().ExpectedTexts[1]->text(), "12");
    sim->clearRequestLog();
    dialog().TimerTick();
    EXPECT_EQ(blockWrite(1), std::vector<std::uint16_t>(8, 0x8000));

    dialog().SetRecordText(0, "5.5"); // 5% of 10 V
    dialog().SetRecordText(1, "12.99"); // 5% of 20 mA is 1.0 mA
    dialog().SetRecordText(2, "5.51");
    EXPECT_TRUE(dialog().PassBoxes[0]->isChecked());
    EXPECT_TRUE(dialog().PassBoxes[1]->isChecked());
    EXPECT_FALSE(dialog().PassBoxes[2]->isChecked());
    dialog().TolEdit->setText("0.5");
    EXPECT_TRUE(dialog().PassBoxes[0]->isChecked());
    EXPECT_FALSE(dialog().PassBoxes[1]->isChecked());
    dialog().TolEdit->setText("%");
    EXPECT_FALSE(dialog().PassBoxes[0]->isChecked());

    // A typed "$" makes no number: nothing is written, nothing expected.
    dialog().TestStimEdit->setText("$8000");
    EXPECT_EQ(dialog().ExpectedTexts[0]->text(), "");
    sim->clearRequestLog();
    dialog().TimerTick();
    EXPECT_TRUE(requests(16, 1).empty());

    dialog().TestStimEdit->setText("C000");
    dialog().CopyButton->click();
    TAnalogResults &results = unit().Results();
    EXPECT_EQ(results.CellText(1, 0), "V");
    EXPECT_EQ(results.CellText(1, 1), "C000");
    EXPECT_EQ(results.CellText(1, 10), "FAIL");
    dialog().hide();
    EXPECT_TRUE(window->ModbusTimer().isActive());
}

TEST_F(AOTTesting, SaveJudgesVoltageAndCurrentTestsAndKeepsTheStoredSets)
{
    TAnalogResults &results = unit().Results();
    const auto file = [&](int column, const char *mark, const char *stimulus, const char *verdict) {
        results.SetCellText(column, 0, mark);
        results.SetCellText(column, 1, stimulus);
        results.SetCellText(column, 10, verdict);
    };
    file(1, "V", "4000", "PASS");
    file(2, "V", "C000", "FAIL");
    on<QCheckBox>(AOTResultsPage, "CheckBox64")->click(); // digital inputs ALL
    on<QPushButton>(AOTResultsPage, "Button_DBResultsSave")->click();
    EXPECT_EQ(messages.texts(), QStringList { "Results saved to database" });

    // Corrected and saved again: the second row has no failure left.
    file(2, "V", "C000", "PASS");
    on<QPushButton>(AOTResultsPage, "Button_DBResultsSave")->click();
    const auto rows = tableRows("ZUL-472K-13-Log");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].value("COMMENTS_VOUT").toString(), "Failed:  C000");
    EXPECT_FALSE(rows[0].value("VOUT_TESTS").toBool());
    EXPECT_TRUE(rows[1].value("VOUT_TESTS").toBool());
    EXPECT_EQ(rows[1].value("COMMENTS_VOUT").toString(), "");
    EXPECT_FALSE(rows[1].value("IOUT_TESTED").toBool());
    EXPECT_EQ(rows[1].value("COMMENTS_IOUT").toString(), "Current source not tested. ");
    EXPECT_TRUE(rows[1].value("DIN_RESULT").toBool());
    EXPECT_EQ(rows[1].value("COMMENTS_DOT").toString(), "Failed: 1 2 3 4 5 6 7 8 ");
    EXPECT_EQ(rows[1].value("VOT_SPAN1").toInt(), 3000);
    EXPECT_EQ(rows[1].value("IOT_SPAN8").toInt(), 1500);
    EXPECT_EQ(rows[1].value("ANALOG_CONFIG").toString(), "Voltage");
    EXPECT_EQ(rows[1].value("SCALE1").toString(), "AOT1: 0 to 10V");
}

TEST_F(AOTTesting, ResultsPageNamesWhereSaveWritesWhenShownAndAtSave)
{
    showPage(AOTResultsPage);
    auto *target = on<QLabel>(AOTResultsPage, "ResultsTargetLabel");
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->text(), "Saved to local file " + abbreviateHome(dbFile(), QDir::homePath()));

    // The alias edited while the tool runs: the page says so when shown again...
    const QString other = dbDir.filePath("other.sqlite");
    QFile alias(dbDir.filePath("db-aliases.ini"));
    ASSERT_TRUE(alias.open(QIODevice::WriteOnly | QIODevice::Text));
    alias.write(
        QStringLiteral("[ZUL_472K_Log]\nDriver=QSQLITE\nDatabase=%1\n").arg(other).toUtf8());
    alias.close();
    showPage(AOTCheckPage);
    showPage(AOTResultsPage);
    const QString sqliteTarget = "Saved to SQLite file " + abbreviateHome(other, QDir::homePath());
    EXPECT_EQ(target->text(), sqliteTarget);

    // ...and a save reads it again while the page stays in front.
    ASSERT_TRUE(alias.remove());
    on<QPushButton>(AOTResultsPage, "Button_DBResultsSave")->click();
    EXPECT_EQ(target->text(), "Saved to local file " + abbreviateHome(dbFile(), QDir::homePath()));
    EXPECT_EQ(tableRows("ZUL-472K-13-Log").size(), 1u);
}
