#include "widgets/StripChart.h"

#include "widgets/ChartScale.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

using zul::TrendBuffer;
using zul::TrendColumn;

namespace {

constexpr int Channels = TrendBuffer::Channels;
constexpr std::int64_t MinWindowMs = 10'000;
constexpr std::int64_t MaxWindowMs = 24 * 3'600'000LL;
constexpr std::int64_t MinZoomMs = 100;
constexpr std::int64_t MaxZoomMs = 7 * MaxWindowMs;
// Columns without a value between two with one are bridged when no tick fell there (the poll
// is slower than the pixels), but not over a pause in polling longer than this.
constexpr std::int64_t MaxBridgeMs = 5'000;
constexpr int MarkLength = 6;
constexpr int BandAlpha = 45;

// Eight hues told apart by people with the common colour deficiencies too, one set dark enough
// for a light background and one light enough for a dark one. No red: red marks out-of-band.
constexpr std::array<QRgb, Channels> LightColours { 0x1f77b4, 0xff7f0e, 0x2ca02c, 0x9467bd,
    0x8c564b, 0xe377c2, 0x17a2b8, 0x9a9a1a };
constexpr std::array<QRgb, Channels> DarkColours { 0x6baed6, 0xfdae6b, 0x74c476, 0xbca0dc, 0xc49c94,
    0xf7b6d2, 0x5fd3e0, 0xdbdb8d };

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

QColor markColour(const QPalette &palette)
{
    return isDark(palette) ? QColor(0xff, 0x55, 0x55) : QColor(0xd0, 0x00, 0x00);
}

std::size_t index(int channel)
{
    return static_cast<std::size_t>(channel);
}

bool validChannel(int channel)
{
    return channel >= 0 && channel < Channels;
}

double yOf(const QRect &plot, double low, double high, double value)
{
    return plot.top() + (high - value) / (high - low) * plot.height();
}

} // namespace

TStripChart::TStripChart(const TrendBuffer &buffer, QWidget *parent)
    : QWidget(parent)
    , m_buffer(buffer)
    , m_legend(new QWidget(this))
{
    setObjectName(QStringLiteral("TrendChart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    m_shown.fill(true);
    auto *row = new QHBoxLayout(m_legend);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    for (int channel = 0; channel < Channels; ++channel) {
        auto *button = new QToolButton(m_legend);
        button->setObjectName(QStringLiteral("TrendLegend%1").arg(channel + 1));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        connect(button, &QToolButton::toggled, this,
            [this, channel](bool shown) { SetChannelShown(channel, shown); });
        row->addWidget(button);
        m_legendButtons[index(channel)] = button;
        m_names << QStringLiteral("CH%1").arg(channel + 1);
    }
    row->addStretch(1);
    updateLegend();
}

QSize TStripChart::sizeHint() const
{
    return { 720, 320 };
}

QSize TStripChart::minimumSizeHint() const
{
    return { 320, m_legend->sizeHint().height() + 120 };
}

void TStripChart::SetChannelNames(const QStringList &names)
{
    for (int channel = 0; channel < Channels && channel < names.size(); ++channel)
        m_names[channel] = names[channel];
    updateLegend();
    update();
}

void TStripChart::SetUnit(const QString &unit)
{
    m_unit = unit;
    update();
}

void TStripChart::SetChannelShown(int channel, bool shown)
{
    if (!validChannel(channel))
        return;
    m_shown[index(channel)] = shown;
    if (!shown)
        m_marks[index(channel)] = 0;
    updateLegend();
    update();
}

bool TStripChart::ChannelShown(int channel) const
{
    return validChannel(channel) && m_shown[index(channel)];
}

void TStripChart::SetWindowMs(std::int64_t ms)
{
    m_windowMs = std::clamp(ms, MinWindowMs, MaxWindowMs);
    update();
}

void TStripChart::SetPaused(bool paused)
{
    if (!paused)
        m_pausedRight.reset();
    else if (!m_pausedRight)
        m_pausedRight = slidingRight(); // not a zoomed view's edge: Back returns to this
    update();
}

void TStripChart::SetBand(int channel, std::optional<std::pair<float, float>> lowHigh)
{
    if (!validChannel(channel))
        return;
    if (lowHigh && lowHigh->first > lowHigh->second)
        std::swap(lowHigh->first, lowHigh->second);
    m_bands[index(channel)] = lowHigh;
    if (!lowHigh)
        m_marks[index(channel)] = 0;
    update();
}

void TStripChart::Refresh()
{
    update();
}

int TStripChart::OutOfBandMarks(int channel) const
{
    return validChannel(channel) ? m_marks[index(channel)] : 0;
}

void TStripChart::ResetZoom()
{
    m_zoom.reset();
    update();
}

std::int64_t TStripChart::slidingRight() const
{
    if (m_pausedRight)
        return *m_pausedRight;
    // The window ends just after the newest tick, so that tick is inside [from, to).
    const std::optional<std::int64_t> last = m_buffer.lastTime();
    return last ? *last + 1 : 0;
}

std::pair<std::int64_t, std::int64_t> TStripChart::ShownRange() const
{
    if (m_zoom)
        return *m_zoom;
    const std::int64_t right = slidingRight();
    return { right - m_windowMs, right };
}

QRect TStripChart::PlotArea() const
{
    const QFontMetrics metrics = fontMetrics();
    const int top = m_legend->sizeHint().height() + metrics.height() + 4;
    const int left = metrics.horizontalAdvance(QStringLiteral("-00000.000")) + 8;
    const int bottom = metrics.height() + 8;
    return { left, top, std::max(1, width() - left - 10), std::max(1, height() - top - bottom) };
}

std::int64_t TStripChart::timeAtX(double x) const
{
    const QRect plot = PlotArea();
    const auto [from, to] = ShownRange();
    return from
        + static_cast<std::int64_t>(
            std::llround((x - plot.left()) * static_cast<double>(to - from) / plot.width()));
}

double TStripChart::xOfTime(std::int64_t t) const
{
    const QRect plot = PlotArea();
    const auto [from, to] = ShownRange();
    return plot.left()
        + static_cast<double>(t - from) * plot.width() / static_cast<double>(to - from);
}

QColor TStripChart::channelColour(int channel) const
{
    return QColor::fromRgb((isDark(palette()) ? DarkColours : LightColours)[index(channel)]);
}

void TStripChart::updateLegend()
{
    const int side = fontMetrics().height() * 2 / 3;
    for (int channel = 0; channel < Channels; ++channel) {
        QToolButton *button = m_legendButtons[index(channel)];
        QPixmap swatch(side, side);
        swatch.fill(channelColour(channel));
        const QSignalBlocker blocker(button);
        button->setIcon(QIcon(swatch));
        button->setText(m_names[channel]);
        button->setToolTip(tr("Show or hide %1").arg(m_names[channel]));
        button->setChecked(m_shown[index(channel)]);
    }
}

void TStripChart::resizeEvent(QResizeEvent *event)
{
    m_legend->setGeometry(0, 0, width(), m_legend->sizeHint().height());
    QWidget::resizeEvent(event);
}

void TStripChart::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        updateLegend();
    QWidget::changeEvent(event);
}

void TStripChart::wheelEvent(QWheelEvent *event)
{
    const QRect plot = PlotArea();
    const int notches = event->angleDelta().y();
    if (notches == 0 || !plot.contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    // The time under the mouse stays where it is; each notch shows 80 % (or 125 %) of the span.
    const auto [from, to] = ShownRange();
    const double factor = std::pow(0.8, notches / 120.0);
    const auto span = std::clamp<std::int64_t>(
        std::llround(static_cast<double>(to - from) * factor), MinZoomMs, MaxZoomMs);
    const std::int64_t anchor = timeAtX(event->position().x());
    const double share = (event->position().x() - plot.left()) / plot.width();
    const std::int64_t newFrom = anchor - std::llround(share * static_cast<double>(span));
    m_zoom = std::make_pair(newFrom, newFrom + span);
    event->accept();
    update();
}

void TStripChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        ResetZoom();
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton || !PlotArea().contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    const std::int64_t at = timeAtX(event->position().x());
    const bool second = (event->modifiers() & Qt::ShiftModifier) || (m_cursorA && !m_cursorB);
    if (second && m_cursorA) {
        m_cursorB = at;
    } else {
        m_cursorA = at;
        m_cursorB.reset();
    }
    event->accept();
    update();
}

void TStripChart::ClearCursors()
{
    m_cursorA.reset();
    m_cursorB.reset();
    update();
}

int TStripChart::firstShownChannel() const
{
    for (int channel = 0; channel < Channels; ++channel)
        if (m_shown[index(channel)])
            return channel;
    return -1;
}

QString TStripChart::CursorText() const
{
    if (!m_cursorA)
        return {};
    const int channel = firstShownChannel();
    const auto valueAt = [&](std::int64_t t) {
        return channel < 0 ? std::nullopt : m_buffer.valueAt(channel, t);
    };
    const QString unit = m_unit.isEmpty() ? QString() : QLatin1Char(' ') + m_unit;
    if (!m_cursorB) {
        const std::optional<float> value = valueAt(*m_cursorA);
        return value ? QStringLiteral("A %1%2").arg(QString::number(*value, 'g', 6), unit)
                     : QStringLiteral("A");
    }
    QString text = QStringLiteral("Δt %1").arg(chartscale::durationText(*m_cursorB - *m_cursorA));
    const std::optional<float> a = valueAt(*m_cursorA);
    const std::optional<float> b = valueAt(*m_cursorB);
    if (a && b) {
        // Differences of floats carry their rounding: six digits say what the module sent.
        const double difference = static_cast<double>(*b) - static_cast<double>(*a);
        text += QStringLiteral("  Δ %1%2").arg(QString::number(difference, 'g', 6), unit);
    }
    return text;
}

TStripChart::YScale TStripChart::decimateShown(std::int64_t from, std::int64_t to, int width)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int channel = 0; channel < Channels; ++channel) {
        std::vector<TrendColumn> &columns = m_columns[index(channel)];
        if (!m_shown[index(channel)]) {
            columns.clear();
            continue;
        }
        columns.resize(static_cast<std::size_t>(width));
        m_buffer.decimate(channel, from, to, columns);
        for (const TrendColumn &column : columns)
            if (column.any) {
                low = std::min(low, double { column.min });
                high = std::max(high, double { column.max });
            }
        if (const auto &band = m_bands[index(channel)]) {
            low = std::min(low, double { band->first });
            high = std::max(high, double { band->second });
        }
    }
    if (!(low <= high) || !std::isfinite(low) || !std::isfinite(high))
        return {};
    const double pad = high > low ? (high - low) * 0.05 : std::max(std::abs(low) * 0.01, 1e-3);
    return { low - pad, high + pad };
}

void TStripChart::drawAxes(QPainter &painter, const YScale &scale) const
{
    const QRect plot = PlotArea();
    const QFontMetrics metrics = fontMetrics();
    const QColor text = palette().color(QPalette::Text);
    QColor grid = palette().color(QPalette::Mid);
    grid.setAlpha(110);

    const chartscale::ValueTicks ticks =
        chartscale::valueTicks(scale.low, scale.high, std::max(2, plot.height() / 40));
    for (int n = 0; n <= plot.height(); ++n) {
        const double value = ticks.first + n * ticks.step;
        if (value > scale.high + ticks.step * 1e-9)
            break;
        const double y = yOf(plot, scale.low, scale.high, value);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, plot.left() - 6, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, chartscale::valueText(value, ticks.decimals));
    }

    const auto [from, to] = ShownRange();
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("00:00:00.000")) + 16;
    const std::int64_t step =
        chartscale::timeStep(to - from, std::max(1, plot.width() / labelWidth));
    for (std::int64_t t = chartscale::firstTimeTick(from, step); t < to; t += step) {
        const double x = xOfTime(t);
        painter.setPen(grid);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(text);
        painter.drawText(
            QRectF(x - labelWidth / 2.0, plot.bottom() + 4, labelWidth, metrics.height()),
            Qt::AlignHCenter | Qt::AlignTop, chartscale::timeText(t, step));
    }

    painter.setPen(text);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    const QRect caption(4, plot.top() - metrics.height() - 2, plot.right(), metrics.height());
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, m_unit);
    painter.drawText(caption, Qt::AlignRight | Qt::AlignVCenter, CursorText());
}

void TStripChart::drawBand(QPainter &painter, int channel, const YScale &scale) const
{
    const std::optional<std::pair<float, float>> &band = m_bands[index(channel)];
    if (!band || !m_shown[index(channel)])
        return;
    const QRect plot = PlotArea();
    QColor fill = channelColour(channel);
    fill.setAlpha(BandAlpha);
    painter.fillRect(QRectF(QPointF(plot.left(), yOf(plot, scale.low, scale.high, band->second)),
                         QPointF(plot.right(), yOf(plot, scale.low, scale.high, band->first))),
        fill);
}

void TStripChart::drawMarks(QPainter &painter, int channel)
{
    const std::optional<std::pair<float, float>> &band = m_bands[index(channel)];
    m_marks[index(channel)] = 0;
    if (!band || !m_shown[index(channel)])
        return;
    const QRect plot = PlotArea();
    const std::vector<TrendColumn> &columns = m_columns[index(channel)];
    const std::vector<int> out = zul::OutOfBandColumns(columns, band->first, band->second);
    m_marks[index(channel)] = static_cast<int>(out.size());
    painter.setPen(markColour(palette()));
    for (int c : out) {
        const int x = plot.left() + c;
        if (columns[index(c)].max > band->second)
            painter.drawLine(x, plot.top(), x, plot.top() + MarkLength);
        if (columns[index(c)].min < band->first)
            painter.drawLine(x, plot.bottom() - MarkLength, x, plot.bottom());
    }
}

void TStripChart::drawChannel(QPainter &painter, int channel, const YScale &scale) const
{
    const std::vector<TrendColumn> &columns = m_columns[index(channel)];
    const QRect plot = PlotArea();
    const auto [from, to] = ShownRange();
    const auto sliceStart = [&, from = from, to = to](int c) {
        return from + (to - from) * c / static_cast<std::int64_t>(columns.size());
    };
    const auto y = [&](float value) { return yOf(plot, scale.low, scale.high, value); };
    painter.setPen(QPen(channelColour(channel), 1));
    QPolygonF line;
    const auto flush = [&] {
        if (line.isEmpty())
            return;
        if (line.size() == 1)
            painter.drawLine(line[0] - QPointF(1, 0), line[0] + QPointF(1, 0));
        else
            painter.drawPolyline(line);
        line.clear();
    };
    int previous = -1;
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const TrendColumn &column = columns[index(c)];
        if (!column.any)
            continue;
        if (previous >= 0 && c - previous > 1) {
            // A tick in between had no value for this channel, or polling paused: a gap.
            const std::int64_t gapFrom = sliceStart(previous + 1);
            const std::int64_t gapTo = sliceStart(c);
            if (gapTo - gapFrom > MaxBridgeMs || m_buffer.ticksBetween(gapFrom, gapTo) > 0)
                flush();
        }
        const double x = plot.left() + c + 0.5;
        const double high = y(column.max);
        const double low = y(column.min);
        // Enter the column at the end nearer the last point, so the line does not zigzag.
        const bool downward =
            line.isEmpty() || std::abs(line.back().y() - high) <= std::abs(line.back().y() - low);
        line << QPointF(x, downward ? high : low);
        if (column.min != column.max)
            line << QPointF(x, downward ? low : high);
        previous = c;
    }
    flush();
}

void TStripChart::drawCursors(QPainter &painter) const
{
    const QRect plot = PlotArea();
    QPen pen(palette().color(QPalette::Text), 1, Qt::DashLine);
    painter.setPen(pen);
    const QFontMetrics metrics = fontMetrics();
    const std::pair<const std::optional<std::int64_t> *, QString> cursors[] {
        { &m_cursorA, QStringLiteral("A") }, { &m_cursorB, QStringLiteral("B") }
    };
    for (const auto &[cursor, name] : cursors) {
        if (!*cursor)
            continue;
        const double x = xOfTime(**cursor);
        if (x < plot.left() || x > plot.right())
            continue;
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.drawText(QPointF(x + 3, plot.top() + metrics.ascent() + MarkLength), name);
    }
}

void TStripChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect plot = PlotArea();
    painter.fillRect(plot, palette().color(QPalette::Base));
    const auto [from, to] = ShownRange();
    const YScale scale = decimateShown(from, to, plot.width());
    drawAxes(painter, scale);
    painter.setClipRect(plot);
    for (int channel = 0; channel < Channels; ++channel)
        drawBand(painter, channel, scale);
    for (int channel = 0; channel < Channels; ++channel)
        if (m_shown[index(channel)])
            drawChannel(painter, channel, scale);
    for (int channel = 0; channel < Channels; ++channel)
        drawMarks(painter, channel);
    drawCursors(painter);
}
