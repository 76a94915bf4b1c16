// The "DIO Check" page (DIOCheckSheet): live digital inputs and outputs, pulse input counts and
// rates, pulsed output counts and targets, the output edit mode and "Edit Targets". Built by the
// DIO plug-in; TDIOCheck fills it at every poll.
#pragma once

#include "widgets/WidgetBuilders.h"
#include "widgets/WidgetSheet.h"

#include <array>

class QLabel;
class TDigitalOutputsPanel;

class TDIOCheckPage : public TSheet
{
public:
    explicit TDIOCheckPage(QWidget *parent = nullptr);

    // "Digital outputs": DOUTOn1/DOUTOff1 .. 16, DOUTSendBut, DOUTEditCheckBox.
    TDigitalOutputsPanel *DigitalOutputs;
    std::array<QLabel *, 16> InputLabels; // DINLabel1..16
    std::array<QLabel *, 4> PulseInCountTexts; // StaticText1..4
    std::array<QLabel *, 4> PulseInRateTexts; // StaticText9..12
    // Counts StaticText33..40, targets StaticText41..48, DIOCheckEditButton.
    TPulseOutputColumn PulseOutputs;
};
