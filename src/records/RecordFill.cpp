#include "RecordFill.h"

#include "module/TimeCodec.h"

#include <algorithm>

namespace {

void fillGroup(bool &pass, QString &comments, std::span<const bool> boxes)
{
    pass = std::all_of(boxes.begin(), boxes.end(), [](bool ticked) { return ticked; });
    comments = pass ? QString() : failedChannelsText(boxes);
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
