// A production run of a DIO module in the window, against the in-process simulator: the
// operator ticks each column of the DIO Results grid when the run asks for it, or, on a
// loop-back fixture, the run switches every output and ticks the digital points itself.
#include "DIOFixture.h"
#include "dio/WidgetDIOResultsPage.h"
#include "run/RunEngine.h"
#include "rundock/RunDock.h"
#include "widgets/WidgetPassFailGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <set>

using namespace zul;
using zul::run::Outcome;
using zul::run::StepStatus;

class DIORun : public DIOFixture
{
protected:
    void SetUp() override
    {
        DIOFixture::SetUp();
        m_previousData = qgetenv("XDG_DATA_HOME");
        m_previousConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dbDir.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dbDir.path()));
        QDir().mkpath(dbDir.filePath("zulconfig/plans"));
        QFile fixture(dbDir.filePath("zulconfig/plans/fixture.json"));
        ASSERT_TRUE(fixture.open(QIODevice::WriteOnly));
        fixture.write(R"({"name": "DIO on the fixture", "kind": "DIO", "loopback": true,
            "maxRates": [1000, 12.5, 5, 1000], "div10": [false, false, true, false]})");
        fixture.close();
        connectDIO(QStringLiteral("zulconfigt"));
    }

    void TearDown() override
    {
        DIOFixture::TearDown();
        qputenv("XDG_DATA_HOME", m_previousData);
        qputenv("XDG_CONFIG_HOME", m_previousConfig);
    }

    void start(const QString &plan)
    {
        find<QAction>("ActionProductionRun")->trigger();
        auto *plans = find<QComboBox>("RunPlanBox");
        plans->setCurrentIndex(plans->findText(plan));
        ASSERT_GE(plans->currentIndex(), 0) << plan.toStdString();
        find<QLineEdit>("RunOperatorEdit")->setText("Dan Tester");
        find<QPushButton>("RunStartButton")->click();
        ASSERT_NE(dock().CurrentRun(), nullptr);
    }

    TRunDock &dock() { return *window->RunDock(); }
    const run::Run &run() { return *dock().CurrentRun(); }
    TPassFailGrid &grid() { return *unit().Results().Page().DIOResultGrid; }

    // The operator: at a check step that asks for it, ticks the column's boxes (all but those in
    // `leave`, as "column:box" 0-based), then presses Next; ticks pass while a step works.
    void work(const std::set<std::pair<int, int>> &leave = {})
    {
        for (int step = 0; step < 20 && !run().finished(); ++step) {
            const run::Step &current = run().steps()[run().current()].step;
            const int column = current.prompt.empty() ? -1 : columnOf(current.name);
            if (column >= 0)
                for (int box = 0; box < static_cast<int>(grid().Column(column).size()); ++box)
                    grid().Column(column)[static_cast<std::size_t>(box)]->setChecked(
                        !leave.count({ column, box }));
            find<QPushButton>("RunNextButton")->click();
            for (int tick = 0; tick < 40 && run().running(); ++tick)
                poll();
        }
    }

    static int columnOf(const std::string &step)
    {
        const char *names[] = { "Digital inputs check", "Digital outputs check",
            "Pulsed outputs check", "Pulsed out counts check", "Pulse input count check",
            "Pulse Input Rate check" };
        for (int n = 0; n < 6; ++n)
            if (step == names[n])
                return n;
        return -1;
    }

    QString stepMessage(const std::string &name)
    {
        for (const run::StepRecord &record : run().steps())
            if (record.step.name == name && !record.attempts.empty())
                return QString::fromStdString(record.attempts.back().message);
        return {};
    }

    QByteArray m_previousData;
    QByteArray m_previousConfig;
};

TEST_F(DIORun, OnALoopBackFixtureTheRunChecksTheDigitalPointsItself)
{
    sim->model().setLoopback(true);
    start("DIO on the fixture");
    std::vector<std::string> names;
    for (const run::StepRecord &record : run().steps())
        names.push_back(record.step.name);
    EXPECT_EQ(names,
        (std::vector<std::string> { "Identify", "Pulse inputs", "Pulsed outputs",
            "Digital inputs check", "Digital outputs check", "Pulsed outputs check",
            "Pulsed out counts check", "Pulse input count check", "Pulse Input Rate check",
            "Save" }));
    sim->clearRequestLog();
    work();
    ASSERT_TRUE(run().finished());
    for (const run::StepRecord &record : run().steps())
        EXPECT_EQ(record.status, StepStatus::Passed)
            << record.step.name << ": "
            << (record.attempts.empty() ? "" : record.attempts.back().message);
    EXPECT_EQ(run().outcome(), Outcome::Passed);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(stepMessage("Digital inputs check"), "16 of 16 ticked");

    // Every output was switched on alone, once per check, and all are off again.
    const auto writes = requests(15, 1);
    ASSERT_EQ(writes.size(), 2u * 17u);
    for (int point = 1; point <= 16; ++point)
        EXPECT_TRUE(sim->model().coil(point) == false) << point;
    EXPECT_EQ(sim->model().inputRegister(101), 60000);
    EXPECT_EQ(sim->model().inputRegister(102), 750);
    EXPECT_EQ(sim->model().inputRegister(103), 60005);

    // The results row, with the operator as TECHNICIAN, and the run's record.
    const auto rows = tableRows("ZUL-472K-11-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value("TECHNICIAN").toString(), "Dan Tester");
    EXPECT_TRUE(rows[0].value("DIN_RESULT").toBool());
    EXPECT_TRUE(rows[0].value("DOT_RESULT").toBool());
    EXPECT_EQ(rows[0].value("PinMaxRate2").toString(), "750");
    const auto runs = tableRows("ZUL-Run-Log");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].value("OUTCOME").toString(), "PASSED");
    EXPECT_EQ(runs[0].value("PLAN").toString(), "DIO on the fixture");
    EXPECT_EQ(runs[0].value("RESULT_ROW").toLongLong(), rows[0].value("id").toLongLong());

    // Aborted in the middle of a check, the run leaves no output on.
    find<QPushButton>("RunStartButton")->click();
    while (run().steps()[run().current()].step.name != "Digital outputs check") {
        find<QPushButton>("RunNextButton")->click();
        for (int tick = 0; tick < 40 && run().running(); ++tick)
            poll();
    }
    find<QPushButton>("RunNextButton")->click();
    for (int tick = 0; tick < 3; ++tick)
        poll();
    ASSERT_TRUE(sim->model().coil(4));
    dock().Abort(false);
    EXPECT_EQ(run().outcome(), Outcome::Aborted);
    for (int point = 1; point <= 16; ++point)
        EXPECT_FALSE(sim->model().coil(point)) << point;
    EXPECT_FALSE(on<QCheckBox>(DIOCheckPage, "DOUTEditCheckBox")->isChecked());
}

TEST_F(DIORun, AnInputTheFixtureDoesNotBringFailsItsBox)
{
    // Without the fixture's wiring every input stays off: the run sees it and says which.
    start("DIO on the fixture");
    work();
    ASSERT_TRUE(run().finished());
    EXPECT_EQ(run().outcome(), Outcome::Failed);
    EXPECT_TRUE(
        stepMessage("Digital inputs check").startsWith("0 of 16 ticked; not ticked: DIN1, DIN2"))
        << stepMessage("Digital inputs check").toStdString();
    EXPECT_FALSE(grid().Column(TDIOResultsPage::DigitalOutputs)[0]->isChecked());
}

TEST_F(DIORun, AnInputTheOperatorLeavesUntickedFailsTheRunAndTheRowSaysWhich)
{
    // A tick the previous module left is no part of this one's row: Identify clears it.
    grid().Column(TDIOResultsPage::DigitalInputs)[2]->setChecked(true);
    start("DIO standard");
    EXPECT_EQ(run().steps()[3].step.prompt,
        "Switch every input on in turn; tick each one that works in \"Digital inputs\" on DIO "
        "Results, then press Next");
    // Ctrl+R takes the keyboard back to the run from a page, where Enter goes on.
    find<QPushButton>("RunNextButton")->click();
    grid().Column(TDIOResultsPage::DigitalInputs)[0]->setFocus();
    find<QAction>("ActionProductionRun")->trigger();
    EXPECT_EQ(window->focusWidget(), find<QPushButton>("RunNextButton"));
    work({ { TDIOResultsPage::DigitalInputs, 2 } });
    ASSERT_TRUE(run().finished());
    EXPECT_EQ(run().outcome(), Outcome::Failed);
    EXPECT_EQ(text("RunOutcomeLabel"), "FAILED");
    EXPECT_EQ(stepMessage("Digital inputs check"), "15 of 16 ticked; not ticked: DIN3");
    EXPECT_EQ(stepMessage("Digital outputs check"), "16 of 16 ticked");

    const auto rows = tableRows("ZUL-472K-11-Log");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].value("DIN_RESULT").toBool());
    EXPECT_EQ(rows[0].value("COMMENTS_DIN").toString(), "Failed: 3 ");
    EXPECT_TRUE(rows[0].value("DOT_RESULT").toBool());
    EXPECT_EQ(rows[0].value("PinMaxRate1").toString(), "60000");
    EXPECT_EQ(rows[0].value("TECHNICIAN").toString(), "Dan Tester");
}
