// "AOT Calibration": the shared calibration page and its common operations, plus what only the
// output module has: the common output value Edit101 with its "Low" and "High" helpers, written
// to all eight outputs at every poll tick while the page is active. Part of the AOT unit.
#pragma once

#include "analog/Calibration.h"

class QLineEdit;
class QRadioButton;
class TCalibrationPage;

class TAOTCalibration
{
public:
    TAOTCalibration(TSession &session, TZULGeneral &general, TCalibrationPage &page);

    // The poll tick: live raw values in, the common output value out.
    void AOTCalLiveTick();
    // The show handler and the Dec/Hex switch.
    void AOTCalRefreshFormat();
    void AOTCalSetLowHigh();
    void AOTCalRead() { m_common.Read(); }
    void AOTCalClearGrid() { m_common.ClearGrid(); }

    TCalibration &Common() { return m_common; }
    QLineEdit *Edit101;
    QRadioButton *AOTCalLowButton;
    QRadioButton *AOTCalHighButton;

private:
    TSession &m_session;
    TCalibration m_common;
};
