// The run dock's widgets, their layout, buttons and shortcuts.
#include "RunDock.h"

#include "RunDockParts.h"
#include "RunIdentity.h"
#include "RunReadingsTable.h"
#include "widgets/ToolSettings.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

using namespace zul::rundock;

TRunDock::TRunDock(QMainWindow &window, QMenu &runMenu, TRunHost host)
    : QObject(&window)
    , m_host(std::move(host))
{
    setObjectName(QStringLiteral("RunView"));
    buildDock(window);
    buildMenuAction(runMenu);
    buildShortcuts();
    showState();
}

TRunDock::~TRunDock() = default;

void TRunDock::buildMenuAction(QMenu &runMenu)
{
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
}

void TRunDock::buildDock(QMainWindow &window)
{
    m_dock = new QDockWidget(QStringLiteral("Production run"), &window);
    m_dock->setObjectName(QStringLiteral("ProductionRunDock"));
    auto *body = new QWidget(m_dock);
    QLayout *choose = buildChoice(*body);
    buildStepTable(*body);
    const QFont large = buildPrompt(*body);
    buildButtons(*body);
    buildProgress(*body, large);
    layOut(*body, choose);
    m_dock->setWidget(body);
    window.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
    m_dock->installEventFilter(this);
    connectButtons();
}

QLayout *TRunDock::buildChoice(QWidget &body)
{
    m_planBox = new QComboBox(&body);
    m_planBox->setObjectName(QStringLiteral("RunPlanBox"));
    m_operatorEdit = new QLineEdit(zul::toolSettings().value(OperatorKey).toString(), &body);
    m_operatorEdit->setObjectName(QStringLiteral("RunOperatorEdit"));
    m_operatorEdit->setPlaceholderText(QStringLiteral("who tests (saved as TECHNICIAN)"));
    connect(m_operatorEdit, &QLineEdit::editingFinished, this,
        [this] { zul::toolSettings().setValue(OperatorKey, m_operatorEdit->text().trimmed()); });
    m_startButton = new QPushButton(QStringLiteral("Start"), &body);
    m_startButton->setObjectName(QStringLiteral("RunStartButton"));
    auto *choose = new QFormLayout;
    choose->addRow(QStringLiteral("Plan:"), m_planBox);
    choose->addRow(QStringLiteral("Operator:"), m_operatorEdit);
    return choose;
}

void TRunDock::buildStepTable(QWidget &body)
{
    m_stepTable = new QTableWidget(0, ColumnCount, &body);
    m_stepTable->setObjectName(QStringLiteral("RunStepTable"));
    m_stepTable->setHorizontalHeaderLabels({ QStringLiteral("Step"), QStringLiteral("Status"),
        QStringLiteral("Attempts"), QStringLiteral("Result"), QStringLiteral("Time") });
    m_stepTable->verticalHeader()->hide();
    m_stepTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_stepTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_stepTable->setFocusPolicy(Qt::NoFocus);
    m_stepTable->horizontalHeader()->setSectionResizeMode(ResultColumn, QHeaderView::Stretch);
}

QFont TRunDock::buildPrompt(QWidget &body)
{
    m_promptLabel = new QLabel(&body);
    m_promptLabel->setObjectName(QStringLiteral("RunPromptLabel"));
    m_promptLabel->setWordWrap(true);
    QFont large = m_promptLabel->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    m_promptLabel->setFont(large);
    return large;
}

void TRunDock::buildButtons(QWidget &body)
{
    const auto button = [&body](const char *name, const char *caption, const char *tip) {
        auto *made = new QPushButton(QString::fromLatin1(caption), &body);
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
}

void TRunDock::buildProgress(QWidget &body, const QFont &large)
{
    m_progress = new QProgressBar(&body);
    m_progress->setObjectName(QStringLiteral("RunProgress"));
    m_progress->setFormat(QStringLiteral("%v of %m steps"));
    m_outcomeLabel = new QLabel(&body);
    m_outcomeLabel->setObjectName(QStringLiteral("RunOutcomeLabel"));
    m_outcomeLabel->setAlignment(Qt::AlignCenter);
    m_outcomeLabel->setFont(large);
    m_outcomeLabel->setAutoFillBackground(true);
    m_readingsTable =
        std::make_unique<TRunReadingsTable>(&body, QStringLiteral("AOT"), 8, [this] { Next(); });
    m_readingsTable->Table()->hide();
    m_recordLabel = new QLabel(&body);
    m_recordLabel->setObjectName(QStringLiteral("RunRecordLabel"));
    m_recordLabel->setWordWrap(true);
}

void TRunDock::layOut(QWidget &body, QLayout *choose)
{
    auto *buttons = new QHBoxLayout;
    for (QPushButton *each : { m_startButton, m_nextButton, m_retryButton, m_skipButton,
             m_abortButton, m_nextModuleButton })
        buttons->addWidget(each);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(&body);
    layout->addLayout(choose);
    layout->addWidget(m_promptLabel);
    layout->addWidget(m_readingsTable->Table());
    layout->addLayout(buttons);
    layout->addWidget(m_progress);
    layout->addWidget(m_stepTable, 1);
    layout->addWidget(m_outcomeLabel);
    layout->addWidget(m_recordLabel);
}

void TRunDock::connectButtons()
{
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
        else if (m_run && !m_run->finished())
            Next();
        // After a run Enter is the focused "Next module": the swap first, then the serial check.
        else if (m_run)
            NextModule();
        else
            Start();
    };
    shortcut(QKeySequence(Qt::Key_Return), enter);
    shortcut(QKeySequence(Qt::Key_Enter), enter);
    shortcut(QKeySequence(Qt::Key_F5), [this] { Retry(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { Abort(true); });
}
