// Helpers shared by the DIO, AIN and AOT pages that touch only widgets: loading radio rows from
// configuration codes, showing register values in labels and edits in the chosen number format,
// reading numbers back with range checks, enabling a group of controls, and scaling a form for
// the screen's pixel density. The register traffic lives in TZULGeneral.
#pragma once

#include "NumberFormat.h"

#include <QAbstractButton>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <span>

class QWidget;

// Column (0-based) of a range row that a scale code selects: the low two bits 1, 2 or 3; -1 for
// "not set" (0, 0xFFFF, or low bits 0).
int RangeColumn(std::uint16_t code);
// Column of a source/sink row: high byte 1 (source) or 2 (sink); -1 otherwise.
int SourceSinkColumn(std::uint16_t code);

// Checks the button of `column` in a row of radio buttons, or unchecks the whole row when column
// is -1 (which exclusive rows do not allow by clicking).
void CheckRowColumn(std::span<QAbstractButton *const> row, int column);

namespace zul::detail {

template<typename Row>
void setRowFromColumn(const Row &row, int column)
{
    std::array<QAbstractButton *, 8> buttons {};
    const std::size_t size = std::min(std::size(row), buttons.size());
    std::copy_n(std::begin(row), size, buttons.begin());
    CheckRowColumn(std::span<QAbstractButton *const>(buttons.data(), size), column);
}

} // namespace zul::detail

// rows: indexable rows of three radio buttons (one per channel); codes: the channels' scale codes.
template<typename Rows>
void SetRangeButtons(const Rows &rows, std::span<const std::uint16_t> codes, int count)
{
    for (int n = 0; n < count && n < static_cast<int>(codes.size()); ++n)
        zul::detail::setRowFromColumn(rows[n], RangeColumn(codes[n]));
}

// rows: indexable rows of two radio buttons (source, sink).
template<typename Rows>
void SetSourceSinkButtons(const Rows &rows, std::span<const std::uint16_t> codes, int count)
{
    for (int n = 0; n < count && n < static_cast<int>(codes.size()); ++n)
        zul::detail::setRowFromColumn(rows[n], SourceSinkColumn(codes[n]));
}

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

// Enables or disables a group box and every control placed directly in it.
void EnableGroupBox(QWidget *group, bool enabled);

// The group box and its direct children, then each control of the rows x columns grid.
template<typename Grid>
void EnableGroup(QWidget *group, const Grid &grid, int rows, bool enabled, int columns)
{
    EnableGroupBox(group, enabled);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            grid[r][c]->setEnabled(enabled);
}

bool IsBlankText(const QString &text);

// Pixel density of the screen at start-up relative to 96 dpi.
double ScreenScaleFactor();
// Grows a form's client size by factor x 1.02 (rounded up) when the factor is not 1.
void ScaleFormToScreen(QWidget *form, double factor = ScreenScaleFactor());
