// The production run's table of typed readings (RunReadingsTable): one row per output (AOT1 to
// AOT8) with one editable cell, for the values the operator reads off a meter. Enter moves to
// the next row and, from the last row, runs the step. A cell that is not a number is marked and
// keeps the step waiting: a reading is never taken as zero.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QLineEdit;
class QLocale;
class QTableWidget;
class QWidget;

// A typed reading: "." always, or the locale's decimal separator; nothing when the text is no
// finite number. Group separators are refused ("1,500" is no reading in either form).
std::optional<double> ParseReading(const QString &text, const QLocale &locale);

class TRunReadingsTable
{
public:
    // `done`: Enter in the last row.
    TRunReadingsTable(
        QWidget *parent, const QString &channelPrefix, int rows, std::function<void()> done);

    QTableWidget *Table() const { return m_table; }
    // Enter in the focused cell: the next row's cell, or `done` from the last row.
    void Enter();
    int FocusedRow() const; // -1 when no cell has the focus
    // Empty cells, nothing marked, the first row's cell focused.
    void Clear();
    void Focus();
    // Every reading, element 0 = the first row; nothing when a cell is not a number, which is
    // then marked (the first such cell focused) and named in `problem`.
    std::optional<std::vector<double>> Readings(QString *problem);

private:
    void enterFrom(int row);
    void mark(QLineEdit *edit, bool bad);

    QTableWidget *m_table;
    QString m_prefix;
    std::vector<QLineEdit *> m_edits;
    std::function<void()> m_done;
};
