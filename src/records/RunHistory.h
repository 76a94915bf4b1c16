// The runs of the results history: the rows of the run log table, read through a read-only
// connection of its own, newest first, filtered as the results are (kind, serial number, day
// the run started), with the number of attempts each run took worked out from its record.
// Widget-free; the history dialog's Runs view shows it and opens a run's record from it.
#pragma once

#include "DatabaseAlias.h"
#include "ResultsHistory.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>

struct TRunHistoryRow
{
    qint64 id = 0;
    QString serial;
    QString kind;
    QDateTime started; // invalid when the row holds none
    QString outcome;
    int attempts = -1; // every attempt of every step; -1 when the record cannot be read
    QString operatorName;
    QString plan;
    QString record; // the JSON text
};

// The attempts over all steps of a run record; -1 for text that is no run record.
int recordAttempts(const QString &recordJson);

class TRunHistoryModel : public QAbstractTableModel
{
public:
    enum Column { Serial, Kind, Started, Outcome, Attempts, Operator, Plan, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // Reads every run of the database saves go to and closes the connection again. False with
    // lastError() when the database cannot be opened or has no run log table; no rows then.
    bool load(const DatabasePaths &paths);
    // Shows the loaded runs the filter lets through (the kind by its name in KIND).
    void select(HistoryKind kind, const HistoryFilter &filter);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // Start times as "yyyy-MM-dd hh:mm:ss" in local time, as the results history shows dates.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const TRunHistoryRow &run(int row) const { return m_rows.at(row); }
    QString lastError() const { return m_lastError; }

private:
    QList<TRunHistoryRow> m_all; // newest first
    QList<TRunHistoryRow> m_rows; // what the filter lets through
    QString m_lastError;
};
