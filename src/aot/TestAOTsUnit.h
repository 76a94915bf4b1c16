// "Test Analogs" for the output module (TTestAOTsForm): the typed stimulus (hexadecimal) written
// to all eight outputs once a second, the output expected from each channel's scale in volts or
// milliamps, the measured values typed in, a tolerance in units or in percent of the range's
// high end. Opened from "AOT Results".
#pragma once

#include "analog/TestAnalogsDialog.h"

class TTestAOTsForm : public TTestAnalogsDialog
{
public:
    TTestAOTsForm(TSession &session, QTimer &pollTimer, TAnalogResults &results, QWidget *owner);

protected:
    void showHardware(std::uint16_t hardwareCode) override;
    void liveTick() override;
    QString expectedText(int channel) const override;
    bool passes(int channel) const override;
    std::optional<zul::Band> band(int channel) const override;
    QString typeMark() const override;

private:
    QString m_hardwareName;
};
