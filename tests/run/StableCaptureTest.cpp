// The stable capture fed tick by tick with the test's own times: settling, a channel that never
// settles, a noisy channel named, the channels a differential module does not measure, and the
// capture as a run step.
#include "run/CaptureStep.h"

#include <gtest/gtest.h>

using namespace zul::run;
using namespace std::chrono_literals;
using State = StableCapture::State;
using Readings = std::vector<std::int32_t>;

namespace {

const StableCapture::TimePoint T0 = StableCapture::TimePoint(1000s);

Readings all(std::int32_t value, int channels = 8)
{
    return Readings(std::size_t(channels), value);
}

} // namespace

TEST(StableCapture, SettlesOnceTheLastReadingsOfEveryChannelLieWithinTheBand)
{
    StableCapture capture; // 3 readings, band 4, 15 s
    capture.start(T0);
    EXPECT_EQ(capture.add(all(1000), T0 + 100ms), State::Waiting);
    EXPECT_EQ(capture.add(all(1004), T0 + 200ms), State::Waiting); // only two readings so far
    Readings third = all(1002);
    third[7] = 1005; // 1000..1005 spans 5 counts: channel 8 not yet
    EXPECT_EQ(capture.add(third, T0 + 300ms), State::Waiting);
    EXPECT_EQ(capture.unsettledChannels(), std::vector<int> { 8 });
    // The oldest reading drops out: 1004, 1002, 1004 and 1004, 1005, 1004 lie within 4.
    EXPECT_EQ(capture.add(all(1004), T0 + 400ms), State::Settled);
    EXPECT_TRUE(capture.unsettledChannels().empty());
    EXPECT_EQ(capture.value(1), 1003); // (1004 + 1002 + 1004) / 3, rounded
    EXPECT_EQ(capture.value(8), 1004); // 4.33 rounds down
    EXPECT_EQ(capture.values().size(), 8u);
    EXPECT_EQ(capture.failureMessage(), "");
    // Settled holds: later readings do not undo it.
    EXPECT_EQ(capture.add(all(0), T0 + 500ms), State::Settled);
    EXPECT_EQ(capture.value(1), 1003);

    // Negative raw values and a wider band, one reading: the first tick settles.
    StableCapture single(Stability { 1, 0, 1s });
    single.start(T0);
    EXPECT_EQ(single.add({ -32768, 5 }, T0), State::Settled);
    EXPECT_EQ(single.value(1), -32768);
}

TEST(StableCapture, AChannelThatNeverSettlesTimesOutAndIsNamed)
{
    StableCapture capture(Stability { 3, 4, 15s });
    capture.start(T0);
    State state = State::Waiting;
    int ticks = 0;
    // Channels 3 and 6 drift by 3 counts a tick: any three readings span 6.
    for (auto at = T0; state == State::Waiting && ticks < 1000; at += 250ms, ++ticks) {
        Readings readings = all(20000);
        readings[2] += 3 * ticks;
        readings[5] -= 3 * ticks;
        state = capture.add(readings, at);
    }
    EXPECT_EQ(state, State::TimedOut);
    EXPECT_EQ(ticks, 61); // 0 s .. 15 s at four ticks a second
    EXPECT_EQ(capture.unsettledChannels(), (std::vector<int> { 3, 6 }));
    EXPECT_EQ(capture.failureMessage(), "Channels 3 and 6 did not settle within 15 s");

    // No readings at all (every read failed): the ticks alone end it.
    StableCapture silent(Stability { 3, 4, 2500ms });
    silent.start(T0);
    EXPECT_EQ(silent.tick(T0 + 2s), State::Waiting);
    EXPECT_EQ(silent.tick(T0 + 2500ms), State::TimedOut);
    EXPECT_EQ(silent.failureMessage(), "No readings within 2.5 s");

    // start() forgets the old readings and the time-out.
    capture.start(T0 + 100s);
    EXPECT_EQ(capture.state(), State::Waiting);
    capture.add(all(7), T0 + 100s);
    capture.add(all(7), T0 + 101s);
    EXPECT_EQ(capture.add(all(7), T0 + 102s), State::Settled);
}

TEST(StableCapture, OneNoisyChannelIsNamedAndChannelsOutsideTheSetAreNotJudged)
{
    // A differential module measures channels 1, 3, 5 and 7; the even ones may do anything.
    StableCapture capture(Stability { 3, 4, 1s }, { 1, 3, 5, 7 });
    capture.start(T0);
    const std::int32_t noise[] = { 0, 9, -7, 5, -9, 8 };
    State state = State::Waiting;
    for (int tick = 0; tick < 6; ++tick) {
        Readings readings = all(16384);
        for (int ch = 1; ch < 8; ch += 2)
            readings[std::size_t(ch)] += 1000 * tick; // even channels ramp
        readings[4] += noise[tick]; // channel 5 is noisy
        state = capture.add(readings, T0 + tick * 200ms);
    }
    EXPECT_EQ(state, State::TimedOut);
    EXPECT_EQ(capture.unsettledChannels(), std::vector<int> { 5 });
    EXPECT_EQ(capture.failureMessage(), "Channel 5 did not settle within 1 s");

    // Without the noise the same ramps on the even channels settle at the third tick.
    StableCapture quiet(Stability { 3, 4, 1s }, { 1, 3, 5, 7 });
    quiet.start(T0);
    for (int tick = 0; tick < 3; ++tick) {
        Readings readings = all(16384);
        for (int ch = 1; ch < 8; ch += 2)
            readings[std::size_t(ch)] += 1000 * tick;
        state = quiet.add(readings, T0 + tick * 200ms);
    }
    EXPECT_EQ(state, State::Settled);

    // A judged channel the readings do not reach never settles.
    StableCapture missing(Stability { 1, 4, 1s }, { 9 });
    missing.start(T0);
    EXPECT_EQ(missing.add(all(0), T0), State::Waiting);
    EXPECT_EQ(missing.unsettledChannels(), std::vector<int> { 9 });
    // A tick that reads fewer channels breaks the others' runs of consecutive readings.
    StableCapture gaps(Stability { 2, 0, 1s });
    gaps.start(T0);
    EXPECT_EQ(gaps.add({ 1, 2 }, T0), State::Waiting);
    EXPECT_EQ(gaps.add({ 1 }, T0), State::Waiting);
    EXPECT_EQ(gaps.add({ 1, 2 }, T0), State::Waiting);
    EXPECT_EQ(gaps.add({ 1, 2 }, T0), State::Settled);
    EXPECT_EQ(channelList({ 1, 3, 5 }), "1, 3 and 5");
}

TEST(StableCapture, AsAStepActionTheRunWaitsOverTicksAndARetryCapturesAfresh)
{
    auto now = T0;
    std::vector<std::optional<Readings>> feed; // what each tick reads, front first
    std::vector<std::int32_t> filed;
    CaptureStep step;
    step.stability = Stability { 3, 4, 2s };
    step.channels = { 1, 3 };
    step.clock = [&now] { return now; };
    step.read = [&feed] {
        std::optional<Readings> readings = feed.front();
        feed.erase(feed.begin());
        return readings;
    };
    step.settled = [&filed](const StableCapture &capture) {
        filed = capture.values();
        return StepResult::passed("settled");
    };
    zul::run::Run run({ { "Calibration low", "Apply 0V", captureAction(step) } }, 3);
    run.start();

    // First attempt: channel 3 noisy until the time-out.
    for (int tick = 0; tick < 5; ++tick)
        feed.push_back(Readings { 100, 0, 200 + (tick % 2) * 9 });
    ASSERT_TRUE(run.next());
    for (int tick = 1; tick < 5 && run.running(); ++tick) {
        now += 500ms;
        run.tick();
    }
    ASSERT_EQ(run.steps()[0].status, StepStatus::Failed);
    const Attempt &failed = run.steps()[0].attempts[0];
    EXPECT_EQ(failed.message, "Channel 3 did not settle within 2 s");
    ASSERT_EQ(failed.values.size(), 1u);
    EXPECT_EQ(failed.values[0].name, "CH3");
    EXPECT_TRUE(filed.empty());

    // Retry: the old readings are gone; a tick without a reading only waits.
    feed = { std::nullopt, Readings { 10, 0, 20 }, Readings { 12, 999, 21 },
        Readings { 11, 5, 22 } };
    now += 10s;
    ASSERT_TRUE(run.retry());
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_TRUE(run.running());
        now += 500ms;
        run.tick();
    }
    EXPECT_EQ(run.outcome(), Outcome::Passed);
    EXPECT_EQ(filed, (std::vector<std::int32_t> { 11, 335, 21 }));
    EXPECT_EQ(run.steps()[0].attempts[1].message, "settled");
}
