// The "Pulsed Outputs Setup" page (PoutSetupSheet), shown for every module kind: the update
// times of the eight pulsed outputs DIO1 to DIO8. Built by the page factory; TPulsedOutputs
// reads and writes it.
#pragma once

#include <QWidget>

#include <array>

class QPushButton;
class TTimePicker;

class TPoutSetupPage : public QWidget
{
public:
    explicit TPoutSetupPage(QWidget *parent = nullptr);

    std::array<TTimePicker *, 8> UpdateTimePickers; // DateTimePicker_DIO1..8
    QPushButton *PoutSetupReadZULButton;
    QPushButton *PoutSetupSaveButton;
};
