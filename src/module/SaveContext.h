// Who asks for a results save. A hand save (the page's "Save" button) passes none: the row's
// TECHNICIAN stays empty and its certificate says "manual test". A production run's save step
// passes its operator and plan. Handed to the save as an argument, so nothing of a run is left
// behind for the next hand save, whatever became of the run's.
#pragma once

#include <QString>

struct TSaveContext
{
    QString Operator; // the row's TECHNICIAN
    QString Plan; // named on the row's certificate; empty: a manual test
};
