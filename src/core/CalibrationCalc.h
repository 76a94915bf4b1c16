// The arithmetic behind "Calculate from grid" on the AIN and AOT calibration pages: two
// calibration points per channel give a span and an offset. Qt-free; the calibration pages copy
// their grid texts in and the results back out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zul {

constexpr std::uint16_t SpanUndefined = 0xFFFF; // equal readings or a row out of range

// One channel's calibration: raw = span x value + offset.
struct SpanOffset
{
    std::int32_t span;
    std::int32_t offset;
};

struct CalibrationPoints
{
    std::string rawLow; // integer syntax, valid -32768..32767
    std::string readingLow; // real syntax, valid -128..127
    std::string rawHigh;
    std::string readingHigh;
};

struct CalibrationRow
{
    CalibrationPoints texts; // the inputs, each one that is not a number replaced by "0"
    std::int32_t span = SpanUndefined;
    std::int32_t offset = 0;
    bool valid = false; // false: out of range, the channel goes into the message
};

CalibrationRow calcCalibrationRow(const CalibrationPoints &points);

struct CalibrationGrid
{
    std::vector<CalibrationRow> rows; // in channel order
    std::string message; // empty when every row was valid
};

CalibrationGrid calcCalibrationGrid(const std::vector<CalibrationPoints> &rows);

// "Data out of range: Channel " and " n" for each channel (1-based, increasing); empty for none.
std::string outOfRangeMessage(const std::vector<int> &channels);

} // namespace zul
