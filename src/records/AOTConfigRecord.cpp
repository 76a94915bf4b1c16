#include "AOTConfigRecord.h"

#include "RecordColumns.h"
#include "ZUL_Database.h"

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
