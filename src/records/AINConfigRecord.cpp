#include "AINConfigRecord.h"

#include "RecordColumns.h"
#include "ZUL_Database.h"

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
