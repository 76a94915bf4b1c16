#include "module/AnalogTests.h"

#include <gtest/gtest.h>

using namespace zul;

namespace {

constexpr TestRange volts10 { 0, 10 };
constexpr TestRange volts5 { 0, 5 };
constexpr TestRange volts1to5 { 1, 5 };
constexpr TestRange milliamps4to20 { 4, 20 };
constexpr TestRange unset {};

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

void expectRange(TestRange range, double low, double high, const char *what)
{
    EXPECT_EQ(range.low, low) << what;
    EXPECT_EQ(range.high, high) << what;
}

} // namespace

TEST(AnalogTests, InputAndOutputRangesDifferOnlyInCurrentSourceCodes)
{
    expectRange(inputTestRange(0x1101), 0, 5, "in 1101");
    expectRange(inputTestRange(0x1102), 0, 10, "in 1102");
    expectRange(inputTestRange(0x0201), 0, 10, "in 0201");
    expectRange(inputTestRange(0x1103), 1, 5, "in 1103");
    expectRange(inputTestRange(0x0202), 0, 20, "in 0202");
    expectRange(inputTestRange(0x0203), 4, 20, "in 0203");
    // An input channel never sources current.
    for (const std::uint16_t code : { 0x0101, 0x0102, 0x0103, 0x0000, 0xFFFF })
        expectRange(inputTestRange(code), 0, 1, "in other");

    expectRange(outputTestRange(0x1101), 0, 5, "out 1101");
    for (const std::uint16_t code : { 0x1102, 0x0101, 0x0201 })
        expectRange(outputTestRange(code), 0, 10, "out 0..10");
    expectRange(outputTestRange(0x1103), 1, 5, "out 1103");
    for (const std::uint16_t code : { 0x0102, 0x0202 })
        expectRange(outputTestRange(code), 0, 20, "out 0..20");
    for (const std::uint16_t code : { 0x0103, 0x0203 })
        expectRange(outputTestRange(code), 4, 20, "out 4..20");
    expectRange(outputTestRange(0x0204), 0, 1, "out other");
}

TEST(AnalogTests, InputExpectedScalesRoundsAndClampsOnlyAbove)
{
    EXPECT_EQ(inputExpected(volts10, "5"), 0x8000);
    EXPECT_EQ(inputExpected(volts10, "0"), 0x4000);
    EXPECT_EQ(inputExpected(volts10, "10"), 0xC000);
    EXPECT_EQ(inputExpected(volts10, "25"), 65535);
    EXPECT_EQ(inputExpected(volts10, "1e30"), 65535);
    EXPECT_EQ(inputExpected(milliamps4to20, "12"), 0x8000);
    EXPECT_EQ(inputExpected(milliamps4to20, "8"), 0x6000);
    EXPECT_EQ(inputExpected(volts5, "3.3"), 0x947B); // 38010.88
    EXPECT_EQ(inputExpected(volts5, "3,3"), 0x947B); // comma-locale keyboards
    EXPECT_EQ(inputExpected(unset, "1"), 0xC000);
    // Below the range there is no floor: 0 mA on 4..20 mA is 16384 - 8192.
    EXPECT_EQ(inputExpected(milliamps4to20, "0"), 0x2000);
    EXPECT_EQ(inputExpected(volts10, "-10"), -16384);
    // Exact halves go to the even neighbour: 4..20 mA has 2048 counts per mA, so odd multiples
    // of 1/4096 mA land on halves.
    EXPECT_EQ(inputExpected(milliamps4to20, "12.000244140625"), 0x8000); // 32768.5 -> 32768
    EXPECT_EQ(inputExpected(milliamps4to20, "12.000732421875"), 0x8002); // 32769.5 -> 32770

    for (const char *bad : { "", " ", "abc", "5V", "1..2", "nan", "inf" })
        EXPECT_EQ(inputExpected(volts10, bad), std::nullopt) << bad;
}

TEST(AnalogTests, InputPassesOnAnInclusiveIntegerBand)
{
    EXPECT_TRUE(inputPasses("$0080", "$8000", "$7F80"));
    EXPECT_TRUE(inputPasses("$0080", "$8000", "$8080"));
    EXPECT_TRUE(inputPasses("$0080", "$8000", "32768"));
    EXPECT_FALSE(inputPasses("$0080", "$8000", "$8081"));
    EXPECT_FALSE(inputPasses("$0080", "$8000", "$7F7F"));
    EXPECT_TRUE(inputPasses("0", "0x4000", "16384"));
    // The band around a 32-bit extreme must not wrap.
    EXPECT_FALSE(inputPasses("1", "2147483647", "-2147483648"));

    EXPECT_FALSE(inputPasses("$0080", "$8000", ""));
    EXPECT_FALSE(inputPasses("", "$8000", "$8000"));
    EXPECT_FALSE(inputPasses("$0080", "", "$8000"));
    EXPECT_FALSE(inputPasses("$0080", "$8000", "1.5"));
}

TEST(AnalogTests, OutputStimulusIsHexWithoutDollar)
{
    EXPECT_EQ(outputStimulus("8000"), 0x8000);
    EXPECT_EQ(outputStimulus("c000"), 0xC000);
    EXPECT_EQ(outputStimulus("10000"), 65536);
    EXPECT_EQ(outputStimulus("FFFFFFFF"), -1);
    EXPECT_EQ(outputStimulus("$8000"), std::nullopt);
    EXPECT_EQ(outputStimulus("0x8000"), std::nullopt);
    EXPECT_EQ(outputStimulus(""), std::nullopt);
    EXPECT_EQ(outputStimulus(" 8000"), std::nullopt);
    EXPECT_EQ(outputStimulus("-1"), std::nullopt);
    EXPECT_EQ(outputStimulus("100000000"), std::nullopt);
}

TEST(AnalogTests, OutputExpectedTextInEngineeringUnits)
{
    EXPECT_EQ(outputExpectedText(volts10, "4000"), "0");
    EXPECT_EQ(outputExpectedText(volts10, "8000"), "5");
    EXPECT_EQ(outputExpectedText(volts10, "C000"), "10");
    EXPECT_EQ(outputExpectedText(volts10, "0"), "-5");
    EXPECT_EQ(outputExpectedText(volts10, "6000"), "2.5");
    EXPECT_EQ(outputExpectedText(milliamps4to20, "8000"), "12");
    EXPECT_EQ(outputExpectedText(volts1to5, "6000"), "2");
    EXPECT_EQ(outputExpectedText(unset, "C000"), "1");
    // Above full scale, 0x10000 is half a range beyond the high end.
    EXPECT_EQ(outputExpectedText(volts10, "10000"), "15");
    EXPECT_EQ(outputExpectedText(milliamps4to20, "10000"), "28");
    // One count of 0..10 V in single precision, printed through double with 15 digits.
    EXPECT_EQ(outputExpectedText(volts10, "4001"), "0.00030517578125");
    EXPECT_EQ(outputExpectedText(volts5, "4CCD"), "0.500030517578125");
    // The single-precision sum shows its float error, as the record stores it.
    EXPECT_EQ(outputExpectedText(TestRange { 0.1, 1 }, "4000"), "0.100000001490116");

    EXPECT_EQ(outputExpectedText(volts10, "$8000"), "");
    EXPECT_EQ(outputExpectedText(volts10, ""), "");
    EXPECT_EQ(outputExpectedText(volts10, "xyz"), "");
}

TEST(AnalogTests, OutputPassesInUnitsOrPercentOfHighEnd)
{
    EXPECT_TRUE(outputPasses(volts10, "5%", "5", "4.5"));
    EXPECT_TRUE(outputPasses(volts10, "5%", "5", "5.5"));
    EXPECT_FALSE(outputPasses(volts10, "5%", "5", "5.51"));
    EXPECT_FALSE(outputPasses(volts10, "5%", "5", "4.49"));
    EXPECT_TRUE(outputPasses(volts10, "0.5", "5", "4.5"));
    EXPECT_TRUE(outputPasses(volts10, "0.5", "5", "5.5"));
    EXPECT_FALSE(outputPasses(volts10, "0.5", "5", "5.51"));
    // Percent of the high end (20 mA), not of the 16 mA span: 5% is 1 mA.
    EXPECT_TRUE(outputPasses(milliamps4to20, "5%", "12", "13"));
    EXPECT_FALSE(outputPasses(milliamps4to20, "5%", "12", "13.01"));
    EXPECT_TRUE(outputPasses(volts10, "0,5", "5", "5,5"));

    EXPECT_FALSE(outputPasses(volts10, "", "5", "5"));
    EXPECT_FALSE(outputPasses(volts10, "%", "5", "5"));
    EXPECT_FALSE(outputPasses(volts10, "5%%", "5", "5"));
    EXPECT_FALSE(outputPasses(volts10, "0.5", "", "5"));
    EXPECT_FALSE(outputPasses(volts10, "0.5", "5", ""));
    EXPECT_FALSE(outputPasses(volts10, "0.5", "5", "5 V"));
}

TEST(AnalogTests, FirstFreeColumnSkipsFixedColumnAndFilledMarks)
{
    ResultsGrid grid = emptyGrid();
    grid[0][0] = "Type";
    EXPECT_EQ(firstFreeTestColumn(grid), 1);
    grid[1][0] = "V-SE";
    grid[2][0] = "I";
    EXPECT_EQ(firstFreeTestColumn(grid), 3);
    grid[3][0] = " \t ";
    EXPECT_EQ(firstFreeTestColumn(grid), 3);
    for (int column = 3; column <= 12; ++column)
        grid[column][0] = "V";
    EXPECT_EQ(firstFreeTestColumn(grid), -1);

    // A short grid: missing columns and rows read as empty.
    EXPECT_EQ(firstFreeTestColumn(ResultsGrid {}), 1);
    ResultsGrid narrow(3, std::vector<std::string>(1, "V"));
    EXPECT_EQ(firstFreeTestColumn(narrow), 3);
    narrow[1].clear();
    EXPECT_EQ(firstFreeTestColumn(narrow), 1);
}

TEST(AnalogTests, EvaluateTestsPerMark)
{
    const std::vector<std::string> marks { "V-SE", "V-D", "I-SE", "I-D" };
    const std::vector<std::string> notTested { "a ", "b ", "c ", "d " };
    ResultsGrid grid = emptyGrid();
    fileTest(grid, 1, "V-SE", "5", "FAIL");
    fileTest(grid, 2, "V-SE", "2.5", "PASS");
    fileTest(grid, 4, "V-SE", "10", "fail");
    fileTest(grid, 3, "I-SE", "12", "PASS");
    fileTest(grid, 5, "V-D", "", "PASS"); // no stimulus: not filed
    fileTest(grid, 6, "i-d", "4", "PASS"); // marks are case-sensitive
    fileTest(grid, 7, "I-SE", " ", "PASS"); // a blank stimulus still counts
    fileTest(grid, 8, "I-SE", "20", "pass"); // only "PASS" passes

    const auto results = evaluateTests(grid, marks, notTested);
    ASSERT_EQ(results.size(), 4U);
    EXPECT_FALSE(results[0].passed);
    EXPECT_TRUE(results[0].tested);
    EXPECT_EQ(results[0].comments, "Failed:  5 10");
    EXPECT_FALSE(results[1].passed);
    EXPECT_FALSE(results[1].tested);
    EXPECT_EQ(results[1].comments, "b ");
    EXPECT_FALSE(results[2].passed);
    EXPECT_TRUE(results[2].tested);
    EXPECT_EQ(results[2].comments, "Failed:  20");
    EXPECT_FALSE(results[3].tested);
    EXPECT_EQ(results[3].comments, "d ");

    grid[8][10] = "PASS";
    const auto passed = evaluateTests(grid, marks, notTested);
    EXPECT_TRUE(passed[2].passed);
    EXPECT_TRUE(passed[2].tested);
    EXPECT_EQ(passed[2].comments, "");

    // A saved grid (blanks everywhere) evaluates the same: blank marks match no kind.
    fillEmptyCells(grid);
    const auto saved = evaluateTests(grid, marks, notTested);
    EXPECT_EQ(saved[0].comments, "Failed:  5 10");
    EXPECT_TRUE(saved[2].passed);
    EXPECT_FALSE(saved[3].tested);

    // A short grid or a short not-tested list does not read beyond its end.
    const auto none =
        evaluateTests(ResultsGrid(2), { "V", "I" }, { "Voltage output not tested. " });
    ASSERT_EQ(none.size(), 2U);
    EXPECT_EQ(none[0].comments, "Voltage output not tested. ");
    EXPECT_EQ(none[1].comments, "");
}

TEST(AnalogTests, FillEmptyCellsGrowsAndBlanksOnlyEmptyCells)
{
    ResultsGrid grid(2, std::vector<std::string>(3));
    grid[1][1] = "5";
    grid[1][2] = "\t";
    fillEmptyCells(grid);
    ASSERT_EQ(grid.size(), static_cast<std::size_t>(ResultsGridColumns));
    for (int column = 0; column < ResultsGridColumns; ++column) {
        ASSERT_EQ(grid[column].size(), static_cast<std::size_t>(ResultsGridRows));
        for (int row = 0; row < ResultsGridRows; ++row) {
            if (column == 1 && (row == 1 || row == 2))
                continue;
            EXPECT_EQ(grid[column][row], " ") << column << "," << row;
        }
    }
    EXPECT_EQ(grid[1][1], "5");
    EXPECT_EQ(grid[1][2], "\t");
}
