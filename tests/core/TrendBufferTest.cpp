// The trend's ring buffer against a plain list of the same ticks: every column's min and max,
// the value under a cursor, across the wrap, over gaps without values and over time offsets that
// outgrow 32 bits.
#include "core/TrendBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <random>

using namespace zul;

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
using Values = std::array<float, TrendBuffer::Channels>;

struct Tick
{
    std::int64_t time;
    Values values;
};

// The same ticks kept the obvious way: the last `capacity` of them in a list.
class Reference
{
public:
    explicit Reference(std::size_t capacity)
        : m_capacity(capacity)
    {
    }
    void append(std::int64_t time, const Values &values)
    {
        m_ticks.push_back({ time, values });
        if (m_ticks.size() > m_capacity)
            m_ticks.pop_front();
    }
    std::vector<TrendColumn> decimate(
        int channel, std::int64_t from, std::int64_t to, int count) const
    {
        std::vector<TrendColumn> columns(static_cast<std::size_t>(count));
        for (int c = 0; c < count; ++c) {
            const std::int64_t begin = from + (to - from) * c / count;
            const std::int64_t end = from + (to - from) * (c + 1) / count;
            TrendColumn &column = columns[static_cast<std::size_t>(c)];
            for (auto tick = std::partition_point(m_ticks.begin(), m_ticks.end(),
                     [begin](const Tick &t) { return t.time < begin; });
                 tick != m_ticks.end() && tick->time < end; ++tick) {
                const float value = tick->values[static_cast<std::size_t>(channel)];
                if (std::isnan(value))
                    continue;
                column.min = column.any ? std::min(column.min, value) : value;
                column.max = column.any ? std::max(column.max, value) : value;
                column.any = true;
            }
        }
        return columns;
    }
    std::optional<float> valueAt(int channel, std::int64_t time) const
    {
        for (auto tick = m_ticks.rbegin(); tick != m_ticks.rend(); ++tick)
            if (tick->time <= time && !std::isnan(tick->values[static_cast<std::size_t>(channel)]))
                return tick->values[static_cast<std::size_t>(channel)];
        return std::nullopt;
    }
    const std::deque<Tick> &ticks() const { return m_ticks; }

private:
    std::size_t m_capacity;
    std::deque<Tick> m_ticks;
};

// Random values; channel 7 is silent for long stretches (whole blocks), the others miss a value
// now and then.
class Feed
{
public:
    Feed(TrendBuffer &buffer, Reference &reference)
        : m_buffer(buffer)
        , m_reference(reference)
    {
    }
    void append(std::size_t count)
    {
        std::uniform_real_distribution<float> value(-100.0f, 100.0f);
        std::uniform_int_distribution<int> step(0, 3); // equal times happen
        std::uniform_int_distribution<int> percent(0, 99);
        for (std::size_t n = 0; n < count; ++n) {
            m_time += step(m_random);
            const bool silent = m_time / 7000 % 3 == 1;
            Values values;
            for (int channel = 0; channel < TrendBuffer::Channels; ++channel)
                values[static_cast<std::size_t>(channel)] =
                    percent(m_random) < 10 ? NaN : value(m_random);
            values[7] = silent ? NaN : value(m_random);
            m_buffer.append(m_time, values);
            m_reference.append(m_time, values);
        }
    }
    std::mt19937 &random() { return m_random; }

private:
    TrendBuffer &m_buffer;
    Reference &m_reference;
    std::mt19937 m_random { 22 };
    std::int64_t m_time = 1'000'000;
};

void expectSameColumns(const std::vector<TrendColumn> &expected,
    const std::vector<TrendColumn> &actual, const std::string &what)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t c = 0; c < expected.size(); ++c) {
        ASSERT_EQ(expected[c].any, actual[c].any) << what << " column " << c;
        if (expected[c].any) {
            ASSERT_EQ(expected[c].min, actual[c].min) << what << " column " << c;
            ASSERT_EQ(expected[c].max, actual[c].max) << what << " column " << c;
        }
    }
}

// Ranges from a few ticks to more than the whole ring, some reaching past either end, cut into
// columns narrower than a small block up to columns spanning many large blocks.
void checkAgainstReference(
    const TrendBuffer &buffer, const Reference &reference, std::mt19937 &random)
{
    const std::int64_t first = reference.ticks().front().time;
    const std::int64_t last = reference.ticks().back().time;
    std::uniform_int_distribution<std::int64_t> anywhere(first - 500, last + 500);
    const int counts[] = { 1, 3, 17, 200, 800, 2000 };
    for (int round = 0; round < 12; ++round) {
        std::int64_t from = anywhere(random);
        std::int64_t to = anywhere(random);
        if (round == 0) {
            from = first - 1;
            to = last + 1;
        } else if (round == 1) {
            from = last - 40;
            to = last + 40;
        }
        if (to < from)
            std::swap(from, to);
        for (int count : counts) {
            for (int channel : { 0, 7 }) {
                std::vector<TrendColumn> actual(static_cast<std::size_t>(count));
                buffer.decimate(channel, from, to, actual);
                expectSameColumns(reference.decimate(channel, from, to, count), actual,
                    "channel " + std::to_string(channel) + " [" + std::to_string(from) + ", "
                        + std::to_string(to) + ") in " + std::to_string(count));
            }
        }
        for (int channel : { 0, 7 })
            ASSERT_EQ(reference.valueAt(channel, from), buffer.valueAt(channel, from))
                << "channel " << channel << " at " << from;
    }
}

} // namespace

TEST(TrendBuffer, DecimationKeepsEveryColumnsMinAndMaxBeforeAndAcrossTheWrap)
{
    TrendBuffer buffer(10000);
    ASSERT_EQ(buffer.capacity(), 3 * TrendBuffer::LargeBlock); // rounded up to whole blocks
    Reference reference(buffer.capacity());
    Feed feed(buffer, reference);
    // Part filled, just full, just wrapped, then wrapped several times at uneven points.
    for (std::size_t count : { std::size_t { 5000 }, buffer.capacity() - 5000, std::size_t { 1 },
             std::size_t { 20000 }, std::size_t { 33 }, std::size_t { 41000 } }) {
        feed.append(count);
        ASSERT_EQ(buffer.size(), reference.ticks().size());
        ASSERT_EQ(buffer.firstTime(), reference.ticks().front().time);
        ASSERT_EQ(buffer.lastTime(), reference.ticks().back().time);
        checkAgainstReference(buffer, reference, feed.random());
    }
}

TEST(TrendBuffer, ValueAtFindsTheLatestValueOverLongGapsAndNeverOneThatLeftTheRing)
{
    TrendBuffer buffer(TrendBuffer::LargeBlock);
    Values values;
    values.fill(NaN);
    EXPECT_FALSE(buffer.valueAt(0, 0));
    EXPECT_FALSE(buffer.firstTime());

    values[0] = 1.5f;
    buffer.append(100, values);
    values[0] = NaN;
    values[1] = 2.0f;
    // Channel 0 silent for more than a large block after its one value.
    for (std::int64_t t = 101; t < 101 + 5000; ++t)
        buffer.append(t, values);
    EXPECT_EQ(buffer.size(), buffer.capacity());
    // Its value fell out of the ring with the wrap: nothing is made up.
    EXPECT_FALSE(buffer.valueAt(0, 6000));
    EXPECT_EQ(buffer.valueAt(1, 6000), 2.0f);
    EXPECT_FALSE(buffer.valueAt(1, buffer.firstTime().value() - 1));

    buffer.clear();
    EXPECT_EQ(buffer.size(), 0u);
    values[0] = 1.5f;
    buffer.append(100, values);
    values[0] = NaN;
    for (std::int64_t t = 101; t < 101 + 3 * 64 + 10; ++t)
        buffer.append(t, values);
    values[0] = -4.0f;
    buffer.append(400, values);
    EXPECT_EQ(buffer.valueAt(0, 99), std::nullopt);
    EXPECT_EQ(buffer.valueAt(0, 100), 1.5f);
    EXPECT_EQ(buffer.valueAt(0, 399), 1.5f); // back over three silent small blocks
    EXPECT_EQ(buffer.valueAt(0, 400), -4.0f);
    EXPECT_EQ(buffer.valueAt(0, std::numeric_limits<std::int64_t>::max()), -4.0f);
    EXPECT_EQ(buffer.ticksBetween(100, 101), 1u);
    EXPECT_EQ(buffer.ticksBetween(0, 1000), buffer.size());
}

TEST(TrendBuffer, TimesBeyondThirtyTwoBitOffsetsAndTimesGoingBack)
{
    // Ticks ten minutes apart for 40 days: offsets from the first tick outgrow 32-bit ms.
    TrendBuffer buffer(TrendBuffer::LargeBlock);
    Reference reference(buffer.capacity());
    constexpr std::int64_t start = 1'790'000'000'000; // an epoch time in ms
    constexpr std::int64_t step = 600'000;
    for (int n = 0; n < 40 * 144; ++n) {
        const Values values { float(n), -float(n), 0, 0, 0, 0, 0, 0 };
        buffer.append(start + n * step, values);
        reference.append(start + n * step, values);
    }
    const std::int64_t last = start + (40 * 144 - 1) * step;
    EXPECT_EQ(buffer.lastTime(), last);
    // Ticks more than 24.8 days older than the newest may go; all younger ones are kept.
    EXPECT_LE(buffer.firstTime().value(), last - 24 * 86'400'000LL);
    const std::int64_t from = buffer.firstTime().value();
    std::vector<TrendColumn> columns(50);
    buffer.decimate(0, from, last + 1, columns);
    Reference kept(buffer.size());
    for (const Tick &tick : reference.ticks())
        kept.append(tick.time, tick.values);
    expectSameColumns(kept.decimate(0, from, last + 1, 50), columns, "after rebasing");
    EXPECT_EQ(buffer.valueAt(1, last - step / 2), -float(40 * 144 - 2));

    // A clock stepping back is held at the last time: the ring stays ordered.
    buffer.append(last - 10 * step, Values { 1000, 0, 0, 0, 0, 0, 0, 0 });
    EXPECT_EQ(buffer.lastTime(), last);
    EXPECT_EQ(buffer.valueAt(0, last), 1000.0f);
    buffer.decimate(0, last, last + 1, std::span(columns).first(1));
    EXPECT_EQ(columns[0].min, 1000.0f);
    EXPECT_EQ(columns[0].max, float(40 * 144 - 1));
}

TEST(TrendBuffer, TwentyFourHoursAtTenHertzFitInThirtyFiveMegabytes)
{
    TrendBuffer buffer(864'000);
    EXPECT_GE(buffer.capacity(), 864'000u);
    EXPECT_LE(buffer.memoryBytes(), 35'000'000u);
}

TEST(TrendBuffer, OutOfBandColumnsAreThoseReachingOutsideEitherEnd)
{
    const std::vector<TrendColumn> columns {
        { 0.0f, 1.0f, true }, // inside, touching both ends
        { -0.1f, 0.5f, true }, // below
        { 0.5f, 1.01f, true }, // above
        { -5.0f, 5.0f, true }, // both
        { -5.0f, 5.0f, false }, // no value
        { 0.5f, 0.5f, true },
    };
    EXPECT_EQ(OutOfBandColumns(columns, 0.0f, 1.0f), (std::vector<int> { 1, 2, 3 }));
    EXPECT_TRUE(OutOfBandColumns(columns, -10.0f, 10.0f).empty());
    EXPECT_TRUE(OutOfBandColumns({}, 0.0f, 1.0f).empty());
}
