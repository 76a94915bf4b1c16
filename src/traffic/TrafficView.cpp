#include "TrafficView.h"

#include "comms/ZUL_Modbus.h"
#include "core/MessageSink.h"
#include "widgets/LazyDock.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString DockShownKey = QStringLiteral("View/CommsTrafficShown");

QString milliseconds(std::int64_t us)
{
    return us < 0 ? QStringLiteral("-") : QStringLiteral("%1 ms").arg(us / 1000.0, 0, 'f', 1);
}

const QString CountsNote = QStringLiteral(
    "Since the start or the last reset; replies that came count toward the round trip");

} // namespace

QString TrafficCountsText(const modbus::LineCounts &counts, bool everyCount)
{
    // The status bar shows the rarer failures only once they happen, so that the line fits a
    // small screen; the tooltip has them all.
    QString text = QStringLiteral("Requests %1 · good %2 · time-outs %3")
                       .arg(counts.requests)
                       .arg(counts.good)
                       .arg(counts.timeouts);
    const std::pair<const char *, std::uint64_t> failures[] = { { "CRC/length", counts.damaged },
        { "exceptions", counts.exceptions }, { "other", counts.otherErrors },
        { "unexpected", counts.unexpected } };
    for (const auto &[name, count] : failures)
        if (everyCount || count != 0)
            text += QStringLiteral(" · %1 %2").arg(QLatin1String(name)).arg(count);
    return text
        + QStringLiteral(" · last %1 · mean %2")
              .arg(milliseconds(counts.lastRoundTripUs), milliseconds(counts.meanRoundTripUs));
}

TTrafficView::TTrafficView(QMainWindow &window, ZUL_Modbus &modbus, TMessageSink &messages)
    : QObject(&window)
    , m_window(window)
    , m_messages(messages)
    , m_model(new TTrafficModel(TTrafficModel::DefaultCapacity, this))
{
    setObjectName(QStringLiteral("TrafficView"));
    buildViewMenu();
    m_dock = new TLazyDock(
        window, *m_toggle,
        { QStringLiteral("Comms traffic"), QStringLiteral("TrafficDock"), DockShownKey },
        [this](QDockWidget &dock) { return buildBody(dock); }, this);
    buildStatusBar(window);
    m_model->SetChangeListener([this] { showCounts(); });
    modbus.setFrameHook(
        [model = m_model](const modbus::FrameEvent &event) { model->Record(event); });
    // Open at the last exit: open now.
    m_dock->ShowIfShownBefore();
}

void TTrafficView::buildViewMenu()
{
    m_toggle = new QAction(QStringLiteral("Comms traffic"), this);
    m_toggle->setObjectName(QStringLiteral("CommsTraffic1"));
    m_toggle->setCheckable(true);
    auto *view = new QMenu(QStringLiteral("&View"), m_window.menuBar());
    view->setObjectName(QStringLiteral("View1"));
    view->addAction(m_toggle);
    // Before Help, which stays last.
    const auto *help = m_window.menuBar()->findChild<QMenu *>(QStringLiteral("Help1"));
    m_window.menuBar()->insertMenu(help ? help->menuAction() : nullptr, view);
}

QDockWidget *TTrafficView::Dock()
{
    return m_dock->Dock();
}

QTableView *TTrafficView::Table()
{
    Dock();
    return m_table;
}

QWidget *TTrafficView::buildBody(QDockWidget &dock)
{
    auto *body = new QWidget(&dock);
    auto *bar = new QToolBar(body);
    bar->setObjectName(QStringLiteral("TrafficToolBar"));
    QAction *pause = bar->addAction(QStringLiteral("Pause"));
    pause->setObjectName(QStringLiteral("TrafficPause"));
    pause->setCheckable(true);
    pause->setToolTip(QStringLiteral("Stop adding frames to the table; the counters go on"));
    QAction *clear = bar->addAction(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("TrafficClear"));
    QAction *copy = bar->addAction(QStringLiteral("Copy"));
    copy->setObjectName(QStringLiteral("TrafficCopy"));
    copy->setToolTip(QStringLiteral("Copy the selected rows"));
    QAction *save = bar->addAction(QStringLiteral("Save as..."));
    save->setObjectName(QStringLiteral("TrafficSaveAs"));
    save->setToolTip(QStringLiteral("Save the frames in the table as CSV"));
    m_table = buildTable(body);

    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_table);

    connect(pause, &QAction::toggled, this, [this](bool on) { m_model->SetPaused(on); });
    connect(clear, &QAction::triggered, this, [this] { m_model->Clear(); });
    connect(copy, &QAction::triggered, this, [this] { CopySelectedRows(); });
    connect(save, &QAction::triggered, this, [this] { SaveAs(); });
    return body;
}

QTableView *TTrafficView::buildTable(QWidget *parent)
{
    auto *table = new QTableView(parent);
    table->setObjectName(QStringLiteral("TrafficTable"));
    table->setModel(m_model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    // Fixed row heights keep a full ring of 10 000 rows cheap to lay out.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int rowHeight = table->fontMetrics().height() + 4;
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    // Ten rows in sight however small the window: fewer show too little of a conversation.
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() + 10 * rowHeight
        + 2 * table->frameWidth() + table->horizontalScrollBar()->sizeHint().height());
    table->horizontalHeader()->setStretchLastSection(true);
    const int charWidth = table->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    // The bytes column is kept short (the whole frame is in its tooltip), so that round trip
    // and outcome are in sight at the window's default width.
    const int widths[] = { 13, 9, 6, 25, 9, 26, 13 };
    for (int column = 0; column < static_cast<int>(std::size(widths)); ++column)
        table->setColumnWidth(column, widths[column] * charWidth);
    auto *copyKey = new QAction(table);
    copyKey->setShortcut(QKeySequence::Copy);
    copyKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table->addAction(copyKey);
    connect(copyKey, &QAction::triggered, this, [this] { CopySelectedRows(); });

    // New frames keep the newest row in sight, unless the user scrolled up to read.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, table, [this, table] {
        const QScrollBar *scroll = table->verticalScrollBar();
        m_followTail = scroll->value() == scroll->maximum();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, table, [this, table] {
        if (m_followTail)
            table->scrollToBottom();
    });
    return table;
}

void TTrafficView::buildStatusBar(QMainWindow &window)
{
    m_counts = new QLabel(window.statusBar());
    m_counts->setObjectName(QStringLiteral("TrafficCountsLabel"));
    auto *reset = new QToolButton(window.statusBar());
    reset->setObjectName(QStringLiteral("TrafficCountsReset"));
    reset->setText(QStringLiteral("Reset"));
    reset->setToolTip(QStringLiteral("Start the line counters again from zero"));
    window.statusBar()->addPermanentWidget(m_counts);
    window.statusBar()->addPermanentWidget(reset);
    connect(reset, &QToolButton::clicked, this, [this] { m_model->ResetCounts(); });
    showCounts();
}

void TTrafficView::showCounts()
{
    const modbus::LineCounts &counts = m_model->Counts();
    m_counts->setText(TrafficCountsText(counts, false));
    m_counts->setToolTip(TrafficCountsText(counts, true) + QStringLiteral("\n") + CountsNote);
}

void TTrafficView::CopySelectedRows() const
{
    if (!m_table)
        return;
    QList<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    if (!rows.isEmpty())
        QApplication::clipboard()->setText(m_model->PlainText(rows));
}

void TTrafficView::SaveAs()
{
    const QString path =
        QFileDialog::getSaveFileName(m_dock->Built(), QStringLiteral("Save traffic as"),
            QStringLiteral("traffic.csv"), QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty())
        SaveTo(path);
}

bool TTrafficView::SaveTo(const QString &path)
{
    QString error;
    if (m_model->SaveCsv(path, &error))
        return true;
    m_messages.ShowMessage(QStringLiteral("Could not save %1: %2").arg(path, error).toStdString());
    return false;
}
