// "AIN Calibration": the shared calibration page and its common operations, plus what only the
// input module has: "Convert to $0000 - $FFFF" (SpecialScaleBut), enabled only while every
// channel is in the 4 to 20 mA range. Part of the AIN unit.
#pragma once

#include "analog/Calibration.h"

class QPushButton;
class TCalibrationPage;

class TAINCalibration
{
public:
    TAINCalibration(TSession &session, TZULGeneral &general, TCalibrationPage &page);

    // AINCalRefresh: the show handler and the Dec/Hex switch.
    void AINCalRefresh();
    void AINCalLiveRaw() { m_common.LiveRaw(); }
    void AINCalRead() { m_common.Read(); }
    void AINCalClearGrid() { m_common.ClearGrid(); }
    void AINCalFullRange();

    TCalibration &Common() { return m_common; }
    QPushButton *SpecialScaleBut;

private:
    TSession &m_session;
    TZULGeneral &m_general;
    TCalibration m_common;
};
