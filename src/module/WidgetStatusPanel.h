// The status panel beside the pages: the "Module Detected" group (ZULInfoBox) with the model,
// kind, hardware line, eight channel lines and identity, and the two information labels below
// it. Built by the main window; it draws the session's module state (TZULGeneral::ShowModuleState).
#pragma once

#include <QWidget>

#include <array>

namespace zul {
struct ModuleState;
}

class QGroupBox;
class QLabel;
class QPushButton;

class TStatusPanel : public QWidget
{
public:
    explicit TStatusPanel(QWidget *parent = nullptr);

    // The "Module Detected" lines drawn from what was read of the module; nothing is ever read
    // back from them.
    void Show(const zul::ModuleState &module);

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
