#include "RecordColumns.h"

#include "AnalogConfigRecord.h"

namespace {

void addTestGrid(RowBuilder &row, const TAnalogConfigRecord &r)
{
    for (int test = 0; test < TAnalogConfigRecord::TestCount; ++test) {
        const QString prefix = QStringLiteral("Test%1_").arg(test + 1);
        const auto &cells = r.TestGrid[test];
        row.text(prefix + "STIM", cells[0]);
        row.numbered<QString>(prefix, std::span(cells).subspan(1), &RowBuilder::text);
    }
}

} // namespace

void addIdentityAndDigitalResults(RowBuilder &row, const TConfigRecord &r)
{
    row.text("SERIAL_NO", r.SerialNo);
    row.dateTime("DATE_FLD", r.TestDate);
    row.text("TECHNICIAN", r.Technician);
    row.text("BOARD_REV", r.BoardRev);
    row.text("FWARE_REV", r.FirmwareRev);
    row.flag("DIN_RESULT", r.DinPass);
    row.text("COMMENTS_DIN", r.DinComments);
    row.flag("DOT_RESULT", r.DoutPass);
    row.text("COMMENTS_DOT", r.DoutComments);
    row.flag("POT_RESULT", r.PoutPass);
    row.text("COMMENTS_POT", r.PoutComments);
    row.flag("POT_CNT_RESULT", r.PoutCountPass);
    row.text("COMMENTS_POT_CNT", r.PoutCountComments);
}

void addPulsedOutputs(RowBuilder &row, const TConfigRecord &r)
{
    row.numbered<QString>("PoutTime", r.PoutTimes, &RowBuilder::text);
    row.numbered<bool>("PoutPASS", r.PoutChannelPass, &RowBuilder::flag);
    row.numbered<bool>("PoutCPASS", r.PoutCountChannelPass, &RowBuilder::flag);
}

void addTestKind(RowBuilder &row, const QString &prefix, const QString &commentsColumn, bool pass,
    bool tested, const QString &comments)
{
    row.flag(prefix + "_TESTS", pass);
    row.flag(prefix + "_TESTED", tested);
    row.text(commentsColumn, comments);
}

void addCalibration(RowBuilder &row, const QString &prefix, std::span<const std::int16_t> offsets,
    std::span<const std::uint16_t> spans)
{
    row.numbered<std::int16_t>(prefix + "_OFFSET", offsets, &RowBuilder::smallInt);
    row.numbered<std::uint16_t>(prefix + "_SPAN", spans, &RowBuilder::integer);
}

void addAnalogTail(RowBuilder &row, const TAnalogConfigRecord &r)
{
    addTestGrid(row, r);
    addPulsedOutputs(row, r);
    row.text("ANALOG_CONFIG", r.AnalogConfig);
    row.numbered<QString>("SCALE", r.ScaleTexts, &RowBuilder::text);
}
