#include "DIOCheck.h"

#include "DIOCore.h"
#include "WidgetDIOCheckPage.h"
#include "module/DigitalInputs.h"
#include "module/FormZULPulsedOut.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/ChannelHelpers.h"

#include <QLabel>
#include <QPushButton>

#include <array>
#include <span>

using namespace zul::dio;

TDIOCheck::TDIOCheck(
    TSession &session, TZULGeneral &general, TDIOCheckPage &page, TForm_ZULPulsedOut &targetsDialog)
    : m_session(session)
    , m_general(general)
    , m_page(page)
    // The module's booleans after a failed coil read are not the outputs; showing them as
    // outputs would mislead ("Modbus error" tells what happened).
    , m_outputs(session, *page.DigitalOutputs, TDigitalOutputs::AfterFailedRead::KeepShown)
{
    page.SetShowHandler(*session.Messages, [this] { DIOCheckShow(); });
    targetsDialog.AddTargetsCaller(page.PulseOutputs.EditTargetsButton,
        page.PulseOutputs.TargetTexts, TForm_ZULPulsedOut::CallerRole::Fallback);
}

void TDIOCheck::DIOCheckShow()
{
    RedisplayShorts(m_page.PulseOutputs.TargetTexts, m_session.HexDisplay);
}

void TDIOCheck::PollDIOCheck()
{
    ZUL_Modbus &modbus = m_session.Modbus;
    const bool hex = m_session.HexDisplay;

    ShowDigitalInputs(modbus, m_page.InputLabels);
    m_outputs.Poll();

    const TWordArrayDynamic countWords =
        zul::ReadInputsOrZeros(modbus, PulseInCounts, 2 * PulseInputCount);
    std::array<std::int32_t, PulseInputCount> counts {};
    for (std::size_t n = 0; n < counts.size(); ++n)
        counts[n] = pulseCount32(countWords[2 * n], countWords[2 * n + 1]);
    ShowLongsHex8(m_page.PulseInCountTexts, std::span<const std::int32_t>(counts), hex);

    const TWordArrayDynamic rates = zul::ReadInputsOrZeros(modbus, PulseInRates, PulseInputCount);
    ShowWords(m_page.PulseInRateTexts, std::span<const std::uint16_t>(rates), hex);

    m_general.ShowInputBlock(m_page.PulseOutputs.CountTexts);
    m_general.ShowHoldingBlock(m_page.PulseOutputs.TargetTexts);
}
