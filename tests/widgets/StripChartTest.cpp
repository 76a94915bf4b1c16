// The strip chart on known series, rendered offscreen: the legend switches a channel's curve,
// the band marks count the columns outside it, the wheel zooms around the mouse and back, and
// the cursors read time and value differences.
#include "widgets/StripChart.h"

#include <QApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>

using zul::TrendBuffer;

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

class StripChartTest : public ::testing::Test
{
protected:
    StripChartTest()
        : chart(buffer)
    {
        chart.setPalette(QPalette(Qt::white));
        chart.resize(800, 400);
    }

    // Ticks every `step` ms over [from, to), channel n given by values(n, t).
    void fill(std::int64_t from, std::int64_t to, std::int64_t step,
        const std::function<float(int, std::int64_t)> &values)
    {
        for (std::int64_t t = from; t < to; t += step) {
            std::array<float, TrendBuffer::Channels> tick;
            for (int n = 0; n < TrendBuffer::Channels; ++n)
                tick[static_cast<std::size_t>(n)] = values(n, t);
            buffer.append(t, tick);
        }
    }

    QImage render()
    {
        QImage image(chart.size(), QImage::Format_ARGB32);
        chart.render(&image);
        return image;
    }

    QToolButton *legend(int n)
    {
        return chart.findChild<QToolButton *>(QStringLiteral("TrendLegend%1").arg(n));
    }

    QColor swatch(int n) { return legend(n)->icon().pixmap(8, 8).toImage().pixelColor(4, 4); }

    int countPixels(const QImage &image, const QRect &area, const QColor &colour)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixelColor(x, y).rgb() == colour.rgb();
        return count;
    }

    // The time a pixel column stands for, from the shown range alone.
    double msPerColumn()
    {
        const auto [from, to] = chart.ShownRange();
        return static_cast<double>(to - from) / chart.PlotArea().width();
    }

    void wheel(int x, int angle)
    {
        const QPointF at(x, chart.PlotArea().center().y());
        QWheelEvent event(at, chart.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &event);
    }

    TrendBuffer buffer { 100'000 };
    TStripChart chart;
};

} // namespace

TEST_F(StripChartTest, LegendSwitchesChannelsAndTheirCurvesInColoursThatStandApart)
{
    chart.SetChannelNames({ "AIN1", "AIN2", "AIN3", "AIN4", "AIN5", "AIN6", "AIN7", "AIN8" });
    fill(0, 60'000, 100, [](int n, std::int64_t t) {
        return n == 0 ? std::sin(t / 3000.0f) : n == 1 ? 0.5f : NaN;
    });
    chart.SetWindowMs(60'000);
    const QRect plot = chart.PlotArea();

    for (int n = 1; n <= TrendBuffer::Channels; ++n) {
        ASSERT_NE(legend(n), nullptr) << n;
        EXPECT_TRUE(legend(n)->isCheckable());
        EXPECT_TRUE(legend(n)->isChecked());
        EXPECT_EQ(legend(n)->text(), QStringLiteral("AIN%1").arg(n));
    }
    const QColor first = swatch(1);
    EXPECT_GT(countPixels(render(), plot, first), 200);

    legend(1)->click();
    EXPECT_FALSE(chart.ChannelShown(0));
    EXPECT_EQ(countPixels(render(), plot, first), 0);
    EXPECT_GT(countPixels(render(), plot, swatch(2)), 200); // the other one still drawn
    legend(1)->click();
    EXPECT_TRUE(chart.ChannelShown(0));
    EXPECT_GT(countPixels(render(), plot, first), 200);

    chart.SetChannelShown(1, false); // the dock's own switch shows in the legend
    EXPECT_FALSE(legend(2)->isChecked());
    EXPECT_EQ(countPixels(render(), plot, swatch(2)), 0);

    // Eight colours apart from each other and from the background, in a light and a dark window.
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Base, QColor(0x18, 0x18, 0x18));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    for (const QPalette &palette : { QPalette(Qt::white), dark }) {
        chart.setPalette(palette);
        std::set<QRgb> colours;
        for (int n = 1; n <= TrendBuffer::Channels; ++n) {
            colours.insert(swatch(n).rgb());
            EXPECT_GT(
                std::abs(swatch(n).lightness() - palette.color(QPalette::Base).lightness()), 60)
                << "channel " << n << " on " << palette.color(QPalette::Base).name().toStdString();
        }
        EXPECT_EQ(colours.size(), std::size_t { TrendBuffer::Channels });
    }
}

TEST_F(StripChartTest, BandMarksCountTheColumnsWithValuesOutside)
{
    // 100 s at 100 Hz: in the band, then above it for the last quarter, and one spike below.
    fill(0, 100'000, 10, [](int n, std::int64_t t) {
        if (n == 0)
            return t == 10'000 ? -5.0f : t >= 75'000 ? 3.0f : 1.0f;
        return n <= 3 ? 1.0f : NaN;
    });
    chart.SetWindowMs(100'000);
    chart.SetBand(0, std::make_pair(0.5f, 1.5f));
    chart.SetBand(1, std::make_pair(1.5f, 0.5f)); // given the wrong way round
    chart.SetBand(2, std::make_pair(3.0f, 4.0f));
    chart.SetChannelShown(2, false);
    const QImage image = render();
    const QRect plot = chart.PlotArea();

    EXPECT_NEAR(chart.OutOfBandMarks(0), plot.width() / 4 + 1, 2);
    EXPECT_EQ(chart.OutOfBandMarks(1), 0);
    EXPECT_EQ(chart.OutOfBandMarks(2), 0); // hidden
    EXPECT_EQ(chart.OutOfBandMarks(3), 0); // no band
    // Marks above at the top edge over the last quarter, the spike's at the bottom.
    const QColor red(0xd0, 0x00, 0x00);
    EXPECT_NEAR(countPixels(image, QRect(plot.left(), plot.top() + 2, plot.width(), 1), red),
        plot.width() / 4, 3);
    EXPECT_EQ(countPixels(image, QRect(plot.left(), plot.bottom() - 2, plot.width(), 1), red), 1);

    // Put in tolerance, the marks go.
    chart.SetBand(0, std::make_pair(-10.0f, 10.0f));
    render();
    EXPECT_EQ(chart.OutOfBandMarks(0), 0);
    chart.SetBand(0, std::nullopt);
    EXPECT_EQ(chart.OutOfBandMarks(0), 0);
}

TEST_F(StripChartTest, WheelZoomsAroundTheMouseAndBackReturnsToTheSlidingWindow)
{
    fill(0, 60'000, 100, [](int, std::int64_t t) { return float(t); });
    chart.SetWindowMs(60'000);
    const QRect plot = chart.PlotArea();
    const auto sliding = chart.ShownRange();
    EXPECT_EQ(sliding.second, 59'901); // the newest tick is inside
    EXPECT_EQ(sliding.second - sliding.first, 60'000);

    // In by one notch a quarter of the way across: the time under the mouse stays put.
    const int x = plot.left() + plot.width() / 4;
    const double anchor = sliding.first + (x - plot.left()) * msPerColumn();
    wheel(x, 120);
    ASSERT_TRUE(chart.Zoomed());
    auto zoomed = chart.ShownRange();
    EXPECT_EQ(zoomed.second - zoomed.first, 48'000);
    EXPECT_NEAR(zoomed.first + (x - plot.left()) * msPerColumn(), anchor, 2 * msPerColumn());

    // New ticks do not move a zoomed view; out by two notches shows more.
    fill(60'000, 70'000, 100, [](int, std::int64_t t) { return float(t); });
    EXPECT_EQ(chart.ShownRange(), zoomed);
    wheel(x, -240);
    zoomed = chart.ShownRange();
    EXPECT_EQ(zoomed.second - zoomed.first, 75'000);

    chart.ResetZoom();
    EXPECT_FALSE(chart.Zoomed());
    EXPECT_EQ(chart.ShownRange(), std::make_pair(std::int64_t { 9'901 }, std::int64_t { 69'901 }));

    wheel(x, 360);
    ASSERT_TRUE(chart.Zoomed());
    QTest::mouseClick(&chart, Qt::RightButton, {}, plot.center());
    EXPECT_FALSE(chart.Zoomed());

    // Outside the plot the wheel is the parent's (a scroll area's) to take.
    wheel(plot.left() - 5, 120);
    EXPECT_FALSE(chart.Zoomed());

    // Pause holds the right edge, and the window's length still applies.
    chart.SetPaused(true);
    fill(70'000, 80'000, 100, [](int, std::int64_t t) { return float(t); });
    EXPECT_EQ(chart.ShownRange().second, 69'901);
    chart.SetWindowMs(1'000); // held to 10 s
    EXPECT_EQ(chart.ShownRange(), std::make_pair(std::int64_t { 59'901 }, std::int64_t { 69'901 }));
    chart.SetPaused(false);
    EXPECT_EQ(chart.ShownRange().second, 79'901);

    // Paused while zoomed, Back returns to the window as it stood, not to the zoomed edge.
    wheel(x, 240);
    chart.SetPaused(true);
    fill(80'000, 81'000, 100, [](int, std::int64_t t) { return float(t); });
    chart.ResetZoom();
    EXPECT_EQ(chart.ShownRange().second, 79'901);
}

TEST_F(StripChartTest, CursorsShowTheTimeAndValueDifferenceOfTheFirstShownChannel)
{
    // Channel 1 steps by 0.125 V at 20 s, channel 2 by 2 V; channel 3 never has a value.
    fill(0, 60'000, 100, [](int n, std::int64_t t) {
        if (n == 0)
            return t < 20'000 ? 1.0f : 1.125f;
        if (n == 1)
            return t < 20'000 ? 4.0f : 6.0f;
        return NaN;
    });
    chart.SetWindowMs(60'000);
    chart.SetUnit(QStringLiteral("V"));
    const QRect plot = chart.PlotArea();
    const int y = plot.center().y();
    const int xA = plot.left() + plot.width() / 6; // about 10 s
    const int xB = plot.left() + plot.width() / 2; // about 30 s
    EXPECT_EQ(chart.CursorText(), QString());

    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(xA, y));
    EXPECT_EQ(chart.CursorText(), QStringLiteral("A 1 V"));
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(xB, y));
    const QRegularExpression pattern(QStringLiteral("^Δt ([0-9.]+) s  Δ (.*)$"));
    QRegularExpressionMatch match = pattern.match(chart.CursorText());
    ASSERT_TRUE(match.hasMatch()) << chart.CursorText().toStdString();
    EXPECT_NEAR(match.captured(1).toDouble(), (xB - xA) * msPerColumn() / 1000, 0.002);
    EXPECT_EQ(match.captured(2), QStringLiteral("0.125 V"));

    // Shift moves B and keeps A; B before A gives a negative difference.
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::ShiftModifier, QPoint(plot.left() + 2, y));
    EXPECT_TRUE(chart.CursorText().endsWith(QStringLiteral("  Δ 0 V")));
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::ShiftModifier, QPoint(xB, y));
    EXPECT_TRUE(chart.CursorText().endsWith(QStringLiteral("  Δ 0.125 V")));

    // The difference follows the first shown channel.
    chart.SetChannelShown(0, false);
    EXPECT_TRUE(chart.CursorText().endsWith(QStringLiteral("  Δ 2 V")));
    chart.SetChannelShown(1, false);
    EXPECT_TRUE(pattern.match(chart.CursorText()).captured(2).isEmpty());
    EXPECT_TRUE(chart.CursorText().startsWith(QStringLiteral("Δt ")));

    // A third click starts a new pair.
    chart.SetChannelShown(0, true);
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(xB, y));
    EXPECT_EQ(chart.CursorText(), QStringLiteral("A 1.125 V"));
    chart.ClearCursors();
    EXPECT_EQ(chart.CursorText(), QString());
}
