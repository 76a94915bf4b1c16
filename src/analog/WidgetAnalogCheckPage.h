// The check page of an analog kind ("AIN Check", "AOT Check"), built from a table of control
// numbers: the analog column (the inputs' scaled values, or the outputs' "Scaled" edits with
// "Copy to All"), the digital inputs and outputs, the pulsed-output counts and targets and
// "Edit Targets". TAnalogCheck runs it.
#pragma once

#include "widgets/WidgetBuilders.h"
#include "widgets/WidgetSheet.h"

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class TDigitalOutputsPanel;

struct TAnalogCheckPageNames
{
    const char *PageName; // "AINCheckSheet"
    const char *Kind; // "AIN": rows "AIN1"..
    const char *AnalogCaption; // "Analog Inputs"
    bool Outputs; // the analog column is edits that drive the outputs
    int AnalogFirst, AnalogStep; // StaticTextN (inputs) or EditN (outputs), channel 1 first
    int InputLabelsFirst; // LabelN, DIO1 first
    int OnFirst, OffFirst; // RadioButtonN of DIO1, two apart for each further point
    const char *SendName;
    const char *EditName;
    int CountsFirst, TargetsFirst; // StaticTextN
    const char *EditTargetsName;
};

class TAnalogCheckPage : public TSheet
{
public:
    explicit TAnalogCheckPage(const TAnalogCheckPageNames &names, QWidget *parent = nullptr);

    const TAnalogCheckPageNames &Names() const { return m_names; }

    std::array<QLabel *, 8> ScaledTexts {}; // inputs
    std::array<QLineEdit *, 8> ScaledEdits {}; // outputs
    QLineEdit *CopyFrom = nullptr; // outputs: AOTCheckCopyFrom
    QPushButton *CopyButton = nullptr; // outputs: AOTCheckCopyButton
    std::array<QLabel *, 8> InputLabels;
    TDigitalOutputsPanel *DigitalOutputs;
    TPulseOutputColumn PulseOutputs;

private:
    QVBoxLayout *buildAnalogColumn();
    QGroupBox *buildCopyToAll(); // outputs only
    QVBoxLayout *buildDigitalColumn();

    const TAnalogCheckPageNames &m_names;
};
