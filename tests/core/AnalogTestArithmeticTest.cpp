#include "core/AnalogTestArithmetic.h"

#include <gtest/gtest.h>

using namespace zul;

namespace {

constexpr TestRange volts10 { 0, 10 };
constexpr TestRange milliamps4to20 { 4, 20 };

ResultsGrid emptyGrid()
{
    return ResultsGrid(ResultsGridColumns, std::vector<std::string>(ResultsGridRows));
}

void fileTest(ResultsGrid &grid, int column, const std::string &mark, const std::string &stimulus,
    const std::string &verdict)
{
    grid[column][0] = mark;
    grid[column][1] = stimulus;
    grid[column][10] = verdict;
}

} // namespace

TEST(AnalogTestArithmetic, RangesOfScaleCodes)
{
    struct Row
    {
        std::uint16_t code;
        double inLow, inHigh, outLow, outHigh;
    };
    // Inputs never source current: 0x0101..0x0103 fall back to 0..1 there.
    for (const Row row :
        { Row { 0x1101, 0, 5, 0, 5 }, Row { 0x1102, 0, 10, 0, 10 }, Row { 0x1103, 1, 5, 1, 5 },
            Row { 0x0101, 0, 1, 0, 10 }, Row { 0x0102, 0, 1, 0, 20 }, Row { 0x0103, 0, 1, 4, 20 },
            Row { 0x0201, 0, 10, 0, 10 }, Row { 0x0202, 0, 20, 0, 20 },
            Row { 0x0203, 4, 20, 4, 20 }, Row { 0xFFFF, 0, 1, 0, 1 } }) {
        const auto in = inputTestRange(row.code);
        const auto out = outputTestRange(row.code);
        EXPECT_EQ(in.low, row.inLow) << row.code;
        EXPECT_EQ(in.high, row.inHigh) << row.code;
        EXPECT_EQ(out.low, row.outLow) << row.code;
        EXPECT_EQ(out.high, row.outHigh) << row.code;
    }
}

TEST(AnalogTestArithmetic, InputExpectedAndPassBand)
{
    EXPECT_EQ(inputExpected(volts10, "5"), 0x8000);
    EXPECT_EQ(inputExpected(volts10, "0"), 0x4000);
    EXPECT_EQ(inputExpected(volts10, "10"), 0xC000);
    EXPECT_EQ(inputExpected(volts10, "25"), 65535);
    EXPECT_EQ(inputExpected(volts10, "-10"), -16384); // no lower limit
    EXPECT_EQ(inputExpected(milliamps4to20, "12"), 0x8000);
    EXPECT_EQ(inputExpected(milliamps4to20, "8"), 0x6000);
    EXPECT_EQ(inputExpected(TestRange { 0, 5 }, "3,3"), 0x947B); // 38010.88
    EXPECT_EQ(inputExpected(TestRange {}, "1"), 0xC000);
    // 2048 counts per mA: odd multiples of 1/4096 mA land on halves, which go to even.
    EXPECT_EQ(inputExpected(milliamps4to20, "12.000244140625"), 0x8000);
    EXPECT_EQ(inputExpected(milliamps4to20, "12.000732421875"), 0x8002);
    EXPECT_EQ(inputExpected(volts10, "5V"), std::nullopt);

    EXPECT_TRUE(inputPasses("$0080", "$8000", "$7F80"));
    EXPECT_TRUE(inputPasses("$0080", "$8000", "$8080"));
    EXPECT_FALSE(inputPasses("$0080", "$8000", "$8081"));
    EXPECT_FALSE(inputPasses("$0080", "$8000", "$7F7F"));
    EXPECT_FALSE(inputPasses("$0080", "$8000", ""));
    EXPECT_FALSE(inputPasses("1", "2147483647", "-2147483648")); // the band must not wrap
}

TEST(AnalogTestArithmetic, OutputStimulusExpectedTextAndPassBand)
{
    EXPECT_EQ(outputStimulus("c000"), 0xC000);
    EXPECT_EQ(outputStimulus("10000"), 65536);
    EXPECT_EQ(outputStimulus("$8000"), std::nullopt);

    EXPECT_EQ(outputExpectedText(volts10, "4000"), "0");
    EXPECT_EQ(outputExpectedText(volts10, "8000"), "5");
    EXPECT_EQ(outputExpectedText(volts10, "C000"), "10");
    EXPECT_EQ(outputExpectedText(volts10, "0"), "-5");
    EXPECT_EQ(outputExpectedText(volts10, "6000"), "2.5");
    EXPECT_EQ(outputExpectedText(volts10, "10000"), "15");
    EXPECT_EQ(outputExpectedText(milliamps4to20, "8000"), "12");
    EXPECT_EQ(outputExpectedText(TestRange { 1, 5 }, "6000"), "2");
    EXPECT_EQ(outputExpectedText(TestRange {}, "C000"), "1");
    EXPECT_EQ(outputExpectedText(volts10, "4001"), "0.00030517578125"); // fixed, not 3.05e-04
    // Single precision shows through: 0.1f printed with 15 digits.
    EXPECT_EQ(outputExpectedText(TestRange { 0.1, 1 }, "4000"), "0.100000001490116");
    EXPECT_EQ(outputExpectedText(volts10, "$8000"), "");

    EXPECT_TRUE(outputPasses(volts10, "5%", "5", "4.5"));
    EXPECT_TRUE(outputPasses(volts10, "5%", "5", "5.5"));
    EXPECT_FALSE(outputPasses(volts10, "5%", "5", "5.51"));
    EXPECT_TRUE(outputPasses(volts10, "0.5", "5", "5.5"));
    EXPECT_FALSE(outputPasses(volts10, "0.5", "5", "5.51"));
    // Percent of the high end (20 mA), not of the 16 mA span.
    EXPECT_TRUE(outputPasses(milliamps4to20, "5%", "12", "13"));
    EXPECT_FALSE(outputPasses(milliamps4to20, "5%", "12", "13.01"));
    for (const char *tolerance : { "", "%", "5%%" })
        EXPECT_FALSE(outputPasses(volts10, tolerance, "5", "5")) << tolerance;
    EXPECT_FALSE(outputPasses(volts10, "0.5", "5", ""));
}

TEST(AnalogTestArithmetic, GridColumnsEvaluationAndBlanking)
{
    ResultsGrid grid = emptyGrid();
    grid[0][0] = "Type";
    grid[1][0] = "V-SE";
    grid[2][0] = " \t ";
    EXPECT_EQ(firstFreeTestColumn(grid), 2);
    for (int column = 2; column <= 12; ++column)
        grid[column][0] = "V";
    EXPECT_EQ(firstFreeTestColumn(grid), -1);
    EXPECT_EQ(firstFreeTestColumn(ResultsGrid(3, std::vector<std::string>(1, "V"))), 3);

    grid = emptyGrid();
    fileTest(grid, 1, "V-SE", "5", "FAIL");
    fileTest(grid, 2, "V-SE", "2.5", "PASS");
    fileTest(grid, 3, "I-SE", " ", "PASS"); // a one-space stimulus counts
    fileTest(grid, 4, "V-SE", "10", "pass"); // only "PASS" passes
    fileTest(grid, 5, "V-D", "", "PASS"); // no stimulus: not filed
    fileTest(grid, 6, "i-d", "4", "PASS"); // marks are case-sensitive
    const std::vector<std::string> marks { "V-SE", "V-D", "I-SE", "I-D" };
    const std::vector<std::string> notTested { "a ", "b ", "c ", "d " };
    auto results = evaluateTests(grid, marks, notTested);
    ASSERT_EQ(results.size(), 4U);
    EXPECT_TRUE(!results[0].passed && results[0].tested);
    EXPECT_EQ(results[0].comments, "Failed:  5 10");
    EXPECT_TRUE(!results[1].passed && !results[1].tested);
    EXPECT_EQ(results[1].comments, "b ");
    EXPECT_TRUE(results[2].passed && results[2].tested);
    EXPECT_EQ(results[2].comments, "");
    EXPECT_EQ(results[3].comments, "d ");

    ResultsGrid small(2, std::vector<std::string>(3));
    small[1][1] = "5";
    fillEmptyCells(small);
    ASSERT_EQ(small.size(), 13U);
    for (int column = 0; column < 13; ++column) {
        ASSERT_EQ(small[column].size(), 11U);
        for (int row = 0; row < 11; ++row)
            EXPECT_EQ(small[column][row], column == 1 && row == 1 ? "5" : " ");
    }
    // Once blanked, unused columns still match no kind.
    fillEmptyCells(grid);
    results = evaluateTests(grid, marks, notTested);
    EXPECT_EQ(results[0].comments, "Failed:  5 10");
    EXPECT_FALSE(results[3].tested);
}
