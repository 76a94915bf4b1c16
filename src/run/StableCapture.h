// Waits for settled live values: fed the readings of every poll tick, it answers Settled once the
// last N readings of every measured channel lie within a band, or TimedOut when that has not
// happened within the time-out, naming the channels that did not settle. The run's calibration
// and verification steps capture raw and scaled values with it. Qt-free; the caller gives the
// time, so tests need no clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace zul::run {

struct Stability
{
    int readings = 3;
    int band = 4; // in counts: highest minus lowest of the last readings at most this
    std::chrono::milliseconds timeout { 15000 };
};

class StableCapture
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    enum class State { Waiting, Settled, TimedOut };

    // `channels`: the 1-based channels judged (a differential module measures 1, 3, 5 and 7);
    // empty: every channel of the readings.
    explicit StableCapture(Stability stability = {}, std::vector<int> channels = {});

    // Forgets every reading; the time-out runs from `now`.
    void start(TimePoint now);
    // One poll tick's readings, element 0 = channel 1.
    State add(const std::vector<std::int32_t> &readings, TimePoint now);
    // A tick without readings (a failed read): only the time-out moves on.
    State tick(TimePoint now);
    State state() const { return m_state; }

    // The mean of a channel's last readings, rounded; 0 for a channel never read.
    std::int32_t value(int channel) const;
    std::vector<std::int32_t> values() const; // element 0 = channel 1
    // The measured channels whose last readings do not (yet) lie within the band.
    std::vector<int> unsettledChannels() const;
    // "Channels 2 and 5 did not settle within 15 s" (or "Channel 2 ...").
    std::string failureMessage() const;
    const Stability &stability() const { return m_stability; }

private:
    bool settled(int channel) const;
    std::vector<int> judgedChannels() const;

    Stability m_stability;
    std::vector<int> m_channels;
    std::vector<std::deque<std::int32_t>> m_history; // the last readings per channel
    TimePoint m_started;
    State m_state = State::Waiting;
};

// "1, 3 and 5"
std::string channelList(const std::vector<int> &channels);

} // namespace zul::run
