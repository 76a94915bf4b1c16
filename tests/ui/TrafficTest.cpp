// The comms traffic dock and its model, the line counters, the hints under the Connect messages
// and the adapter-echo option, against the in-process simulator.
#include "ModuleFixture.h"
#include "SettingsFolder.h"

#include "comms/RKCOMM.h"
#include "core/PageTable.h"
#include "traffic/TrafficModel.h"
#include "traffic/TrafficView.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QColor>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <unistd.h>

using modbus::FrameEvent;
using modbus::Outcome;
using zulsim::Kind;

namespace {

// Every window of this program reads and writes its remembered choices in a directory of its
// own, never in the user's configuration.
class IsolatedSettings : public ::testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        UseSettingsFolder(m_dir.path());
    }

private:
    QTemporaryDir m_dir;
};

[[maybe_unused]] ::testing::Environment *const settingsEnvironment =
    ::testing::AddGlobalTestEnvironment(new IsolatedSettings);

const std::vector<std::uint8_t> Read195 = modbus::buildReadRequest(100, 4, 194, 1);
const std::vector<std::uint8_t> Reply195 = { 0x64, 0x04, 0x02, 0x02, 0x01, 0x35, 0x98 };

// One read of register 195: its request and its reply `roundTripUs` later.
void transaction(TTrafficModel &model, Outcome outcome = Outcome::Ok, int roundTripUs = 7500)
{
    const auto sent = std::chrono::system_clock::now();
    model.Record({ FrameEvent::Direction::Sent, Read195, sent, Outcome::Ok, "" });
    model.Record({ FrameEvent::Direction::Received,
        outcome == Outcome::Timeout ? std::vector<std::uint8_t> {} : Reply195,
        sent + std::chrono::microseconds(roundTripUs), outcome, "" });
}

QStringList column(const TTrafficModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.FieldText(row, column);
    return texts;
}

} // namespace

TEST(TrafficModel, KeepsTheNewestFramesUpToItsCapacity)
{
    TTrafficModel model(5);
    // Checks that every row signal matches what rowCount() and data() answer.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int us = 1000; us <= 4000; us += 1000)
        transaction(model, Outcome::Ok, us);
    model.Flush();
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(column(model, TTrafficModel::RoundTripColumn),
        (QStringList { "2.0", "", "3.0", "", "4.0" }));

    // Without an event loop to take them, queued frames still never outgrow the ring.
    for (int i = 0; i < 6; ++i)
        transaction(model, Outcome::BadCrc, 9000);
    EXPECT_EQ(model.rowCount(), 5);
    model.Flush();
    EXPECT_EQ(column(model, TTrafficModel::OutcomeColumn),
        (QStringList { "CRC error", "", "CRC error", "", "CRC error" }));
    EXPECT_EQ(model.Counts().requests, 10u);

    // Paused, the table stands still and the counters go on.
    model.SetPaused(true);
    transaction(model, Outcome::Timeout);
    model.Flush();
    EXPECT_EQ(model.FieldText(4, TTrafficModel::OutcomeColumn), "CRC error");
    EXPECT_EQ(model.Counts().timeouts, 1u);
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.Counts().requests, 11u);
}

TEST(TrafficModel, SavesCsvWithAHeaderAndOneLinePerFrame)
{
    TTrafficModel model;
    transaction(model);
    transaction(model, Outcome::Timeout);
    model.Flush();
    const QStringList lines = model.CsvText().split('\n');
    ASSERT_EQ(lines.size(), 6); // header, four frames, the final newline
    EXPECT_EQ(lines[0], "time,direction,slave,function,items,bytes,round_trip_ms,outcome");
    const QRegularExpression stamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3},");
    EXPECT_TRUE(stamp.match(lines[1]).hasMatch()) << lines[1].toStdString();
    EXPECT_TRUE(
        lines[1].endsWith(",sent,100,04 Read input registers,195,64 04 00 C2 00 01 99 C3,,"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(",received,100,04 Read input registers,195,"
                                  "64 04 02 02 01 35 98,7.5,good"))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[4].endsWith(",(nothing),7.5,time-out")) << lines[4].toStdString();
    EXPECT_EQ(model.PlainText({ 1 }).split('\t').mid(1),
        (QStringList { "received", "100", "04 Read input registers", "195", "64 04 02 02 01 35 98",
            "7.5", "good" }));

    QTemporaryDir dir;
    const QString path = dir.filePath("traffic.csv");
    ASSERT_TRUE(model.SaveCsv(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), model.CsvText());
    QString error;
    EXPECT_FALSE(model.SaveCsv(dir.filePath("no/such/dir/traffic.csv"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(UiFixture, TrafficDockIsHiddenAtFirstAndRemembered)
{
    openWindow();
    QDockWidget *dock = window->Traffic().Dock();
    EXPECT_TRUE(dock->isHidden());
    auto *view = find<QMenu>("View1");
    ASSERT_TRUE(view);
    QAction *toggle = view->actions().value(0);
    ASSERT_TRUE(toggle);
    EXPECT_EQ(toggle->text(), "Comms traffic");
    toggle->trigger();
    EXPECT_FALSE(dock->isHidden());

    window->show();
    window->close(); // hiding the window does not count as closing the dock
    openWindow();
    EXPECT_FALSE(window->Traffic().Dock()->isHidden());
    window->show();
    window->Traffic().Dock()->close(); // its title bar's close button
    openWindow();
    EXPECT_TRUE(window->Traffic().Dock()->isHidden());
}

TEST_F(ModuleFixture, CheckPagePollsAppearAndFaultsAreFlagged)
{
    connectKind(Kind::named("AIN"));
    TTrafficView &traffic = window->Traffic();
    TTrafficModel &model = traffic.Model();
    model.Flush();
    // Counted while the dock is closed.
    EXPECT_TRUE(traffic.Dock()->isHidden());
    const modbus::LineCounts atConnect = model.Counts();
    EXPECT_GT(atConnect.requests, 3u);
    EXPECT_EQ(atConnect.good, atConnect.requests);
    EXPECT_EQ(model.rowCount(), static_cast<int>(2 * atConnect.requests));

    find<QToolButton>("TrafficCountsReset")->click();
    EXPECT_TRUE(text("TrafficCountsLabel").startsWith("Requests 0 · good 0 · time-outs 0"));
    model.Clear();
    showPage(zul::pageIndex("AINCheckSheet"));
    poll();
    sim->setFault(zulsim::Fault::BadCrc, 1);
    poll();
    model.Flush();

    const QStringList outcomes = column(model, TTrafficModel::OutcomeColumn);
    ASSERT_EQ(outcomes.count("CRC error"), 1) << outcomes.join('|').toStdString();
    const int bad = static_cast<int>(outcomes.indexOf("CRC error"));
    // Shaded with a text colour of its own, readable under a dark palette too.
    const QColor shade = model.data(model.index(bad, 0), Qt::BackgroundRole).value<QColor>();
    const QColor ink = model.data(model.index(bad, 0), Qt::ForegroundRole).value<QColor>();
    ASSERT_TRUE(shade.isValid() && ink.isValid());
    EXPECT_GT(shade.lightness() - ink.lightness(), 120);
    EXPECT_FALSE(model.data(model.index(bad - 2, 0), Qt::BackgroundRole).isValid());
    EXPECT_EQ(model.data(model.index(bad, TTrafficModel::BytesColumn), Qt::ToolTipRole).toString(),
        model.FieldText(bad, TTrafficModel::BytesColumn));
    EXPECT_EQ(model.FieldText(bad - 1, TTrafficModel::ItemsColumn), "195"); // the module check
    // A failure joins the status bar's short line once it happens; the tooltip has every count.
    EXPECT_TRUE(text("TrafficCountsLabel").contains("time-outs 0 · CRC/length 1 · last"))
        << text("TrafficCountsLabel").toStdString();
    EXPECT_TRUE(find<QLabel>("TrafficCountsLabel")
                    ->toolTip()
                    .contains("CRC/length 1 · exceptions 0 · other 0 · unexpected 0"));
}

TEST_F(UiFixture, ConnectMessagesKeepTheirTextAndGainAHint)
{
    openWindow();
    connectTo("/dev/zul-no-such-port");
    EXPECT_EQ(messages.texts(),
        QStringList { "/dev/zul-no-such-port- This port may be already in use or not present." });
    EXPECT_TRUE(messages.lastHint().startsWith("/dev/zul-no-such-port does not exist."))
        << messages.lastHint().toStdString();

    // Held by another opener: here this very program.
    const std::string path = startSim(Kind::named("AIN"));
    TRKComm holder;
    holder.DevicePath = path;
    ASSERT_TRUE(holder.Open());
    messages.clear();
    connectTo(path);
    EXPECT_EQ(messages.texts(),
        QStringList {
            QString::fromStdString(path) + "- This port may be already in use or not present." });
    EXPECT_TRUE(messages.lastHint().contains(QStringLiteral("(pid %1)").arg(getpid())))
        << messages.lastHint().toStdString();
    holder.Close();

    messages.clear();
    sim->setFault(zulsim::Fault::Silent);
    connectTo(path);
    EXPECT_EQ(messages.texts(),
        QStringList { "Error connecting to module! Check slave address and Modbus connection. " });
    EXPECT_TRUE(messages.lastHint().startsWith("No answer from slave 100 at 9600 baud"))
        << messages.lastHint().toStdString();
}

TEST_F(UiFixture, AdapterEchoOptionReachesTheMasterAndIsRemembered)
{
    const std::string path = startSim(Kind::named("AIN"));
    openWindow();
    auto *echo = find<QCheckBox>("LocalEchoBox");
    EXPECT_FALSE(echo->isChecked());
    echo->setChecked(true);

    // Ticked, on a line that does not echo: the reply is where the echo should be.
    connectTo(path);
    EXPECT_EQ(messages.texts(),
        QStringList { "Error connecting to module! Check slave address and Modbus connection. " });
    EXPECT_TRUE(messages.lastHint().contains("Untick it")) << messages.lastHint().toStdString();

    messages.clear();
    sim->setFault(zulsim::Fault::Echo);
    connectTo(path);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(text("ModelNameLabel"), "472K-12 (AIN)");
    EXPECT_TRUE(window->Session().Modbus.localEcho());

    openWindow();
    EXPECT_TRUE(find<QCheckBox>("LocalEchoBox")->isChecked());
    find<QCheckBox>("LocalEchoBox")->setChecked(false);
    openWindow();
    EXPECT_FALSE(find<QCheckBox>("LocalEchoBox")->isChecked());
}
