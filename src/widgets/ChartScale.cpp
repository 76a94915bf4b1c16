#include "widgets/ChartScale.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace chartscale {

namespace {

constexpr std::int64_t Second = 1000;
constexpr std::int64_t Minute = 60 * Second;
constexpr std::int64_t Hour = 60 * Minute;
constexpr std::int64_t Day = 24 * Hour;

// Floor division that rounds towards minus infinity for negative times too.
std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

ValueTicks valueTicks(double low, double high, int maxTicks)
{
    ValueTicks ticks;
    const double span = high - low;
    if (!(span > 0) || maxTicks < 1)
        return { low, 1, 0 };
    const double rough = span / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * 10;
    for (double factor : { 1.0, 2.0, 5.0 })
        if (power * factor >= rough) {
            step = power * factor;
            break;
        }
    ticks.step = step;
    ticks.first = std::ceil(low / step) * step;
    ticks.decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
    return ticks;
}

QString valueText(double value, int decimals)
{
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0; // no "-0.00"
    return QString::number(value, 'f', decimals);
}

std::int64_t timeStep(std::int64_t span, int maxTicks)
{
    static constexpr std::array<std::int64_t, 22> steps { 10, 20, 50, 100, 200, 500, Second,
        2 * Second, 5 * Second, 10 * Second, 15 * Second, 30 * Second, Minute, 2 * Minute,
        5 * Minute, 10 * Minute, 15 * Minute, 30 * Minute, Hour, 2 * Hour, 3 * Hour, 6 * Hour };
    maxTicks = std::max(1, maxTicks);
    for (std::int64_t step : steps)
        if (span / step <= maxTicks)
            return step;
    for (std::int64_t step = 12 * Hour;; step *= 2)
        if (span / step <= maxTicks)
            return step;
}

bool isClockTime(std::int64_t ms)
{
    return ms >= 978'307'200'000; // 2001-01-01
}

std::int64_t firstTimeTick(std::int64_t from, std::int64_t step)
{
    // Steps of an hour and more fall on the local clock's hours, not on UTC's.
    const std::int64_t offset = isClockTime(from)
        ? std::int64_t { QDateTime::fromMSecsSinceEpoch(from).offsetFromUtc() } * Second
        : 0;
    return -floorDiv(-(from + offset), step) * step - offset;
}

QString timeText(std::int64_t ms, std::int64_t step)
{
    if (isClockTime(ms)) {
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(ms);
        if (step < Second)
            return time.toString(QStringLiteral("HH:mm:ss.zzz"));
        return time.toString(step < Minute ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    }
    const QChar sign = ms < 0 ? QLatin1Char('-') : QChar();
    const std::int64_t magnitude = std::abs(ms);
    const auto twoDigits = [](std::int64_t n) {
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    };
    QString text = magnitude >= Hour
        ? QStringLiteral("%1:%2:%3")
              .arg(magnitude / Hour)
              .arg(twoDigits(magnitude / Minute % 60), twoDigits(magnitude / Second % 60))
        : QStringLiteral("%1:%2").arg(magnitude / Minute).arg(twoDigits(magnitude / Second % 60));
    if (step < Second)
        text += QStringLiteral(".%1").arg(magnitude % Second, 3, 10, QLatin1Char('0'));
    return sign.isNull() ? text : sign + text;
}

QString durationText(std::int64_t ms)
{
    const QString sign = ms < 0 ? QStringLiteral("-") : QString();
    const std::int64_t magnitude = std::abs(ms);
    if (magnitude < Second)
        return sign + QStringLiteral("%1 ms").arg(magnitude);
    if (magnitude < Minute)
        return sign + QStringLiteral("%1 s").arg(QString::number(magnitude / 1000.0, 'g', 6));
    if (magnitude < Hour)
        return sign
            + QStringLiteral("%1 min %2 s").arg(magnitude / Minute).arg(magnitude / Second % 60);
    return sign + QStringLiteral("%1 h %2 min").arg(magnitude / Hour).arg(magnitude / Minute % 60);
}

} // namespace chartscale
