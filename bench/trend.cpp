// Trend benchmark: the strip chart at 800 x 400 pixels over eight channels, rendered offscreen
// into an image, with 36 k, 288 k and 864 k ticks in the buffer (1 h, 8 h and 24 h of a 10 Hz
// poll, the window showing all of them). Each round appends one tick to every channel and
// repaints, as a poll does; the figures are the median and worst repaint, the part of it spent
// in decimation, and resident memory beside the buffer's own.
//
//   trend [rounds]     rounds per size, 101 unless given
#include "core/TrendBuffer.h"
#include "widgets/StripChart.h"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t Capacity = 864'000;
constexpr std::int64_t TickMs = 100;

long statusKb(const char *key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Slow sines with noise and now and then a missed value, like channels settling and drifting.
class Source
{
public:
    explicit Source(zul::TrendBuffer &buffer)
        : m_buffer(buffer)
    {
    }
    void append()
    {
        std::array<float, zul::TrendBuffer::Channels> values;
        for (int n = 0; n < zul::TrendBuffer::Channels; ++n)
            values[static_cast<std::size_t>(n)] = m_miss(m_random) == 0
                ? std::numeric_limits<float>::quiet_NaN()
                : static_cast<float>(n + std::sin(m_count * 1e-4 * (n + 1))) + m_noise(m_random);
        m_buffer.append(m_start + m_count * TickMs, values);
        ++m_count;
    }
    std::int64_t count() const { return m_count; }

private:
    zul::TrendBuffer &m_buffer;
    std::mt19937 m_random { 4 };
    std::normal_distribution<float> m_noise { 0.0f, 0.02f };
    std::uniform_int_distribution<int> m_miss { 0, 999 };
    const std::int64_t m_start = 1'790'000'000'000; // ms since the epoch, clock labels
    std::int64_t m_count = 0;
};

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    const long baseKb = statusKb("VmRSS");

    zul::TrendBuffer buffer(Capacity);
    TStripChart chart(buffer);
    chart.resize(800, 400);
    chart.SetUnit(QStringLiteral("V"));
    chart.SetBand(2, std::make_pair(1.5f, 2.5f));
    chart.SetBand(5, std::make_pair(4.9f, 5.1f));
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    Source source(buffer);

    std::printf("strip chart 800 x 400, 8 channels, one tick appended and a repaint per round, "
                "%d rounds, platform %s\n\n",
        rounds, qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("%9s %11s %11s %11s %13s %11s %11s\n", "ticks", "median ms", "p90 ms", "max ms",
        "decimate ms", "buffer MiB", "VmRSS MiB");
    // The last size runs past the capacity, so the ring has wrapped.
    for (std::int64_t size : { std::int64_t { 36'000 }, std::int64_t { 288'000 },
             static_cast<std::int64_t>(buffer.capacity()) + 50'000 }) {
        while (source.count() < size)
            source.append();
        chart.SetWindowMs(std::min<std::int64_t>(
            static_cast<std::int64_t>(buffer.size()) * TickMs, 24 * 3'600'000LL));
        for (int warm = 0; warm < 5; ++warm)
            chart.render(&image);
        std::vector<double> paints;
        std::vector<double> decimations;
        std::vector<zul::TrendColumn> columns(static_cast<std::size_t>(chart.PlotArea().width()));
        for (int round = 0; round < rounds; ++round) {
            source.append();
            chart.Refresh();
            auto start = std::chrono::steady_clock::now();
            chart.render(&image);
            paints.push_back(msSince(start));
            const auto [from, to] = chart.ShownRange();
            start = std::chrono::steady_clock::now();
            for (int n = 0; n < zul::TrendBuffer::Channels; ++n)
                buffer.decimate(n, from, to, columns);
            decimations.push_back(msSince(start));
        }
        std::sort(paints.begin(), paints.end());
        std::printf("%9zu %11.2f %11.2f %11.2f %13.2f %11.1f %11.1f\n", buffer.size(),
            median(paints), paints[paints.size() * 9 / 10], paints.back(), median(decimations),
            buffer.memoryBytes() / 1048576.0, statusKb("VmRSS") / 1024.0);
    }
    std::printf("\nVmRSS before the buffer %.1f MiB, VmHWM %.1f MiB; buffer %.1f MB (10^6 bytes)\n",
        baseKb / 1024.0, statusKb("VmHWM") / 1024.0, buffer.memoryBytes() / 1e6);
    std::printf("(targets: the buffer for 864 k ticks at most 35 MB, median repaint at most 25 ms "
                "at every size)\n");
    return 0;
}
