// Widget-free fill steps that copy a results page's ticks, the status panel's texts and words read
// from the module into a test record. The DIO Results page runs the three DIO steps in order; the
// AIN and AOT Results pages reuse the common steps for their digital columns and pulsed outputs.
#pragma once

#include "DataRecords.h"
#include "core/AnalogTestArithmetic.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

struct RecordIdentity
{
    QString serialNo; // PCB serial number of the status panel
    QDateTime testDate; // the results page's date picker
    QString boardRev;
    QString firmwareRev;
};

// The four PASS / FAIL columns every kind has; DIO has 16 boxes in the first two, the analog
// kinds 8. Element 0 is channel 1, ticked = passed.
struct DigitalResultColumns
{
    std::span<const bool> digitalInputs;
    std::span<const bool> digitalOutputs;
    std::span<const bool> pulsedOutputs;
    std::span<const bool> pulsedOutCounts;
};

// "Failed: " followed by the number and a space of every unticked box: "Failed: 3 12 ".
QString failedChannelsText(std::span<const bool> boxes);

// Identity fields and the four pass flags with their comments; a comment is set on every call
// (empty when the group passed) so a reused record never keeps an earlier save's text.
void fillPassFailAndIdentity(
    TConfigRecord &record, const DigitalResultColumns &columns, const RecordIdentity &identity);

// Update-time words (input registers 109 to 116, unit 32 ms) as h:m:s, and the per-channel
// pulsed output and count flags.
void fillPulsedOutputs(TConfigRecord &record, std::span<const bool, 8> pulsedOutputs,
    std::span<const bool, 8> pulsedOutCounts, std::span<const std::uint16_t, 8> updateTimeWords);

struct DIOResultTicks
{
    std::array<bool, 16> digitalInputs {};
    std::array<bool, 16> digitalOutputs {};
    std::array<bool, 8> pulsedOutputs {};
    std::array<bool, 8> pulsedOutCounts {};
    std::array<bool, 4> pulseInputCount {};
    std::array<bool, 4> pulseInputRate {};
};

void fillDIOPassFailAndIdentity(
    TDIOConfigRecord &record, const DIOResultTicks &ticks, const RecordIdentity &identity);
// maxRateWords are the raw register words (750 for 12.50 Hz, 60013 for "Div 10" with 13).
void fillDIOPulseInputs(TDIOConfigRecord &record, const DIOResultTicks &ticks,
    std::span<const std::uint16_t, 4> maxRateWords);
void fillDIOPulsedOutputs(TDIOConfigRecord &record, const DIOResultTicks &ticks,
    std::span<const std::uint16_t, 8> updateTimeWords);

// The analog kinds' results grid (see core/AnalogTestArithmetic.h) as the record keeps it: test k
// (1..12) is grid column k, element 0 its stimulus (row 1) and elements 1..8 the values of
// channels 1..8 (rows 2..9). Also the configuration text and the eight channels' scale texts.
void fillAnalogGridAndConfig(TAnalogConfigRecord &record, const zul::ResultsGrid &grid,
    const QString &analogConfig, std::span<const QString, 8> scaleTexts);

// Pass, tested and comments of each test kind, from the grid's type marks: "V-SE", "V-D", "I-SE"
// and "I-D" for AIN, "V" and "I" for AOT. A kind without any filed test is not tested and says
// so in its comment.
void fillAINAnalogTests(TAINConfigRecord &record, const zul::ResultsGrid &grid);
void fillAOTAnalogTests(TAOTConfigRecord &record, const zul::ResultsGrid &grid);

// The calibration words read back from the module, in register order. AIN: 8 voltage spans,
// 8 voltage offsets, then spans and offsets of the single-ended and of the differential current
// inputs; AOT: 8 voltage spans and offsets, then 8 current spans and offsets. Offsets are signed.
void fillAINStoredCalibration(TAINConfigRecord &record, std::span<const std::uint16_t, 48> words);
void fillAOTStoredCalibration(TAOTConfigRecord &record, std::span<const std::uint16_t, 32> words);
