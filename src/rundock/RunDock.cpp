#include "RunDock.h"

#include "RunReadingsTable.h"
#include "certificate/RowCertificate.h"
#include "core/PageTable.h"
#include "core/ToolVersion.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "records/RunLog.h"
#include "records/ZUL_Database.h"
#include "run/PlanFiles.h"
#include "run/RunRecord.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSysInfo>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

using zul::run::Outcome;
using zul::run::StepStatus;

namespace {

const QString OperatorKey = QStringLiteral("Run/Operator");
const QString NoPlanText = QStringLiteral("No production run plan exists for this kind of module.");

QSettings toolSettings()
{
    return QSettings(QStringLiteral("zul"), QCoreApplication::applicationName());
}

enum Column { NameColumn, StatusColumn, AttemptsColumn, ResultColumn, TimeColumn, ColumnCount };

// Messages of the operations a step calls are kept for its result instead of shown in a box:
// the operator reads them in the step table, and no box stops the run.
class TStepMessages : public TMessageSink
{
public:
    TStepMessages(TSession &session, std::vector<std::string> &texts)
        : m_texts(texts)
        , m_scope(session, *this)
    {
    }
    TStepMessages(const TStepMessages &) = delete;
    TStepMessages &operator=(const TStepMessages &) = delete;

    void Show(const std::string &text, const std::string &, TMessageKind kind) override
    {
        m_texts.push_back(text);
        m_error = m_error || kind == TMessageKind::Error;
    }
    bool SawError() const { return m_error; }

private:
    std::vector<std::string> &m_texts;
    bool m_error = false;
    TMessageSinkScope m_scope;
};

QString durationText(const zul::run::StepRecord &record)
{
    if (record.attempts.empty())
        return {};
    const auto spent = record.attempts.back().ended - record.attempts.front().started;
    const double seconds = std::chrono::duration<double>(spent).count();
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 1);
}

} // namespace

TRunDock::TRunDock(QMainWindow &window, QMenu &runMenu, TRunHost host)
    : QObject(&window)
    , m_host(std::move(host))
{
    setObjectName(QStringLiteral("RunView"));
    buildDock(window);
    QAction *open = runMenu.addAction(QStringLiteral("Production run..."));
    open->setObjectName(QStringLiteral("ActionProductionRun"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(open, &QAction::triggered, this, [this] {
        RefreshPlans();
        m_dock->show();
        m_dock->raise();
        // During a run the plans are locked and the keyboard goes back to the step (Next, or
        // the readings), e.g. after a look at a page.
        if (m_readingsTable->Table()->isVisible())
            m_readingsTable->Focus();
        else if (!m_run || m_run->finished())
            m_planBox->setFocus();
    });
    buildShortcuts();
    showState();
}

TRunDock::~TRunDock() = default;

void TRunDock::buildDock(QMainWindow &window)
{
    m_dock = new QDockWidget(QStringLiteral("Production run"), &window);
    m_dock->setObjectName(QStringLiteral("ProductionRunDock"));
    auto *body = new QWidget(m_dock);

    m_planBox = new QComboBox(body);
    m_planBox->setObjectName(QStringLiteral("RunPlanBox"));
    m_operatorEdit = new QLineEdit(toolSettings().value(OperatorKey).toString(), body);
    m_operatorEdit->setObjectName(QStringLiteral("RunOperatorEdit"));
    m_operatorEdit->setPlaceholderText(QStringLiteral("who tests (saved as TECHNICIAN)"));
    connect(m_operatorEdit, &QLineEdit::editingFinished, this,
        [this] { toolSettings().setValue(OperatorKey, m_operatorEdit->text().trimmed()); });
    m_startButton = new QPushButton(QStringLiteral("Start"), body);
    m_startButton->setObjectName(QStringLiteral("RunStartButton"));
    auto *choose = new QFormLayout;
    choose->addRow(QStringLiteral("Plan:"), m_planBox);
    choose->addRow(QStringLiteral("Operator:"), m_operatorEdit);

    m_stepTable = new QTableWidget(0, ColumnCount, body);
    m_stepTable->setObjectName(QStringLiteral("RunStepTable"));
    m_stepTable->setHorizontalHeaderLabels({ QStringLiteral("Step"), QStringLiteral("Status"),
        QStringLiteral("Attempts"), QStringLiteral("Result"), QStringLiteral("Time") });
    m_stepTable->verticalHeader()->hide();
    m_stepTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_stepTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_stepTable->setFocusPolicy(Qt::NoFocus);
    m_stepTable->horizontalHeader()->setSectionResizeMode(ResultColumn, QHeaderView::Stretch);

    m_promptLabel = new QLabel(body);
    m_promptLabel->setObjectName(QStringLiteral("RunPromptLabel"));
    m_promptLabel->setWordWrap(true);
    QFont large = m_promptLabel->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    m_promptLabel->setFont(large);

    const auto button = [body](const char *name, const char *caption, const char *tip) {
        auto *made = new QPushButton(QString::fromLatin1(caption), body);
        made->setObjectName(QString::fromLatin1(name));
        made->setToolTip(QString::fromLatin1(tip));
        return made;
    };
    m_nextButton = button("RunNextButton", "Next", "Run the step shown (Enter)");
    m_retryButton = button("RunRetryButton", "Retry", "The failed step once more (F5)");
    m_skipButton = button("RunSkipButton", "Skip", "Leave this step out; the run will fail");
    m_abortButton = button("RunAbortButton", "Abort", "End the run (Esc)");
    m_nextModuleButton = button("RunNextModuleButton", "Next module",
        "Swap the module, then connect again on the same port and run the same plan");
    m_progress = new QProgressBar(body);
    m_progress->setObjectName(QStringLiteral("RunProgress"));
    m_progress->setFormat(QStringLiteral("%v of %m steps"));
    m_outcomeLabel = new QLabel(body);
    m_outcomeLabel->setObjectName(QStringLiteral("RunOutcomeLabel"));
    m_outcomeLabel->setAlignment(Qt::AlignCenter);
    m_outcomeLabel->setFont(large);
    m_outcomeLabel->setAutoFillBackground(true);
    m_readingsTable =
        std::make_unique<TRunReadingsTable>(body, QStringLiteral("AOT"), 8, [this] { Next(); });
    m_readingsTable->Table()->hide();
    m_recordLabel = new QLabel(body);
    m_recordLabel->setObjectName(QStringLiteral("RunRecordLabel"));
    m_recordLabel->setWordWrap(true);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *each : { m_startButton, m_nextButton, m_retryButton, m_skipButton,
             m_abortButton, m_nextModuleButton })
        buttons->addWidget(each);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(body);
    layout->addLayout(choose);
    layout->addWidget(m_promptLabel);
    layout->addWidget(m_readingsTable->Table());
    layout->addLayout(buttons);
    layout->addWidget(m_progress);
    layout->addWidget(m_stepTable, 1);
    layout->addWidget(m_outcomeLabel);
    layout->addWidget(m_recordLabel);
    m_dock->setWidget(body);
    window.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
    m_dock->installEventFilter(this);

    connect(m_startButton, &QPushButton::clicked, this, [this] { Start(); });
    connect(m_nextButton, &QPushButton::clicked, this, [this] { Next(); });
    connect(m_retryButton, &QPushButton::clicked, this, [this] { Retry(); });
    connect(m_skipButton, &QPushButton::clicked, this, [this] { Skip(); });
    connect(m_abortButton, &QPushButton::clicked, this, [this] { Abort(true); });
    connect(m_nextModuleButton, &QPushButton::clicked, this, [this] { NextModule(); });
}

void TRunDock::buildShortcuts()
{
    // Within the dock only: Enter in a page's field must never run a step.
    const auto shortcut = [this](const QKeySequence &keys, std::function<void()> act) {
        auto *made = new QShortcut(keys, m_dock);
        made->setContext(Qt::WidgetWithChildrenShortcut);
        connect(made, &QShortcut::activated, this, std::move(act));
    };
    const auto enter = [this] {
        // In the readings, Enter goes down the rows first.
        if (m_readingsTable->Table()->isVisible() && m_readingsTable->FocusedRow() >= 0)
            m_readingsTable->Enter();
        else if (m_awaitingSwap)
            NextModule();
        else if (m_run && !m_run->finished())
            Next();
        else if (!m_run || m_run->finished())
            Start();
    };
    shortcut(QKeySequence(Qt::Key_Return), enter);
    shortcut(QKeySequence(Qt::Key_Enter), enter);
    shortcut(QKeySequence(Qt::Key_F5), [this] { Retry(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { Abort(true); });
}

void TRunDock::RefreshPlans()
{
    const QString chosen = m_planBox->currentText();
    m_plans = zul::run::availablePlans();
    m_planBox->clear();
    const zul::TKindRow *kind = zul::findKind(m_host.Session.Module.kind);
    for (int n = 0; n < static_cast<int>(m_plans.size()); ++n) {
        const zul::run::Plan &plan = m_plans[static_cast<std::size_t>(n)];
        if (kind && kind->Name != zul::run::kindName(plan.kind()))
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
    if (!plan.startable() || !makeSteps || !unit || kind->Name != zul::run::kindName(plan.kind())) {
        m_promptLabel->setText(plan.startable()
                ? QStringLiteral("Connect a module of the plan's kind first")
                : QString::fromStdString(plan.error));
        return false;
    }
    m_plan = plan;
    toolSettings().setValue(OperatorKey, m_operatorEdit->text().trimmed());
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
    wrapStepMessages(steps);
    m_run = std::make_unique<zul::run::Run>(std::move(steps), m_plan.attempts);
    m_run->start();
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

void TRunDock::Tick()
{
    if (m_run && m_run->running())
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
    m_serial = QString::fromStdString(m_host.Session.Module.serialText());
    if (!m_recordStored)
        storeRecord();
}

bool TRunDock::ModuleLost(const QString &reason)
{
    if (!m_run || m_run->finished())
        return false;
    m_run->interrupt(
        QStringLiteral("%1 Waiting for the module; then Retry").arg(reason).toStdString());
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
    const bool active = m_run && !m_run->finished();
    const bool running = m_run && m_run->running();
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
    if (pending) {
        const TRunStepEntry &entry = m_entries[m_run->current()];
        m_host.ShowPage(entry.Page);
        // Once per step, as it comes up: the outputs are driven before the operator measures.
        if (m_prepared != m_run->current() + 1) {
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
    }
}

void TRunDock::storeRecord()
{
    m_recordStored = true;
    const zul::ModuleState &module = m_host.Session.Module;
    const zul::TKindRow *kind = zul::findKind(module.kind);
    const std::string kindName = kind ? std::string(kind->Name) : std::string("unknown");
    const QString station = QSysInfo::machineHostName();
    const QString version = QString::fromStdString(zul::toolVersionText());
    // The row the run's own save appended; a run that never saved has none.
    std::optional<long long> row;
    for (const zul::run::StepRecord &record : m_run->steps())
        if (record.step.name == "Save" && record.status == StepStatus::Passed
            && m_host.Session.ResultsDatabase)
            if (const auto id = m_host.Session.ResultsDatabase->LastInsertedId())
                row = *id;

    zul::run::RecordHeader header { m_plan.name, m_operatorEdit->text().trimmed().toStdString(),
        station.toStdString(), version.toStdString(),
        { { "kind", kindName }, { "model", module.modelText() }, { "serial", module.serialText() },
            { "firmware", module.firmwareText() }, { "board", module.boardText() } },
        row };
    const TRunLogEntry entry { QString::fromStdString(module.serialText()),
        QString::fromStdString(kindName),
        QString::fromStdString(zul::run::utcText(m_run->startedAt())),
        QString::fromStdString(zul::run::utcText(m_run->endedAt())),
        QString::fromLatin1(zul::run::outcomeName(m_run->outcome())),
        m_operatorEdit->text().trimmed(), station, version, QString::fromStdString(m_plan.name),
        row ? std::optional<qint64>(*row) : std::nullopt,
        QString::fromStdString(zul::run::runRecordJson(header, *m_run)) };
    if (!m_host.Session.ResultsDatabase) {
        m_recordNote = QStringLiteral("Run record not saved: no results database");
        return;
    }
    m_recordNote = StoreRunRecord(*m_host.Session.ResultsDatabase, entry).where;
    // The kind's record still holds the row the run saved.
    const TConfigRecord *saved =
        kind ? m_host.Session.RecordOf<TConfigRecord>(kind->List) : nullptr;
    if (row && saved)
        m_recordNote += WriteRunCertificate(
            m_host.Session.Module, *saved, *row, QString::fromStdString(m_plan.name), entry.record);
}
