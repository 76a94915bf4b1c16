#include "core/NumberFormat.h"

#include <gtest/gtest.h>

using namespace zul;

TEST(NumberFormat, DisplayForms)
{
    EXPECT_EQ(formatWord(255, false), "255");
    EXPECT_EQ(formatWord(255, true), "$00FF");
    EXPECT_EQ(formatWord(65535, true), "$FFFF");
    EXPECT_EQ(formatSignedWord(-10, false), "-10");
    EXPECT_EQ(formatSignedWord(-10, true), "$FFFFFFF6");
    EXPECT_EQ(formatLong(65538, true), "$10002");
    EXPECT_EQ(formatLong(-1, true), "$FFFFFFFF");
    EXPECT_EQ(formatLongHex8(65538, true), "$00010002");
    EXPECT_EQ(formatLongHex8(-2147483647 - 1, false), "-2147483648");
}

TEST(NumberFormat, ParseIntegerSyntax)
{
    EXPECT_EQ(parseInteger("123"), 123);
    EXPECT_EQ(parseInteger("  -42"), -42);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger("$ff"), 255);
    EXPECT_EQ(parseInteger("0x10"), 16);
    EXPECT_EQ(parseInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(parseInteger("$000000010"), 16);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), -2147483647 - 1);

    for (const char *bad : { "", "   ", "2147483648", "-2147483649", "$100000000", "12 ", "12a",
             "abc", "$", "0x", "-", "$-1", "$+1", "--1", "1.5", "- 1", "99999999999999999999999" })
        EXPECT_EQ(parseInteger(bad), std::nullopt) << bad;
}

TEST(NumberFormat, ParseWithRange)
{
    EXPECT_EQ(parseWord("70000"), std::nullopt);
    EXPECT_EQ(parseWord("$FFFF"), 65535);
    EXPECT_EQ(parseWord("-1"), std::nullopt);
    EXPECT_EQ(parseSignedWord("-32768"), -32768);
    EXPECT_EQ(parseSignedWord("32768"), std::nullopt);
    EXPECT_EQ(parseSignedWord("$FFFF"), std::nullopt);
    EXPECT_EQ(parseLongOrZero("x"), 0);
    EXPECT_EQ(parseShortOrZero("70000"), 70000 - 65536);
    EXPECT_EQ(parseShortOrZero("-1"), 65535);
    EXPECT_EQ(parseShortOrZero("junk"), 0);
}

TEST(NumberFormat, ParseReal)
{
    EXPECT_DOUBLE_EQ(*parseReal("16.67"), 16.67);
    EXPECT_DOUBLE_EQ(*parseReal(" -0.5 "), -0.5);
    EXPECT_DOUBLE_EQ(*parseReal("2,5"), 2.5);
    EXPECT_DOUBLE_EQ(*parseReal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(*parseReal("5."), 5.0);
    EXPECT_DOUBLE_EQ(*parseReal("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(*parseReal("+2.5E-1"), 0.25);
    for (const char *bad : { "", " ", "abc", "inf", "nan", "0x10", "1.2.3", "1,2.3", "1e", "1e+",
             ".", "-", "1 2", "1e400", "$10" })
        EXPECT_EQ(parseReal(bad), std::nullopt) << bad;
}

TEST(NumberFormat, FixedAndBlank)
{
    EXPECT_EQ(formatFixed2(750 / 60.0), "12.50");
    EXPECT_EQ(formatFixed2(1000 / 60.0), "16.67");
    EXPECT_EQ(formatFixed2(0), "0.00");
    EXPECT_EQ(formatFixed2(-0.001), "0.00");

    EXPECT_TRUE(IsBlankText(""));
    EXPECT_TRUE(IsBlankText("   "));
    EXPECT_TRUE(IsBlankText(" \t"));
    EXPECT_FALSE(IsBlankText(" 0 "));
    EXPECT_FALSE(IsBlankText("\tx"));
}
