#include "core/CommsSettings.h"
#include "core/TimeCodec.h"

#include <gtest/gtest.h>

#include <limits>

using namespace zul;

TEST(TimeCodec, SecondsToWordRoundsHalfToEven)
{
    EXPECT_EQ(secondsToTimeWord(1), 31); // 31.25
    EXPECT_EQ(secondsToTimeWord(2), 62); // 62.5 -> even
    EXPECT_EQ(secondsToTimeWord(6), 188); // 187.5 -> even
    EXPECT_EQ(secondsToTimeWord(MaxTimeSeconds), 65531);
    EXPECT_EQ(secondsToTimeWord(2097.4), 65531); // seconds are rounded first
    EXPECT_EQ(secondsToTimeWord(3600), 0xFFFF);
    EXPECT_EQ(secondsToTimeWord(std::numeric_limits<double>::infinity()), 0xFFFF);
    EXPECT_EQ(secondsToTimeWord(-5), 0);
    EXPECT_EQ(secondsToTimeWord(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(TimeCodec, WordToSecondsAndText)
{
    EXPECT_EQ(timeWordToSeconds(31), 1); // 992 ms
    EXPECT_EQ(timeWordToSeconds(0xFFFF), 2097); // 2097.12 s
    EXPECT_EQ(timeWordToHms(0xFFFF), "0:34:57");
    EXPECT_EQ(timeWordToHms(31), "0:0:1");
    EXPECT_EQ(timeWordToHms(1875), "0:1:0");
}

TEST(TimeCodec, LimitTo3457)
{
    EXPECT_DOUBLE_EQ(limitTimeSeconds(40 * 60), MaxTimeSeconds);
    EXPECT_DOUBLE_EQ(limitTimeSeconds(MaxTimeSeconds), MaxTimeSeconds);
    EXPECT_DOUBLE_EQ(limitTimeSeconds(MaxTimeSeconds + 0.0005), MaxTimeSeconds + 0.0005);
    EXPECT_DOUBLE_EQ(limitTimeSeconds(MaxTimeSeconds + 0.5), MaxTimeSeconds);
}

TEST(CommsSettings, ModuleWords)
{
    EXPECT_EQ(baudRegisterValue("115200"), 1152);
    EXPECT_EQ(baudRegisterValue("9600"), 96);
    EXPECT_EQ(baudRegisterValue("96"), 0);
    EXPECT_EQ(baudRegisterValue("abc00"), 0);

    EXPECT_EQ(parityStopWord(0, "1"), 0x0011);
    EXPECT_EQ(parityStopWord(1, "2"), 0x1122);
    EXPECT_EQ(parityStopWord(2, "2"), 0x2222);
    EXPECT_EQ(parityStopWord(-1, ""), 0x0011);
}

TEST(CommsSettings, PollInterval)
{
    EXPECT_EQ(pollIntervalMs(1200), 2500);
    EXPECT_EQ(pollIntervalMs(2400), 1250);
    EXPECT_EQ(pollIntervalMs(4800), 1000); // 625 raised to the minimum
    EXPECT_EQ(pollIntervalMs(115200), 1000);
    EXPECT_EQ(pollIntervalMs(2399), 1251); // 1250.52
    EXPECT_EQ(pollIntervalMs(0), 1000);
}
