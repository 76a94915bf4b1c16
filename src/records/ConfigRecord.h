// The root of the test records: one object per module kind carries a test's results from the
// kind's results page to one row of the kind's results table. This root holds what every kind
// records (identity, digital and pulsed-output results) and has no table of its own.
#pragma once

#include "RecordRow.h"
#include "core/MessageSink.h"

#include <QDateTime>
#include <QString>

#include <array>

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
