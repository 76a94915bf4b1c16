#include "DataRecords.h"

#include "ZUL_Database.h"

#include <span>

namespace {

class RowBuilder
{
public:
    void text(const QString &name, const QString &value)
    {
        // A null QString would reach the database as NULL; the row stores empty fields as ''.
        add(name, ColumnKind::Text, value.isNull() ? QStringLiteral("") : value);
    }
    void dateTime(const QString &name, const QDateTime &value)
    {
        add(name, ColumnKind::DateTime, value);
    }
    void flag(const QString &name, bool value) { add(name, ColumnKind::Bool, value); }
    void smallInt(const QString &name, std::int16_t value)
    {
        add(name, ColumnKind::SmallInt, int { value });
    }
    void integer(const QString &name, std::uint16_t value)
    {
        add(name, ColumnKind::Integer, int { value });
    }

    // Numbered groups are named prefix1..prefixN; the setter is one of the members above.
    template<typename T, typename Setter>
    void numbered(const QString &prefix, std::span<const T> values, Setter set)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            (this->*set)(prefix + QString::number(i + 1), values[i]);
    }

    RecordRow take() { return std::move(m_row); }

private:
    void add(const QString &name, ColumnKind kind, QVariant value)
    {
        m_row.push_back({ name, kind, std::move(value) });
    }

    RecordRow m_row;
};

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

void addTestGrid(RowBuilder &row, const TAnalogConfigRecord &r)
{
    for (int test = 0; test < TAnalogConfigRecord::TestCount; ++test) {
        const QString prefix = QStringLiteral("Test%1_").arg(test + 1);
        const auto &cells = r.TestGrid[test];
        row.text(prefix + "STIM", cells[0]);
        row.numbered<QString>(prefix, std::span(cells).subspan(1), &RowBuilder::text);
    }
}

void addAnalogTail(RowBuilder &row, const TAnalogConfigRecord &r)
{
    addTestGrid(row, r);
    addPulsedOutputs(row, r);
    row.text("ANALOG_CONFIG", r.AnalogConfig);
    row.numbered<QString>("SCALE", r.ScaleTexts, &RowBuilder::text);
}

} // namespace

bool TConfigRecord::SaveToDatabase(TDataModule_Results &, TMessageSink &)
{
    return false;
}

void TConfigRecord::Clear()
{
    SerialNo.clear();
    TestDate = QDateTime();
    Technician.clear();
    BoardRev.clear();
}

RecordRow TConfigRecord::columns() const
{
    return {};
}

bool TConfigRecord::saveTo(
    const QString &table, TDataModule_Results &database, TMessageSink &messages) const
{
    return database.appendRow(table, columns(), messages);
}

bool TDIOConfigRecord::SaveToDatabase(TDataModule_Results &database, TMessageSink &messages)
{
    return saveTo(database.DIO_Table, database, messages);
}

RecordRow TDIOConfigRecord::columns() const
{
    RowBuilder row;
    addIdentityAndDigitalResults(row, *this);
    addPulsedOutputs(row, *this);
    row.numbered<QString>("PinMaxRate", PinMaxRates, &RowBuilder::text);
    row.numbered<bool>("PinCountPass", PinCountPass, &RowBuilder::flag);
    row.numbered<bool>("PinRatePass", PinRatePass, &RowBuilder::flag);
    return row.take();
}

bool TAINConfigRecord::SaveToDatabase(TDataModule_Results &database, TMessageSink &messages)
{
    return saveTo(database.AIN_Table, database, messages);
}

RecordRow TAINConfigRecord::columns() const
{
    RowBuilder row;
    addIdentityAndDigitalResults(row, *this);
    addTestKind(row, "SE_VIN", "COMMENTS_SE_VIN", SeVinPass, SeVinTested, SeVinComments);
    addTestKind(row, "D_VIN", "COMMENTS_D_VIN", DVinPass, DVinTested, DVinComments);
    addTestKind(row, "SE_IIN", "COMMENTS_SE_IIN", SeIinPass, SeIinTested, SeIinComments);
    addTestKind(row, "D_IIN", "COMMENTS_D_IIN", DIinPass, DIinTested, DIinComments);
    addCalibration(row, "VIN", VinOffsets, VinSpans);
    addCalibration(row, "SE_IIN", SeIinOffsets, SeIinSpans);
    addCalibration(row, "D_IIN", DIinOffsets, DIinSpans);
    addAnalogTail(row, *this);
    row.flag("TLC_SCALING", TlcScaling);
    return row.take();
}

bool TAOTConfigRecord::SaveToDatabase(TDataModule_Results &database, TMessageSink &messages)
{
    return saveTo(database.AOT_Table, database, messages);
}

RecordRow TAOTConfigRecord::columns() const
{
    RowBuilder row;
    addIdentityAndDigitalResults(row, *this);
    addTestKind(row, "VOUT", "COMMENTS_VOUT", VoutPass, VoutTested, VoutComments);
    addTestKind(row, "IOUT", "COMMENTS_IOUT", IoutPass, IoutTested, IoutComments);
    addCalibration(row, "VOT", VoltOffsets, VoltSpans);
    addCalibration(row, "IOT", CurrOffsets, CurrSpans);
    addAnalogTail(row, *this);
    return row.take();
}

namespace {

// The record class of each kind that saves results; a kind with a results table adds its line.
struct RecordMaker
{
    std::string_view kind;
    std::shared_ptr<TConfigRecord> (*make)();
};

template<typename Record>
std::shared_ptr<TConfigRecord> makeRecord()
{
    return std::make_shared<Record>();
}

constexpr RecordMaker RecordMakers[] = {
    { "AIN", makeRecord<TAINConfigRecord> },
    { "AOT", makeRecord<TAOTConfigRecord> },
    { "DIO", makeRecord<TDIOConfigRecord> },
};

} // namespace

void CreateTestRecords(TestRecords &records)
{
    records = {};
    for (const RecordMaker &maker : RecordMakers) {
        const zul::TKindRow *kind = zul::findKindByName(maker.kind);
        if (!kind)
            continue;
        std::shared_ptr<TConfigRecord> record = maker.make();
        record->Clear();
        records[static_cast<std::size_t>(kind->List)] = std::move(record);
    }
}
