// The "DIO Results" page (DIOResultsSheet, production test version only): the PASS / FAIL grid
// with an "ALL" box under each column, the test date and "Save". Built by the page factory;
// TDIOResults turns it into the DIO test record.
#pragma once

#include <QWidget>

#include <array>
#include <vector>

class QCheckBox;
class QDateEdit;
class QPushButton;

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

    std::array<std::vector<QCheckBox *>, ColumnCount> DIOResultGrid;
    // CheckBox100, CheckBox99, CheckBox90, CheckBox81, CheckBox109, CheckBox110
    std::array<QCheckBox *, ColumnCount> DIOResultAllBoxes;
    QDateEdit *DIOResultsDateBox;
    QPushButton *Button1; // "Save"
};
