#include "CalibrationCalc.h"

#include "NumberFormat.h"
#include "Rounding.h"

#include <cmath>
#include <limits>
#include <optional>

namespace zul {

namespace {

constexpr double RawMin = -32768;
constexpr double RawMax = 32767;
constexpr double ReadingMin = -128;
constexpr double ReadingMax = 127;

// A box that holds no number is shown as "0" and counts as 0.
template<typename Parse>
double takeValue(std::string &text, Parse parse)
{
    const auto value = parse(text);
    if (!value) {
        text = "0";
        return 0;
    }
    return static_cast<double>(*value);
}

// Readings are held in single precision, as on every other station that calibrates these
// modules; a half-way span or offset then rounds the way theirs does (0.1 is 0.100000001).
double asSingle(double value)
{
    return static_cast<double>(static_cast<float>(value));
}

bool within(double value, double low, double high)
{
    return value >= low && value <= high;
}

bool fitsInt32(double value)
{
    return std::isfinite(value) && value >= std::numeric_limits<std::int32_t>::min()
        && value <= std::numeric_limits<std::int32_t>::max();
}

// The span is shown as its absolute value, so -2^31 does not fit either.
bool fitsSpan(double value)
{
    return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

CalibrationRow calcCalibrationRow(const CalibrationPoints &points)
{
    CalibrationRow row;
    row.texts = points;
    const double rawLow = takeValue(row.texts.rawLow, parseInteger);
    const double readingLow = asSingle(takeValue(row.texts.readingLow, parseReal));
    const double rawHigh = takeValue(row.texts.rawHigh, parseInteger);
    const double readingHigh = asSingle(takeValue(row.texts.readingHigh, parseReal));

    if (!within(rawLow, RawMin, RawMax) || !within(rawHigh, RawMin, RawMax)
        || !within(readingLow, ReadingMin, ReadingMax)
        || !within(readingHigh, ReadingMin, ReadingMax))
        return row;

    const double span = readingHigh == readingLow ? double { SpanUndefined }
                                                  : (rawHigh - rawLow) / (readingHigh - readingLow);
    // Readings a hair apart give a span (and offset) that no 32-bit value holds; such a row is
    // reported like one out of range rather than shown as a wrapped number.
    if (!fitsSpan(span))
        return row;
    const double roundedSpan = static_cast<double>(roundHalfEven(span));
    const double offset = rawLow - static_cast<double>(roundHalfEven(roundedSpan * readingLow));
    if (!fitsInt32(offset))
        return row;

    // The module takes an unsigned span; a falling characteristic keeps the offset of its signed
    // slope.
    row.span = static_cast<std::int32_t>(std::fabs(roundedSpan));
    row.offset = static_cast<std::int32_t>(offset);
    row.valid = true;
    return row;
}

CalibrationGrid calcCalibrationGrid(const std::vector<CalibrationPoints> &rows)
{
    CalibrationGrid grid;
    std::vector<int> outOfRange;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        grid.rows.push_back(calcCalibrationRow(rows[i]));
        if (!grid.rows.back().valid)
            outOfRange.push_back(static_cast<int>(i) + 1);
    }
    grid.message = outOfRangeMessage(outOfRange);
    return grid;
}

std::string outOfRangeMessage(const std::vector<int> &channels)
{
    if (channels.empty())
        return {};
    std::string message = "Data out of range: Channel ";
    for (const int channel : channels)
        message += " " + std::to_string(channel);
    return message;
}

} // namespace zul
