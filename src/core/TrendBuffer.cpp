#include "core/TrendBuffer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zul {

namespace {

constexpr float Empty = std::numeric_limits<float>::infinity();

} // namespace

TrendBuffer::TrendBuffer(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(1, (capacity + LargeBlock - 1) / LargeBlock) * LargeBlock)
    , m_times(m_capacity)
    , m_values(m_capacity * Channels)
    , m_levels { Level { SmallBlock, {}, {} }, Level { LargeBlock, {}, {} } }
{
    for (Level &level : m_levels) {
        level.min.assign(m_capacity / level.block * Channels, Empty);
        level.max.assign(m_capacity / level.block * Channels, -Empty);
    }
}

void TrendBuffer::clear()
{
    m_total = 0;
    m_size = 0;
    m_base = 0;
}

std::optional<std::int64_t> TrendBuffer::firstTime() const
{
    if (m_size == 0)
        return std::nullopt;
    return timeOf(oldest());
}

std::optional<std::int64_t> TrendBuffer::lastTime() const
{
    if (m_size == 0)
        return std::nullopt;
    return timeOf(m_total - 1);
}

std::size_t TrendBuffer::blockIndex(const Level &level, int channel, std::uint64_t tick) const
{
    return static_cast<std::size_t>(channel) * (m_capacity / level.block)
        + slot(tick) / level.block;
}

void TrendBuffer::account(
    Level &level, std::uint64_t tick, const std::array<float, Channels> &values)
{
    // A block's summary starts afresh with its first tick, so a block being refilled after the
    // wrap never carries the overwritten ticks' extremes. The ticks of the old pass still in the
    // rest of that block are read raw (see minMax).
    const bool first = tick % level.block == 0;
    for (int channel = 0; channel < Channels; ++channel) {
        const std::size_t index = blockIndex(level, channel, tick);
        if (first) {
            level.min[index] = Empty;
            level.max[index] = -Empty;
        }
        const float value = values[static_cast<std::size_t>(channel)];
        if (std::isnan(value))
            continue;
        level.min[index] = std::min(level.min[index], value);
        level.max[index] = std::max(level.max[index], value);
    }
}

void TrendBuffer::rebase(std::int64_t timeMs)
{
    // Only ticks more than 24 days older than the new one are lost here; the chart's window is a
    // day at most. Rebasing costs one pass over the ring, at most once per 24 days of time.
    const std::int64_t reach = -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min());
    while (m_size > 0 && timeMs - timeOf(oldest()) > reach)
        --m_size;
    for (std::uint64_t tick = oldest(); tick < m_total; ++tick)
        m_times[slot(tick)] = static_cast<std::int32_t>(timeOf(tick) - timeMs);
    m_base = timeMs;
}

void TrendBuffer::storeTime(std::int64_t timeMs)
{
    if (m_size == 0)
        m_base = timeMs;
    else if (timeMs - m_base > std::numeric_limits<std::int32_t>::max())
        rebase(timeMs);
    m_times[slot(m_total)] = static_cast<std::int32_t>(timeMs - m_base);
}

void TrendBuffer::append(std::int64_t timeMs, const std::array<float, Channels> &values)
{
    if (m_size > 0)
        timeMs = std::max(timeMs, timeOf(m_total - 1));
    storeTime(timeMs);
    const std::size_t at = slot(m_total);
    for (int channel = 0; channel < Channels; ++channel)
        m_values[static_cast<std::size_t>(channel) * m_capacity + at] =
            values[static_cast<std::size_t>(channel)];
    for (Level &level : m_levels)
        account(level, m_total, values);
    ++m_total;
    m_size = std::min(m_size + 1, m_capacity);
}

std::uint64_t TrendBuffer::firstAtOrAfter(std::int64_t timeMs) const
{
    std::uint64_t low = oldest();
    std::uint64_t high = m_total;
    while (low < high) {
        const std::uint64_t middle = low + (high - low) / 2;
        if (timeOf(middle) < timeMs)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::size_t TrendBuffer::ticksBetween(std::int64_t from, std::int64_t to) const
{
    if (to <= from || m_size == 0)
        return 0;
    return static_cast<std::size_t>(firstAtOrAfter(to) - firstAtOrAfter(from));
}

void TrendBuffer::rawMinMax(
    int channel, std::uint64_t begin, std::uint64_t end, float &low, float &high) const
{
    const float *values = m_values.data() + static_cast<std::size_t>(channel) * m_capacity;
    std::size_t at = slot(begin);
    for (std::uint64_t tick = begin; tick < end; ++tick) {
        const float value = values[at];
        if (!std::isnan(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
        if (++at == m_capacity)
            at = 0;
    }
}

void TrendBuffer::minMax(
    int channel, std::uint64_t begin, std::uint64_t end, float &low, float &high) const
{
    // Any whole block inside [begin, end) lies inside the ring and was written in one pass since
    // its summary was reset, so its summary is exact. Raw ticks are read only at the edges.
    const Level &small = m_levels[0];
    const Level &large = m_levels[1];
    const std::uint64_t head = std::min(end, (begin + small.block - 1) / small.block * small.block);
    rawMinMax(channel, begin, head, low, high);
    std::uint64_t tick = head;
    while (end - tick >= small.block) {
        const Level &level = tick % large.block == 0 && end - tick >= large.block ? large : small;
        const std::size_t index = blockIndex(level, channel, tick);
        low = std::min(low, level.min[index]);
        high = std::max(high, level.max[index]);
        tick += level.block;
    }
    rawMinMax(channel, tick, end, low, high);
}

void TrendBuffer::decimate(
    int channel, std::int64_t from, std::int64_t to, std::span<TrendColumn> columns) const
{
    std::fill(columns.begin(), columns.end(), TrendColumn {});
    const std::size_t count = columns.size();
    if (count == 0 || to <= from || m_size == 0 || channel < 0 || channel >= Channels)
        return;
    // Slice c is [from + span * c / count, from + span * (c + 1) / count), computed without the
    // product overflowing.
    const std::uint64_t span = static_cast<std::uint64_t>(to) - static_cast<std::uint64_t>(from);
    const std::uint64_t quotient = span / count;
    const std::uint64_t remainder = span % count;
    const std::int64_t last = timeOf(m_total - 1);
    std::uint64_t begin = firstAtOrAfter(from);
    for (std::size_t c = 0; c < count && begin < m_total; ++c) {
        const std::int64_t sliceEnd =
            from + static_cast<std::int64_t>(quotient * (c + 1) + remainder * (c + 1) / count);
        const std::uint64_t end = sliceEnd > last ? m_total : firstAtOrAfter(sliceEnd);
        if (end > begin) {
            float low = Empty;
            float high = -Empty;
            minMax(channel, begin, end, low, high);
            if (low <= high)
                columns[c] = TrendColumn { low, high, true };
        }
        begin = end;
    }
}

std::optional<float> TrendBuffer::valueAt(int channel, std::int64_t timeMs) const
{
    if (m_size == 0 || channel < 0 || channel >= Channels)
        return std::nullopt;
    std::uint64_t tick =
        timeMs == std::numeric_limits<std::int64_t>::max() ? m_total : firstAtOrAfter(timeMs + 1);
    // Walk back over whole blocks without a value by their summaries, so a long gap costs its
    // blocks, not its ticks.
    while (tick > oldest()) {
        bool skipped = false;
        for (auto level = m_levels.rbegin(); level != m_levels.rend() && !skipped; ++level) {
            if (tick % level->block != 0 || tick - oldest() < level->block)
                continue;
            const std::size_t index = blockIndex(*level, channel, tick - level->block);
            if (level->min[index] > level->max[index]) {
                tick -= level->block;
                skipped = true;
            }
        }
        if (skipped)
            continue;
        --tick;
        const float value = valueOf(channel, tick);
        if (!std::isnan(value))
            return value;
    }
    return std::nullopt;
}

std::size_t TrendBuffer::memoryBytes() const
{
    std::size_t bytes =
        m_times.capacity() * sizeof(std::int32_t) + m_values.capacity() * sizeof(float);
    for (const Level &level : m_levels)
        bytes += (level.min.capacity() + level.max.capacity()) * sizeof(float);
    return bytes;
}

std::vector<int> OutOfBandColumns(std::span<const TrendColumn> columns, float low, float high)
{
    std::vector<int> out;
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (columns[c].any && (columns[c].min < low || columns[c].max > high))
            out.push_back(static_cast<int>(c));
    return out;
}

} // namespace zul
