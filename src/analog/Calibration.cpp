#include "Calibration.h"

#include "WidgetCalibrationPage.h"
#include "core/CalibrationCalc.h"
#include "core/Registers.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "widgets/BusyCursor.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/SafeSlot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <span>
#include <vector>

namespace {

constexpr int Channels = zul::reg::AnalogChannelCount;

using Edits = std::array<QLineEdit *, Channels>;

std::string text(const QLineEdit *edit)
{
    return edit->text().toStdString();
}

} // namespace

TCalibration::TCalibration(
    TSession &session, TZULGeneral &general, TCalibrationPage &page, const TCalibrationInfo &info)
    : m_session(session)
    , m_general(general)
    , m_page(page)
    , m_info(info)
{
    TMessageSink &sink = *session.Messages;
    for (int n = 0; n < Channels; ++n) {
        zul::SafeConnect(page.LowCopyButtons[n], &QToolButton::clicked, &page, sink,
            [this, n] { Copy(n, false); });
        zul::SafeConnect(page.HighCopyButtons[n], &QToolButton::clicked, &page, sink,
            [this, n] { Copy(n, true); });
    }
    zul::SafeConnect(
        page.CalcButton, &QPushButton::clicked, &page, sink, [this] { CalcFromGrid(); });
    zul::SafeConnect(page.SaveButton, &QPushButton::clicked, &page, sink, [this] { Save(); });
    zul::SafeConnect(page.ReadButton, &QPushButton::clicked, &page, sink, [this] { Read(); });
    zul::SafeConnect(
        page.DefaultsButton, &QPushButton::clicked, &page, sink, [this] { Defaults(); });
    zul::SafeConnect(
        page.ClearGridButton, &QPushButton::clicked, &page, sink, [this] { ClearGrid(); });
}

void TCalibration::LiveRaw()
{
    bool read = false;
    const TWordArrayDynamic words =
        zul::ReadInputsOrZeros(m_session.Modbus, m_info.LiveRawRegister, Channels, &read);
    if (read) {
        const std::string kind = m_page.Kind();
        std::array<std::uint16_t, Channels> live {};
        std::copy(words.begin(), words.end(), live.begin());
        m_session.PublishLive(zul::RawSample(kind + " Calibration", kind, live));
    }
    std::array<std::int16_t, Channels> raw {};
    std::transform(words.begin(), words.end(), raw.begin(),
        [](std::uint16_t word) { return static_cast<std::int16_t>(word); });
    ShowSignedWords(m_page.LiveRawTexts, std::span<const std::int16_t>(raw), m_session.HexDisplay);
}

void TCalibration::Copy(int channel, bool high)
{
    Edits &target = high ? m_page.RawHighEdits : m_page.RawLowEdits;
    target[channel]->setText(m_page.LiveRawTexts[channel]->text());
}

void TCalibration::CalcFromGrid()
{
    std::vector<zul::CalibrationPoints> points;
    points.reserve(Channels);
    for (int n = 0; n < Channels; ++n)
        points.push_back({ text(m_page.RawLowEdits[n]), text(m_page.ReadingLowEdits[n]),
            text(m_page.RawHighEdits[n]), text(m_page.ReadingHighEdits[n]) });
    const zul::CalibrationGrid grid = zul::calcCalibrationGrid(points);

    std::array<std::int32_t, Channels> spans {};
    std::array<std::int32_t, Channels> offsets {};
    for (int n = 0; n < Channels; ++n) {
        const zul::CalibrationRow &row = grid.rows[static_cast<std::size_t>(n)];
        // Only a cell that was not a number changes: it now shows the 0 it counted as.
        const auto put = [](QLineEdit *edit, const std::string &value) {
            if (edit->text().toStdString() != value)
                edit->setText(QString::fromStdString(value));
        };
        put(m_page.RawLowEdits[n], row.texts.rawLow);
        put(m_page.ReadingLowEdits[n], row.texts.readingLow);
        put(m_page.RawHighEdits[n], row.texts.rawHigh);
        put(m_page.ReadingHighEdits[n], row.texts.readingHigh);
        spans[n] = row.span;
        offsets[n] = row.offset;
    }
    const bool hex = m_session.HexDisplay;
    ShowLongs(m_page.SpanEdits, std::span<const std::int32_t>(spans), hex);
    ShowLongs(m_page.OffsetEdits, std::span<const std::int32_t>(offsets), hex);
    if (!grid.message.empty())
        m_session.Message(QString::fromStdString(grid.message));
}

void TCalibration::Save()
{
    TBusyCursor busy;
    // Spans and offsets written into a module of another kind, plugged in meanwhile, would spoil
    // its calibration; so this write is guarded like every other.
    if (!m_general.CheckModule(true))
        return;
    std::array<std::uint16_t, Channels> spans {};
    if (!ReadWordEdits(m_page.SpanEdits, std::span<std::uint16_t>(spans))) {
        m_session.Message(QStringLiteral("Span data invalid. Nothing written to module"));
        return;
    }
    std::array<std::int16_t, Channels> offsets {};
    if (!ReadSignedWordEdits(m_page.OffsetEdits, std::span<std::int16_t>(offsets))) {
        m_session.Message(QStringLiteral("Offset data invalid. Nothing written to module"));
        return;
    }
    ZUL_Modbus &modbus = m_session.Modbus;
    if (!modbus.WriteHoldingRegisters(
            zul::reg::Spans, Channels, TWordArrayDynamic(spans.begin(), spans.end()))) {
        m_session.Message(QStringLiteral("Error writing span to module"));
        return;
    }
    TWordArrayDynamic offsetWords(Channels);
    std::transform(offsets.begin(), offsets.end(), offsetWords.begin(),
        [](std::int16_t offset) { return static_cast<std::uint16_t>(offset); });
    if (!modbus.WriteHoldingRegisters(zul::reg::Offsets, Channels, offsetWords)) {
        m_session.Message(QString::fromLatin1(m_info.OffsetWriteError));
        return;
    }
    if (!modbus.ExecuteCommand(zul::reg::StoreCalibration))
        m_session.Message(QString::fromLatin1(m_info.StoreError));
}

void TCalibration::Read()
{
    const bool hex = m_session.HexDisplay;
    bool spansRead = false;
    const TWordArrayDynamic spans =
        zul::ReadInputsOrZeros(m_session.Modbus, zul::reg::Spans, Channels, &spansRead);
    bool offsetsRead = false;
    const TWordArrayDynamic offsetWords =
        zul::ReadInputsOrZeros(m_session.Modbus, zul::reg::Offsets, Channels, &offsetsRead);
    std::vector<std::uint16_t> calibration(offsetWords.begin(), offsetWords.end());
    calibration.insert(calibration.end(), spans.begin(), spans.end());
    m_session.Module.calibration.take(calibration, offsetsRead && spansRead);
    // Values the module did not give would be saved back as if they were its calibration; blank
    // fields cannot be saved.
    if (spansRead)
        ShowWords(m_page.SpanEdits, std::span<const std::uint16_t>(spans), hex);
    else
        for (QLineEdit *edit : m_page.SpanEdits)
            edit->clear();
    if (offsetsRead) {
        std::array<std::int16_t, Channels> offsets {};
        std::transform(offsetWords.begin(), offsetWords.end(), offsets.begin(),
            [](std::uint16_t word) { return static_cast<std::int16_t>(word); });
        ShowSignedWords(m_page.OffsetEdits, std::span<const std::int16_t>(offsets), hex);
    } else {
        for (QLineEdit *edit : m_page.OffsetEdits)
            edit->clear();
    }
}

void TCalibration::Defaults()
{
    m_general.ShowModuleStatus();
    const zul::SpanOffset defaults = m_info.Defaults(m_session.Module.hardwareText());
    std::array<std::uint16_t, Channels> spans {};
    spans.fill(static_cast<std::uint16_t>(defaults.span));
    std::array<std::int16_t, Channels> offsets {};
    offsets.fill(static_cast<std::int16_t>(defaults.offset));
    const bool hex = m_session.HexDisplay;
    ShowWords(m_page.SpanEdits, std::span<const std::uint16_t>(spans), hex);
    ShowSignedWords(m_page.OffsetEdits, std::span<const std::int16_t>(offsets), hex);
}

void TCalibration::ClearGrid()
{
    const QString zero = QString::fromStdString(zul::formatLong(0, m_session.HexDisplay));
    for (int n = 0; n < Channels; ++n) {
        m_page.RawLowEdits[n]->setText(zero);
        m_page.RawHighEdits[n]->setText(zero);
        m_page.ReadingLowEdits[n]->setText(QStringLiteral("0"));
        m_page.ReadingHighEdits[n]->setText(QStringLiteral("0"));
    }
}

namespace {

void redisplay(const Edits &edits, bool hex, bool as16Bits, bool isSigned)
{
    for (QLineEdit *edit : edits) {
        // A blank field (after a failed read) has no value: shown as 0 it would pass the checks
        // of "Save to module" and be written as a span of 0.
        if (IsBlankText(edit->text()))
            continue;
        std::int32_t value = zul::parseLongOrZero(edit->text().toStdString());
        if (as16Bits)
            value = isSigned ? static_cast<std::int16_t>(value) : static_cast<std::uint16_t>(value);
        edit->setText(QString::fromStdString(zul::formatLong(value, hex)));
    }
}

} // namespace

void TCalibration::RefreshFormat()
{
    const bool hex = m_session.HexDisplay;
    const bool as16Bits = m_info.RedisplayAs16Bits;
    redisplay(m_page.RawLowEdits, hex, as16Bits, true);
    redisplay(m_page.RawHighEdits, hex, as16Bits, true);
    redisplay(m_page.SpanEdits, hex, as16Bits, false);
    redisplay(m_page.OffsetEdits, hex, as16Bits, true);
}
