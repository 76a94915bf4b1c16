// The "Runs" tab of the results history: the production runs of the run log table, newest
// first, with outcome and attempts, and "Open record" (or a double-click) showing a run's JSON
// record read-only in a window of its own, beside the history.
#pragma once

#include "records/DatabaseAlias.h"
#include "records/ResultsHistory.h"

#include <QWidget>

class QDialog;
class QLabel;
class QPushButton;
class QTableView;
class TMessageSink;
class TRunHistoryModel;

class TRunsView : public QWidget
{
public:
    explicit TRunsView(TMessageSink &messages, QWidget *parent = nullptr);

    // Reads the runs afresh; a database without the run log table shows why in the count line.
    void Load(const DatabasePaths &paths);
    // Shows the runs the history's filter lets through.
    void Select(HistoryKind kind, const HistoryFilter &filter);
    // The record of the selected run in a read-only window (deleted when closed); nullptr when
    // no run is selected.
    QDialog *OpenRecord();

    TRunHistoryModel &Model() { return *m_model; }

    QTableView *RunsTable;
    QLabel *RunsCountLabel;
    QPushButton *OpenRecordButton;

private:
    void showCount();
    void selectionChanged();
    int selectedRow() const;

    TRunHistoryModel *m_model;
    QString m_loadError;
};
