// A production run: a list of steps worked through one at a time by the operator. The run dock
// drives it from its buttons (Next, Retry, Skip, Abort) and its poll ticks; an action that has to
// wait for the module (a stable capture, say) answers Working and is called again on the next
// tick, so nothing here blocks or starts a thread. Every attempt of every step is kept for the
// run record. Qt-free.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zul::run {

using Clock = std::chrono::system_clock;

enum class StepStatus { Pending, Running, Passed, Failed, Error, Skipped, Aborted };
// None while the run has not ended.
enum class Outcome { None, Passed, Failed, Aborted, Error };

const char *statusName(StepStatus status); // "Pending", "Running", ...
const char *outcomeName(Outcome outcome); // "PASSED", "FAILED", "ABORTED", "ERROR"; "" for None

struct Limits
{
    double low = 0;
    double high = 0;
};

// One value an attempt measured, in its unit ("V", "mA", "counts"), and what it was judged
// against when it was judged.
struct Measurement
{
    std::string name; // "CH1", "Hardware code 133", ...
    double value = 0;
    std::string unit;
    std::optional<Limits> limits;

    bool within() const { return !limits || (value >= limits->low && value <= limits->high); }
};

// What an action answers for one call.
struct StepResult
{
    enum class Verdict { Working, Passed, Failed, Error };
    Verdict verdict = Verdict::Working;
    std::vector<Measurement> values;
    std::string message;

    static StepResult working(std::string message = {});
    static StepResult passed(std::string message = {}, std::vector<Measurement> values = {});
    static StepResult failed(std::string message, std::vector<Measurement> values = {});
    static StepResult error(std::string message); // a communication or module fault
    // Passed when every value lies within its limits, otherwise Failed.
    static StepResult judged(std::vector<Measurement> values, std::string message = {});
};

struct StepContext
{
    int attempt = 1; // 1-based
    bool firstCall = true; // the attempt's first call: set up (clear a capture, write, ...)
    Clock::time_point now;
    Clock::time_point attemptStarted;
};

struct Step
{
    std::string name;
    std::string prompt; // what the operator must do before Next; empty when nothing
    // Called on Next and Retry, then on every tick while it answers Working. An exception it
    // throws ends the attempt as Error with the exception's text.
    std::function<StepResult(StepContext &)> action;
    // The step that reads which module the run tests. It cannot be skipped: without it the
    // previous module's tests and identity would pass for this one's.
    bool identifies = false;
};

struct Attempt
{
    Clock::time_point started;
    Clock::time_point ended; // equal to started while running
    StepStatus status = StepStatus::Running;
    std::vector<Measurement> values;
    std::string message;
};

struct StepRecord
{
    Step step;
    StepStatus status = StepStatus::Pending;
    std::vector<Attempt> attempts;
};

class Run
{
public:
    // `attempts` is the most attempts one step may have (Retry stops there), at least 1. The
    // clock is asked for the time of every event; tests give a clock of their own.
    explicit Run(std::vector<Step> steps, int attempts = 3,
        std::function<Clock::time_point()> clock = &Clock::now);

    // Every step Pending, the first one current; the run waits for Next.
    void start();

    // The operator's buttons. Each answers false, and changes nothing, where it does not apply.
    // Next: on a Pending step runs its first attempt; on a Failed step goes on to the next step
    // (the failure stands); on a step in Error ends the run as ERROR (nothing measured on a
    // module that does not answer can be trusted).
    bool next();
    // A Failed or Error step once more, while it has fewer attempts than the limit.
    bool retry();
    // The current step as Skipped (also while it runs) and on to the next one.
    bool skip();
    // Ends the run as ABORTED; a running attempt and its step end Aborted.
    bool abort();
    // The poll tick: calls a Working action again. False when nothing was running.
    bool tick();
    // The module or its line went away: the step under way, or the one waiting for Next, ends
    // in Error with the reason, so that the operator can retry it once the module is back.
    // False when the run is not going.
    bool interrupt(std::string reason);

    bool canNext() const;
    bool canRetry() const;
    bool canSkip() const;
    bool canAbort() const { return m_started && !finished(); }

    bool started() const { return m_started; }
    bool finished() const { return m_outcome != Outcome::None; }
    bool running() const; // the current step's action is working
    Outcome outcome() const { return m_outcome; }
    // The step the buttons act on; steps().size() once every step is done.
    std::size_t current() const { return m_current; }
    const std::vector<StepRecord> &steps() const { return m_steps; }
    std::size_t stepsDone() const; // Passed, Failed, Error, Skipped or Aborted
    int attemptLimit() const { return m_attemptLimit; }
    Clock::time_point startedAt() const { return m_startedAt; }
    Clock::time_point endedAt() const { return m_endedAt; }

private:
    void beginAttempt();
    void callAction(bool firstCall);
    void advance();
    void finish(Outcome outcome);
    StepRecord *currentStep();
    const StepRecord *currentStep() const;

    std::vector<StepRecord> m_steps;
    int m_attemptLimit;
    std::function<Clock::time_point()> m_clock;
    std::size_t m_current = 0;
    bool m_started = false;
    Outcome m_outcome = Outcome::None;
    Clock::time_point m_startedAt;
    Clock::time_point m_endedAt;
};

} // namespace zul::run
