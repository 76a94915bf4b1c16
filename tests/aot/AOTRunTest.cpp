// A production run of an AOT module in the window, against the in-process simulator: the
// operator reads every output off a meter and types the readings into the dock, Enter going
// down the rows and from the last one to Next; the run drives, calibrates, verifies, files and
// saves through the pages' own operations, and sets the outputs back at its end.
#include "analog/WidgetCalibrationPage.h"
#include "aot/UnitZUL_AOT.h"
#include "run/RunEngine.h"
#include "rundock/RunDock.h"
#include "rundock/RunReadingsTable.h"
#include "ui/ModuleFixture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <array>
#include <functional>

using namespace zul;
using zul::run::Outcome;
using zul::run::StepStatus;

class AOTRun : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        m_previousData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dbDir.path()));
        connectKind(zulsim::Kind::named("AOT"), QStringLiteral("zulconfigt"));
        find<QAction>("ActionProductionRun")->trigger();
        auto *plans = find<QComboBox>("RunPlanBox");
        plans->setCurrentIndex(plans->findText("AOT voltage output 0 to 10V"));
        find<QLineEdit>("RunOperatorEdit")->setText("Ann Tester");
        find<QPushButton>("RunStartButton")->click();
        ASSERT_NE(dock().CurrentRun(), nullptr);
    }

    void TearDown() override
    {
        ModuleFixture::TearDown();
        qputenv("XDG_DATA_HOME", m_previousData);
    }

    TRunDock &dock() { return *window->RunDock(); }
    const run::Run &run() { return *dock().CurrentRun(); }
    QString currentStep()
    {
        return run().finished() ? QString()
                                : QString::fromStdString(run().steps()[run().current()].step.name);
    }
    QTableWidget *readingsTable() { return find<QTableWidget>("RunReadingsTable"); }

    // The meter on output n (1-based): a 0 to 10 V output at the word the module drives it
    // to, plus the fault the test puts on it.
    double meter(int output)
    {
        const double word = sim->model().holdingRegister(output);
        return (word - 0x4000) / 0x8000 * 10 + m_fault[static_cast<std::size_t>(output - 1)];
    }

    // Types into the focused cell and presses Enter, as the operator does.
    void type(const QString &text)
    {
        QWidget *cell = readingsTable()->focusWidget();
        ASSERT_NE(cell, nullptr);
        QTest::keyClicks(cell, text);
        QTest::keyClick(cell, Qt::Key_Return);
    }

    // The operator: a second passes (the page drives the outputs), each output is read off the
    // meter and typed in; other steps, and failed ones, just get Next. Then ticks while the step
    // works.
    void work(const std::function<void(const QString &step)> &before = {})
    {
        for (int step = 0; step < 40 && !run().finished(); ++step) {
            if (before)
                before(currentStep());
            if (run().finished())
                return;
            const bool pending = run().steps()[run().current()].status == StepStatus::Pending;
            if (readingsTable()->isVisible() && pending) {
                poll();
                for (int output = 1; output <= 8; ++output) {
                    EXPECT_EQ(readingsTable()->focusWidget()->objectName(),
                        QStringLiteral("RunReading%1").arg(output));
                    type(QString::number(meter(output), 'g', 6));
                }
            } else {
                if (currentStep() == "Digital points" && pending)
                    tickEveryPoint(AOTResultsPage);
                find<QPushButton>("RunNextButton")->click();
            }
            for (int tick = 0; tick < 20 && run().running(); ++tick)
                poll();
        }
    }

    QString stepMessage(const QString &name)
    {
        for (const run::StepRecord &record : run().steps())
            if (QString::fromStdString(record.step.name) == name && !record.attempts.empty())
                return QString::fromStdString(record.attempts.back().message);
        return {};
    }

    std::vector<std::uint16_t> outputs()
    {
        std::vector<std::uint16_t> words;
        for (int output = 1; output <= 8; ++output)
            words.push_back(sim->model().holdingRegister(output));
        return words;
    }

    std::array<double, 8> m_fault {};
    QByteArray m_previousData;
};

TEST_F(AOTRun, AModuleGoesThroughItsRunOnTypedReadingsToItsSavedRow)
{
    const std::vector<run::StepRecord> &steps = run().steps();
    std::vector<std::string> names;
    for (const run::StepRecord &record : steps)
        names.push_back(record.step.name);
    EXPECT_EQ(names,
        (std::vector<std::string> { "Identify", "Configuration", "Scales", "Calibration low",
            "Calibration high", "Calibration save", "Verification $4000", "Verification $8000",
            "Verification $C000", "Digital points", "Save" }));

    std::vector<std::uint16_t> drivenAtHigh;
    work([&](const QString &step) {
        if (step == "Calibration high") {
            EXPECT_EQ(text("RunPromptLabel"), "Measure every output and type the readings");
            EXPECT_EQ(find<QTabWidget>("PageControl_ZUL")->currentIndex(), AOTCalPage);
            // From a page, Ctrl+R takes the keyboard back to the readings.
            kindUnit<TZULAOT>(AOTList).Calibration().Edit101->setFocus();
            find<QAction>("ActionProductionRun")->trigger();
            EXPECT_EQ(window->focusWidget(), find<QLineEdit>("RunReading1"));
            poll();
            drivenAtHigh = outputs();
        }
    });
    ASSERT_TRUE(run().finished());
    for (const run::StepRecord &record : steps)
        EXPECT_EQ(record.status, StepStatus::Passed)
            << record.step.name << ": "
            << (record.attempts.empty() ? "" : record.attempts.back().message);
    EXPECT_EQ(run().outcome(), Outcome::Passed);
    EXPECT_EQ(text("RunOutcomeLabel"), "PASSED");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();

    // The calibration page drove the outputs; its grid holds the raw values and the readings.
    EXPECT_EQ(drivenAtHigh, std::vector<std::uint16_t>(8, 0xC000));
    auto &unit = kindUnit<TZULAOT>(AOTList);
    EXPECT_EQ(unit.Calibration().Common().Page().ReadingHighEdits[7]->text(), "10");
    EXPECT_EQ(unit.Calibration().Common().Page().ReadingLowEdits[0]->text(), "0");
    EXPECT_TRUE(storeRan(192));
    EXPECT_EQ(stepMessage("Verification $8000"), "8 of 8 within 5% of the expected value");

    // The results row, with the operator as TECHNICIAN and the three verifications filed.
    const auto rows = tableRows("ZUL-472K-13-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value("TECHNICIAN").toString(), "Ann Tester");
    EXPECT_TRUE(rows[0].value("VOUT_TESTS").toBool());
    EXPECT_EQ(rows[0].value("COMMENTS_VOUT").toString(), "");
    EXPECT_EQ(rows[0].value("SCALE1").toString(), "AOT1: 0 to 10V");
    EXPECT_EQ(unit.Results().CellText(2, 1), "8000");
    EXPECT_EQ(unit.Results().CellText(3, 10), "PASS");

    // The run's record, and the outputs back at the safe value.
    const QStringList files = QDir(dbDir.filePath("zulconfig/runs")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_TRUE(files[0].startsWith("AOT-"));
    const auto runs = tableRows("ZUL-Run-Log");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].value("OUTCOME").toString(), "PASSED");
    EXPECT_EQ(runs[0].value("PLAN").toString(), "AOT voltage output 0 to 10V");
    EXPECT_EQ(runs[0].value("RESULT_ROW").toLongLong(), rows[0].value("id").toLongLong());
    EXPECT_TRUE(runs[0].value("RECORD").toString().contains("\"AOT3 reading\""));
    EXPECT_EQ(outputs(), std::vector<std::uint16_t>(8, 0x4000));
    EXPECT_FALSE(readingsTable()->isVisible());
}

TEST_F(AOTRun, AReadingOutOfToleranceFailsTheRunAndNamesTheOutput)
{
    work([&](const QString &step) {
        // Half a volt off at mid-range only: 5% of 10 V is 0.5 V, so 0.6 V fails.
        m_fault[5] = step == "Verification $8000" ? 0.6 : 0;
    });
    ASSERT_TRUE(run().finished());
    EXPECT_EQ(run().outcome(), Outcome::Failed);
    EXPECT_EQ(text("RunOutcomeLabel"), "FAILED");
    const QString failed = stepMessage("Verification $8000");
    EXPECT_TRUE(failed.contains("7 of 8") && failed.contains("outside: AOT6"))
        << failed.toStdString();
    EXPECT_EQ(stepMessage("Verification $C000"), "8 of 8 within 5% of the expected value");

    const auto rows = tableRows("ZUL-472K-13-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].value("VOUT_TESTS").toBool());
    EXPECT_EQ(rows[0].value("COMMENTS_VOUT").toString(), "Failed:  8000");
    EXPECT_EQ(kindUnit<TZULAOT>(AOTList).Results().CellText(2, 10), "FAIL");
}

TEST_F(AOTRun, AReadingThatIsNoNumberKeepsTheStepWaitingWithTheCellMarked)
{
    work([&](const QString &step) {
        if (step != "Calibration low")
            return;
        poll();
        for (int output = 1; output <= 8; ++output)
            type(output == 3 ? "1.2.3" : output == 5 ? "" : "0");
        // Nothing ran: no attempt, nothing taken as zero; both cells marked and named.
        const run::StepRecord &record = run().steps()[run().current()];
        EXPECT_EQ(record.status, StepStatus::Pending);
        EXPECT_TRUE(record.attempts.empty());
        EXPECT_EQ(text("RunPromptLabel"),
            "Type a number for AOT3, AOT5 (\".\" or \".\" before "
            "the decimals)");
        auto *third = find<QLineEdit>("RunReading3");
        EXPECT_TRUE(third->property("invalidReading").toBool());
        EXPECT_TRUE(find<QLineEdit>("RunReading5")->property("invalidReading").toBool());
        EXPECT_FALSE(find<QLineEdit>("RunReading4")->property("invalidReading").toBool());
        EXPECT_EQ(readingsTable()->focusWidget(), third);
        // The locale's separator is taken, nothing else: "0,0" is no number in this one.
        third->setText("0");
        find<QLineEdit>("RunReading5")->setText("0,0");
        find<QLineEdit>("RunReading8")->setFocus();
        QTest::keyClick(find<QLineEdit>("RunReading8"), Qt::Key_Return);
        EXPECT_FALSE(third->property("invalidReading").toBool());
        EXPECT_TRUE(find<QLineEdit>("RunReading5")->property("invalidReading").toBool());
        EXPECT_TRUE(record.attempts.empty());
        // Mended, the step runs on the next Enter from the last row.
        find<QLineEdit>("RunReading5")->setText("0.0");
        QTest::keyClick(find<QLineEdit>("RunReading8"), Qt::Key_Return);
        EXPECT_FALSE(find<QLineEdit>("RunReading5")->property("invalidReading").toBool());
        EXPECT_EQ(record.attempts.size(), 1u);
    });
    EXPECT_EQ(run().outcome(), Outcome::Passed);
    // The typed forms a reading may take.
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ParseReading(" 2.5 ", german), 2.5);
    EXPECT_EQ(ParseReading("2,5", german), 2.5);
    EXPECT_EQ(ParseReading("-0.25", english), -0.25);
    EXPECT_EQ(ParseReading("2,5", english), std::nullopt);
    EXPECT_EQ(ParseReading("1,500", english), std::nullopt);
    EXPECT_EQ(ParseReading("", english), std::nullopt);
    EXPECT_EQ(ParseReading("inf", english), std::nullopt);
    EXPECT_EQ(ParseReading("5 V", english), std::nullopt);
}

TEST_F(AOTRun, AnAbortOrAClosedDockSetsTheOutputsBackToTheSafeValue)
{
    work([&](const QString &step) {
        if (step != "Calibration high")
            return;
        poll();
        ASSERT_EQ(outputs(), std::vector<std::uint16_t>(8, 0xC000));
        dock().Abort(false);
    });
    EXPECT_EQ(run().outcome(), Outcome::Aborted);
    EXPECT_EQ(outputs(), std::vector<std::uint16_t>(8, 0x4000));
    // The calibration page, still shown, drives the safe value from now on too.
    poll();
    EXPECT_EQ(outputs(), std::vector<std::uint16_t>(8, 0x4000));
    EXPECT_EQ(tableRows("ZUL-Run-Log").at(0).value("OUTCOME").toString(), "ABORTED");

    // Again, up to the first verification's drive; then the dock is closed.
    find<QPushButton>("RunStartButton")->click();
    work([&](const QString &step) {
        if (step != "Verification $C000")
            return;
        ASSERT_EQ(outputs(), std::vector<std::uint16_t>(8, 0xC000));
        find<QDockWidget>("ProductionRunDock")->close();
    });
    EXPECT_EQ(run().outcome(), Outcome::Aborted);
    EXPECT_EQ(outputs(), std::vector<std::uint16_t>(8, 0x4000));

    // A run that ends with another kind of module on the port writes nothing to it.
    find<QAction>("ActionProductionRun")->trigger();
    find<QPushButton>("RunStartButton")->click();
    work([&](const QString &step) {
        if (step != "Verification $8000")
            return;
        ASSERT_EQ(sim->command("kind DIO"), "ok kind DIO");
        sim->clearRequestLog();
        dock().Abort(false);
    });
    EXPECT_EQ(run().outcome(), Outcome::Aborted);
    EXPECT_TRUE(requests(16, 1).empty());
}

TEST_F(AOTRun, QuittingTheToolDuringARunSetsTheOutputsBackToTheSafeValue)
{
    work([&](const QString &step) {
        if (step != "Verification $C000")
            return;
        ASSERT_EQ(outputs(), std::vector<std::uint16_t>(8, 0xC000));
        window->close();
    });
    EXPECT_EQ(run().outcome(), Outcome::Aborted);
    EXPECT_EQ(outputs(), std::vector<std::uint16_t>(8, 0x4000));
    EXPECT_EQ(tableRows("ZUL-Run-Log").at(0).value("OUTCOME").toString(), "ABORTED");
}
