// The status panel beside the pages: the "Module Detected" group (ZULInfoBox) with the model,
// kind, hardware line, eight channel lines and identity, and the two information labels below
// it. Built by the main window; TZULGeneral fills and clears it.
#pragma once

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

class TStatusPanel : public QWidget
{
public:
    explicit TStatusPanel(QWidget *parent = nullptr);

    QGroupBox *ZULInfoBox;
    QLabel *ModelNameLabel;
    QLabel *ZULTypeLabel;
    QLabel *ZULHWLabel;
    std::array<QLabel *, 8> ChannelLines; // Label170..Label177
    QLabel *FirmwareLabel;
    QLabel *PCBRevLabel;
    QLabel *PCBNumLabel;
    QPushButton *UpdateStatusBut;
    QLabel *ModuleTypeInfoLabel; // "Wrong module type!"
    QLabel *ModbusInfoLabel; // "Modbus error" from coil reads
};
