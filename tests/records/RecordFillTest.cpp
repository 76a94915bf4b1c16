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
