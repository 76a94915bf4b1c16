// The results pages of the analog kinds: the text of the filed tests grid (by the columns'
// visual order, since tests may be dragged into another order), and "Save", which fills the
// kind's test record from the PASS / FAIL grid, the module's update times and stored calibration
// sets, the filed tests and the status panel, and appends it to the kind's table. The kinds
// differ in their record, their stored sets and how their tests are judged (TAnalogResultsKind).
#pragma once

#include "core/AnalogTestArithmetic.h"
#include "core/FiledTest.h"
#include "module/SaveContext.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class TAnalogConfigRecord;
class TAnalogResultsPage;
struct RecordIdentity;
class TZULGeneral;
struct TSession;

struct TAnalogResultsKind
{
    int StoredSetWords; // read from input register 143 on
    // The record of this connect, or nullptr when the database could not be opened then.
    std::function<TAnalogConfigRecord *()> Record;
    // The kind's own fill: its tests judged from the grid, its stored calibration sets.
    std::function<void(
        TAnalogConfigRecord &, const zul::ResultsGrid &, std::span<const std::uint16_t> stored)>
        FillKind;
};

class TAnalogResults
{
public:
    TAnalogResults(
        TSession &session, TZULGeneral &general, TAnalogResultsPage &page, TAnalogResultsKind kind);

    // Answers whether the row was saved. The page's button saves by hand (no context).
    bool Save(const TSaveContext &who = {});
    // No tick and no filed test left: what a production run does before the next module.
    void ClearForNextModule();
    // The date picker to today: every set-up of the kind.
    void ResetDate();

    // Files a test into the first free column (by the grid's visual order), or over the test
    // in `column` (a retried test replaces its own), and keeps it with the column; -1 when no
    // column is free.
    int File(const zul::FiledTest &test, int column = -1);
    // The filed tests still in the grid, in its visual order, each with its column number.
    std::vector<zul::FiledTest> FiledTests() const;

    QString CellText(int column, int row) const;
    void SetCellText(int column, int row, const QString &text);
    zul::ResultsGrid GridTexts() const;
    void SetGridTexts(const zul::ResultsGrid &grid);

    TAnalogResultsPage &Page() { return m_page; }

private:
    bool fill(TAnalogConfigRecord &record, const RecordIdentity &identity);
    int logicalColumn(int column) const;
    // A cell typed into by hand: the filed test of its column follows the grid's texts.
    void cellEdited(int row, int logical);

    TSession &m_session;
    TZULGeneral &m_general;
    TAnalogResultsPage &m_page;
    TAnalogResultsKind m_kind;
    // By logical column: the test filed there, while its cells hold it.
    std::array<std::optional<zul::FiledTest>, zul::ResultsGridColumns> m_filed;
    bool m_writing = false; // our own cell writes are no hand edits
};
