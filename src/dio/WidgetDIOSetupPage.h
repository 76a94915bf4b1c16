// The "Pulse Inputs Setup" page (DIOSetupSheet): the maximum pulse rate of DIO1 to DIO4 with
// its "Div 10" option. Built by the page factory; TZULDIO fills it and writes it to the module.
#pragma once

#include "widgets/WidgetSheet.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TDIOSetupPage : public TSheet
{
public:
    explicit TDIOSetupPage(QWidget *parent = nullptr);

    std::array<QCheckBox *, 4> Div10Boxes; // CheckBox_DIOPulseDiv10_1..4
    std::array<QLineEdit *, 4> MaxRateEdits; // Edit1..Edit4
    QPushButton *DIOSetupReadZULButton;
    QPushButton *DIOSetupSaveButton;
};
