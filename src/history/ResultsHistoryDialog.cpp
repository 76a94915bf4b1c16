#include "ResultsHistoryDialog.h"

#include "HistoryCertificate.h"
#include "RunsView.h"
#include "records/ResultsHistory.h"
#include "records/ResultsTarget.h"
#include "widgets/SafeSlot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int TypingPauseMs = 300;

template<typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QDateEdit *makeDateEdit(const char *name, QWidget *parent)
{
    auto *edit = named(new QDateEdit(QDate::currentDate(), parent), name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setEnabled(false);
    return edit;
}

} // namespace

TResultsHistoryDialog::TResultsHistoryDialog(
    DatabasePaths paths, TMessageSink &messages, QWidget *parent)
    : QDialog(parent)
    , m_paths(std::move(paths))
    , m_messages(messages)
    , m_model(new TResultsHistoryModel(this))
{
    setObjectName(QStringLiteral("ResultsHistoryDialog"));
    setWindowTitle(QStringLiteral("Results history"));
    OpenFolder = [](const QString &folder) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
    AskExportFile = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Export CSV"),
            QDir::home().filePath(QStringLiteral("zul-results.csv")),
            QStringLiteral("CSV files (*.csv);;All files (*)"));
    };
    buildControls();
    connectControls();
    Refresh();
    // Sorting is switched on once the first rows are there, with the model's own order shown.
    HistoryView->setSortingEnabled(true);
    resize(900, 520);
}

TResultsHistoryDialog::~TResultsHistoryDialog()
{
    // The model is a child and would close its query from ~QObject, when this dialog's members
    // are gone; its reset signals must not reach the column handlers then.
    disconnect(m_model, nullptr, this, nullptr);
    m_model->close();
}

void TResultsHistoryDialog::buildControls()
{
    TargetLabel = named(new QLabel(this), "TargetLabel");
    TargetLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Built in focus order: filters, table, buttons.
    QHBoxLayout *filters = buildFilterRow();
    HistoryTabs = named(new QTabWidget(this), "HistoryTabs");
    buildHistoryView();
    RunsView = new TRunsView(m_messages, this);
    HistoryTabs->addTab(HistoryView, QStringLiteral("Results"));
    HistoryTabs->addTab(RunsView, QStringLiteral("Runs"));
    QHBoxLayout *buttons = buildButtonRow();
    // Return in the serial field applies the filter; it must not press a button as well.
    for (QPushButton *button :
        { RefreshButton, CertificateButton, OpenFolderButton, ExportButton, CloseButton })
        button->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TargetLabel);
    layout->addLayout(filters);
    layout->addWidget(HistoryTabs, 1);
    layout->addLayout(buttons);
}

QHBoxLayout *TResultsHistoryDialog::buildFilterRow()
{
    KindBox = named(new QComboBox(this), "KindBox");
    for (const HistoryChoice &choice : m_kinds)
        KindBox->addItem(choice.caption);
    SerialEdit = named(new QLineEdit(this), "SerialEdit");
    SerialEdit->setPlaceholderText(QStringLiteral("any"));
    SerialEdit->setClearButtonEnabled(true);
    FromCheck = named(new QCheckBox(QStringLiteral("From"), this), "FromCheck");
    FromDate = makeDateEdit("FromDate", this);
    ToCheck = named(new QCheckBox(QStringLiteral("To"), this), "ToCheck");
    ToDate = makeDateEdit("ToDate", this);
    RefreshButton = named(new QPushButton(QStringLiteral("Refresh"), this), "RefreshButton");

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Kind"), this));
    row->addWidget(KindBox);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Serial number"), this));
    row->addWidget(SerialEdit, 1);
    row->addSpacing(12);
    for (QWidget *widget :
        std::initializer_list<QWidget *> { FromCheck, FromDate, ToCheck, ToDate })
        row->addWidget(widget);
    row->addSpacing(12);
    row->addWidget(RefreshButton);
    return row;
}

void TResultsHistoryDialog::buildHistoryView()
{
    HistoryView = named(new QTableView(this), "HistoryView");
    // Before the view's own connections, so the order is read before the header forgets it.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
        &TResultsHistoryDialog::rememberColumnOrder);
    HistoryView->setModel(m_model);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TResultsHistoryDialog::applyColumns);
    HistoryView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HistoryView->setSelectionBehavior(QAbstractItemView::SelectRows);
    HistoryView->setAlternatingRowColors(true);
    HistoryView->verticalHeader()->setVisible(false);
    HistoryView->horizontalHeader()->setSectionsMovable(true);
}

QHBoxLayout *TResultsHistoryDialog::buildButtonRow()
{
    CountLabel = named(new QLabel(this), "CountLabel");
    CertificateButton =
        named(new QPushButton(QStringLiteral("Certificate..."), this), "HistoryCertificateButton");
    CertificateButton->setEnabled(false);
    OpenFolderButton =
        named(new QPushButton(QStringLiteral("Open folder"), this), "HistoryOpenFolderButton");
    ExportButton = named(new QPushButton(QStringLiteral("Export CSV..."), this), "ExportButton");
    CloseButton = named(new QPushButton(QStringLiteral("Close"), this), "CloseButton");
    auto *row = new QHBoxLayout;
    row->addWidget(CountLabel, 1);
    row->addWidget(CertificateButton);
    row->addWidget(OpenFolderButton);
    row->addWidget(ExportButton);
    row->addWidget(CloseButton);
    return row;
}

void TResultsHistoryDialog::connectControls()
{
    m_typingPause.setSingleShot(true);
    m_typingPause.setInterval(TypingPauseMs);
    using zul::SafeConnect;
    SafeConnect(
        &m_typingPause, &QTimer::timeout, this, &TResultsHistoryDialog::ApplyFilter, m_messages);
    SafeConnect(
        SerialEdit, &QLineEdit::textChanged, this, m_messages, [this] { m_typingPause.start(); });
    SafeConnect(SerialEdit, &QLineEdit::returnPressed, this, &TResultsHistoryDialog::ApplyFilter,
        m_messages);
    SafeConnect(KindBox, &QComboBox::currentIndexChanged, this, &TResultsHistoryDialog::ApplyFilter,
        m_messages);
    for (auto [check, date] :
        { std::pair { FromCheck, FromDate }, std::pair { ToCheck, ToDate } }) {
        SafeConnect(check, &QCheckBox::toggled, this, m_messages, [this, date = date](bool on) {
            date->setEnabled(on);
            ApplyFilter();
        });
        SafeConnect(
            date, &QDateEdit::dateChanged, this, &TResultsHistoryDialog::ApplyFilter, m_messages);
    }
    SafeConnect(
        RefreshButton, &QPushButton::clicked, this, &TResultsHistoryDialog::Refresh, m_messages);
    SafeConnect(ExportButton, &QPushButton::clicked, this, &TResultsHistoryDialog::exportClicked,
        m_messages);
    SafeConnect(CloseButton, &QPushButton::clicked, this, m_messages, [this] { close(); });
    SafeConnect(
        CertificateButton, &QPushButton::clicked, this, m_messages, [this] { WriteCertificate(); });
    SafeConnect(OpenFolderButton, &QPushButton::clicked, this, m_messages,
        [this] { OpenFolder(CertificateFolder()); });
    SafeConnect(HistoryView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &TResultsHistoryDialog::updateCertificateButton, m_messages);
}

void TResultsHistoryDialog::Refresh()
{
    TargetLabel->setText(QStringLiteral("Results database: ") + describeResultsTarget(m_paths));
    RunsView->Load(m_paths);
    if (!m_model->open(m_paths)) {
        showRows(false);
        return;
    }
    ApplyFilter();
}

void TResultsHistoryDialog::ApplyFilter()
{
    m_typingPause.stop();
    HistoryFilter filter;
    filter.serial = SerialEdit->text().trimmed();
    if (FromCheck->isChecked())
        filter.from = FromDate->date();
    if (ToCheck->isChecked())
        filter.to = ToDate->date();
    const HistoryKind kind = chosenKind();
    RunsView->Select(kind, filter);
    if (!m_model->isOpen()) {
        showRows(false);
        return;
    }
    showRows(m_model->select(kind, filter));
}

void TResultsHistoryDialog::rememberColumnOrder()
{
    const QHeaderView *header = HistoryView->horizontalHeader();
    const QSqlRecord fields = m_model->record();
    QStringList order;
    for (int visual = 0; visual < header->count(); ++visual)
        order << fields.fieldName(header->logicalIndex(visual));
    // The model empties itself before each query; that moment has no order worth keeping.
    if (!order.isEmpty())
        m_columnOrder = order;
}

void TResultsHistoryDialog::applyColumns()
{
    // Every query resets the header; put the columns back where the user dragged them.
    QHeaderView *header = HistoryView->horizontalHeader();
    int position = 0;
    for (const QString &field : std::as_const(m_columnOrder)) {
        const int column = m_model->fieldColumn(field);
        if (column >= 0)
            header->moveSection(header->visualIndex(column), position++);
    }

    // The numbering helper and the row id mean nothing to a reader; a single kind needs no kind
    // column. Run after every reset of the model, which forgets hidden sections.
    const auto hide = [this](const QString &field, bool hidden) {
        const int column = m_model->fieldColumn(field);
        if (column >= 0)
            HistoryView->setColumnHidden(column, hidden);
    };
    hide(TResultsHistoryModel::TestCountField, true);
    hide(QStringLiteral("id"), true);
    hide(TResultsHistoryModel::KindField, chosenKind() != HistoryKind::All);
    const QSignalBlocker quiet(header);
    header->setSortIndicator(m_model->sortColumn(), m_model->sortOrder());
}

void TResultsHistoryDialog::showRows(bool ok)
{
    ExportButton->setEnabled(ok && m_model->rowCount() > 0);
    updateCertificateButton();
    if (!ok) {
        CountLabel->setText(m_model->lastError());
        return;
    }
    const int tests = m_model->rowCount();
    const int modules = m_model->moduleCount();
    CountLabel->setText(QStringLiteral("%1 test%2 of %3 module%4")
                            .arg(tests)
                            .arg(tests == 1 ? "" : "s")
                            .arg(modules)
                            .arg(modules == 1 ? "" : "s"));
}

QList<int> TResultsHistoryDialog::shownColumns() const
{
    const QHeaderView *header = HistoryView->horizontalHeader();
    QList<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            columns << logical;
    }
    return columns;
}

bool TResultsHistoryDialog::ExportCsv(const QString &fileName)
{
    QString error;
    if (!writeCsv(*m_model, shownColumns(), fileName, &error)) {
        m_messages.ShowMessage(
            QStringLiteral("Could not write %1: %2").arg(fileName, error).toStdString());
        return false;
    }
    CountLabel->setText(QStringLiteral("%1 rows exported to %2")
                            .arg(m_model->rowCount())
                            .arg(QFileInfo(fileName).fileName()));
    return true;
}

void TResultsHistoryDialog::updateCertificateButton()
{
    CertificateButton->setEnabled(HistoryView->currentIndex().isValid());
}

bool TResultsHistoryDialog::WriteCertificate()
{
    const QModelIndex current = HistoryView->currentIndex();
    if (!current.isValid())
        return false;
    const auto field = [this, &current](const QString &name) {
        return m_model->QSqlQueryModel::data(
            m_model->index(current.row(), m_model->fieldColumn(name)));
    };
    const THistoryCertificate result =
        WriteHistoryCertificate(m_paths, field(TResultsHistoryModel::KindField).toString(),
            field(QStringLiteral("id")).toLongLong());
    if (!result.written) {
        m_messages.ShowError((result.pdf.isEmpty()
                ? QStringLiteral("The row could not be read: %1").arg(result.reason)
                : QStringLiteral("The certificate could not be written to %1: %2")
                      .arg(result.pdf, result.reason))
                                 .toStdString());
        return false;
    }
    m_messages.Show("Certificate written", result.pdf.toStdString(), TMessageKind::Information);
    return true;
}

void TResultsHistoryDialog::exportClicked()
{
    const QString fileName = AskExportFile ? AskExportFile() : QString();
    if (!fileName.isEmpty())
        ExportCsv(fileName);
}

HistoryKind TResultsHistoryDialog::chosenKind() const
{
    const int index = KindBox->currentIndex();
    return index >= 0 && index < m_kinds.size() ? m_kinds[index].kind : HistoryKind::All;
}
