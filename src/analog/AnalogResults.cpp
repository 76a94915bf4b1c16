#include "AnalogResults.h"

#include "WidgetAnalogResultsPage.h"
#include "core/Registers.h"
#include "module/ResultsSave.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "records/DataRecords.h"
#include "records/RecordFill.h"
#include "widgets/ResultsTargetLabel.h"
#include "widgets/SafeSlot.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <array>

namespace {

constexpr int Channels = zul::reg::AnalogChannelCount;

} // namespace

TAnalogResults::TAnalogResults(
    TSession &session, TZULGeneral &general, TAnalogResultsPage &page, TAnalogResultsKind kind)
    : m_session(session)
    , m_general(general)
    , m_page(page)
    , m_kind(std::move(kind))
{
    zul::SafeConnect(
        page.SaveButton, &QPushButton::clicked, &page, *session.Messages, [this] { Save({}); });
    page.ResultsTargetLabel->SetSource([&session] { return DescribeSaveTarget(session); });
    QObject::connect(page.ResultsGrid, &QTableWidget::itemChanged, &page,
        [this](QTableWidgetItem *item) { cellEdited(item->row(), item->column()); });
}

int TAnalogResults::logicalColumn(int column) const
{
    return m_page.ResultsGrid->horizontalHeader()->logicalIndex(column);
}

int TAnalogResults::File(const zul::FiledTest &test, int over)
{
    const bool replaces = over >= 1 && over < zul::ResultsGridColumns;
    const int column = replaces ? over : zul::firstFreeTestColumn(GridTexts());
    if (column < 0)
        return -1;
    SetCellText(column, 10, QString::fromStdString(test.verdictText()));
    SetCellText(column, 0, QString::fromStdString(test.type));
    SetCellText(column, 1, QString::fromStdString(test.stimulus));
    for (int n = 0; n < Channels; ++n)
        SetCellText(column, n + 2,
            QString::fromStdString(test.channels[static_cast<std::size_t>(n)].measured));
    m_filed[static_cast<std::size_t>(logicalColumn(column))] = test;
    return column;
}

std::vector<zul::FiledTest> TAnalogResults::FiledTests() const
{
    std::vector<zul::FiledTest> tests;
    for (int column = 1; column < zul::ResultsGridColumns; ++column)
        if (const auto &filed = m_filed[static_cast<std::size_t>(logicalColumn(column))]) {
            tests.push_back(*filed);
            tests.back().column = column;
        }
    return tests;
}

void TAnalogResults::cellEdited(int row, int logical)
{
    if (m_writing || logical < 0 || logical >= zul::ResultsGridColumns)
        return;
    auto &filed = m_filed[static_cast<std::size_t>(logical)];
    if (!filed)
        return;
    const QTableWidgetItem *item = m_page.ResultsGrid->item(row, logical);
    const std::string text = item ? item->text().toStdString() : std::string();
    if (row == 0)
        filed->type = text;
    else if (row == 1)
        filed->stimulus = text;
    else if (row >= 2 && row < 2 + Channels)
        filed->channels[static_cast<std::size_t>(row - 2)].measured = text;
    else if (row == 10)
        filed->passed = text == "PASS"; // the row's flags count exactly this text
    filed->editedByHand = true;
    // A column typed empty holds no test any more.
    const auto blank = [](const std::string &s) {
        return s.find_first_not_of(' ') == std::string::npos;
    };
    if (blank(filed->type) && blank(filed->stimulus))
        filed.reset();
}

void TAnalogResults::ResetDate()
{
    m_page.DateBox->setDate(QDate::currentDate());
}

QString TAnalogResults::CellText(int column, int row) const
{
    const int logical = logicalColumn(column);
    const QTableWidgetItem *item = m_page.ResultsGrid->item(row, logical);
    return item ? item->text() : QString();
}

void TAnalogResults::SetCellText(int column, int row, const QString &text)
{
    const int logical = logicalColumn(column);
    const bool writing = m_writing;
    m_writing = true;
    if (QTableWidgetItem *item = m_page.ResultsGrid->item(row, logical))
        item->setText(text);
    else
        m_page.ResultsGrid->setItem(row, logical, new QTableWidgetItem(text));
    m_writing = writing;
}

zul::ResultsGrid TAnalogResults::GridTexts() const
{
    zul::ResultsGrid grid(zul::ResultsGridColumns, std::vector<std::string>(zul::ResultsGridRows));
    for (int c = 0; c < zul::ResultsGridColumns; ++c)
        for (int r = 0; r < zul::ResultsGridRows; ++r)
            grid[c][r] = CellText(c, r).toStdString();
    return grid;
}

void TAnalogResults::SetGridTexts(const zul::ResultsGrid &grid)
{
    for (int c = 0; c < zul::ResultsGridColumns && c < static_cast<int>(grid.size()); ++c)
        for (int r = 0; r < zul::ResultsGridRows && r < static_cast<int>(grid[c].size()); ++r)
            if (CellText(c, r).toStdString() != grid[c][r])
                SetCellText(c, r, QString::fromStdString(grid[c][r]));
}

bool TAnalogResults::Save(const TSaveContext &who)
{
    m_page.ResultsTargetLabel->Refresh(); // the alias is read again by this save
    return SaveModuleResults(
        m_session, m_general, m_kind.Record(), m_page.DateBox->date(),
        [this](TConfigRecord &base, const RecordIdentity &identity) {
            return fill(static_cast<TAnalogConfigRecord &>(base), identity);
        },
        who);
}

void TAnalogResults::ClearForNextModule()
{
    for (QCheckBox *box : m_page.ResultGrid->findChildren<QCheckBox *>())
        box->setChecked(false);
    for (int column = 1; column < zul::ResultsGridColumns; ++column)
        for (int row = 0; row < zul::ResultsGridRows; ++row)
            if (!CellText(column, row).isEmpty())
                SetCellText(column, row, QString());
    m_filed = {};
}

bool TAnalogResults::fill(TAnalogConfigRecord &record, const RecordIdentity &identity)
{
    bool timesRead = false;
    const TWordArrayDynamic times =
        zul::ReadInputsOrZeros(m_session.Modbus, zul::reg::UpdateTimes, Channels, &timesRead);
    bool storedRead = false;
    const TWordArrayDynamic stored = zul::ReadInputsOrZeros(
        m_session.Modbus, zul::reg::StoredCalibrationSets, m_kind.StoredSetWords, &storedRead);
    if (!timesRead || !storedRead)
        return false;

    const TPassFailGrid &ticks = *m_page.ResultGrid;
    std::array<std::array<bool, Channels>, 4> columns {};
    for (int c = 0; c < 4; ++c)
        ticks.Ticks(c, columns[static_cast<std::size_t>(c)]);
    fillPassFailAndIdentity(record,
        { columns[TAnalogResultsPage::DigitalInputs], columns[TAnalogResultsPage::DigitalOutputs],
            columns[TAnalogResultsPage::PulsedOutputs],
            columns[TAnalogResultsPage::PulsedOutCounts] },
        identity);
    std::array<std::uint16_t, Channels> updateTimes {};
    std::copy_n(times.begin(), Channels, updateTimes.begin());
    fillPulsedOutputs(record, columns[TAnalogResultsPage::PulsedOutputs],
        columns[TAnalogResultsPage::PulsedOutCounts], updateTimes);

    // The tests are judged as filed; only then do the empty cells become single spaces.
    zul::ResultsGrid grid = GridTexts();
    m_kind.FillKind(record, grid, stored);
    record.FiledTests = FiledTests();
    zul::fillEmptyCells(grid);
    SetGridTexts(grid);
    // The configuration columns state the codes the save just read, as the status panel does.
    const zul::ModuleState &module = m_session.Module;
    std::array<QString, Channels> scaleTexts;
    for (int n = 0; n < Channels; ++n)
        scaleTexts[static_cast<std::size_t>(n)] = QString::fromStdString(module.channelText(n + 1));
    fillAnalogGridAndConfig(
        record, grid, QString::fromStdString(module.hardwareText()), scaleTexts);
    return true;
}
