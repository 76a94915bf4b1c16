// The run engine driven as the run dock drives it: buttons and poll ticks, with a clock of the
// test's own, so every attempt's times are known.
#include "run/RunEngine.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace zul::run;
using namespace std::chrono_literals;

namespace {

// Each call moves the clock on by one second.
struct FakeClock
{
    Clock::time_point now = Clock::time_point(1800000000s);
    Clock::time_point operator()() { return now += 1s; }
};

// A step whose verdicts are scripted: the n-th call answers verdicts[n] (the last one repeats),
// and every call is counted.
struct Script
{
    std::vector<StepResult::Verdict> verdicts;
    int calls = 0;
    int firstCalls = 0;

    Step step(std::string name)
    {
        return { std::move(name), "Apply 5V",
            [this](StepContext &context) {
                firstCalls += context.firstCall;
                const auto verdict = verdicts[std::min<std::size_t>(calls++, verdicts.size() - 1)];
                StepResult result { verdict, {}, "call " + std::to_string(calls) };
                result.values.push_back({ "CH1", double(context.attempt), "V", Limits { 0, 5 } });
                return result;
            } };
    }
};

using V = StepResult::Verdict;

zul::run::Run makeRun(std::vector<Script *> scripts, FakeClock &clock, int attempts = 3)
{
    std::vector<Step> steps;
    for (std::size_t n = 0; n < scripts.size(); ++n)
        steps.push_back(scripts[n]->step("Step " + std::to_string(n + 1)));
    return zul::run::Run(std::move(steps), attempts, std::ref(clock));
}

} // namespace

TEST(RunEngine, StepsPassOneByOneOnNextAndAWorkingActionIsResumedByTicks)
{
    FakeClock clock;
    Script first { { V::Passed } }, capture { { V::Working, V::Working, V::Passed } };
    zul::run::Run run = makeRun({ &first, &capture }, clock);
    EXPECT_FALSE(run.next()); // not started
    run.start();
    EXPECT_EQ(run.current(), 0u);
    EXPECT_EQ(run.steps()[0].status, StepStatus::Pending);
    EXPECT_FALSE(run.tick()); // nothing runs before the operator's Next

    ASSERT_TRUE(run.next());
    EXPECT_EQ(run.steps()[0].status, StepStatus::Passed);
    EXPECT_EQ(run.current(), 1u);
    EXPECT_EQ(run.steps()[1].status, StepStatus::Pending); // waits for the operator again

    ASSERT_TRUE(run.next());
    EXPECT_TRUE(run.running());
    EXPECT_EQ(run.steps()[1].status, StepStatus::Running);
    EXPECT_FALSE(run.canNext());
    EXPECT_FALSE(run.canRetry());
    EXPECT_TRUE(run.tick());
    EXPECT_TRUE(run.running());
    EXPECT_TRUE(run.tick());
    EXPECT_FALSE(run.running());
    EXPECT_EQ(capture.calls, 3);
    EXPECT_EQ(capture.firstCalls, 1);
    EXPECT_EQ(run.steps()[1].attempts.size(), 1u); // one attempt over three calls
    EXPECT_TRUE(run.finished());
    EXPECT_EQ(run.outcome(), Outcome::Passed);
    EXPECT_STREQ(outcomeName(run.outcome()), "PASSED");
    EXPECT_EQ(run.stepsDone(), 2u);
    EXPECT_FALSE(run.tick());
    EXPECT_FALSE(run.next());
    EXPECT_FALSE(run.abort()); // a finished run stays as it ended

    const Attempt &attempt = run.steps()[1].attempts[0];
    EXPECT_EQ(attempt.status, StepStatus::Passed);
    EXPECT_EQ(attempt.message, "call 3");
    EXPECT_GT(attempt.ended, attempt.started);
    EXPECT_GE(attempt.started, run.startedAt());
    EXPECT_LE(attempt.ended, run.endedAt());
}

TEST(RunEngine, EveryAttemptIsKeptAndRetryStopsAtThePlansLimit)
{
    FakeClock clock;
    Script flaky { { V::Failed, V::Error, V::Failed } };
    Script last { { V::Passed } };
    zul::run::Run run = makeRun({ &flaky, &last }, clock, 3);
    run.start();
    EXPECT_FALSE(run.retry()); // nothing to retry yet
    ASSERT_TRUE(run.next());
    EXPECT_EQ(run.steps()[0].status, StepStatus::Failed);
    EXPECT_EQ(run.current(), 0u); // a failure waits for the operator
    ASSERT_TRUE(run.retry());
    EXPECT_EQ(run.steps()[0].status, StepStatus::Error);
    ASSERT_TRUE(run.retry());
    EXPECT_FALSE(run.canRetry());
    EXPECT_FALSE(run.retry()); // three attempts is the limit
    EXPECT_EQ(flaky.calls, 3);

    const auto &attempts = run.steps()[0].attempts;
    ASSERT_EQ(attempts.size(), 3u);
    EXPECT_EQ(attempts[0].status, StepStatus::Failed);
    EXPECT_EQ(attempts[1].status, StepStatus::Error);
    EXPECT_EQ(attempts[2].status, StepStatus::Failed);
    for (std::size_t n = 0; n < attempts.size(); ++n) {
        EXPECT_EQ(attempts[n].message, "call " + std::to_string(n + 1));
        ASSERT_EQ(attempts[n].values.size(), 1u);
        EXPECT_EQ(attempts[n].values[0].value, double(n + 1)); // the attempt number it was given
        EXPECT_EQ(attempts[n].values[0].unit, "V");
        if (n > 0) {
            EXPECT_GT(attempts[n].started, attempts[n - 1].ended);
        }
    }

    // Next accepts the failure: the run goes on and ends FAILED however the rest goes.
    ASSERT_TRUE(run.next());
    EXPECT_EQ(run.current(), 1u);
    ASSERT_TRUE(run.next());
    EXPECT_EQ(run.outcome(), Outcome::Failed);
    EXPECT_EQ(run.steps()[0].status, StepStatus::Failed);
}

TEST(RunEngine, RetryAfterAFailureCanPassAndAnErrorLeftStandingEndsTheRunAsError)
{
    FakeClock clock;
    Script second { { V::Failed, V::Passed } };
    Script broken { { V::Error } };
    Script never { { V::Passed } };
    zul::run::Run run = makeRun({ &second, &broken, &never }, clock);
    run.start();
    run.next();
    ASSERT_TRUE(run.retry());
    EXPECT_EQ(run.steps()[0].status, StepStatus::Passed);
    EXPECT_EQ(run.steps()[0].attempts.size(), 2u);
    EXPECT_EQ(run.current(), 1u);

    run.next();
    EXPECT_EQ(run.steps()[1].status, StepStatus::Error);
    ASSERT_TRUE(run.next());
    EXPECT_EQ(run.outcome(), Outcome::Error);
    EXPECT_EQ(run.steps()[2].status, StepStatus::Pending);
    EXPECT_EQ(never.calls, 0);

    // An action that throws is an Error with the exception's text, not a crash.
    zul::run::Run throwing(
        { { "Identify", "",
            [](StepContext &) -> StepResult { throw std::runtime_error("Modbus error"); } } },
        3, std::ref(clock));
    throwing.start();
    throwing.next();
    EXPECT_EQ(throwing.steps()[0].status, StepStatus::Error);
    EXPECT_EQ(throwing.steps()[0].attempts[0].message, "Modbus error");
}

TEST(RunEngine, SkipMarksTheStepSkippedAndTheRunFails)
{
    FakeClock clock;
    Script waiting { { V::Working } };
    Script pending { { V::Passed } };
    Script last { { V::Passed } };
    zul::run::Run run = makeRun({ &waiting, &pending, &last }, clock);
    run.start();
    run.next();
    run.tick();
    ASSERT_TRUE(run.running());
    ASSERT_TRUE(run.skip()); // a capture that never settles can be skipped at once
    EXPECT_EQ(run.steps()[0].status, StepStatus::Skipped);
    EXPECT_EQ(run.steps()[0].attempts.back().status, StepStatus::Skipped);
    EXPECT_FALSE(run.tick());
    EXPECT_EQ(waiting.calls, 2);
    ASSERT_TRUE(run.skip()); // and one not yet tried
    EXPECT_TRUE(run.steps()[1].attempts.empty());
    EXPECT_EQ(pending.calls, 0);
    run.next();
    EXPECT_EQ(run.outcome(), Outcome::Failed);
    EXPECT_STREQ(outcomeName(run.outcome()), "FAILED");
    EXPECT_EQ(run.stepsDone(), 3u);
}

TEST(RunEngine, AbortEndsTheRunAtOnceAndTheRunCanStartAgain)
{
    FakeClock clock;
    Script done { { V::Passed } };
    Script waiting { { V::Working } };
    Script rest { { V::Passed } };
    zul::run::Run run = makeRun({ &done, &waiting, &rest }, clock);
    EXPECT_FALSE(run.abort());
    run.start();
    run.next();
    run.next();
    ASSERT_TRUE(run.abort());
    EXPECT_EQ(run.outcome(), Outcome::Aborted);
    EXPECT_STREQ(outcomeName(run.outcome()), "ABORTED");
    EXPECT_EQ(run.steps()[0].status, StepStatus::Passed);
    EXPECT_EQ(run.steps()[1].status, StepStatus::Aborted);
    EXPECT_EQ(run.steps()[1].attempts.back().status, StepStatus::Aborted);
    EXPECT_EQ(run.steps()[2].status, StepStatus::Pending);
    EXPECT_FALSE(run.tick());
    EXPECT_FALSE(run.skip());
    EXPECT_FALSE(run.retry());

    // Aborting at a failed step keeps its verdict.
    Script failing { { V::Failed } };
    zul::run::Run second = makeRun({ &failing }, clock);
    second.start();
    second.next();
    second.abort();
    EXPECT_EQ(second.steps()[0].status, StepStatus::Failed);
    EXPECT_EQ(second.outcome(), Outcome::Aborted);

    // Start again: every step Pending, no attempts left over.
    run.start();
    EXPECT_FALSE(run.finished());
    EXPECT_EQ(run.current(), 0u);
    for (const StepRecord &step : run.steps()) {
        EXPECT_EQ(step.status, StepStatus::Pending);
        EXPECT_TRUE(step.attempts.empty());
    }
}

TEST(RunEngine, JudgedResultPassesOnlyWhenEveryValueIsWithinItsLimits)
{
    std::vector<Measurement> values { { "CH1", 100, "counts", Limits { 90, 110 } },
        { "CH2", 110, "counts", Limits { 90, 110 } }, { "Serial", 5, "", std::nullopt } };
    EXPECT_EQ(StepResult::judged(values).verdict, StepResult::Verdict::Passed);
    values[1].value = 110.5;
    EXPECT_EQ(StepResult::judged(values).verdict, StepResult::Verdict::Failed);
}

TEST(RunEngine, ALostModuleEndsTheStepUnderWayInErrorAndRetryRunsItAgain)
{
    FakeClock clock;
    Script capture { { V::Working, V::Working, V::Passed } }, next { { V::Passed } };
    zul::run::Run run = makeRun({ &capture, &next }, clock);
    EXPECT_FALSE(run.interrupt("gone")); // not started
    run.start();
    run.next();
    ASSERT_TRUE(run.running());
    EXPECT_TRUE(run.interrupt("The adapter was unplugged"));
    EXPECT_FALSE(run.running());
    EXPECT_FALSE(run.tick()); // nothing goes on by itself
    const StepRecord &step = run.steps()[0];
    EXPECT_EQ(step.status, StepStatus::Error);
    ASSERT_EQ(step.attempts.size(), 1u);
    EXPECT_EQ(step.attempts[0].status, StepStatus::Error);
    EXPECT_EQ(step.attempts[0].message, "The adapter was unplugged");
    EXPECT_GT(step.attempts[0].ended, step.attempts[0].started);

    // Back again: the operator retries, and the capture starts afresh.
    ASSERT_TRUE(run.retry());
    EXPECT_EQ(capture.firstCalls, 2);
    run.tick();
    EXPECT_EQ(run.steps()[0].status, StepStatus::Passed);

    // A step waiting for Next ends in Error too, with an attempt of its own; a judged one keeps
    // its verdict.
    EXPECT_TRUE(run.interrupt("The adapter was unplugged"));
    EXPECT_EQ(run.steps()[1].status, StepStatus::Error);
    EXPECT_EQ(run.steps()[1].attempts.size(), 1u);
    EXPECT_TRUE(run.interrupt("again"));
    EXPECT_EQ(run.steps()[1].attempts.size(), 1u);
    EXPECT_EQ(run.steps()[1].attempts[0].message, "The adapter was unplugged");
    EXPECT_EQ(run.outcome(), Outcome::None);
}
