#include "AINCalibration.h"

#include "AINCore.h"
#include "analog/WidgetCalibrationPage.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/SafeSlot.h"
#include "widgets/WidgetBuilders.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <span>
#include <string>
#include <vector>

namespace {

const TCalibrationInfo Info { zul::ain::LiveRaw, "Error writing offset to module",
    "Error saving calibration data to module", true, zul::ain::calibrationDefaults };

} // namespace

TAINCalibration::TAINCalibration(TSession &session, TZULGeneral &general, TCalibrationPage &page)
    : m_session(session)
    , m_general(general)
    , m_common(session, general, page, Info)
{
    SpecialScaleBut = MakeButton(
        QStringLiteral("SpecialScaleBut"), QStringLiteral("Convert to $0000 - $FFFF"), &page);
    page.AddToCalibrationBox(SpecialScaleBut);
    TMessageSink &sink = *session.Messages;
    page.SetShowHandler(sink, [this] { AINCalRefresh(); });
    zul::SafeConnect(
        SpecialScaleBut, &QPushButton::clicked, &page, sink, [this] { AINCalFullRange(); });
}

void TAINCalibration::AINCalRefresh()
{
    m_common.RefreshFormat();
    std::vector<std::string> lines;
    const zul::ModuleState &module = m_general.Session().Module;
    for (int n = 1; n <= 8; ++n)
        lines.push_back(module.channelText(n));
    SpecialScaleBut->setEnabled(zul::ain::allChannelsAre4To20mA(lines));
}

void TAINCalibration::AINCalFullRange()
{
    TCalibrationPage &page = m_common.Page();
    std::array<std::uint16_t, 8> spans {};
    ReadWordEdits(page.SpanEdits, std::span<std::uint16_t>(spans));
    std::array<std::int16_t, 8> offsets {};
    ReadSignedWordEdits(page.OffsetEdits, std::span<std::int16_t>(offsets));
    std::array<std::int32_t, 8> newSpans {};
    std::array<std::int32_t, 8> newOffsets {};
    for (std::size_t n = 0; n < 8; ++n) {
        const zul::SpanOffset converted = zul::ain::fullRange({ spans[n], offsets[n] });
        newSpans[n] = converted.span;
        newOffsets[n] = converted.offset;
    }
    const bool hex = m_session.HexDisplay;
    ShowLongs(page.SpanEdits, std::span<const std::int32_t>(newSpans), hex);
    ShowLongs(page.OffsetEdits, std::span<const std::int32_t>(newOffsets), hex);
}
