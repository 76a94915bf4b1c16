// Which module a production run tests. Identify takes the module's kind and identity; every
// later step reads them again from the line before it runs and once it has judged, so a module
// swapped mid-run ends the step in Error and is never saved, neither under its own serial with
// the first module's measurements nor under the first one's. The record and the certificate name
// the module as Identify read it, whatever the window shows later.
#pragma once

#include "core/ModuleState.h"
#include "run/RunEngine.h"

#include <optional>
#include <string>
#include <vector>

class TZULGeneral;
struct TSession;

class TRunIdentity
{
public:
    TRunIdentity(TSession &session, TZULGeneral &general);

    // The identifying step takes the lock when it passes; every other step is checked before its
    // first call and after its last.
    void Guard(std::vector<zul::run::Step> &steps);
    // The module as Identify read it; nothing before Identify passed.
    const std::optional<zul::ModuleState> &Identified() const { return m_identified; }

private:
    // Why the module on the line is not the one identified; nothing when it is.
    std::optional<std::string> mismatch();
    zul::run::StepResult identify(const zul::run::Step &step, zul::run::StepContext &context);
    zul::run::StepResult guarded(const zul::run::Step &step, zul::run::StepContext &context);

    TSession &m_session;
    TZULGeneral &m_general;
    std::optional<zul::ModuleState> m_identified;
};
