#include "RecordFill.h"

#include "core/TimeCodec.h"

#include <algorithm>

namespace {

void fillGroup(bool &pass, QString &comments, std::span<const bool> boxes)
{
    pass = std::all_of(boxes.begin(), boxes.end(), [](bool ticked) { return ticked; });
    comments = pass ? QString() : failedChannelsText(boxes);
}

// The page hands over its table as text; a cell beyond a short grid is an empty one.
QString gridCell(const zul::ResultsGrid &grid, std::size_t column, std::size_t row)
{
    if (column >= grid.size() || row >= grid[column].size())
        return {};
    return QString::fromStdString(grid[column][row]);
}

void applyKind(const zul::TestKindResult &result, bool &pass, bool &tested, QString &comments)
{
    pass = result.passed;
    tested = result.tested;
    comments = QString::fromStdString(result.comments);
}

void copySpans(std::array<std::uint16_t, 8> &spans, std::span<const std::uint16_t, 8> words)
{
    std::copy(words.begin(), words.end(), spans.begin());
}

// Offsets travel as 16-bit registers holding two's complement values.
void copyOffsets(std::array<std::int16_t, 8> &offsets, std::span<const std::uint16_t, 8> words)
{
    std::transform(words.begin(), words.end(), offsets.begin(),
        [](std::uint16_t word) { return static_cast<std::int16_t>(word); });
}

} // namespace

QString failedChannelsText(std::span<const bool> boxes)
{
    QString text = QStringLiteral("Failed: ");
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (!boxes[i])
            text += QString::number(i + 1) + ' ';
    }
    return text;
}

void fillPassFailAndIdentity(
    TConfigRecord &record, const DigitalResultColumns &columns, const RecordIdentity &identity)
{
    record.SerialNo = identity.serialNo;
    record.TestDate = identity.testDate;
    record.BoardRev = identity.boardRev;
    record.FirmwareRev = identity.firmwareRev;
    fillGroup(record.DinPass, record.DinComments, columns.digitalInputs);
    fillGroup(record.DoutPass, record.DoutComments, columns.digitalOutputs);
    fillGroup(record.PoutPass, record.PoutComments, columns.pulsedOutputs);
    fillGroup(record.PoutCountPass, record.PoutCountComments, columns.pulsedOutCounts);
}

void fillPulsedOutputs(TConfigRecord &record, std::span<const bool, 8> pulsedOutputs,
    std::span<const bool, 8> pulsedOutCounts, std::span<const std::uint16_t, 8> updateTimeWords)
{
    for (std::size_t n = 0; n < 8; ++n) {
        record.PoutTimes[n] = QString::fromStdString(zul::timeWordToHms(updateTimeWords[n]));
        record.PoutChannelPass[n] = pulsedOutputs[n];
        record.PoutCountChannelPass[n] = pulsedOutCounts[n];
    }
}

void fillDIOPassFailAndIdentity(
    TDIOConfigRecord &record, const DIOResultTicks &ticks, const RecordIdentity &identity)
{
    fillPassFailAndIdentity(record,
        { ticks.digitalInputs, ticks.digitalOutputs, ticks.pulsedOutputs, ticks.pulsedOutCounts },
        identity);
}

void fillDIOPulseInputs(TDIOConfigRecord &record, const DIOResultTicks &ticks,
    std::span<const std::uint16_t, 4> maxRateWords)
{
    for (std::size_t i = 0; i < 4; ++i) {
        record.PinMaxRates[i] = QString::number(maxRateWords[i]);
        record.PinCountPass[i] = ticks.pulseInputCount[i];
        record.PinRatePass[i] = ticks.pulseInputRate[i];
    }
}

void fillDIOPulsedOutputs(TDIOConfigRecord &record, const DIOResultTicks &ticks,
    std::span<const std::uint16_t, 8> updateTimeWords)
{
    fillPulsedOutputs(record, ticks.pulsedOutputs, ticks.pulsedOutCounts, updateTimeWords);
}

void fillAnalogGridAndConfig(TAnalogConfigRecord &record, const zul::ResultsGrid &grid,
    const QString &analogConfig, std::span<const QString, 8> scaleTexts)
{
    constexpr std::size_t stimulusRow = 1;
    for (std::size_t test = 0; test < std::size_t { TAnalogConfigRecord::TestCount }; ++test) {
        const std::size_t column = test + 1; // column 0 is the grid's fixed column
        auto &cells = record.TestGrid[test];
        for (std::size_t element = 0; element < std::size_t { TAnalogConfigRecord::TestCells };
             ++element)
            cells[element] = gridCell(grid, column, stimulusRow + element);
    }
    record.AnalogConfig = analogConfig;
    std::copy(scaleTexts.begin(), scaleTexts.end(), record.ScaleTexts.begin());
}

void fillAINAnalogTests(TAINConfigRecord &record, const zul::ResultsGrid &grid)
{
    const auto results = zul::evaluateTests(grid, { "V-SE", "V-D", "I-SE", "I-D" },
        { "Single-ended Voltage input not tested. ", "Differential Voltage input not tested. ",
            "Single-ended current input not tested. ", "Differential current input not tested. " });
    applyKind(results[0], record.SeVinPass, record.SeVinTested, record.SeVinComments);
    applyKind(results[1], record.DVinPass, record.DVinTested, record.DVinComments);
    applyKind(results[2], record.SeIinPass, record.SeIinTested, record.SeIinComments);
    applyKind(results[3], record.DIinPass, record.DIinTested, record.DIinComments);
}

void fillAOTAnalogTests(TAOTConfigRecord &record, const zul::ResultsGrid &grid)
{
    const auto results = zul::evaluateTests(
        grid, { "V", "I" }, { "Voltage output not tested. ", "Current source not tested. " });
    applyKind(results[0], record.VoutPass, record.VoutTested, record.VoutComments);
    applyKind(results[1], record.IoutPass, record.IoutTested, record.IoutComments);
}

void fillAINStoredCalibration(TAINConfigRecord &record, std::span<const std::uint16_t, 48> words)
{
    copySpans(record.VinSpans, words.subspan<0, 8>());
    copyOffsets(record.VinOffsets, words.subspan<8, 8>());
    copySpans(record.SeIinSpans, words.subspan<16, 8>());
    copyOffsets(record.SeIinOffsets, words.subspan<24, 8>());
    copySpans(record.DIinSpans, words.subspan<32, 8>());
    copyOffsets(record.DIinOffsets, words.subspan<40, 8>());
}

void fillAOTStoredCalibration(TAOTConfigRecord &record, std::span<const std::uint16_t, 32> words)
{
    copySpans(record.VoltSpans, words.subspan<0, 8>());
    copyOffsets(record.VoltOffsets, words.subspan<8, 8>());
    copySpans(record.CurrSpans, words.subspan<16, 8>());
    copyOffsets(record.CurrOffsets, words.subspan<24, 8>());
}
