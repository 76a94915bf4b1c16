// Operating the run: the plans, Start, the steps' buttons, poll ticks, a lost or swapped module,
// and the run's end.
#include "RunDock.h"

#include "RunDockParts.h"
#include "RunEndRecord.h"
#include "RunIdentity.h"
#include "RunReadingsTable.h"
#include "StepMessages.h"
#include "module/UnitZUL_General.h"
#include "run/PlanFiles.h"
#include "widgets/ToolSettings.h"

#include <QComboBox>
#include <QDockWidget>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include <utility>

using namespace zul::rundock;
using zul::run::StepStatus;

namespace {
constexpr int SilentTicksLost = 2;
}

void TRunDock::RefreshPlans()
{
    const QString chosen = m_planBox->currentText();
    m_plans = zul::run::availablePlans();
    m_planBox->clear();
    const zul::TKindRow *kind = zul::findKind(m_host.Session.Module.kind);
    for (int n = 0; n < static_cast<int>(m_plans.size()); ++n) {
        const zul::run::Plan &plan = m_plans[static_cast<std::size_t>(n)];
        if (kind && kind->Name != plan.kind())
            continue;
        QString text = QString::fromStdString(plan.name);
        if (!plan.startable())
            text += QStringLiteral(" (cannot start: %1)").arg(QString::fromStdString(plan.error));
        m_planBox->addItem(text, n);
    }
    const int again = m_planBox->findText(chosen);
    if (again >= 0)
        m_planBox->setCurrentIndex(again);
    showState();
}

bool TRunDock::Start()
{
    if (m_run && !m_run->finished())
        return false;
    m_awaitingSwap = false;
    if (m_planBox->count() == 0)
        RefreshPlans();
    const int index = m_planBox->currentData().toInt();
    if (m_planBox->currentIndex() < 0 || index < 0 || index >= static_cast<int>(m_plans.size())) {
        if (noPlanForKind())
            m_promptLabel->setText(NoPlanText);
        return false;
    }
    const zul::run::Plan &plan = m_plans[static_cast<std::size_t>(index)];
    const zul::TKindRow *kind = zul::findKind(m_host.Session.Module.kind);
    TModuleKindUnit *unit = kind ? m_host.KindUnit(kind->List) : nullptr;
    const TRunStepsMaker makeSteps = kind ? m_host.KindRunSteps(kind->List) : nullptr;
    if (!plan.startable() || !makeSteps || !unit || kind->Name != plan.kind()) {
        m_promptLabel->setText(plan.startable()
                ? QStringLiteral("Connect a module of the plan's kind first")
                : QString::fromStdString(plan.error));
        return false;
    }
    m_plan = plan;
    zul::toolSettings().setValue(OperatorKey, m_operatorEdit->text().trimmed());
    TRunSteps made = makeSteps({ m_host.Session, m_host.General(), *unit, m_live, m_readings,
                                   m_host.ShowPage, m_operatorEdit->text().trimmed() },
        m_plan);
    if (made.Steps.empty()) {
        m_promptLabel->setText(QStringLiteral("Connect a module of the plan's kind first"));
        return false;
    }
    std::vector<zul::run::Step> steps;
    for (TRunStepEntry &entry : made.Steps)
        steps.push_back(std::move(entry.Step));
    m_entries = std::move(made.Steps);
    m_end = std::move(made.End);
    m_prepared = 0;
    m_readings.Values.clear();
    m_identity = std::make_unique<TRunIdentity>(m_host.Session, m_host.General());
    m_identity->Guard(steps);
    wrapStepMessages(steps);
    m_run = std::make_unique<zul::run::Run>(std::move(steps), m_plan.attempts);
    m_run->start();
    m_record.Start();
    m_recordStored = false;
    m_recordNote.clear();
    showStepRows();
    showState();
    return true;
}

void TRunDock::wrapStepMessages(std::vector<zul::run::Step> &steps)
{
    for (zul::run::Step &step : steps) {
        step.action = [this, action = std::move(step.action)](zul::run::StepContext &context) {
            m_captured.clear();
            zul::run::StepResult result;
            bool error = false;
            {
                TStepMessages messages(m_host.Session, m_captured);
                result = action(context);
                error = messages.SawError();
            }
            for (const std::string &text : m_captured)
                result.message += (result.message.empty() ? "" : "; ") + text;
            // An operation that reported an error failed, whatever the step made of it.
            if (error && result.verdict == zul::run::StepResult::Verdict::Passed)
                result.verdict = zul::run::StepResult::Verdict::Error;
            return result;
        };
    }
}

template<typename Operation>
void TRunDock::operate(Operation operation)
{
    if (!m_run)
        return;
    m_host.SetPagesEnabled(false);
    operation(*m_run);
    recordProgress();
    m_host.SetPagesEnabled(!m_run->running());
    if (m_run->finished())
        finished();
    showStepRows();
    showState();
}

bool TRunDock::readingsWanted() const
{
    return m_run && !m_run->finished() && m_run->current() < m_entries.size()
        && m_entries[m_run->current()].Readings;
}

bool TRunDock::takeReadings()
{
    QString problem;
    const auto values = m_readingsTable->Readings(&problem);
    if (!values) {
        m_promptLabel->setText(problem);
        return false;
    }
    m_readings.Values = *values;
    return true;
}

void TRunDock::Next()
{
    // Only a step about to run takes readings: Next on a failed one goes on without them.
    if (readingsWanted() && m_run->canNext()
        && m_run->steps()[m_run->current()].status == StepStatus::Pending && !takeReadings())
        return;
    operate([](zul::run::Run &run) { run.next(); });
}

void TRunDock::Retry()
{
    if (readingsWanted() && m_run->canRetry() && !takeReadings())
        return;
    operate([](zul::run::Run &run) { run.retry(); });
}

void TRunDock::Skip()
{
    operate([](zul::run::Run &run) { run.skip(); });
}

void TRunDock::Abort(bool confirm)
{
    if (!m_run || !m_run->canAbort())
        return;
    if (confirm
        && QMessageBox::question(m_dock, QStringLiteral("Production run"),
               QStringLiteral("Abort the run? The module is left as it is now."))
            != QMessageBox::Yes)
        return;
    operate([](zul::run::Run &run) { run.abort(); });
}

void TRunDock::Tick(bool answered)
{
    if (!m_run || !m_run->running()) {
        m_silentTicks = 0;
        return;
    }
    // One lost reply is noise on the line; two ticks in a row without an answer are a module
    // that is gone.
    m_silentTicks = answered ? 0 : m_silentTicks + 1;
    if (m_silentTicks >= SilentTicksLost) {
        m_silentTicks = 0;
        ModuleLost(QStringLiteral("Modbus communications lost!"));
        return;
    }
    operate([](zul::run::Run &run) { run.tick(); });
}

void TRunDock::endRun()
{
    if (!m_end)
        return;
    const std::function<void()> end = std::move(m_end);
    m_end = nullptr;
    // As a step's, its operations' messages go nowhere a box would stop the operator.
    std::vector<std::string> ignored;
    TStepMessages messages(m_host.Session, ignored);
    end();
}

bool TRunDock::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_dock && event->type() == QEvent::Close && m_run && m_run->canAbort())
        operate([](zul::run::Run &run) { run.abort(); });
    return QObject::eventFilter(watched, event);
}

void TRunDock::finished()
{
    endRun();
    m_host.SetPagesEnabled(true);
    m_serial = QString::fromStdString(identifiedModule().serialText());
    if (!m_recordStored)
        storeRecord();
}

bool TRunDock::ModuleLost(const QString &reason)
{
    if (!m_run || m_run->finished())
        return false;
    m_run->interrupt(
        QStringLiteral("%1 Waiting for the module; then Retry").arg(reason).toStdString());
    recordProgress();
    m_host.SetPagesEnabled(true);
    showStepRows();
    showState();
    return true;
}

void TRunDock::AnotherModule(const QString &serial)
{
    if (!m_run)
        return;
    if (m_run->finished()) {
        Start();
        return;
    }
    m_run->interrupt(
        QStringLiteral("Another module (serial %1) is on the line now: Abort this run, then take "
                       "the next module")
            .arg(serial)
            .toStdString());
    recordProgress();
    showStepRows();
    showState();
}

void TRunDock::NextModule()
{
    if (m_run && !m_run->finished())
        return;
    if (!m_awaitingSwap) {
        m_awaitingSwap = true;
        showState();
        return;
    }
    const QString previous = m_serial;
    m_host.Reconnect();
    const QString serial = QString::fromStdString(m_host.Session.Module.serialText());
    if (m_host.Session.Module.kind == zul::KindUnknown || serial.isEmpty()) {
        m_promptLabel->setText(
            QStringLiteral("No module answers: check it is plugged in, then press Enter"));
        return;
    }
    if (serial == previous
        && QMessageBox::question(m_dock, QStringLiteral("Production run"),
               QStringLiteral("This is the same module (serial %1). Test it again?").arg(serial))
            != QMessageBox::Yes)
        return;
    Start();
}

void TRunDock::storeRecord()
{
    m_recordStored = true;
    m_recordNote = m_record.End(
        m_host.Session, identifiedModule(), *m_run, m_plan, m_operatorEdit->text().trimmed());
}

void TRunDock::recordProgress()
{
    // A file that cannot be written is said at the run's end, which tries it again.
    m_record.Progress(identifiedModule(), *m_run, m_plan, m_operatorEdit->text().trimmed());
}

const zul::ModuleState &TRunDock::identifiedModule() const
{
    // A run that ended before Identify passed names what the window knows of the module.
    if (m_identity && m_identity->Identified())
        return *m_identity->Identified();
    return m_host.Session.Module;
}
