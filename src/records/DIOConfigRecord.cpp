#include "DIOConfigRecord.h"

#include "RecordColumns.h"
#include "ZUL_Database.h"

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
