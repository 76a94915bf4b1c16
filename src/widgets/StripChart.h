// The trend's strip chart: up to eight channels of a TrendBuffer over a sliding time window,
// drawn with QPainter as one min/max polyline per pixel column, so a repaint costs the pixels and
// not the samples. A legend switches channels on and off; the wheel zooms the time axis, a right
// click goes back to the sliding window; two cursors measure time and value differences; a
// channel's expected band is drawn with its out-of-band columns marked. The trend dock owns it.
#pragma once

#include "core/TrendBuffer.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>
#include <utility>
#include <vector>

class QToolButton;

class TStripChart : public QWidget
{
public:
    explicit TStripChart(const zul::TrendBuffer &buffer, QWidget *parent = nullptr);

    void SetChannelNames(const QStringList &names);
    void SetUnit(const QString &unit);
    void SetChannelShown(int channel, bool shown);
    bool ChannelShown(int channel) const;
    // The sliding window's length, held to 10 s .. 24 h.
    void SetWindowMs(std::int64_t ms);
    std::int64_t WindowMs() const { return m_windowMs; }
    // Freezes the right edge where it was; new ticks still go into the buffer.
    void SetPaused(bool paused);
    bool Paused() const { return m_pausedRight.has_value(); }
    // Expected value +- tolerance of a channel, or none.
    void SetBand(int channel, std::optional<std::pair<float, float>> lowHigh);
    void Refresh();
    // Columns marked out of band at the last paint (0 for a channel hidden or without a band).
    int OutOfBandMarks(int channel) const;

    // Back from a wheel zoom to the sliding window.
    void ResetZoom();
    bool Zoomed() const { return m_zoom.has_value(); }
    // The time span [from, to) shown now, in buffer time.
    std::pair<std::int64_t, std::int64_t> ShownRange() const;
    // Where the curves are drawn, in widget coordinates; one pixel column per slice.
    QRect PlotArea() const;
    // The cursors' label: "Δt 2.5 s  Δ 0.125 V" with both set, empty with none.
    QString CursorText() const;
    void ClearCursors();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    struct YScale
    {
        double low = 0;
        double high = 1;
    };
    std::int64_t slidingRight() const;
    std::int64_t timeAtX(double x) const;
    double xOfTime(std::int64_t t) const;
    QColor channelColour(int channel) const;
    void updateLegend();
    YScale decimateShown(std::int64_t from, std::int64_t to, int width);
    void drawChannel(QPainter &painter, int channel, const YScale &scale) const;
    void drawBand(QPainter &painter, int channel, const YScale &scale) const;
    void drawMarks(QPainter &painter, int channel);
    void drawAxes(QPainter &painter, const YScale &scale) const;
    void drawCursors(QPainter &painter) const;
    int firstShownChannel() const;

    const zul::TrendBuffer &m_buffer;
    QWidget *m_legend;
    std::array<QToolButton *, zul::TrendBuffer::Channels> m_legendButtons {};
    QStringList m_names;
    QString m_unit;
    std::array<bool, zul::TrendBuffer::Channels> m_shown {};
    std::array<std::optional<std::pair<float, float>>, zul::TrendBuffer::Channels> m_bands {};
    std::array<int, zul::TrendBuffer::Channels> m_marks {};
    std::array<std::vector<zul::TrendColumn>, zul::TrendBuffer::Channels> m_columns;
    std::int64_t m_windowMs = 60'000;
    std::optional<std::int64_t> m_pausedRight;
    std::optional<std::pair<std::int64_t, std::int64_t>> m_zoom;
    std::optional<std::int64_t> m_cursorA;
    std::optional<std::int64_t> m_cursorB;
};
