// The "Comms" page (CommsSheet): the module's own serial settings and its Modbus output
// time-out. Built by the main window; TZULGeneral::PrepareCommsPage fills it and SetModuleComms
// writes it to the module.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class TTimePicker;

class TCommsPage : public QWidget
{
public:
    explicit TCommsPage(QWidget *parent = nullptr);

    // The time-out picker with its two labels, hidden for a module without register 204.
    void ShowOutputTimeout(bool visible);
    bool OutputTimeoutShown() const;

    QComboBox *CommsBaudBox;
    QComboBox *CommsParityBox;
    QComboBox *CommsStopBox;
    TTimePicker *ModbusDropOutputTime;
    QLabel *Label146;
    QLabel *Label158;
    QPushButton *SetCommsBtn;
};
