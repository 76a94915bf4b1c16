#include "records/RecordFill.h"

#include <gtest/gtest.h>

namespace {

DIOResultTicks allTicked()
{
    DIOResultTicks ticks;
    for (auto *column : { &ticks.digitalInputs, &ticks.digitalOutputs })
        column->fill(true);
    for (auto *column : { &ticks.pulsedOutputs, &ticks.pulsedOutCounts })
        column->fill(true);
    ticks.pulseInputCount.fill(true);
    ticks.pulseInputRate.fill(true);
    return ticks;
}

const RecordIdentity identity { "12345", QDateTime(QDate(2024, 2, 29), QTime(0, 0)), "B", "2.10" };

} // namespace

TEST(RecordFill, FailureTextListsEveryUntickedChannel)
{
    std::array<bool, 16> inputs {};
    inputs.fill(true);
    inputs[2] = inputs[11] = false;
    EXPECT_EQ(failedChannelsText(inputs), "Failed: 3 12 ");

    std::array<bool, 8> none {};
    EXPECT_EQ(failedChannelsText(none), "Failed: 1 2 3 4 5 6 7 8 ");
}

TEST(RecordFill, DioPassFailSetsEveryGroupAndClearsEarlierComments)
{
    TDIOConfigRecord record;
    DIOResultTicks ticks = allTicked();
    ticks.digitalOutputs[15] = false; // digital output 16 alone
    ticks.pulsedOutCounts[0] = ticks.pulsedOutCounts[7] = false;
    fillDIOPassFailAndIdentity(record, ticks, identity);

    EXPECT_TRUE(record.DinPass);
    EXPECT_EQ(record.DinComments, "");
    EXPECT_FALSE(record.DoutPass);
    EXPECT_EQ(record.DoutComments, "Failed: 16 ");
    EXPECT_TRUE(record.PoutPass);
    EXPECT_FALSE(record.PoutCountPass);
    EXPECT_EQ(record.PoutCountComments, "Failed: 1 8 ");
    EXPECT_EQ(record.SerialNo, "12345");
    EXPECT_EQ(record.TestDate, identity.testDate);
    EXPECT_EQ(record.BoardRev, "B");
    EXPECT_EQ(record.FirmwareRev, "2.10");

    // The same record saved again once everything passes must not keep the earlier texts.
    fillDIOPassFailAndIdentity(record, allTicked(), identity);
    EXPECT_TRUE(record.DoutPass && record.PoutCountPass);
    EXPECT_TRUE(record.DoutComments.isEmpty());
    EXPECT_TRUE(record.PoutCountComments.isEmpty());
}

TEST(RecordFill, DioPulseInputsStoreTheRawRateWords)
{
    TDIOConfigRecord record;
    DIOResultTicks ticks;
    ticks.pulseInputCount = { true, false, true, false };
    ticks.pulseInputRate = { false, false, true, true };
    // 1000 shown without "Div 10" is the word 60000; 12.50 Hz is 750.
    const std::array<std::uint16_t, 4> words { 60000, 750, 60013, 0 };
    fillDIOPulseInputs(record, ticks, words);
    EXPECT_EQ(record.PinMaxRates, (std::array<QString, 4> { "60000", "750", "60013", "0" }));
    EXPECT_EQ(record.PinCountPass, ticks.pulseInputCount);
    EXPECT_EQ(record.PinRatePass, ticks.pulseInputRate);
}

TEST(RecordFill, DioPulsedOutputsShowUpdateTimesAsHms)
{
    TDIOConfigRecord record;
    DIOResultTicks ticks;
    ticks.pulsedOutputs = { true, false, false, false, false, false, false, true };
    ticks.pulsedOutCounts = { false, true, false, false, false, false, true, false };
    const std::array<std::uint16_t, 8> words { 0xFFFF, 31, 0, 1875, 156, 4688, 18750, 15 };
    fillDIOPulsedOutputs(record, ticks, words);
    EXPECT_EQ(record.PoutTimes,
        (std::array<QString, 8> {
            "0:34:57", "0:0:1", "0:0:0", "0:1:0", "0:0:5", "0:2:30", "0:10:0", "0:0:0" }));
    EXPECT_EQ(record.PoutChannelPass, ticks.pulsedOutputs);
    EXPECT_EQ(record.PoutCountChannelPass, ticks.pulsedOutCounts);
}

namespace {

zul::ResultsGrid analogGrid()
{
    return zul::ResultsGrid(
        zul::ResultsGridColumns, std::vector<std::string>(zul::ResultsGridRows));
}

void fileAnalogTest(zul::ResultsGrid &grid, std::size_t column, const std::string &mark,
    const std::string &stimulus, const std::string &verdict)
{
    grid[column][0] = mark;
    grid[column][1] = stimulus;
    grid[column][10] = verdict;
}

// Word n is 100 x (its group of eight, from 1) + its channel, so a mixed-up group shows.
template<std::size_t N>
std::array<std::uint16_t, N> numberedWords()
{
    std::array<std::uint16_t, N> words {};
    for (std::size_t n = 0; n < N; ++n)
        words[n] = static_cast<std::uint16_t>(100 * (n / 8 + 1) + n % 8 + 1);
    return words;
}

} // namespace

TEST(RecordFill, AnalogGridColumnsBecomeTestsWithoutMarkAndVerdictRows)
{
    zul::ResultsGrid grid = analogGrid();
    for (std::size_t column = 0; column < grid.size(); ++column) {
        for (std::size_t row = 0; row < grid[column].size(); ++row)
            grid[column][row] = std::to_string(column) + ":" + std::to_string(row);
    }
    const std::array<QString, 8> scales { "a", "b", "c", "d", "e", "f", "g", "h" };
    TAINConfigRecord record;
    fillAnalogGridAndConfig(record, grid, "SE 1-8", scales);
    EXPECT_EQ(record.TestGrid[0][0], "1:1");
    EXPECT_EQ(record.TestGrid[0][8], "1:9");
    EXPECT_EQ(record.TestGrid[5][3], "6:4");
    EXPECT_EQ(record.TestGrid[11][8], "12:9");
    EXPECT_EQ(record.AnalogConfig, "SE 1-8");
    EXPECT_EQ(record.ScaleTexts, scales);

    // A short grid empties the missing cells instead of keeping the earlier save's values.
    fillAnalogGridAndConfig(
        record, zul::ResultsGrid(3, std::vector<std::string>(4, "x")), "", scales);
    EXPECT_EQ(record.TestGrid[1][2], "x");
    EXPECT_EQ(record.TestGrid[1][3], "");
    EXPECT_EQ(record.TestGrid[11][8], "");
}

TEST(RecordFill, AnalogTestKindsAndARefillClearsFailureTexts)
{
    zul::ResultsGrid grid = analogGrid();
    fileAnalogTest(grid, 1, "V-SE", "5", "FAIL");
    fileAnalogTest(grid, 2, "I-D", "12", "PASS");
    fileAnalogTest(grid, 3, "V-SE", "10", "FAIL");
    fileAnalogTest(grid, 4, "I", "8000", "FAIL");
    TAINConfigRecord ain;
    fillAINAnalogTests(ain, grid);
    EXPECT_TRUE(!ain.SeVinPass && ain.SeVinTested);
    EXPECT_EQ(ain.SeVinComments, "Failed:  5 10");
    EXPECT_TRUE(!ain.DVinPass && !ain.DVinTested);
    EXPECT_EQ(ain.DVinComments, "Differential Voltage input not tested. ");
    EXPECT_EQ(ain.SeIinComments, "Single-ended current input not tested. ");
    EXPECT_TRUE(ain.DIinPass && ain.DIinTested);
    EXPECT_EQ(ain.DIinComments, "");
    TAOTConfigRecord aot;
    fillAOTAnalogTests(aot, grid);
    EXPECT_TRUE(!aot.VoutTested && !aot.VoutPass);
    EXPECT_EQ(aot.VoutComments, "Voltage output not tested. ");
    EXPECT_TRUE(aot.IoutTested && !aot.IoutPass);
    EXPECT_EQ(aot.IoutComments, "Failed:  8000");

    // The retest passes: the same records must lose the failure texts.
    grid[1][10] = grid[3][10] = grid[4][10] = "PASS";
    fillAINAnalogTests(ain, grid);
    EXPECT_TRUE(ain.SeVinPass && ain.SeVinComments.isEmpty());
    fillAOTAnalogTests(aot, grid);
    EXPECT_TRUE(aot.IoutPass && aot.IoutComments.isEmpty());

    fillAINAnalogTests(ain, analogGrid());
    EXPECT_EQ(ain.DIinComments, "Differential current input not tested. ");
    fillAOTAnalogTests(aot, analogGrid());
    EXPECT_EQ(aot.IoutComments, "Current source not tested. ");
}

TEST(RecordFill, StoredCalibrationWordOrderAndOffsetSign)
{
    auto ainWords = numberedWords<48>();
    ainWords[7] = 0xFFFF; // spans are unsigned
    ainWords[8] = 0xFFF6; // -10
    ainWords[47] = 0x8000; // -32768
    TAINConfigRecord ain;
    fillAINStoredCalibration(ain, ainWords);
    EXPECT_EQ(
        ain.VinSpans, (std::array<std::uint16_t, 8> { 101, 102, 103, 104, 105, 106, 107, 0xFFFF }));
    EXPECT_EQ(
        ain.VinOffsets, (std::array<std::int16_t, 8> { -10, 202, 203, 204, 205, 206, 207, 208 }));
    EXPECT_EQ(ain.SeIinSpans[0], 301);
    EXPECT_EQ(ain.SeIinOffsets[7], 408);
    EXPECT_EQ(ain.DIinSpans[0], 501);
    EXPECT_EQ(ain.DIinOffsets[7], -32768);

    auto aotWords = numberedWords<32>();
    aotWords[15] = 0xFF38; // -200
    TAOTConfigRecord aot;
    fillAOTStoredCalibration(aot, aotWords);
    EXPECT_EQ(aot.VoltSpans[7], 108);
    EXPECT_EQ(aot.VoltOffsets[0], 201);
    EXPECT_EQ(aot.VoltOffsets[7], -200);
    EXPECT_EQ(
        aot.CurrSpans, (std::array<std::uint16_t, 8> { 301, 302, 303, 304, 305, 306, 307, 308 }));
    EXPECT_EQ(
        aot.CurrOffsets, (std::array<std::int16_t, 8> { 401, 402, 403, 404, 405, 406, 407, 408 }));
}
