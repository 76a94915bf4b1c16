#include "UnitZUL_DIO.h"

#include "DIOCore.h"
#include "DIOPlans.h"
#include "DIORun.h"
#include "WidgetDIOCheckPage.h"
#include "WidgetDIOResultsPage.h"
#include "WidgetDIOSetupPage.h"
#include "core/Registers.h"
#include "module/PulsedOutputs.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/BusyCursor.h"
#include "widgets/SafeSlot.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>

using namespace zul::dio;

namespace {

// The kind's plans are listed from start-up, before a module of the kind connects. The kind
// list (KindFactories) names this file's factory, so this file is always linked in with it.
[[maybe_unused]] const bool PlansRegistered = (zul::dio::registerPlans(), true);

} // namespace

TKindPlugin CreateDIOKind(TKindContext &context)
{
    auto *setup = new TDIOSetupPage;
    auto *check = new TDIOCheckPage;
    auto *results = new TDIOResultsPage;
    return { { { zul::DIOSetupPage, setup }, { zul::DIOCheckPage, check },
                 { zul::DIOResultsPage, results } },
        std::make_unique<TZULDIO>(context, TDIOPages { *setup, *check, *results }), &DIORun };
}

TZULDIO::TZULDIO(TKindContext &context, const TDIOPages &pages)
    : m_session(context.Session)
    , m_general(context.General)
    , m_host(context.Host)
    , m_setup(pages.Setup)
    , m_pulsedOutputs(context.PulsedOutputs)
    , m_check(context.Session, context.General, pages.Check, m_pulsedOutputs.TargetsDialog())
    , m_results(context.Session, context.General, pages.Results, MaxRateWords)
{
    TMessageSink &sink = *m_session.Messages;
    m_setup.SetShowHandler(sink, [this] { ReadMaxRates(); });
    zul::SafeConnect(m_setup.DIOSetupReadZULButton, &QPushButton::clicked, &m_setup, sink,
        [this] { ReadMaxRates(); });
    zul::SafeConnect(m_setup.DIOSetupSaveButton, &QPushButton::clicked, &m_setup, sink,
        [this] { SaveMaxRates(); });
}

void TZULDIO::Poll(int pageIndex)
{
    if (pageIndex == zul::DIOCheckPage)
        m_check.PollDIOCheck();
}

void TZULDIO::Refresh(int pageIndex)
{
    if (pageIndex == zul::DIOSetupPage)
        ReadMaxRates();
    else if (pageIndex == zul::DIOCheckPage)
        m_check.DIOCheckShow();
}

void TZULDIO::ResetResultsDate()
{
    m_results.ResetDate();
}

void TZULDIO::DIOSetup()
{
    ResetResultsDate();
    m_host.ShowOnlyPageSet(zul::DIOList);
    m_setup.DIOSetupReadZULButton->setEnabled(true);
    m_setup.DIOSetupSaveButton->setEnabled(true);
    ReadMaxRates();
    m_pulsedOutputs.ReadUpdateTimes();
}

void TZULDIO::ReadMaxRates()
{
    TBusyCursor busy;
    if (!m_general.CheckModule(true))
        return;
    const TWordArrayDynamic words =
        zul::ReadInputsOrZeros(m_session.Modbus, MaxRates, PulseInputCount);
    const QString decimalPoint = QLocale().decimalPoint();
    for (int i = 0; i < PulseInputCount; ++i) {
        MaxRateWords[i] = words[i];
        const MaxRateDisplay shown = maxRateDisplay(words[i]);
        const QSignalBlocker blocker(m_setup.Div10Boxes[i]);
        m_setup.Div10Boxes[i]->setChecked(shown.div10);
        m_setup.MaxRateEdits[i]->setText(
            QString::fromStdString(shown.text).replace(QLatin1Char('.'), decimalPoint));
    }
}

void TZULDIO::SaveMaxRates()
{
    TBusyCursor busy;
    for (int i = 0; i < PulseInputCount; ++i)
        MaxRateWords[i] = maxRateWordFromText(
            m_setup.MaxRateEdits[i]->text().toStdString(), m_setup.Div10Boxes[i]->isChecked());
    if (!m_general.CheckModule(true))
        return;
    // Neither answer is looked at: the read-back shows what the module now holds.
    const TWordArrayDynamic words(MaxRateWords.begin(), MaxRateWords.end());
    m_session.Modbus.WriteHoldingRegisters(MaxRates, PulseInputCount, words);
    m_session.Modbus.ExecuteCommand(zul::reg::StoreScalesAndRates);
    ReadMaxRates();
}
