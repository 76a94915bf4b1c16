#include "ConfigRecord.h"

#include "ZUL_Database.h"

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
