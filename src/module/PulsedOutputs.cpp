#include "PulsedOutputs.h"

#include "FormZULPulsedOut.h"
#include "Session.h"
#include "UnitZUL_General.h"
#include "WidgetPoutSetupPage.h"
#include "core/Registers.h"
#include "widgets/BusyCursor.h"
#include "widgets/SafeSlot.h"
#include "widgets/WidgetTimePicker.h"

#include <QPushButton>

TPulsedOutputs::TPulsedOutputs(
    TSession &session, TZULGeneral &general, TPoutSetupPage &page, QWidget *dialogOwner)
    : QObject(&page)
    , m_session(session)
    , m_general(general)
    , m_page(page)
    , m_dialog(new TForm_ZULPulsedOut(session, dialogOwner))
{
    TMessageSink &sink = *session.Messages;
    zul::SafeConnect(page.PoutSetupReadZULButton, &QPushButton::clicked, this,
        &TPulsedOutputs::ReadUpdateTimes, sink);
    zul::SafeConnect(page.PoutSetupSaveButton, &QPushButton::clicked, this,
        &TPulsedOutputs::SaveUpdateTimes, sink);
}

TPulsedOutputs::~TPulsedOutputs()
{
    delete m_dialog;
}

TForm_ZULPulsedOut &TPulsedOutputs::TargetsDialog()
{
    return *m_dialog;
}

void TPulsedOutputs::ReadUpdateTimes()
{
    TBusyCursor busy;
    if (!m_general.CheckModule(true))
        return;
    const TWordArrayDynamic words = zul::ReadHoldingsOrZeros(
        m_session.Modbus, zul::reg::UpdateTimes, zul::reg::PulseOutputCount);
    for (int n = 0; n < zul::reg::PulseOutputCount; ++n)
        SetPickerTimeWord(m_page.UpdateTimePickers[n], words[n]);
}

void TPulsedOutputs::SaveUpdateTimes()
{
    TWordArrayDynamic words(zul::reg::PulseOutputCount);
    for (int n = 0; n < zul::reg::PulseOutputCount; ++n)
        words[n] = PickerTimeWord(m_page.UpdateTimePickers[n]);

    TBusyCursor busy;
    if (!m_general.CheckModule(true))
        return;
    // Only the store command tells whether the module took the times.
    m_session.Modbus.WriteHoldingRegisters(
        zul::reg::UpdateTimes, zul::reg::PulseOutputCount, words);
    if (!m_session.Modbus.ExecuteCommand(zul::reg::StoreUpdateTimes))
        m_session.Message(QStringLiteral("Error saving update times"));
}
