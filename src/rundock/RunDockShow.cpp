// What the run dock shows of the run: the step rows, the prompt, the buttons' state, the verdict,
// and the page and readings of the step that comes up.
#include "RunDock.h"

#include "RunDockParts.h"
#include "RunReadingsTable.h"
#include "StepMessages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include <chrono>

using namespace zul::rundock;
using zul::run::Outcome;
using zul::run::StepStatus;

namespace {

QString durationText(const zul::run::StepRecord &record)
{
    if (record.attempts.empty())
        return {};
    const auto spent = record.attempts.back().ended - record.attempts.front().started;
    const double seconds = std::chrono::duration<double>(spent).count();
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 1);
}

} // namespace

void TRunDock::showStepRows()
{
    const std::vector<zul::run::StepRecord> &records = m_run->steps();
    m_stepTable->setRowCount(static_cast<int>(records.size()));
    for (int row = 0; row < static_cast<int>(records.size()); ++row) {
        const zul::run::StepRecord &record = records[static_cast<std::size_t>(row)];
        const QString cells[ColumnCount] = { QString::fromStdString(record.step.name),
            QString::fromLatin1(zul::run::statusName(record.status)),
            record.attempts.empty() ? QString() : QString::number(record.attempts.size()),
            record.attempts.empty() ? QString()
                                    : QString::fromStdString(record.attempts.back().message),
            durationText(record) };
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem *item = m_stepTable->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                m_stepTable->setItem(row, column, item);
            }
            item->setText(cells[column]);
            item->setToolTip(column == ResultColumn ? cells[column] : QString());
        }
    }
    if (m_run->current() < records.size())
        m_stepTable->scrollToItem(m_stepTable->item(static_cast<int>(m_run->current()), 0));
}

// The plans are read and none is of the connected kind: Start would seem to do nothing.
bool TRunDock::noPlanForKind() const
{
    return !m_plans.empty() && m_planBox->count() == 0
        && zul::findKind(m_host.Session.Module.kind) != nullptr;
}

QString TRunDock::promptText() const
{
    if (m_awaitingSwap)
        return QStringLiteral("Swap the module, then press Enter");
    if (!m_run && noPlanForKind())
        return NoPlanText;
    if (!m_run)
        return QStringLiteral("Choose a plan and press Start");
    if (m_run->finished())
        return QStringLiteral("Run ended: %1")
            .arg(QString::fromLatin1(zul::run::outcomeName(m_run->outcome())));
    const zul::run::StepRecord &record = m_run->steps()[m_run->current()];
    const QString name = QString::fromStdString(record.step.name);
    switch (record.status) {
    case StepStatus::Running:
        return QStringLiteral("%1: working...").arg(name);
    case StepStatus::Failed:
    case StepStatus::Error:
        return QStringLiteral("%1 %2: %3. Retry (F5), Skip, or Next to go on")
            .arg(name, QString::fromLatin1(zul::run::statusName(record.status)).toLower(),
                QString::fromStdString(record.attempts.back().message));
    default:
        return record.step.prompt.empty() ? QStringLiteral("Press Next to run \"%1\"").arg(name)
                                          : QString::fromStdString(record.step.prompt);
    }
}

void TRunDock::showState()
{
    showControls();
    showOutcome();
    showCurrentStep();
}

void TRunDock::showControls()
{
    const bool active = m_run && !m_run->finished();
    m_planBox->setEnabled(!active);
    m_operatorEdit->setEnabled(!active);
    m_startButton->setEnabled(!active);
    m_nextButton->setEnabled(active && m_run->canNext());
    m_retryButton->setEnabled(active && m_run->canRetry());
    m_skipButton->setEnabled(active && m_run->canSkip());
    m_abortButton->setEnabled(active);
    m_nextModuleButton->setVisible(m_run && m_run->finished());
    m_promptLabel->setText(promptText());
    m_progress->setRange(0, m_run ? static_cast<int>(m_run->steps().size()) : 1);
    m_progress->setValue(m_run ? static_cast<int>(m_run->stepsDone()) : 0);
}

void TRunDock::showOutcome()
{
    const Outcome outcome = m_run ? m_run->outcome() : Outcome::None;
    m_outcomeLabel->setText(QString::fromLatin1(zul::run::outcomeName(outcome)));
    m_outcomeLabel->setVisible(outcome != Outcome::None);
    // Fixed pairs of colours: the verdict reads the same under a light or a dark palette.
    QPalette palette = m_outcomeLabel->palette();
    palette.setColor(QPalette::Window,
        outcome == Outcome::Passed        ? QColor(0x1b, 0x7f, 0x2a)
            : outcome == Outcome::Aborted ? QColor(0x8a, 0x6d, 0x00)
                                          : QColor(0xb0, 0x1c, 0x1c));
    palette.setColor(QPalette::WindowText, Qt::white);
    m_outcomeLabel->setPalette(palette);
    m_recordLabel->setText(m_recordNote);
    m_recordLabel->setVisible(!m_recordNote.isEmpty());
}

void TRunDock::showCurrentStep()
{
    const bool active = m_run && !m_run->finished();
    const bool running = m_run && m_run->running();
    const bool pending = active && !running && m_run->current() < m_entries.size()
        && m_run->steps()[m_run->current()].status == StepStatus::Pending;
    const bool readings = readingsWanted() && !running
        && m_run->steps()[m_run->current()].status != StepStatus::Passed;
    m_readingsTable->Table()->setVisible(readings);
    // Where the operator's Enter goes next.
    if (m_awaitingSwap || (m_run && m_run->finished()))
        m_nextModuleButton->setFocus();
    else if (active && !running && !readings)
        m_nextButton->setFocus();
    if (pending)
        comeUpStep(m_entries[m_run->current()]);
}

void TRunDock::comeUpStep(const TRunStepEntry &entry)
{
    m_host.ShowPage(entry.Page);
    // Once per step, as it comes up: the outputs are driven before the operator measures.
    if (m_prepared == m_run->current() + 1)
        return;
    m_prepared = m_run->current() + 1;
    if (entry.Prepare) {
        std::vector<std::string> ignored;
        TStepMessages messages(m_host.Session, ignored);
        entry.Prepare();
    }
    if (entry.Readings) {
        m_readingsTable->Clear();
        m_readingsTable->Focus();
    }
}
