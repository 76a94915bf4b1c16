// Test record classes: one object per module kind carries a test's results from the kind's
// results page to one row of the kind's results table. Filled by the DIO/AIN/AOT results pages
// (see RecordFill.h for the widget-free fill steps), saved through TDataModule_Results. The
// records build on the database module, never the other way round: it only writes rows.
#pragma once

#include "RecordRow.h"
#include "core/FiledTest.h"
#include "core/KindRegistry.h"
#include "core/MessageSink.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TDataModule_Results;

class TConfigRecord
{
public:
    virtual ~TConfigRecord() = default;

    // Appends one row to the kind's table; the root and the analog base have no table and
    // answer false without writing.
    virtual bool SaveToDatabase(TDataModule_Results &database, TMessageSink &messages);
    // Empties the identity fields only; results are overwritten by every fill step anyway.
    virtual void Clear();
    // The full row in the order the columns are set; empty for the classes without a table.
    virtual RecordRow columns() const;

    QString SerialNo;
    QDateTime TestDate;
    QString Technician;
    QString BoardRev;
    QString FirmwareRev;
    bool DinPass = false;
    QString DinComments;
    bool DoutPass = false;
    QString DoutComments;
    bool PoutPass = false;
    QString PoutComments;
    bool PoutCountPass = false;
    QString PoutCountComments;
    std::array<QString, 8> PoutTimes;
    std::array<bool, 8> PoutChannelPass {};
    std::array<bool, 8> PoutCountChannelPass {};

protected:
    bool saveTo(const QString &table, TDataModule_Results &database, TMessageSink &messages) const;
};

class TDIOConfigRecord : public TConfigRecord
{
public:
    bool SaveToDatabase(TDataModule_Results &database, TMessageSink &messages) override;
    RecordRow columns() const override;

    std::array<QString, 4> PinMaxRates;
    std::array<bool, 4> PinCountPass {};
    std::array<bool, 4> PinRatePass {};
};

class TAnalogConfigRecord : public TConfigRecord
{
public:
    static constexpr int TestCount = 12;
    static constexpr int TestCells = 9; // stimulus, then the value of channel 1..8

    std::array<std::array<QString, TestCells>, TestCount> TestGrid;
    QString AnalogConfig;
    std::array<QString, 8> ScaleTexts;
    // The tests as judged when they were filed, for the row's certificate; no column of its own.
    std::vector<zul::FiledTest> FiledTests;
};

class TAINConfigRecord : public TAnalogConfigRecord
{
public:
    bool SaveToDatabase(TDataModule_Results &database, TMessageSink &messages) override;
    RecordRow columns() const override;

    bool SeVinPass = false;
    bool SeVinTested = false;
    QString SeVinComments;
    bool DVinPass = false;
    bool DVinTested = false;
    QString DVinComments;
    bool SeIinPass = false;
    bool SeIinTested = false;
    QString SeIinComments;
    bool DIinPass = false;
    bool DIinTested = false;
    QString DIinComments;
    std::array<std::int16_t, 8> VinOffsets {};
    std::array<std::uint16_t, 8> VinSpans {};
    std::array<std::int16_t, 8> SeIinOffsets {};
    std::array<std::uint16_t, 8> SeIinSpans {};
    std::array<std::int16_t, 8> DIinOffsets {};
    std::array<std::uint16_t, 8> DIinSpans {};
    bool TlcScaling = false;
};

class TAOTConfigRecord : public TAnalogConfigRecord
{
public:
    bool SaveToDatabase(TDataModule_Results &database, TMessageSink &messages) override;
    RecordRow columns() const override;

    bool VoutPass = false;
    bool VoutTested = false;
    QString VoutComments;
    bool IoutPass = false;
    bool IoutTested = false;
    QString IoutComments;
    std::array<std::int16_t, 8> VoltOffsets {};
    std::array<std::uint16_t, 8> VoltSpans {};
    std::array<std::int16_t, 8> CurrOffsets {};
    std::array<std::uint16_t, 8> CurrSpans {};
};

// The record objects of one connect, one per module kind at its list index (none for a kind that
// saves no results), owned by the session and replaced at the next connect.
using TestRecords = std::array<std::shared_ptr<TConfigRecord>, zul::KindCount>;

// Fresh, cleared records of every kind that saves results; Connect calls it once the database
// has opened, so that no record exists to save while it cannot.
void CreateTestRecords(TestRecords &records);
