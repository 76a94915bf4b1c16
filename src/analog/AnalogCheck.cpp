#include "AnalogCheck.h"

#include "WidgetAnalogCheckPage.h"
#include "core/Registers.h"
#include "module/DigitalInputs.h"
#include "module/FormZULPulsedOut.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/SafeSlot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <span>

namespace {

constexpr int Channels = zul::reg::AnalogChannelCount;

} // namespace

TAnalogCheck::TAnalogCheck(TSession &session, TZULGeneral &general, TAnalogCheckPage &page,
    TForm_ZULPulsedOut &targetsDialog)
    : m_session(session)
    , m_general(general)
    , m_page(page)
    , m_outputs(session, *page.DigitalOutputs, TDigitalOutputs::AfterFailedRead::ShowOff)
{
    TMessageSink &sink = *session.Messages;
    page.SetShowHandler(sink, [this] { RefreshFormat(); });
    if (page.CopyButton)
        zul::SafeConnect(
            page.CopyButton, &QPushButton::clicked, &page, sink, [this] { CopyToAll(); });
    targetsDialog.AddTargetsCaller(
        page.PulseOutputs.EditTargetsButton, page.PulseOutputs.TargetTexts);
}

void TAnalogCheck::Poll()
{
    ZUL_Modbus &modbus = m_session.Modbus;
    ShowDigitalInputs(modbus, m_page.InputLabels);
    m_outputs.Poll();
    if (m_page.Names().Outputs) {
        std::array<std::int32_t, Channels> values {};
        ReadLongEdits(m_page.ScaledEdits, std::span<std::int32_t>(values));
        TWordArrayDynamic words(Channels);
        std::transform(values.begin(), values.end(), words.begin(),
            [](std::int32_t value) { return static_cast<std::uint16_t>(value); });
        modbus.WriteHoldingRegisters(zul::reg::AnalogValues, Channels, words);
        publishLive(words, true);
    } else {
        bool read = false;
        const TWordArrayDynamic words =
            zul::ReadInputsOrZeros(modbus, zul::reg::AnalogValues, Channels, &read);
        ShowWords(m_page.ScaledTexts, std::span<const std::uint16_t>(words), m_session.HexDisplay);
        if (read)
            publishLive(words, false);
    }
    m_general.ShowInputBlock(m_page.PulseOutputs.CountTexts);
    m_general.ShowHoldingBlock(m_page.PulseOutputs.TargetTexts);
}

void TAnalogCheck::publishLive(const std::vector<std::uint16_t> &words, bool outputs) const
{
    const std::string kind = m_page.Names().Kind;
    std::array<std::uint16_t, Channels> values {};
    std::copy_n(words.begin(), Channels, values.begin());
    zul::LiveSample sample =
        zul::ScaledSample(kind + " Check", kind, values, m_session.Module.scaleCodes(), outputs);
    sample.bands = m_session.LiveBands;
    m_session.PublishLive(sample);
}

void TAnalogCheck::RefreshFormat()
{
    const bool hex = m_session.HexDisplay;
    if (m_page.Names().Outputs) {
        std::array<std::int32_t, Channels> values {};
        ReadLongEdits(m_page.ScaledEdits, std::span<std::int32_t>(values));
        ShowLongs(m_page.ScaledEdits, std::span<const std::int32_t>(values), hex);
    }
    RedisplayShorts(m_page.PulseOutputs.TargetTexts, hex);
}

void TAnalogCheck::CopyToAll()
{
    for (QLineEdit *edit : m_page.ScaledEdits)
        edit->setText(m_page.CopyFrom->text());
}
