// The "Digital outputs" group of every check page (DIO 16 outputs, AIN and AOT 8): an ON/OFF
// radio pair per output, "Send" inside the group and the "Edit" tick box below it. Built by the
// check pages; TDigitalOutputs runs it.
#pragma once

#include <QGroupBox>

#include <functional>

class QCheckBox;
class QPushButton;
class TRadioMatrix;

struct TDigitalOutputsNames
{
    int Count;
    std::function<QString(int output, int column)> RadioName; // output 0-based; column ON/OFF
    QString SendName;
    QString EditName;
};

class TDigitalOutputsPanel : public QGroupBox
{
public:
    static constexpr int ON = 0;
    static constexpr int OFF = 1;

    // The "Edit" box is a child of page, outside the group: disabling the group must not take the
    // switch back out of reach.
    TDigitalOutputsPanel(const TDigitalOutputsNames &names, QWidget *page);

    TRadioMatrix *Outputs; // rows "DIO1".., columns ON, OFF
    QPushButton *SendButton;
    QCheckBox *EditBox;
};
