#include "DIOResults.h"

#include "DIOCore.h"
#include "ResultsTargetLabel.h"
#include "WidgetDIOResultsPage.h"
#include "core/Registers.h"
#include "module/BusyCursor.h"
#include "module/SafeSlot.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetPassFailGrid.h"
#include "module/WidgetStatusPanel.h"
#include "records/ResultsTarget.h"
#include "records/ZUL_Database.h"

#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <array>

TDIOResults::TDIOResults(TSession &session, TZULGeneral &general, TDIOResultsPage &page,
    const std::array<std::uint16_t, 4> &maxRateWords)
    : m_session(session)
    , m_general(general)
    , m_page(page)
    , m_maxRateWords(maxRateWords)
{
    zul::SafeConnect(page.Button1, &QPushButton::clicked, &page, *session.Messages,
        [this] { SaveDIOResults(); });
    page.ResultsTargetLabel->SetSource([&session] {
        return session.ResultsDatabase ? describeResultsTarget(session.ResultsDatabase->paths())
                                       : QStringLiteral("no results database");
    });
}

void TDIOResults::ResetDate()
{
    m_page.DIOResultsDateBox->setDate(QDate::currentDate());
}

DIOResultTicks TDIOResults::Ticks() const
{
    DIOResultTicks ticks;
    const TPassFailGrid &grid = *m_page.DIOResultGrid;
    grid.Ticks(TDIOResultsPage::DigitalInputs, ticks.digitalInputs);
    grid.Ticks(TDIOResultsPage::DigitalOutputs, ticks.digitalOutputs);
    grid.Ticks(TDIOResultsPage::PulsedOutputs, ticks.pulsedOutputs);
    grid.Ticks(TDIOResultsPage::PulsedOutCounts, ticks.pulsedOutCounts);
    grid.Ticks(TDIOResultsPage::PulseInputCount, ticks.pulseInputCount);
    grid.Ticks(TDIOResultsPage::PulseInputRate, ticks.pulseInputRate);
    return ticks;
}

void TDIOResults::SaveDIOResults()
{
    TBusyCursor busy;
    m_page.ResultsTargetLabel->Refresh(); // the alias is read again by this save
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
        zul::ReadInputsOrZeros(m_session.Modbus, zul::reg::UpdateTimes, zul::reg::PulseOutputCount);
    std::array<std::uint16_t, 8> updateTimes {};
    std::copy_n(words.begin(), updateTimes.size(), updateTimes.begin());
    fillDIOPulsedOutputs(*record, ticks, updateTimes);

    if (record->SaveToDatabase(*database, *m_session.Messages))
        show(QStringLiteral("Results saved to database"));
}
