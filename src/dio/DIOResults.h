// The "DIO Results" operations: the "ALL" boxes of the PASS / FAIL grid and "Save", which fills
// the DIO test record from the grid, the status panel, the maximum rate words and the module's
// update times and appends it to the DIO results table. Part of the DIO unit (TZULDIO owns one).
#pragma once

#include "module/SaveContext.h"
#include "records/RecordFill.h"

#include <array>
#include <cstdint>

class TDIOResultsPage;
class TZULGeneral;
struct TSession;

class TDIOResults
{
public:
    TDIOResults(TSession &session, TZULGeneral &general, TDIOResultsPage &page,
        const std::array<std::uint16_t, 4> &maxRateWords);

    // Answers whether the row was saved; every outcome is shown by the save itself.
    bool SaveDIOResults(const TSaveContext &who = {});
    // Sets the date picker to today; run whenever the DIO control arrays are built.
    void ResetDate();

    DIOResultTicks Ticks() const;
    TDIOResultsPage &Page() { return m_page; }

private:
    TSession &m_session;
    TZULGeneral &m_general;
    TDIOResultsPage &m_page;
    const std::array<std::uint16_t, 4> &m_maxRateWords;
};
