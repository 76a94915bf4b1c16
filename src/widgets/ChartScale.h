// Axis arithmetic for the strip chart: round tick steps for values and times, and the texts of
// tick labels and of the cursors' time difference.
#pragma once

#include <QString>

#include <cstdint>

namespace chartscale {

// Value ticks at multiples of a 1-2-5 step, about maxTicks of them over [low, high].
struct ValueTicks
{
    double first = 0; // the lowest multiple of step at or above low
    double step = 1;
    int decimals = 0; // enough to tell neighbouring ticks apart
};
ValueTicks valueTicks(double low, double high, int maxTicks);
QString valueText(double value, int decimals);

// A tick step in ms out of the steps a clock reads well (10 ms .. 12 h, then whole days) that
// puts at most maxTicks ticks on span.
std::int64_t timeStep(std::int64_t span, int maxTicks);
// Times from 2001 on are taken as wall-clock ms since the epoch and shown as local time of day;
// smaller ones as time elapsed since 0.
bool isClockTime(std::int64_t ms);
// The first tick at or after `from` for `step`, aligned to the local clock for clock times.
std::int64_t firstTimeTick(std::int64_t from, std::int64_t step);
QString timeText(std::int64_t ms, std::int64_t step);
// "250 ms", "2.5 s", "3 min 20 s", "2 h 5 min".
QString durationText(std::int64_t ms);

} // namespace chartscale
