// The results page of an analog kind ("AIN Results", "AOT Results", production test version
// only), built from a table of names: the PASS / FAIL grid of the digital points with its ALL
// boxes, the grid of filed analog tests (13 x 11: column 0 fixed, then twelve test columns), the
// date, "Test Analogs", "Save" and where Save writes. TAnalogResults runs it.
#pragma once

#include "widgets/WidgetPassFailGrid.h"

#include <QWidget>

#include <array>

class QDateEdit;
class QPushButton;
class QTableWidget;
class TResultsTargetLabel;

struct TAnalogResultsPageNames
{
    const char *PageName;
    const char *GridGroupName; // "GroupBox31"
    std::array<TPassFailColumn, 4> Columns; // digital inputs, outputs, pulsed outputs, counts
    const char *DateBoxName;
    const char *SaveButtonName;
    const char *TestButtonName;
    const char *ResultsGridName;
};

class TAnalogResultsPage : public QWidget
{
public:
    enum Column : int { DigitalInputs, DigitalOutputs, PulsedOutputs, PulsedOutCounts };
    static constexpr int GridColumns = 13;
    static constexpr int GridRows = 11;

    explicit TAnalogResultsPage(const TAnalogResultsPageNames &names, QWidget *parent = nullptr);

    TPassFailGrid *ResultGrid;
    QDateEdit *DateBox;
    QPushButton *SaveButton;
    QPushButton *TestButton;
    QTableWidget *ResultsGrid; // "Analog test results"
    TResultsTargetLabel *ResultsTargetLabel; // where Save writes

private:
    void buildTestsGrid(const TAnalogResultsPageNames &names);
};
