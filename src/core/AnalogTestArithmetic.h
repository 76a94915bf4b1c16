// The arithmetic of the guided analog tests and of the analog results pages, without widgets:
// the test range of a scale code, the expected value of a channel for a stimulus and whether a
// recorded value passes (inputs in raw scaled counts, outputs in volts or milliamps), the first
// free column of a results grid, and the evaluation of the filed tests when the results are saved.
// Used by the AIN and AOT test dialogs and results pages. Qt-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zul {

struct TestRange
{
    double low = 0;
    double high = 1; // any code without a range of its own
};

// Inputs know the voltage codes and the current (sink) codes 0x0201..0x0203; outputs also the
// current source codes 0x0101..0x0103.
TestRange inputTestRange(std::uint16_t scaleCode);
TestRange outputTestRange(std::uint16_t scaleCode);

// Inputs: the scaled value expected for a stimulus typed as a decimal number (volts or mA):
// round(32768 / (high - low) x (s - low) + 16384), halves to even, at most 65535 (no lower
// limit beyond what 32 bits hold); nothing when the text is not a number. The stimulus is held
// in single precision first, like every typed value. Shown as "$" and at least four hex digits.
std::optional<std::int32_t> inputExpected(TestRange range, std::string_view stimulus);
// Tolerance, expected and recorded texts as integers (decimal or "$" hex); passes when
// expected - tolerance <= recorded <= expected + tolerance. False when any text is no integer.
bool inputPasses(std::string_view tolerance, std::string_view expected, std::string_view recorded);
// The band a test judges against: lowest and highest value that pass, both included. Inputs in
// scaled counts, outputs in volts or milliamps; nothing when a text is no number.
using Band = std::pair<double, double>;
std::optional<Band> inputBand(std::string_view tolerance, std::string_view expected);

// Outputs: the stimulus is hexadecimal digits typed without "$"; its value (all of it, also
// above 0xFFFF) or nothing when "$" + text is no integer.
std::optional<std::int32_t> outputStimulus(std::string_view stimulus);
// low + (high - low) / 32768 x (s - 16384) in single precision, shown as the float's shortest
// general form up to 15 significant digits ("0", "2.5", "12", "-5"); empty when the stimulus is
// no number.
std::string outputExpectedText(TestRange range, std::string_view stimulus);
// Tolerance in units, or in percent of the range's high end with a trailing "%" ("5%" of a 4 to
// 20 mA channel is 1.0 mA); all three texts as single-precision decimals; inclusive band. False
// when the tolerance is empty or any text is no number.
bool outputPasses(TestRange range, std::string_view tolerance, std::string_view expected,
    std::string_view measured);
std::optional<Band> outputBand(
    TestRange range, std::string_view tolerance, std::string_view expected);

// A results grid of the analog results pages as text: column 0 is the fixed column, columns 1
// to 12 the tests; rows 0 = type mark, 1 = stimulus, 2..9 = channels 1..8, 10 = "PASS"/"FAIL".
using ResultsGrid = std::vector<std::vector<std::string>>; // [column][row], 13 x 11
constexpr int ResultsGridColumns = 13;
constexpr int ResultsGridRows = 11;

// The first of columns 1..12 whose row 0 is blank (empty or spaces only, tabs and other control
// characters counting as spaces), or -1. Cells beyond a short grid read as empty.
int firstFreeTestColumn(const ResultsGrid &grid);

struct TestKindResult
{
    bool passed = false;
    bool tested = false;
    std::string comments;
};

// For each type mark in order (e.g. "V-SE", "V-D", "I-SE", "I-D", or "V", "I"): the columns
// 1..12 whose stimulus (row 1) is not empty (a single space is not empty) and whose row 0 is
// exactly that mark, case included. Tested and all row 10 exactly "PASS": passed, no comment;
// tested with failures: "Failed: " + " " + stimulus of each failed test ("Failed:  5 10");
// not tested: the mark's notTested text. One result per mark.
std::vector<TestKindResult> evaluateTests(const ResultsGrid &grid,
    const std::vector<std::string> &marks, const std::vector<std::string> &notTested);

// What a save leaves in the grid: every empty cell of columns 0..12, rows 0..10 becomes one
// space; a smaller grid is grown to 13 x 11 first.
void fillEmptyCells(ResultsGrid &grid);

} // namespace zul
