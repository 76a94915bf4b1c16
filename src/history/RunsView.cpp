#include "RunsView.h"

#include "records/RunHistory.h"
#include "widgets/SafeSlot.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TRunsView::TRunsView(TMessageSink &messages, QWidget *parent)
    : QWidget(parent)
    , m_model(new TRunHistoryModel(this))
{
    setObjectName(QStringLiteral("RunsView"));
    RunsTable = new QTableView(this);
    RunsTable->setObjectName(QStringLiteral("RunsTable"));
    RunsTable->setModel(m_model);
    RunsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RunsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    RunsTable->setSelectionMode(QAbstractItemView::SingleSelection);
    RunsTable->setAlternatingRowColors(true);
    RunsTable->verticalHeader()->setVisible(false);
    RunsTable->horizontalHeader()->setStretchLastSection(true);
    RunsCountLabel = new QLabel(this);
    RunsCountLabel->setObjectName(QStringLiteral("RunsCountLabel"));
    OpenRecordButton = new QPushButton(QStringLiteral("Open record"), this);
    OpenRecordButton->setObjectName(QStringLiteral("OpenRecordButton"));
    OpenRecordButton->setAutoDefault(false);
    OpenRecordButton->setEnabled(false);

    auto *row = new QHBoxLayout;
    row->addWidget(RunsCountLabel, 1);
    row->addWidget(OpenRecordButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RunsTable, 1);
    layout->addLayout(row);

    using zul::SafeConnect;
    SafeConnect(OpenRecordButton, &QPushButton::clicked, this, messages, [this] { OpenRecord(); });
    SafeConnect(RunsTable, &QTableView::doubleClicked, this, messages, [this] { OpenRecord(); });
    SafeConnect(RunsTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &TRunsView::selectionChanged, messages);
    SafeConnect(
        m_model, &QAbstractItemModel::modelReset, this, &TRunsView::selectionChanged, messages);
}

void TRunsView::Load(const DatabasePaths &paths)
{
    m_loadError = m_model->load(paths) ? QString() : m_model->lastError();
    showCount();
}

void TRunsView::Select(HistoryKind kind, const HistoryFilter &filter)
{
    m_model->select(kind, filter);
    showCount();
}

void TRunsView::showCount()
{
    if (!m_loadError.isEmpty()) {
        RunsCountLabel->setText(m_loadError);
        return;
    }
    const int runs = m_model->rowCount();
    RunsCountLabel->setText(QStringLiteral("%1 run%2").arg(runs).arg(runs == 1 ? "" : "s"));
}

void TRunsView::selectionChanged()
{
    OpenRecordButton->setEnabled(selectedRow() >= 0);
}

int TRunsView::selectedRow() const
{
    const QModelIndexList rows = RunsTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QDialog *TRunsView::OpenRecord()
{
    const int row = selectedRow();
    if (row < 0)
        return nullptr;
    const TRunHistoryRow &run = m_model->run(row);
    auto *window = new QDialog(this);
    window->setObjectName(QStringLiteral("RunRecordDialog"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(
        QStringLiteral("Run record: %1 %2, %3")
            .arg(run.kind, run.serial,
                m_model->index(row, TRunHistoryModel::Started).data().toString()));
    auto *text = new QPlainTextEdit(run.record, window);
    text->setObjectName(QStringLiteral("RunRecordText"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(text, 1);
    layout->addWidget(buttons);
    window->resize(640, 560);
    // Not modal: the technician may compare a record with the history or a second record.
    window->show();
    return window;
}
