// A production run of an AIN module in the window, against the in-process simulator: the
// operator presses Next and applies each prompted stimulus; the run configures, calibrates,
// verifies, files and saves through the pages' own operations.
#include "ain/UnitZUL_AIN.h"
#include "core/Registers.h"
#include "run/RunEngine.h"
#include "rundock/RunDock.h"
#include "ui/ModuleFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace zul;
using zul::run::Outcome;
using zul::run::StepStatus;

class AINRun : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        // Run records go beside the test's database, not into the user's data folder.
        m_previousData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dbDir.path()));
        connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt"));
        find<QAction>("ActionProductionRun")->trigger();
        auto *plans = find<QComboBox>("RunPlanBox");
        plans->setCurrentIndex(plans->findText("AIN single-ended voltage 0 to 10V"));
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

    // The operator: applies what the prompt asks to every input, presses Next, and waits (poll
    // ticks) while the step works; `before` runs first, as a disturbance of the test.
    void work(const std::function<void(const QString &step)> &before = {})
    {
        for (int step = 0; step < 40 && !run().finished(); ++step) {
            const QString name = currentStep();
            if (before)
                before(name);
            static const QRegularExpression apply(QStringLiteral("^Apply ([0-9.]+)V"));
            const auto match = apply.match(text("RunPromptLabel"));
            if (match.hasMatch())
                for (int channel = 1; channel <= 8; ++channel)
                    sim->model().setAnalogStimulus(channel, match.captured(1).toDouble());
            if (name == "Digital points" && m_tickPoints)
                tickEveryPoint(AINResultsPage);
            find<QPushButton>("RunNextButton")->click();
            for (int tick = 0; tick < 20 && run().running(); ++tick)
                poll();
        }
    }

    // The verdict of the certificate of a saved row, from its JSON twin.
    QString certificateVerdict(const QSqlRecord &row)
    {
        const QString number =
            QStringLiteral("AIN-00123456-%1-%2")
                .arg(QDate::currentDate().toString("yyyyMMdd"), row.value("id").toString());
        QFile twin(qEnvironmentVariable("ZUL_CERTIFICATE_DIR") + "/AIN/" + number + ".json");
        if (!twin.open(QIODevice::ReadOnly))
            return QStringLiteral("no certificate ") + twin.fileName();
        return QJsonDocument::fromJson(twin.readAll()).object()["verdict"].toString();
    }

    QByteArray m_previousData;
    bool m_tickPoints = true; // the operator found every digital point working

    QString stepMessage(const QString &name)
    {
        for (const run::StepRecord &record : run().steps())
            if (QString::fromStdString(record.step.name) == name && !record.attempts.empty())
                return QString::fromStdString(record.attempts.back().message);
        return {};
    }
};

TEST_F(AINRun, AModuleGoesFromIdentifyToItsSavedRowByPressingNext)
{
    work();
    ASSERT_TRUE(run().finished());
    for (const run::StepRecord &record : run().steps())
        EXPECT_EQ(record.status, StepStatus::Passed)
            << record.step.name << ": "
            << (record.attempts.empty() ? "" : record.attempts.back().message);
    EXPECT_EQ(run().outcome(), Outcome::Passed);
    EXPECT_EQ(text("RunOutcomeLabel"), "PASSED");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();

    // What the module holds: the configuration, the scales and a calibration the run saved.
    EXPECT_EQ(sim->model().inputRegister(reg::HardwareCodes), 0x1101);
    EXPECT_EQ(sim->model().inputRegister(reg::ScaleCodes + 7), 0x1102);
    EXPECT_TRUE(storeRan(192));

    // The results row, with the operator as TECHNICIAN and the three verifications filed.
    const auto rows = tableRows("ZUL-472K-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value("TECHNICIAN").toString(), "Ann Tester");
    EXPECT_EQ(rows[0].value("SERIAL_NO").toString(), "00123456");
    EXPECT_TRUE(rows[0].value("SE_VIN_TESTS").toBool());
    EXPECT_EQ(rows[0].value("Test1_STIM").toString(), "0");
    EXPECT_EQ(rows[0].value("Test2_STIM").toString(), "3.3");
    EXPECT_EQ(rows[0].value("Test3_STIM").toString(), "5");
    auto &results = kindUnit<TZULAIN>(AINList).Results();
    EXPECT_EQ(results.CellText(2, 10), "PASS");
    EXPECT_EQ(stepMessage("Verification 3.3V"), "8 of 8 within $0080 of the expected value");

    // The run's record: a JSON file and a row of the run log naming the saved row.
    EXPECT_TRUE(text("RunRecordLabel").contains("and to the results database"))
        << text("RunRecordLabel").toStdString();
    const QStringList files = QDir(dbDir.filePath("zulconfig/runs")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_TRUE(files[0].startsWith("AIN-00123456-"));
    const auto runs = tableRows("ZUL-Run-Log");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].value("OUTCOME").toString(), "PASSED");
    EXPECT_EQ(runs[0].value("OPERATOR").toString(), "Ann Tester");
    EXPECT_EQ(runs[0].value("PLAN").toString(), "AIN single-ended voltage 0 to 10V");
    EXPECT_EQ(runs[0].value("RESULT_ROW").toLongLong(), rows[0].value("id").toLongLong());
    EXPECT_TRUE(runs[0].value("RECORD").toString().contains("\"Verification 3.3V\""));

    // A hand save after the run leaves TECHNICIAN empty, as it always was.
    on<QPushButton>(AINResultsPage, "AINResultsSaveDBBut")->click();
    const auto again = tableRows("ZUL-472K-Log");
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1].value("TECHNICIAN").toString(), "");
}

// The run's record file is there from its first attempt on and follows every attempt under one
// name; the run's id reaches the run log row and the run's one certificate pair.
TEST_F(AINRun, TheRecordFileFollowsEveryAttemptAndTheRunIdReachesRowAndCertificate)
{
    const auto recordOf = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                              : QJsonObject();
    };
    EXPECT_TRUE(dock().Record().FilePath().isEmpty()) << "no attempt has ended yet";
    find<QPushButton>("RunNextButton")->click(); // Identify
    for (int tick = 0; tick < 20 && run().running(); ++tick)
        poll();
    const QString path = dock().Record().FilePath();
    ASSERT_FALSE(path.isEmpty());
    const QString runId = dock().Record().RunId();
    EXPECT_EQ(runId.size(), 36) << runId.toStdString();
    QJsonObject record = recordOf(path);
    EXPECT_EQ(record["runId"].toString(), runId);
    EXPECT_EQ(record["planHash"].toString().size(), 64);
    EXPECT_TRUE(record["outcome"].isNull());
    EXPECT_EQ(record["steps"].toArray()[0].toObject()["attempts"].toArray().size(), 1);
    EXPECT_EQ(record["steps"].toArray()[1].toObject()["attempts"].toArray().size(), 0);

    work();
    ASSERT_TRUE(run().finished());
    EXPECT_EQ(dock().Record().FilePath(), path) << "one name for the whole run";
    record = recordOf(path);
    EXPECT_EQ(record["outcome"].toString(), "PASSED");
    EXPECT_EQ(record["runId"].toString(), runId);
    EXPECT_EQ(QDir(dbDir.filePath("zulconfig/runs")).entryList(QDir::Files),
        QStringList { QFileInfo(path).fileName() });
    const auto runs = tableRows("ZUL-Run-Log");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].value("RUN_ID").toString(), runId);

    // The save wrote no certificate of its own: the run's end wrote one pair, naming the run.
    const auto rows = tableRows("ZUL-472K-Log");
    ASSERT_EQ(rows.size(), 1u);
    const QString number =
        QStringLiteral("AIN-00123456-%1-%2")
            .arg(QDate::currentDate().toString("yyyyMMdd"), rows[0].value("id").toString());
    const QDir certificates(qEnvironmentVariable("ZUL_CERTIFICATE_DIR") + "/AIN");
    EXPECT_EQ(certificates.entryList({ number + "*" }, QDir::Files),
        QStringList({ number + ".json", number + ".pdf" }));
    EXPECT_EQ(recordOf(certificates.filePath(number + ".json"))["runId"].toString(), runId);
}

TEST_F(AINRun, AChannelOutsideTheToleranceFailsTheRunAndIsNamedButTheRowIsSaved)
{
    bool calibrated = false;
    work([&](const QString &step) {
        // Off once calibrated, so that the calibration cannot take it away.
        if (step.startsWith("Verification") && !calibrated) {
            sim->model().setChannelError(3, 400);
            calibrated = true;
        }
        // The failed verification stands; the operator goes on with Next.
    });
    ASSERT_TRUE(run().finished());
    EXPECT_EQ(run().outcome(), Outcome::Failed);
    EXPECT_EQ(text("RunOutcomeLabel"), "FAILED");
    const QString failed = stepMessage("Verification 0V");
    EXPECT_TRUE(failed.contains("7 of 8") && failed.contains("outside: AIN3"))
        << failed.toStdString();

    const auto rows = tableRows("ZUL-472K-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].value("SE_VIN_TESTS").toBool());
    EXPECT_EQ(rows[0].value("COMMENTS_SE_VIN").toString(), "Failed:  0 3.3 5");
    auto &results = kindUnit<TZULAIN>(AINList).Results();
    EXPECT_EQ(results.CellText(1, 10), "FAIL");

    // Next module: the operator swaps the module and presses Enter; the same plan starts
    // again for it, and its Identify clears what the last one left on the pages.
    auto *nextModule = find<QPushButton>("RunNextModuleButton");
    ASSERT_TRUE(nextModule->isVisible());
    nextModule->click();
    EXPECT_EQ(text("RunPromptLabel"), "Swap the module, then press Enter");
    sim->model().setInputRegister(803, 0x0065);
    nextModule->click();
    window->ModbusTimer().stop();
    ASSERT_FALSE(run().finished());
    EXPECT_EQ(run().current(), 0u);
    EXPECT_NE(text("PCBNumLabel"), "00123456");
    find<QPushButton>("RunNextButton")->click();
    EXPECT_EQ(run().steps()[0].status, StepStatus::Passed);
    EXPECT_EQ(results.CellText(1, 10), "");
}

TEST_F(AINRun, AModuleLostDuringAStepEndsItInErrorWithoutAMessageBox)
{
    // Up to the first capture, which waits for settled values.
    while (currentStep() != "Calibration low") {
        find<QPushButton>("RunNextButton")->click();
        ASSERT_FALSE(run().finished());
    }
    find<QPushButton>("RunNextButton")->click();
    ASSERT_TRUE(run().running());

    ASSERT_EQ(sim->command("unplug"), "ok unplug");
    for (int tick = 0; tick < 5 && run().running(); ++tick)
        poll();
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    const run::StepRecord &step = run().steps()[run().current()];
    EXPECT_EQ(step.status, StepStatus::Error);
    EXPECT_TRUE(stepMessage("Calibration low").startsWith("Modbus error! Try connecting again."))
        << stepMessage("Calibration low").toStdString();
    EXPECT_TRUE(find<QPushButton>("RunRetryButton")->isEnabled());
    EXPECT_FALSE(run().finished());
}

TEST_F(AINRun, WhileAVerificationWaitsTheCheckPagesValuesCarryTheBandItIsJudgedBy)
{
    while (currentStep() != "Verification 3.3V") {
        static const QRegularExpression apply(QStringLiteral("^Apply ([0-9.]+)V"));
        const auto match = apply.match(text("RunPromptLabel"));
        if (match.hasMatch())
            for (int channel = 1; channel <= 8; ++channel)
                sim->model().setAnalogStimulus(channel, match.captured(1).toDouble());
        find<QPushButton>("RunNextButton")->click();
        for (int tick = 0; tick < 20 && run().running(); ++tick)
            poll();
        ASSERT_FALSE(run().finished());
    }
    zul::LiveSample published;
    const auto shown = window->Session().OnLiveSample;
    window->Session().OnLiveSample = [&](const zul::LiveSample &sample) {
        published = sample;
        shown(sample);
    };
    for (int channel = 1; channel <= 8; ++channel)
        sim->model().setAnalogStimulus(channel, 3.3);
    find<QPushButton>("RunNextButton")->click();
    poll();
    ASSERT_EQ(published.page, "AIN Check");
    ASSERT_TRUE(published.bands[0]);
    // $0080 counts of 0 to 10V either side of 3.3V.
    EXPECT_NEAR(published.bands[0]->first, 3.3 - 128 * 10.0 / 32768, 0.002);
    EXPECT_NEAR(published.bands[0]->second, 3.3 + 128 * 10.0 / 32768, 0.002);
    for (int tick = 0; tick < 20 && run().running(); ++tick)
        poll();
    // Judged: the band goes with the wait.
    EXPECT_FALSE(window->Session().LiveBands[0]);
}

// The run tests the module Identify read: one swapped in before Save is not saved under either
// serial, and the record names the identified one. Then a module that stops answering while a
// capture waits is a line Error, not values that never settled, and its record keeps its name.
TEST_F(AINRun, AModuleSwappedMidRunIsNeverSavedAndEveryRecordNamesTheModuleIdentified)
{
    work([&](const QString &step) {
        if (step == "Save")
            sim->model().setInputRegister(803, 0x0065);
    });
    ASSERT_TRUE(run().finished());
    EXPECT_EQ(run().outcome(), Outcome::Error);
    EXPECT_EQ(stepMessage("Save").toStdString(),
        "Another module (serial 00653456) is on the line; this run tests 00123456.");
    EXPECT_TRUE(tableRows("ZUL-472K-Log").empty());
    auto runs = tableRows("ZUL-Run-Log");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].value("SERIAL_NO").toString(), "00123456");
    EXPECT_EQ(runs[0].value("OUTCOME").toString(), "ERROR");
    EXPECT_TRUE(runs[0].value("RESULT_ROW").isNull());

    // The next module: Identify locks it, and its line going silent mid-capture is an Error.
    sim->model().setInputRegister(803, 0x0077);
    find<QPushButton>("RunNextModuleButton")->click();
    find<QPushButton>("RunNextModuleButton")->click();
    ASSERT_FALSE(run().finished());
    while (currentStep() != "Calibration low") {
        find<QPushButton>("RunNextButton")->click();
        ASSERT_FALSE(run().finished()) << stepMessage(currentStep()).toStdString();
    }
    find<QPushButton>("RunNextButton")->click();
    ASSERT_TRUE(run().running());
    ASSERT_EQ(sim->command("fault silent"), "ok fault silent");
    for (int tick = 0; tick < 4 && run().running(); ++tick)
        poll();
    EXPECT_EQ(run().steps()[run().current()].status, StepStatus::Error);
    EXPECT_TRUE(stepMessage("Calibration low").startsWith("Modbus communications lost!"))
        << stepMessage("Calibration low").toStdString();
    find<QPushButton>("RunNextButton")->click();
    ASSERT_TRUE(run().finished());
    runs = tableRows("ZUL-Run-Log");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].value("OUTCOME").toString(), "ERROR");
    EXPECT_EQ(runs[1].value("SERIAL_NO").toString(), "00773456");
    const QStringList files =
        QDir(dbDir.filePath("zulconfig/runs")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(files[0].startsWith("AIN-00123456-")) << files[0].toStdString();
    EXPECT_TRUE(files[1].startsWith("AIN-00773456-")) << files[1].toStdString();
}

// Enter after a run is the focused "Next module": it asks for the swap and checks the serial
// before the plan starts again; Identify cannot be skipped.
TEST_F(AINRun, EnterAfterARunAsksForTheSwapAndIdentifyCannotBeSkipped)
{
    EXPECT_FALSE(find<QPushButton>("RunSkipButton")->isEnabled());
    EXPECT_FALSE(dock().CurrentRun()->canSkip());
    work();
    ASSERT_TRUE(run().finished());
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto *nextModule = find<QPushButton>("RunNextModuleButton");
    ASSERT_TRUE(nextModule->hasFocus());
    QTest::keyClick(nextModule, Qt::Key_Return);
    EXPECT_TRUE(run().finished());
    EXPECT_EQ(text("RunPromptLabel"), "Swap the module, then press Enter");
    // The same module again: the question comes, and No keeps the finished run.
    QTimer::singleShot(0, [] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
                box->button(QMessageBox::No)->click();
    });
    QTest::keyClick(nextModule, Qt::Key_Return);
    EXPECT_TRUE(run().finished());
}

// One verdict: a digital point left clear fails the step, the run, the row and the certificate
// alike; a retried verification leaves one column in the grid, the run record every attempt.
TEST_F(AINRun, ClearDigitalPointsFailEverywhereAndARetriedVerificationKeepsOneColumn)
{
    m_tickPoints = false;
    bool failedOnce = false;
    work([&](const QString &step) {
        if (step == "Verification 3.3V" && !failedOnce) {
            sim->model().setChannelError(2, 400);
            failedOnce = true;
            for (int channel = 1; channel <= 8; ++channel)
                sim->model().setAnalogStimulus(channel, 3.3);
            find<QPushButton>("RunNextButton")->click();
            for (int tick = 0; tick < 20 && run().running(); ++tick)
                poll();
            ASSERT_EQ(run().steps()[run().current()].status, StepStatus::Failed);
            sim->model().setChannelError(2, 0);
            find<QPushButton>("RunRetryButton")->click();
            for (int tick = 0; tick < 20 && run().running(); ++tick)
                poll();
        }
        if (step == "Digital points") {
            tickEveryPoint(AINResultsPage);
            on<QCheckBox>(AINResultsPage, "CheckBox3")->setChecked(false); // digital input 3
        }
    });
    ASSERT_TRUE(run().finished());
    EXPECT_EQ(run().outcome(), Outcome::Failed);
    EXPECT_EQ(stepMessage("Digital points"), "3 of 4 ticked; not ticked: Digital inputs");

    const auto &steps = run().steps();
    const auto verification = std::find_if(steps.begin(), steps.end(),
        [](const run::StepRecord &r) { return r.step.name == "Verification 3.3V"; });
    ASSERT_NE(verification, steps.end());
    EXPECT_EQ(verification->attempts.size(), 2u);
    EXPECT_EQ(verification->status, StepStatus::Passed);

    const auto rows = tableRows("ZUL-472K-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].value("DIN_RESULT").toBool());
    EXPECT_TRUE(rows[0].value("SE_VIN_TESTS").toBool()) << "the failed attempt is not filed";
    EXPECT_EQ(rows[0].value("Test2_STIM").toString(), "3.3");
    EXPECT_EQ(rows[0].value("Test3_STIM").toString(), "5");
    EXPECT_TRUE(rows[0].value("Test4_STIM").toString().trimmed().isEmpty());

    EXPECT_EQ(certificateVerdict(rows[0]), "FAIL");
}

// A verification skipped by the operator fails the run, and the certificate says what the run
// says, though every test that was filed passed.
TEST_F(AINRun, ASkippedVerificationFailsTheRunAndItsCertificate)
{
    work([&](const QString &step) {
        if (step == "Verification 5V") {
            find<QPushButton>("RunSkipButton")->click();
            tickEveryPoint(AINResultsPage);
        }
    });
    ASSERT_TRUE(run().finished());
    EXPECT_EQ(run().outcome(), Outcome::Failed);
    for (const run::StepRecord &record : run().steps())
        EXPECT_EQ(record.status,
            record.step.name == "Verification 5V" ? StepStatus::Skipped : StepStatus::Passed)
            << record.step.name;
    const auto rows = tableRows("ZUL-472K-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].value("SE_VIN_TESTS").toBool());
    EXPECT_EQ(certificateVerdict(rows[0]), "FAIL");
}
