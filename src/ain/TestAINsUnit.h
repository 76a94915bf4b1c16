// "Test Analogs" for the input module (TTestAINsForm): the live scaled input of every channel
// once a second, always in "$" hexadecimal, with a copy button into the results record; the
// expected scaled value of the typed stimulus; a tolerance in raw counts. In a differential
// configuration the second input of each pair is not judged. Opened from "AIN Results".
#pragma once

#include "analog/TestAnalogsDialog.h"

#include <array>

class QToolButton;

class TTestAINsForm : public TTestAnalogsDialog
{
public:
    TTestAINsForm(TSession &session, QTimer &pollTimer, TAnalogResults &results, QWidget *owner);

    void AINTestCopyButClick(int channel);

    std::array<QLabel *, 8> LiveTexts; // LiveAIN1..8
    std::array<QToolButton *, 8> CopyButtons; // CopyBtn1..8

protected:
    void showHardware(std::uint16_t hardwareCode) override;
    void liveTick() override;
    QString expectedText(int channel) const override;
    bool passes(int channel) const override;
    std::optional<zul::Band> band(int channel) const override;
    QString typeMark() const override;

private:
    QString m_hardwareName;
    QString m_hardwareMode;
};
