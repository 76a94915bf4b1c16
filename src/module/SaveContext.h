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

// What a saved row got besides the database (its certificate), for the save's confirmation.
struct TSaveNote
{
    QString hint; // beside "Results saved to database"; empty: nothing to say
    bool failed = false; // something due is missing: the confirmation becomes a warning
};
