// The one way every results page (DIO, AIN, AOT) saves a module's test: the module of the
// connected kind still there, the status panel read afresh and the identity taken from it, the
// kind's reads and fill, then one row appended. A row is written only when every read worked,
// so no row carries a blank serial number, another module's identity or zeros for values the
// module did not give.
#pragma once

#include "SaveContext.h"
#include "records/RecordFill.h"

#include <QDate>

#include <functional>

class TConfigRecord;
class TZULGeneral;
struct TSession;

// The kind's part: reads what its row needs from the module and fills the record, identity
// included; false when a read failed.
using TResultsFill = std::function<bool(TConfigRecord &record, const RecordIdentity &identity)>;

// Where the next save goes, for the results pages' target line: "Saved to local file ...".
QString DescribeSaveTarget(const TSession &session);

// Shows every outcome itself; answers whether the row was saved. `record` is null when the
// results database could not be opened at connect.
bool SaveModuleResults(TSession &session, TZULGeneral &general, TConfigRecord *record,
    const QDate &testDate, const TResultsFill &fill, const TSaveContext &who);
