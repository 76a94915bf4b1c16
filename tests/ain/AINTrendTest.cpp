// View > Trend and File > Log live values... on an AIN module: the trend follows what the poll
// ticks read, in the unit of each channel's scale, and starts afresh on another page; the log
// writes one line per tick and stops with its menu item.
#include "core/PageTable.h"
#include "core/Registers.h"
#include "core/TrendBuffer.h"
#include "trend/LiveLogControl.h"
#include "trend/TrendDock.h"
#include "ui/ModuleFixture.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

using zulsim::Kind;

class AINTrend : public ModuleFixture
{
protected:
    float latest(int channel) const
    {
        const zul::TrendBuffer *buffer = window->Trend().Buffer();
        return buffer->valueAt(channel, *buffer->lastTime()).value_or(-1);
    }
};

TEST_F(AINTrend, TheTrendAndTheLogFollowTheChannelsThePollReads)
{
    const std::string path = startSim(Kind::named("AIN"));
    for (int n = 0; n < 8; ++n)
        sim->model().setInputRegister(zul::reg::ScaleCodes + n, n == 1 ? 0x0203 : 0x1102);
    openWindow(QStringLiteral("zulconfigt"));
    window->show();
    connectTo(path);
    window->ModbusTimer().stop();
    showPage(zul::pageIndex("AINCheckSheet"));
    // What a tick asks of the module without anyone watching.
    const auto requestsOfATick = [&] {
        const std::size_t before = sim->requestLog().size();
        poll();
        return sim->requestLog().size() - before;
    };
    const std::size_t unwatched = requestsOfATick();

    find<QAction>("ActionTrend")->trigger();
    ASSERT_NE(window->Trend().Buffer(), nullptr);
    EXPECT_TRUE(find<QDockWidget>("TrendDock")->isVisible());

    sim->model().setInputRegister(1, 0x6000); // AIN1, 0 to 10V
    sim->model().setInputRegister(2, 0x6000); // AIN2, 4 to 20mA
    poll();
    EXPECT_FLOAT_EQ(latest(0), 2.5F);
    EXPECT_FLOAT_EQ(latest(1), 8.0F);
    EXPECT_EQ(text("TrendSourceLabel"), "AIN Check, V, mA");
    sim->model().setInputRegister(1, 0x5000);
    poll();
    EXPECT_FLOAT_EQ(latest(0), 1.25F);
    EXPECT_EQ(window->Trend().Buffer()->size(), 2U);

    // The log: a header, then a line per tick; the status bar says where.
    QTemporaryDir dir;
    const QString logPath = dir.filePath("live.csv");
    ASSERT_TRUE(window->LiveLog().StartTo(logPath));
    EXPECT_TRUE(find<QAction>("ActionLogLiveValues")->isChecked());
    EXPECT_TRUE(find<QLabel>("LiveLogLabel")->isVisible());
    EXPECT_TRUE(text("LiveLogLabel").endsWith("live.csv"));
    // The trend and the log only listen: a tick asks nothing more of the module.
    EXPECT_EQ(requestsOfATick(), unwatched);
    poll();
    find<QAction>("ActionLogLiveValues")->trigger(); // stops it
    EXPECT_FALSE(find<QLabel>("LiveLogLabel")->isVisible());
    poll();
    QFile file(logPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("module,AIN,serial,00123456,AIN1 scale,0 to 10V,AIN2 scale,"
                                    "4 to 20mA"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[2].contains(",AIN Check,\"V, mA\",1.25,8,")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].endsWith(",20480,24576,16384,16384,16384,16384,16384,16384"))
        << lines[3].toStdString();

    // Another page is another quantity: the trend starts afresh, in counts.
    showPage(zul::pageIndex("AINCalSheet"));
    poll();
    EXPECT_EQ(window->Trend().Buffer()->size(), 1U);
    EXPECT_EQ(text("TrendSourceLabel"), "AIN Calibration, counts");
    find<QAction>("ActionTrend")->trigger(); // closed again, and remembered so for the next start
}
