#include "AnalogTestArithmetic.h"

#include "ModuleCodes.h"
#include "NumberFormat.h"
#include "Rounding.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace zul {

namespace {

constexpr int FirstTestColumn = 1;
constexpr int LastTestColumn = 12;
constexpr int MarkRow = 0;
constexpr int StimulusRow = 1;
constexpr int VerdictRow = 10;

// Pages hand over grids built from their tables; a short column or a missing one reads as empty
// cells rather than tripping over an index.
const std::string &cell(const ResultsGrid &grid, int column, int row)
{
    static const std::string empty;
    if (column < 0 || static_cast<std::size_t>(column) >= grid.size())
        return empty;
    const auto &cells = grid[static_cast<std::size_t>(column)];
    if (row < 0 || static_cast<std::size_t>(row) >= cells.size())
        return empty;
    return cells[static_cast<std::size_t>(row)];
}

// The typed numbers are held in single precision like the values the module reports, so a
// stimulus such as 3.3 is 3.2999999523... in every later step.
std::optional<float> parseSingle(std::string_view text)
{
    const auto value = parseReal(text);
    if (!value)
        return std::nullopt;
    return static_cast<float>(*value);
}

// Up to 15 significant digits without trailing zeros; to_chars keeps "." whatever the locale.
std::string shortestGeneral(double value)
{
    if (value == 0)
        value = 0; // no "-0"
    std::array<char, 64> buffer {};
    const auto result = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    if (result.ec != std::errc {})
        return {};
    return { buffer.data(), result.ptr };
}

} // namespace

TestRange inputTestRange(std::uint16_t scaleCode)
{
    switch (scaleCode) {
    case scale::Volts0To5:
        return { 0, 5 };
    case scale::Volts0To10:
    case scale::Sink0To10mA:
        return { 0, 10 };
    case scale::Volts1To5:
        return { 1, 5 };
    case scale::Sink0To20mA:
        return { 0, 20 };
    case scale::Sink4To20mA:
        return { 4, 20 };
    default:
        return {};
    }
}

TestRange outputTestRange(std::uint16_t scaleCode)
{
    switch (scaleCode) {
    case scale::Volts0To5:
        return { 0, 5 };
    case scale::Volts0To10:
    case scale::Source0To10mA:
    case scale::Sink0To10mA:
        return { 0, 10 };
    case scale::Volts1To5:
        return { 1, 5 };
    case scale::Source0To20mA:
    case scale::Sink0To20mA:
        return { 0, 20 };
    case scale::Source4To20mA:
    case scale::Sink4To20mA:
        return { 4, 20 };
    default:
        return {};
    }
}

std::optional<std::int32_t> inputExpected(TestRange range, std::string_view stimulus)
{
    const auto s = parseSingle(stimulus);
    if (!s)
        return std::nullopt;
    const double scaled =
        32768.0 / (range.high - range.low) * (static_cast<double>(*s) - range.low) + 16384.0;
    if (scaled > 65535.0)
        return 65535;
    // No lower limit as such; only a stimulus far beyond any channel's reach would go below what
    // the display's 32 bits can hold.
    constexpr auto lowest = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    if (scaled < lowest)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(roundHalfEven(scaled));
}

std::optional<Band> inputBand(std::string_view tolerance, std::string_view expected)
{
    const auto tol = parseInteger(tolerance);
    const auto exp = parseInteger(expected);
    if (!tol || !exp)
        return std::nullopt;
    // 64 bits: "$FFFFFFFF" is a valid 32-bit entry and the band must not wrap around; every
    // such value is exact in a double.
    return Band { static_cast<double>(std::int64_t { *exp } - *tol),
        static_cast<double>(std::int64_t { *exp } + *tol) };
}

bool inputPasses(std::string_view tolerance, std::string_view expected, std::string_view recorded)
{
    const auto band = inputBand(tolerance, expected);
    const auto rec = parseInteger(recorded);
    if (!band || !rec)
        return false;
    return band->first <= *rec && *rec <= band->second;
}

std::optional<std::int32_t> outputStimulus(std::string_view stimulus)
{
    std::string text = "$";
    text += stimulus;
    return parseInteger(text);
}

std::string outputExpectedText(TestRange range, std::string_view stimulus)
{
    const auto s = outputStimulus(stimulus);
    if (!s)
        return {};
    const auto low = static_cast<float>(range.low);
    const auto span = static_cast<float>(range.high - range.low);
    // The offset from mid-scale in 64 bits: hex entries reach the whole 32-bit range.
    const auto offset = static_cast<float>(std::int64_t { *s } - 16384);
    const float perCount = span / 32768.0F;
    const float value = low + perCount * offset;
    return shortestGeneral(static_cast<double>(value));
}

std::optional<Band> outputBand(
    TestRange range, std::string_view tolerance, std::string_view expected)
{
    if (tolerance.empty())
        return std::nullopt;
    const bool percent = tolerance.back() == '%';
    if (percent)
        tolerance.remove_suffix(1);
    auto tol = parseSingle(tolerance);
    const auto exp = parseSingle(expected);
    if (!tol || !exp)
        return std::nullopt;
    // A percentage is of the range's high end, not its span: the way technicians quote it.
    if (percent)
        tol = static_cast<float>(static_cast<double>(*tol) * range.high / 100.0);
    // Single precision, like the values compared with the band.
    const float lower = *exp - *tol;
    const float upper = *exp + *tol;
    return Band { lower, upper };
}

bool outputPasses(TestRange range, std::string_view tolerance, std::string_view expected,
    std::string_view measured)
{
    const auto band = outputBand(range, tolerance, expected);
    const auto meas = parseSingle(measured);
    if (!band || !meas)
        return false;
    return band->first <= *meas && *meas <= band->second;
}

int firstFreeTestColumn(const ResultsGrid &grid)
{
    for (int column = FirstTestColumn; column <= LastTestColumn; ++column) {
        if (IsBlankText(cell(grid, column, MarkRow)))
            return column;
    }
    return -1;
}

std::vector<TestKindResult> evaluateTests(const ResultsGrid &grid,
    const std::vector<std::string> &marks, const std::vector<std::string> &notTested)
{
    std::vector<TestKindResult> results(marks.size());
    std::vector<bool> allPassed(marks.size(), true);
    std::vector<std::string> failures(marks.size(), "Failed: ");

    for (int column = FirstTestColumn; column <= LastTestColumn; ++column) {
        const std::string &stimulus = cell(grid, column, StimulusRow);
        // Only a truly empty stimulus marks an unused column; after a save an unused column holds
        // single spaces, and its blank mark then matches no kind below.
        if (stimulus.empty())
            continue;
        const std::string &mark = cell(grid, column, MarkRow);
        for (std::size_t i = 0; i < marks.size(); ++i) {
            if (marks[i] != mark)
                continue;
            results[i].tested = true;
            if (cell(grid, column, VerdictRow) != "PASS") {
                allPassed[i] = false;
                failures[i] += ' ';
                failures[i] += stimulus;
            }
            break;
        }
    }

    for (std::size_t i = 0; i < marks.size(); ++i) {
        auto &result = results[i];
        if (!result.tested)
            result.comments = i < notTested.size() ? notTested[i] : std::string {};
        else if (allPassed[i])
            result.passed = true;
        else
            result.comments = failures[i];
    }
    return results;
}

void fillEmptyCells(ResultsGrid &grid)
{
    if (grid.size() < static_cast<std::size_t>(ResultsGridColumns))
        grid.resize(ResultsGridColumns);
    for (int column = 0; column < ResultsGridColumns; ++column) {
        auto &cells = grid[static_cast<std::size_t>(column)];
        if (cells.size() < static_cast<std::size_t>(ResultsGridRows))
            cells.resize(ResultsGridRows);
        for (int row = 0; row < ResultsGridRows; ++row) {
            auto &text = cells[static_cast<std::size_t>(row)];
            if (text.empty())
                text.push_back(' '); // the cell is empty: one space
        }
    }
}

} // namespace zul
