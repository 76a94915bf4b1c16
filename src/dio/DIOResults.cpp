#include "DIOResults.h"

#include "DIOCore.h"
#include "WidgetDIOResultsPage.h"
#include "core/PageTable.h"
#include "core/Registers.h"
#include "module/ResultsSave.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/ResultsTargetLabel.h"
#include "widgets/SafeSlot.h"
#include "widgets/WidgetPassFailGrid.h"

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
        [this] { SaveDIOResults({}); });
    page.ResultsTargetLabel->SetSource([&session] { return DescribeSaveTarget(session); });
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

bool TDIOResults::SaveDIOResults(const TSaveContext &who)
{
    m_page.ResultsTargetLabel->Refresh(); // the alias is read again by this save
    return SaveModuleResults(
        m_session, m_general, m_session.RecordOf<TDIOConfigRecord>(zul::DIOList),
        m_page.DIOResultsDateBox->date(),
        [this](TConfigRecord &base, const RecordIdentity &identity) {
            auto &record = static_cast<TDIOConfigRecord &>(base);
            bool read = false;
            const TWordArrayDynamic words = zul::ReadInputsOrZeros(
                m_session.Modbus, zul::reg::UpdateTimes, zul::reg::PulseOutputCount, &read);
            if (!read)
                return false;
            const DIOResultTicks ticks = Ticks();
            fillDIOPassFailAndIdentity(record, ticks, identity);
            fillDIOPulseInputs(record, ticks, m_maxRateWords);
            std::array<std::uint16_t, 8> updateTimes {};
            std::copy_n(words.begin(), updateTimes.size(), updateTimes.begin());
            fillDIOPulsedOutputs(record, ticks, updateTimes);
            return true;
        },
        who);
}
