// The comms traffic dock of the main window and the line counters in its status bar. Built once
// by the window: the dock "Comms traffic" (View menu, hidden until the user opens it, remembered
// between runs) with pause, clear, copy and save as CSV over a table of the latest frames; the
// counters with their reset; and the register layer's frame hook feeding both. The dock and its
// table wait until they are first opened, so that a start with the dock closed does not pay for
// them.
#pragma once

#include "TrafficModel.h"

#include <QObject>

class QAction;
class QDockWidget;
class QLabel;
class QMainWindow;
class QTableView;
class QWidget;
class TLazyDock;
class TMessageSink;
class ZUL_Modbus;

// "Requests 12 · good 11 · time-outs 1 · CRC/length 0 · exceptions 0 · other 0 · unexpected 0 ·
// last 8.1 ms · mean 8.4 ms" with everyCount; without it the counts after time-outs that are
// still 0 are left out.
QString TrafficCountsText(const modbus::LineCounts &counts, bool everyCount);

class TTrafficView : public QObject
{
public:
    // The owner of `modbus` clears its frame hook before either goes.
    TTrafficView(QMainWindow &window, ZUL_Modbus &modbus, TMessageSink &messages);

    TTrafficModel &Model() { return *m_model; }
    // Both build the dock, hidden, when it does not exist yet.
    QDockWidget *Dock();
    QTableView *Table();
    QLabel *CountsLabel() const { return m_counts; }

    void CopySelectedRows() const;
    void SaveAs();
    // Writes the CSV to `path`; a failure is reported through the message sink.
    bool SaveTo(const QString &path);

private:
    void buildViewMenu();
    // The dock's tool bar and table, made when the dock is first shown.
    QWidget *buildBody(QDockWidget &dock);
    QTableView *buildTable(QWidget *parent);
    void buildStatusBar(QMainWindow &window);
    void showCounts();

    QMainWindow &m_window;
    TMessageSink &m_messages;
    TTrafficModel *m_model;
    // View > Comms traffic: stands for the dock before it exists, and follows it after.
    QAction *m_toggle = nullptr;
    TLazyDock *m_dock = nullptr;
    QTableView *m_table = nullptr;
    QLabel *m_counts = nullptr;
    bool m_followTail = true;
};
