#include "DIOCheck.h"

#include "DIOCore.h"
#include "FormZULPulsedOut.h"
#include "WidgetDIOCheckPage.h"
#include "module/ChannelHelpers.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <array>
#include <span>
#include <vector>

using namespace zul::dio;

TDIOCheck::TDIOCheck(
    TSession &session, TZULGeneral &general, TDIOCheckPage &page, TForm_ZULPulsedOut &targetsDialog)
    : m_session(session)
    , m_general(general)
    , m_page(page)
{
    TMessageSink &sink = *session.Messages;
    page.SetShowHandler(sink, [this] { DIOCheckShow(); });
    zul::SafeConnect(page.DOUTEditCheckBox, &QCheckBox::toggled, &page, sink,
        [this] { DOUTEditCheckBoxClick(); });
    zul::SafeConnect(
        page.DOUTSendBut, &QPushButton::clicked, &page, sink, [this] { SendOutputs(); });
    targetsDialog.AddTargetsCaller(page.DIOCheckEditButton, page.PulseOutTargetTexts,
        TForm_ZULPulsedOut::CallerRole::Fallback);
}

void TDIOCheck::DIOCheckShow()
{
    std::array<std::uint16_t, PulseOutputCount> targets {};
    ReadShortEdits(m_page.PulseOutTargetTexts, std::span<std::uint16_t>(targets));
    ShowWords(
        m_page.PulseOutTargetTexts, std::span<const std::uint16_t>(targets), m_session.HexDisplay);
}

void TDIOCheck::PollDIOCheck()
{
    ZUL_Modbus &modbus = m_session.Modbus;
    const bool hex = m_session.HexDisplay;

    std::vector<bool> bits(PointCount, false);
    if (!modbus.ReadInputBits(Inputs, PointCount, bits))
        bits.assign(PointCount, false);
    for (int n = 0; n < PointCount; ++n)
        m_page.InputLabels[n]->setEnabled(bits[n]);

    // While "Edit" is ticked the technician's choice stays until it is sent. After a failed coil
    // read the radios are left as they were: the booleans would still hold the inputs, and
    // showing those as outputs would mislead ("Modbus error" tells what happened).
    if (!m_page.DOUTEditCheckBox->isChecked() && modbus.ReadCoilBits(Coils, PointCount, bits)) {
        for (int n = 0; n < PointCount; ++n) {
            const QSignalBlocker on(m_page.OutputRadios[n][TDIOCheckPage::ON]);
            const QSignalBlocker off(m_page.OutputRadios[n][TDIOCheckPage::OFF]);
            m_page.OutputRadios[n][bits[n] ? TDIOCheckPage::ON : TDIOCheckPage::OFF]->setChecked(
                true);
        }
    }

    const TWordArrayDynamic countWords =
        zul::ReadInputsOrZeros(modbus, PulseInCounts, 2 * PulseInputCount);
    std::array<std::int32_t, PulseInputCount> counts {};
    for (int n = 0; n < PulseInputCount; ++n)
        counts[n] = pulseCount32(countWords[2 * n], countWords[2 * n + 1]);
    ShowLongsHex8(m_page.PulseInCountTexts, std::span<const std::int32_t>(counts), hex);

    const TWordArrayDynamic rates = zul::ReadInputsOrZeros(modbus, PulseInRates, PulseInputCount);
    ShowWords(m_page.PulseInRateTexts, std::span<const std::uint16_t>(rates), hex);

    m_general.ShowInputBlock(m_page.PulseOutCountTexts);
    m_general.ShowHoldingBlock(m_page.PulseOutTargetTexts);
}

void TDIOCheck::DOUTEditCheckBoxClick()
{
    EnableGroup(m_page.DigitalOutputsGroup, m_page.OutputRadios, PointCount,
        m_page.DOUTEditCheckBox->isChecked(), 2);
}

void TDIOCheck::SendOutputs()
{
    std::vector<bool> bits(PointCount);
    for (int n = 0; n < PointCount; ++n)
        bits[n] = m_page.OutputRadios[n][TDIOCheckPage::ON]->isChecked();
    m_session.Modbus.WriteCoilBits(Coils, PointCount, bits);
}
