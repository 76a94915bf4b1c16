#include "RunIdentity.h"

#include "module/Session.h"
#include "module/UnitZUL_General.h"

using zul::run::Step;
using zul::run::StepContext;
using zul::run::StepResult;
using Verdict = zul::run::StepResult::Verdict;

TRunIdentity::TRunIdentity(TSession &session, TZULGeneral &general)
    : m_session(session)
    , m_general(general)
{
}

void TRunIdentity::Guard(std::vector<Step> &steps)
{
    for (Step &step : steps) {
        const Step inner = step;
        step.action = [this, inner](StepContext &context) {
            return inner.identifies ? identify(inner, context) : guarded(inner, context);
        };
    }
}

StepResult TRunIdentity::identify(const Step &step, StepContext &context)
{
    if (context.firstCall)
        m_identified.reset();
    StepResult result = step.action(context);
    if (result.verdict != Verdict::Passed)
        return result;
    if (!m_session.Module.lock())
        return StepResult::error("The module's identity could not be read");
    m_identified = m_session.Module;
    return result;
}

StepResult TRunIdentity::guarded(const Step &step, StepContext &context)
{
    if (context.firstCall)
        if (const auto problem = mismatch())
            return StepResult::error(*problem);
    StepResult result = step.action(context);
    // A step that waited may have judged another module's values; one that ran at once was
    // checked just before.
    const bool judged = result.verdict == Verdict::Passed || result.verdict == Verdict::Failed;
    if (judged && !context.firstCall)
        if (const auto problem = mismatch())
            return StepResult::error(*problem);
    return result;
}

std::optional<std::string> TRunIdentity::mismatch()
{
    const auto locked = m_identified ? m_identified->lock() : std::nullopt;
    if (!locked)
        return "The run has not identified its module; nothing of it can be judged or saved";
    const auto onLine = m_general.ReadLineIdentity();
    if (!onLine)
        return "The module's identity could not be read";
    const std::string tested = locked->identity.serialText();
    if (*onLine != *locked)
        return "Another module (serial " + onLine->identity.serialText()
            + ") is on the line; this run tests " + tested + ".";
    // The window may have read another module meanwhile (a reconnect): what the pages save must
    // be this one's again.
    if (m_session.Module.lock() != locked) {
        m_general.FillModuleStatus();
        if (m_session.Module.lock() != locked)
            return "The module's identity could not be read";
    }
    return std::nullopt;
}
