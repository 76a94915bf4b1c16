#include "core/CalibrationCalc.h"

#include <gtest/gtest.h>

using namespace zul;

namespace {

CalibrationRow row(
    const char *rawLow, const char *readingLow, const char *rawHigh, const char *readingHigh)
{
    return calcCalibrationRow({ rawLow, readingLow, rawHigh, readingHigh });
}

} // namespace

TEST(CalibrationCalc, RisingAndFallingCharacteristics)
{
    const auto rising = row("1000", "0", "21000", "20");
    EXPECT_TRUE(rising.valid);
    EXPECT_EQ(rising.span, 1000);
    EXPECT_EQ(rising.offset, 1000);

    // The span is shown positive, the offset keeps the signed slope.
    const auto falling = row("21000", "0", "1000", "20");
    EXPECT_TRUE(falling.valid);
    EXPECT_EQ(falling.span, 1000);
    EXPECT_EQ(falling.offset, 21000);

    const auto fallingShifted = row("21000", "4", "1000", "20"); // span -1250
    EXPECT_EQ(fallingShifted.span, 1250);
    EXPECT_EQ(fallingShifted.offset, 21000 + 5000);
}

TEST(CalibrationCalc, HalvesToEven)
{
    EXPECT_EQ(row("0", "0", "5", "2").span, 2); // 2.5
    // offset = 100 - round(2 * 0.75) = 100 - round(1.5) = 98
    EXPECT_EQ(row("100", "0.75", "104", "2.75").offset, 98);
}

TEST(CalibrationCalc, ReadingsAreSinglePrecisionSoHalfWayResultsMatchOtherStations)
{
    // 0.1 and 2.1 are 0.100000001 and 2.09999990 in single precision: 4609 / 1.9999999 is just
    // above 2304.5, where double readings give exactly 2304.5 and round down to 2304 / 32.
    const auto span = row("262", "0.1", "4871", "2.1");
    EXPECT_EQ(span.span, 2305);
    EXPECT_EQ(span.offset, 31);
    // 25 x 0.100000001 is just above 2.5: offset 57 - 3, not 57 - 2.
    const auto offset = row("57", "0.1", "82", "1.1");
    EXPECT_EQ(offset.span, 25);
    EXPECT_EQ(offset.offset, 54);
}

TEST(CalibrationCalc, OffsetUsesTheRoundedSpan)
{
    // span 1000 / 3 = 333.3 -> 333; offset 100 - round(333 * 2.5 = 832.5) = -732, where the
    // unrounded span would give 100 - round(833.3) = -733.
    const auto rising = row("100", "2.5", "1100", "5.5");
    EXPECT_TRUE(rising.valid);
    EXPECT_EQ(rising.span, 333);
    EXPECT_EQ(rising.offset, -732);

    // Falling: the signed rounded span -333 gives 1100 - round(-832.5) = 1932 (not 1933).
    const auto falling = row("1100", "2.5", "100", "5.5");
    EXPECT_EQ(falling.span, 333);
    EXPECT_EQ(falling.offset, 1932);
}

TEST(CalibrationCalc, EqualReadingsGiveUndefinedSpan)
{
    const auto equal = row("500", "1.5", "800", "1.5");
    EXPECT_TRUE(equal.valid);
    EXPECT_EQ(equal.span, 65535);
    EXPECT_EQ(equal.offset, 500 - 98302); // 65535 * 1.5 = 98302.5 -> 98302
}

TEST(CalibrationCalc, BoundsAreInclusive)
{
    EXPECT_TRUE(row("-32768", "-128", "32767", "127").valid);
    EXPECT_FALSE(row("-32769", "0", "100", "1").valid);
    EXPECT_FALSE(row("0", "0", "32768", "1").valid);
    EXPECT_FALSE(row("0", "-128.01", "100", "1").valid);
    EXPECT_FALSE(row("0", "0", "100", "127.01").valid);
    EXPECT_FALSE(row("0", "128", "100", "1").valid);
    const auto outOfRange = row("0", "0", "100", "200");
    EXPECT_FALSE(outOfRange.valid);
    EXPECT_EQ(outOfRange.span, 65535);
    EXPECT_EQ(outOfRange.offset, 0);
    EXPECT_EQ(outOfRange.texts.readingHigh, "200"); // a number, only out of range: kept
}

TEST(CalibrationCalc, TextsThatAreNoNumberBecomeZero)
{
    const auto corrected = row("abc", "0", "2000", "x1");
    EXPECT_EQ(corrected.texts.rawLow, "0");
    EXPECT_EQ(corrected.texts.readingLow, "0");
    EXPECT_EQ(corrected.texts.rawHigh, "2000");
    EXPECT_EQ(corrected.texts.readingHigh, "0");
    // Both readings are now 0: the equal-readings rule applies.
    EXPECT_TRUE(corrected.valid);
    EXPECT_EQ(corrected.span, 65535);
    EXPECT_EQ(corrected.offset, 0);

    const auto hex = row("$10", " 1", "1.5", "3"); // raw boxes take integers only
    EXPECT_EQ(hex.texts.rawLow, "$10");
    EXPECT_EQ(hex.texts.rawHigh, "0");
    EXPECT_EQ(hex.span, 8); // (0 - 16) / 2, shown positive
    EXPECT_EQ(hex.offset, 16 + 8);
}

TEST(CalibrationCalc, SpanTooLargeForThirtyTwoBitsIsOutOfRange)
{
    const auto tiny = row("-32768", "0", "32767", "1e-6");
    EXPECT_FALSE(tiny.valid);
    EXPECT_EQ(tiny.span, 65535);
    EXPECT_EQ(tiny.offset, 0);
    // Span fits but span * reading low does not leave a 32-bit offset.
    EXPECT_FALSE(row("0", "100", "32767", "100.00002").valid);
}

TEST(CalibrationCalc, GridMessageNamesChannelsInOrder)
{
    std::vector<CalibrationPoints> rows(8, CalibrationPoints { "0", "0", "1000", "10" });
    EXPECT_EQ(calcCalibrationGrid(rows).message, "");

    rows[1].readingLow = "200";
    rows[6].rawHigh = "40000";
    const auto grid = calcCalibrationGrid(rows);
    ASSERT_EQ(grid.rows.size(), 8u);
    EXPECT_FALSE(grid.rows[1].valid);
    EXPECT_FALSE(grid.rows[6].valid);
    EXPECT_TRUE(grid.rows[0].valid);
    EXPECT_EQ(grid.rows[0].span, 100);
    EXPECT_EQ(grid.message, "Data out of range: Channel  2 7");
}
