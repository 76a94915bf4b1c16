// The trend's memory: the last poll ticks of eight channels in a ring, with min/max summaries
// over blocks of ticks beside it, so that the strip chart's repaint costs its pixel columns and
// not the samples behind them. The trend dock appends one tick per poll; TStripChart reads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zul {

struct TrendColumn
{
    float min = 0;
    float max = 0;
    bool any = false; // false: no value in the column's time slice
};

class TrendBuffer
{
public:
    static constexpr int Channels = 8;
    static constexpr std::size_t SmallBlock = 64;
    static constexpr std::size_t LargeBlock = 4096;

    // Room for `capacity` ticks (all eight channels each), rounded up to whole large blocks.
    explicit TrendBuffer(std::size_t capacity);

    // One poll tick; NaN = the channel had no value at this tick. When full, the oldest tick
    // goes. Times are in ms and should never decrease; one earlier than the last tick is taken
    // as the last tick's time, so the ring stays ordered for the searches.
    void append(std::int64_t timeMs, const std::array<float, Channels> &values);
    void clear();

    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    std::optional<std::int64_t> firstTime() const;
    std::optional<std::int64_t> lastTime() const;

    // Min and max of one channel in each of columns.size() equal time slices of [from, to).
    void decimate(
        int channel, std::int64_t from, std::int64_t to, std::span<TrendColumn> columns) const;
    // The value of the latest tick at or before timeMs that has one.
    std::optional<float> valueAt(int channel, std::int64_t timeMs) const;
    // How many ticks (with or without values) lie in [from, to).
    std::size_t ticksBetween(std::int64_t from, std::int64_t to) const;

    std::size_t memoryBytes() const;

private:
    // Ticks are numbered from the first one appended since the last clear; the ring holds the
    // numbers [m_total - m_size, m_total), tick n in slot n % m_capacity.
    std::uint64_t oldest() const { return m_total - m_size; }
    std::size_t slot(std::uint64_t tick) const
    {
        return static_cast<std::size_t>(tick % m_capacity);
    }
    std::int64_t timeOf(std::uint64_t tick) const { return m_base + m_times[slot(tick)]; }
    float valueOf(int channel, std::uint64_t tick) const
    {
        return m_values[static_cast<std::size_t>(channel) * m_capacity + slot(tick)];
    }
    // The first tick at or after timeMs (m_total when none).
    std::uint64_t firstAtOrAfter(std::int64_t timeMs) const;
    void rawMinMax(
        int channel, std::uint64_t begin, std::uint64_t end, float &low, float &high) const;
    void minMax(int channel, std::uint64_t begin, std::uint64_t end, float &low, float &high) const;
    void storeTime(std::int64_t timeMs);
    void rebase(std::int64_t timeMs);

    struct Level
    {
        std::size_t block;
        std::vector<float> min; // [channel * blocks + block]; +inf when the block has no value
        std::vector<float> max;
    };
    std::size_t blockIndex(const Level &level, int channel, std::uint64_t tick) const;
    void account(Level &level, std::uint64_t tick, const std::array<float, Channels> &values);

    std::size_t m_capacity;
    std::uint64_t m_total = 0;
    std::size_t m_size = 0;
    // Times as 32-bit offsets from m_base, which moves up when they would no longer fit.
    std::int64_t m_base = 0;
    std::vector<std::int32_t> m_times;
    std::vector<float> m_values; // [channel * capacity + slot]
    std::array<Level, 2> m_levels;
};

// Columns that hold a value outside [low, high] (min < low or max > high), for the marks.
std::vector<int> OutOfBandColumns(std::span<const TrendColumn> columns, float low, float high);

} // namespace zul
