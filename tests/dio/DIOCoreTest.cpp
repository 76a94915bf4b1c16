#include "dio/DIOCore.h"

#include <gtest/gtest.h>

using namespace zul::dio;

TEST(DIOCore, MaxRateWordFromEntry)
{
    EXPECT_EQ(maxRateWordFromText("abc", false), 60000);
    EXPECT_EQ(maxRateWordFromText("abc", true), 61000);
    EXPECT_EQ(maxRateWordFromText("0.5", true), 60001);
    EXPECT_EQ(maxRateWordFromText("2.5", true), 60002); // halves to even
    EXPECT_EQ(maxRateWordFromText("-3", false), 0);
    EXPECT_EQ(maxRateWordFromText("-3", true), 60001);
    EXPECT_EQ(maxRateWordFromText("5000", false), 60000);
    EXPECT_EQ(maxRateWordFromText("5000", true), 61000);
    EXPECT_EQ(maxRateWordFromText("16.67", false), 1000); // 1000.2
    EXPECT_EQ(maxRateWordFromText("12.5", false), 750);
    EXPECT_EQ(maxRateWordFromText("", false), 60000);
}

TEST(DIOCore, MaxRateDisplayOfWord)
{
    const auto full = maxRateDisplay(60000);
    EXPECT_FALSE(full.div10);
    EXPECT_EQ(full.text, "1000");
    const auto one = maxRateDisplay(60001);
    EXPECT_TRUE(one.div10);
    EXPECT_EQ(one.text, "1");
    EXPECT_EQ(maxRateDisplay(65535).text, "5535");
    EXPECT_EQ(maxRateDisplay(750).text, "12.50");
    EXPECT_EQ(maxRateDisplay(1000).text, "16.67");
    EXPECT_EQ(maxRateDisplay(0).text, "0.00");
    EXPECT_FALSE(maxRateDisplay(0).div10);

    // What is shown is written back unchanged.
    for (const std::uint16_t word : { 0, 750, 1000, 59999, 60000, 60001, 60500, 61000 }) {
        const auto shown = maxRateDisplay(word);
        EXPECT_EQ(maxRateWordFromText(shown.text, shown.div10), word) << word;
    }
}

TEST(DIOCore, PulseCountFromTwoWords)
{
    EXPECT_EQ(pulseCount32(0x0001, 0x0002), 65538);
    EXPECT_EQ(pulseCount32(0xFFFF, 0xFFFF), -1);
    EXPECT_EQ(pulseCount32(0x8000, 0x0000), -2147483647 - 1);
}
