// The "DIO Check" page (DIOCheckSheet): live digital inputs and outputs, pulse input counts and
// rates, pulsed output counts and targets, the output edit mode and "Edit Targets". Built by the
// page factory; TDIOCheck fills it at every poll and sends the outputs.
#pragma once

#include "WidgetSheet.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class TDIOCheckPage : public TSheet
{
public:
    explicit TDIOCheckPage(QWidget *parent = nullptr);

    static constexpr int ON = 0;
    static constexpr int OFF = 1;

    // "Digital outputs": one panel per output holding its (ON, OFF) pair, and DOUTSendBut.
    QGroupBox *DigitalOutputsGroup;
    std::array<std::array<QRadioButton *, 2>, 16> OutputRadios;
    QCheckBox *DOUTEditCheckBox;
    QPushButton *DOUTSendBut;
    // An enabled label means the input is on.
    std::array<QLabel *, 16> InputLabels;
    std::array<QLabel *, 4> PulseInCountTexts; // StaticText1..4
    std::array<QLabel *, 4> PulseInRateTexts; // StaticText9..12
    std::array<QLabel *, 8> PulseOutCountTexts; // StaticText33..40
    std::array<QLabel *, 8> PulseOutTargetTexts; // StaticText41..48
    QPushButton *DIOCheckEditButton;
};
