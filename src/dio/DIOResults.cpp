#include "DIOResults.h"

#include "DIOCore.h"
#include "WidgetDIOResultsPage.h"
#include "module/BusyCursor.h"
#include "module/SafeSlot.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetStatusPanel.h"
#include "records/ZUL_Database.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

template<std::size_t N>
void copyTicks(const std::vector<QCheckBox *> &boxes, std::array<bool, N> &ticks)
{
    for (std::size_t n = 0; n < N && n < boxes.size(); ++n)
        ticks[n] = boxes[n]->isChecked();
}

} // namespace

TDIOResults::TDIOResults(TSession &session, TZULGeneral &general, TDIOResultsPage &page,
    const std::array<std::uint16_t, 4> &maxRateWords)
    : m_session(session)
    , m_general(general)
    , m_page(page)
    , m_maxRateWords(maxRateWords)
{
    TMessageSink &sink = *session.Messages;
    for (QCheckBox *all : page.DIOResultAllBoxes)
        zul::SafeConnect(
            all, &QCheckBox::clicked, &page, sink, [this, all] { ResultColumnAll(all); });
    zul::SafeConnect(
        page.Button1, &QPushButton::clicked, &page, sink, [this] { SaveDIOResults(); });
}

void TDIOResults::ResetDate()
{
    m_page.DIOResultsDateBox->setDate(QDate::currentDate());
}

void TDIOResults::ResultColumnAll(QCheckBox *box)
{
    const auto &all = m_page.DIOResultAllBoxes;
    const auto found = std::find(all.begin(), all.end(), box);
    if (found == all.end())
        return;
    const bool ticked = box->isChecked();
    for (QCheckBox *cell : m_page.DIOResultGrid[found - all.begin()])
        cell->setChecked(ticked);
}

DIOResultTicks TDIOResults::Ticks() const
{
    DIOResultTicks ticks;
    const auto &grid = m_page.DIOResultGrid;
    copyTicks(grid[TDIOResultsPage::DigitalInputs], ticks.digitalInputs);
    copyTicks(grid[TDIOResultsPage::DigitalOutputs], ticks.digitalOutputs);
    copyTicks(grid[TDIOResultsPage::PulsedOutputs], ticks.pulsedOutputs);
    copyTicks(grid[TDIOResultsPage::PulsedOutCounts], ticks.pulsedOutCounts);
    copyTicks(grid[TDIOResultsPage::PulseInputCount], ticks.pulseInputCount);
    copyTicks(grid[TDIOResultsPage::PulseInputRate], ticks.pulseInputRate);
    return ticks;
}

void TDIOResults::SaveDIOResults()
{
    TBusyCursor busy;
    const auto show = [this](const QString &text) { m_session.Message(text); };
    TDIOConfigRecord *record = m_session.DIORecord.get();
    TDataModule_Results *database = m_session.ResultsDatabase.get();
    // Without a record object the database could not be opened at connect: refuse the save as
    // any other database failure, before anything is read from the module.
    if (!record || !database) {
        show(UnableToConnectMessage);
        return;
    }

    const DIOResultTicks ticks = Ticks();
    const TStatusPanel &status = m_general.StatusPanel();
    const RecordIdentity identity { status.PCBNumLabel->text(),
        QDateTime(m_page.DIOResultsDateBox->date(), QTime(0, 0)), status.PCBRevLabel->text(),
        status.FirmwareLabel->text() };
    fillDIOPassFailAndIdentity(*record, ticks, identity);
    fillDIOPulseInputs(*record, ticks, m_maxRateWords);

    // The update times as the module holds them, read without a module check.
    const TWordArrayDynamic words =
        zul::ReadInputsOrZeros(m_session.Modbus, zul::dio::UpdateTimes, zul::dio::PulseOutputCount);
    std::array<std::uint16_t, 8> updateTimes {};
    std::copy_n(words.begin(), updateTimes.size(), updateTimes.begin());
    fillDIOPulsedOutputs(*record, ticks, updateTimes);

    if (record->SaveToDatabase(*database, *m_session.Messages))
        show(QStringLiteral("Results saved to database"));
}
