#include "RunEngine.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace zul::run {

const char *statusName(StepStatus status)
{
    switch (status) {
    case StepStatus::Pending:
        return "Pending";
    case StepStatus::Running:
        return "Running";
    case StepStatus::Passed:
        return "Passed";
    case StepStatus::Failed:
        return "Failed";
    case StepStatus::Error:
        return "Error";
    case StepStatus::Skipped:
        return "Skipped";
    case StepStatus::Aborted:
        return "Aborted";
    }
    return "";
}

const char *outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::None:
        return "";
    case Outcome::Passed:
        return "PASSED";
    case Outcome::Failed:
        return "FAILED";
    case Outcome::Aborted:
        return "ABORTED";
    case Outcome::Error:
        return "ERROR";
    }
    return "";
}

StepResult StepResult::working(std::string message)
{
    return { Verdict::Working, {}, std::move(message) };
}

StepResult StepResult::passed(std::string message, std::vector<Measurement> values)
{
    return { Verdict::Passed, std::move(values), std::move(message) };
}

StepResult StepResult::failed(std::string message, std::vector<Measurement> values)
{
    return { Verdict::Failed, std::move(values), std::move(message) };
}

StepResult StepResult::error(std::string message)
{
    return { Verdict::Error, {}, std::move(message) };
}

StepResult StepResult::judged(std::vector<Measurement> values, std::string message)
{
    const bool all = std::all_of(
        values.begin(), values.end(), [](const Measurement &value) { return value.within(); });
    return { all ? Verdict::Passed : Verdict::Failed, std::move(values), std::move(message) };
}

Run::Run(std::vector<Step> steps, int attempts, std::function<Clock::time_point()> clock)
    : m_attemptLimit(std::max(1, attempts))
    , m_clock(std::move(clock))
{
    for (Step &step : steps)
        m_steps.push_back({ std::move(step), StepStatus::Pending, {} });
}

void Run::start()
{
    for (StepRecord &record : m_steps) {
        record.status = StepStatus::Pending;
        record.attempts.clear();
    }
    m_current = 0;
    m_started = true;
    m_outcome = Outcome::None;
    m_startedAt = m_endedAt = m_clock();
    if (m_steps.empty())
        finish(Outcome::Passed);
}

StepRecord *Run::currentStep()
{
    return m_started && m_current < m_steps.size() ? &m_steps[m_current] : nullptr;
}

const StepRecord *Run::currentStep() const
{
    return m_started && m_current < m_steps.size() ? &m_steps[m_current] : nullptr;
}

bool Run::running() const
{
    const StepRecord *step = currentStep();
    return !finished() && step && step->status == StepStatus::Running;
}

bool Run::canNext() const
{
    const StepRecord *step = currentStep();
    return !finished() && step
        && (step->status == StepStatus::Pending || step->status == StepStatus::Failed
            || step->status == StepStatus::Error);
}

bool Run::canRetry() const
{
    const StepRecord *step = currentStep();
    return !finished() && step
        && (step->status == StepStatus::Failed || step->status == StepStatus::Error)
        && int(step->attempts.size()) < m_attemptLimit;
}

bool Run::canSkip() const
{
    return !finished() && currentStep() && !currentStep()->step.identifies;
}

std::size_t Run::stepsDone() const
{
    return static_cast<std::size_t>(
        std::count_if(m_steps.begin(), m_steps.end(), [](const StepRecord &record) {
            return record.status != StepStatus::Pending && record.status != StepStatus::Running;
        }));
}

bool Run::next()
{
    if (!canNext())
        return false;
    switch (currentStep()->status) {
    case StepStatus::Pending:
        beginAttempt();
        break;
    case StepStatus::Failed:
        advance();
        break;
    default:
        finish(Outcome::Error);
        break;
    }
    return true;
}

bool Run::retry()
{
    if (!canRetry())
        return false;
    beginAttempt();
    return true;
}

bool Run::skip()
{
    if (!canSkip())
        return false;
    StepRecord &step = *currentStep();
    if (step.status == StepStatus::Running) {
        Attempt &attempt = step.attempts.back();
        attempt.ended = m_clock();
        attempt.status = StepStatus::Skipped;
        attempt.message = "skipped by the operator";
    }
    step.status = StepStatus::Skipped;
    advance();
    return true;
}

bool Run::abort()
{
    if (!canAbort())
        return false;
    if (StepRecord *step = currentStep()) {
        if (step->status == StepStatus::Running) {
            Attempt &attempt = step->attempts.back();
            attempt.ended = m_clock();
            attempt.status = StepStatus::Aborted;
            attempt.message = "aborted by the operator";
        }
        // A step that was judged keeps its verdict; the one waiting for the operator is where
        // the run was stopped.
        if (step->status == StepStatus::Pending || step->status == StepStatus::Running)
            step->status = StepStatus::Aborted;
    }
    finish(Outcome::Aborted);
    return true;
}

bool Run::tick()
{
    if (!running())
        return false;
    callAction(false);
    return true;
}

bool Run::interrupt(std::string reason)
{
    StepRecord *step = finished() ? nullptr : currentStep();
    if (!step)
        return false;
    // A step already judged keeps its verdict; the operator decides about it as before.
    if (step->status != StepStatus::Running && step->status != StepStatus::Pending)
        return true;
    const Clock::time_point now = m_clock();
    if (step->status == StepStatus::Pending)
        step->attempts.push_back({ now, now, StepStatus::Running, {}, {} });
    Attempt &attempt = step->attempts.back();
    attempt.ended = now;
    attempt.status = StepStatus::Error;
    attempt.message = std::move(reason);
    step->status = StepStatus::Error;
    return true;
}

void Run::beginAttempt()
{
    StepRecord &step = *currentStep();
    const Clock::time_point now = m_clock();
    step.attempts.push_back({ now, now, StepStatus::Running, {}, {} });
    step.status = StepStatus::Running;
    callAction(true);
}

void Run::callAction(bool firstCall)
{
    StepRecord &step = *currentStep();
    Attempt &attempt = step.attempts.back();
    StepContext context { int(step.attempts.size()), firstCall, m_clock(), attempt.started };
    StepResult result;
    try {
        result = step.step.action ? step.step.action(context)
                                  : StepResult::error("the step has no action");
    } catch (const std::exception &fault) {
        result = StepResult::error(fault.what());
    } catch (...) {
        result = StepResult::error("unknown fault");
    }
    attempt.values = std::move(result.values);
    attempt.message = std::move(result.message);
    if (result.verdict == StepResult::Verdict::Working)
        return;
    attempt.ended = m_clock();
    switch (result.verdict) {
    case StepResult::Verdict::Passed:
        attempt.status = StepStatus::Passed;
        break;
    case StepResult::Verdict::Failed:
        attempt.status = StepStatus::Failed;
        break;
    default:
        attempt.status = StepStatus::Error;
        break;
    }
    step.status = attempt.status;
    if (step.status == StepStatus::Passed)
        advance();
}

void Run::advance()
{
    ++m_current;
    if (m_current < m_steps.size())
        return;
    const auto any = [this](StepStatus status) {
        return std::any_of(m_steps.begin(), m_steps.end(),
            [status](const StepRecord &record) { return record.status == status; });
    };
    if (any(StepStatus::Error))
        finish(Outcome::Error);
    else if (any(StepStatus::Failed) || any(StepStatus::Skipped))
        finish(Outcome::Failed);
    else
        finish(Outcome::Passed);
}

void Run::finish(Outcome outcome)
{
    m_outcome = outcome;
    m_endedAt = m_clock();
}

} // namespace zul::run
