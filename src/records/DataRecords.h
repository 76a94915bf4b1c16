// Test record classes: one object per module kind carries a test's results from the kind's
// results page to one row of the kind's results table. Filled by the DIO/AIN/AOT results pages
// (see RecordFill.h for the widget-free fill steps), saved through TDataModule_Results. The
// records build on the database module, never the other way round: it only writes rows.
// This header gathers every record class and the session's set of them for the many files that
// use several; each class has its own header.
#pragma once

#include "AINConfigRecord.h"
#include "AOTConfigRecord.h"
#include "AnalogConfigRecord.h"
#include "ConfigRecord.h"
#include "DIOConfigRecord.h"
#include "TestRecords.h"
