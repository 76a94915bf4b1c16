// The "DIO Results" page (DIOResultsSheet, production test version only): the PASS / FAIL grid
// with an "ALL" box under each column, the test date and "Save". Built by the DIO plug-in;
// TDIOResults turns it into the DIO test record.
#pragma once

#include <QWidget>

class QDateEdit;
class QPushButton;
class TPassFailGrid;
class TResultsTargetLabel;

class TDIOResultsPage : public QWidget
{
public:
    explicit TDIOResultsPage(QWidget *parent = nullptr);

    // Columns in grid order; boxes per column 16, 16, 8, 8, 4, 4; ticked = passed.
    enum Column : int {
        DigitalInputs,
        DigitalOutputs,
        PulsedOutputs,
        PulsedOutCounts,
        PulseInputCount,
        PulseInputRate,
        ColumnCount
    };

    // DIOResultGrid and its ALL boxes CheckBox100, 99, 90, 81, 109, 110.
    TPassFailGrid *DIOResultGrid;
    QDateEdit *DIOResultsDateBox;
    QPushButton *Button1; // "Save"
    TResultsTargetLabel *ResultsTargetLabel; // where Save writes
};
