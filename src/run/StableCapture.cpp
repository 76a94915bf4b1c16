#include "StableCapture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zul::run {

std::string channelList(const std::vector<int> &channels)
{
    std::string text;
    for (std::size_t n = 0; n < channels.size(); ++n) {
        if (n > 0)
            text += n + 1 == channels.size() ? " and " : ", ";
        text += std::to_string(channels[n]);
    }
    return text;
}

StableCapture::StableCapture(Stability stability, std::vector<int> channels)
    : m_stability(stability)
    , m_channels(std::move(channels))
{
    m_stability.readings = std::max(1, m_stability.readings);
    m_stability.band = std::max(0, m_stability.band);
}

void StableCapture::start(TimePoint now)
{
    m_history.clear();
    m_started = now;
    m_state = State::Waiting;
}

StableCapture::State StableCapture::add(const std::vector<std::int32_t> &readings, TimePoint now)
{
    if (m_state != State::Waiting)
        return m_state;
    if (m_history.size() < readings.size())
        m_history.resize(readings.size());
    for (std::size_t ch = 0; ch < m_history.size(); ++ch) {
        auto &history = m_history[ch];
        // A channel this tick did not read breaks its run of consecutive readings.
        if (ch >= readings.size()) {
            history.clear();
            continue;
        }
        history.push_back(readings[ch]);
        if (int(history.size()) > m_stability.readings)
            history.pop_front();
    }
    if (!m_history.empty() && unsettledChannels().empty())
        return m_state = State::Settled;
    return tick(now);
}

StableCapture::State StableCapture::tick(TimePoint now)
{
    if (m_state == State::Waiting && now - m_started >= m_stability.timeout)
        m_state = State::TimedOut;
    return m_state;
}

bool StableCapture::settled(int channel) const
{
    if (channel < 1 || channel > int(m_history.size()))
        return false;
    const auto &history = m_history[channel - 1];
    if (int(history.size()) < m_stability.readings)
        return false;
    const auto [low, high] = std::minmax_element(history.begin(), history.end());
    return std::int64_t(*high) - *low <= m_stability.band;
}

std::vector<int> StableCapture::judgedChannels() const
{
    if (!m_channels.empty())
        return m_channels;
    std::vector<int> all(m_history.size());
    for (std::size_t n = 0; n < all.size(); ++n)
        all[n] = int(n) + 1;
    return all;
}

std::vector<int> StableCapture::unsettledChannels() const
{
    std::vector<int> channels;
    for (int channel : judgedChannels())
        if (!settled(channel))
            channels.push_back(channel);
    return channels;
}

std::int32_t StableCapture::value(int channel) const
{
    if (channel < 1 || channel > int(m_history.size()) || m_history[channel - 1].empty())
        return 0;
    const auto &history = m_history[channel - 1];
    std::int64_t sum = 0;
    for (std::int32_t reading : history)
        sum += reading;
    return static_cast<std::int32_t>(std::lround(double(sum) / double(history.size())));
}

std::vector<std::int32_t> StableCapture::values() const
{
    std::vector<std::int32_t> all(m_history.size());
    for (std::size_t n = 0; n < all.size(); ++n)
        all[n] = value(int(n) + 1);
    return all;
}

std::string StableCapture::failureMessage() const
{
    const std::vector<int> channels = unsettledChannels();
    const auto seconds = std::chrono::duration<double>(m_stability.timeout).count();
    char time[32];
    std::snprintf(time, sizeof time, "%g s", seconds);
    if (m_state == State::Settled)
        return {};
    if (channels.empty())
        return std::string("No readings within ") + time;
    return std::string(channels.size() == 1 ? "Channel " : "Channels ") + channelList(channels)
        + " did not settle within " + time;
}

} // namespace zul::run
