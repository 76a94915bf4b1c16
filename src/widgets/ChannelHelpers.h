// Helpers shared by the DIO, AIN and AOT pages that touch only widgets: loading radio rows from
// configuration codes, showing register values in labels and edits in the chosen number format,
// reading numbers back with range checks, enabling a group of controls, and scaling a form for
// the screen's pixel density. The register traffic lives in TZULGeneral.
#pragma once

#include "core/NumberFormat.h"

#include <QAbstractButton>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <span>
#include <tuple>

class QWidget;
class TRadioMatrix;

// Column (0-based) of a range row that a scale code selects: the low two bits 1, 2 or 3; -1 for
// "not set" (0, 0xFFFF, or low bits 0).
int RangeColumn(std::uint16_t code);
// Column of a source/sink row: high byte 1 (source) or 2 (sink); -1 otherwise.
int SourceSinkColumn(std::uint16_t code);

// Rows 0..count-1 of a matrix from the channels' codes: the range columns, or (source, sink).
void SetRangeButtons(TRadioMatrix &matrix, std::span<const std::uint16_t> codes, int count);
void SetSourceSinkButtons(TRadioMatrix &matrix, std::span<const std::uint16_t> codes, int count);

// Showing values: controls is any indexable collection of QLabel* or QLineEdit*; element n shows
// value n.
namespace zul::detail {

template<typename Controls, typename Value, typename Format>
void showValues(const Controls &controls, std::span<const Value> values, Format format)
{
    const std::size_t count = std::min<std::size_t>(std::size(controls), values.size());
    for (std::size_t n = 0; n < count; ++n)
        controls[n]->setText(QString::fromStdString(format(values[n])));
}

template<typename Controls, typename Value, typename Parse>
bool readValues(const Controls &controls, std::span<Value> values, Parse parse)
{
    bool allValid = true;
    const std::size_t count = std::min<std::size_t>(std::size(controls), values.size());
    for (std::size_t n = 0; n < count; ++n) {
        const auto parsed = parse(controls[n]->text().toStdString());
        allValid = allValid && parsed.has_value();
        values[n] = parsed.value_or(Value {});
    }
    return allValid;
}

} // namespace zul::detail

template<typename Controls>
void ShowWords(const Controls &controls, std::span<const std::uint16_t> values, bool hex)
{
    zul::detail::showValues(
        controls, values, [hex](std::uint16_t v) { return zul::formatWord(v, hex); });
}

template<typename Controls>
void ShowSignedWords(const Controls &controls, std::span<const std::int16_t> values, bool hex)
{
    zul::detail::showValues(
        controls, values, [hex](std::int16_t v) { return zul::formatSignedWord(v, hex); });
}

template<typename Controls>
void ShowLongs(const Controls &controls, std::span<const std::int32_t> values, bool hex)
{
    zul::detail::showValues(
        controls, values, [hex](std::int32_t v) { return zul::formatLong(v, hex); });
}

template<typename Controls>
void ShowLongsHex8(const Controls &controls, std::span<const std::int32_t> values, bool hex)
{
    zul::detail::showValues(
        controls, values, [hex](std::int32_t v) { return zul::formatLongHex8(v, hex); });
}

// Reading values: a text that is not a number in range gives 0; every control is still read.
// The word readers answer false when any text was invalid.
template<typename Controls>
bool ReadWordEdits(const Controls &edits, std::span<std::uint16_t> values)
{
    return zul::detail::readValues(
        edits, values, [](const std::string &t) { return zul::parseWord(t); });
}

template<typename Controls>
bool ReadSignedWordEdits(const Controls &edits, std::span<std::int16_t> values)
{
    return zul::detail::readValues(
        edits, values, [](const std::string &t) { return zul::parseSignedWord(t); });
}

template<typename Controls>
void ReadLongEdits(const Controls &edits, std::span<std::int32_t> values)
{
    zul::detail::readValues(
        edits, values, [](const std::string &t) { return zul::parseInteger(t); });
}

template<typename Controls>
void ReadShortEdits(const Controls &edits, std::span<std::uint16_t> values)
{
    zul::detail::readValues(edits, values, [](const std::string &t) {
        return std::optional<std::uint16_t>(zul::parseShortOrZero(t));
    });
}

// Shows again, in the current format, the values that texts show now: a text that is not an
// integer counts as 0 and only its low 16 bits are kept (the check pages' targets on Dec/Hex).
template<typename Controls>
void RedisplayShorts(const Controls &texts, bool hex)
{
    std::array<std::uint16_t, std::tuple_size_v<Controls>> values {};
    ReadShortEdits(texts, std::span<std::uint16_t>(values));
    ShowWords(texts, std::span<const std::uint16_t>(values), hex);
}

// Enables or disables a group box and every control placed directly in it.
void EnableGroupBox(QWidget *group, bool enabled);

// The group box and its direct children, then every button of the matrix.
void EnableGroup(QWidget *group, TRadioMatrix &matrix, bool enabled);

bool IsBlankText(const QString &text);

// Pixel density of the screen at start-up relative to 96 dpi.
double ScreenScaleFactor();
// Grows a form's client size by factor x 1.02 (rounded up) when the factor is not 1.
void ScaleFormToScreen(QWidget *form, double factor = ScreenScaleFactor());
// Moves a window that reaches past its screen's free area back inside it, and shrinks one that
// is larger (never below its minimum size): a window that grows must not run off the screen.
void KeepOnScreen(QWidget *window);
