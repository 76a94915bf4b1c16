// The AOT module kind: its plug-in (CreateAOTKind, registered by the main window) and its unit.
// The two output configuration pages, the check and results pages and the set-up are the analog
// kinds' shared ones (TAnalogKindUnit); the AOT unit adds its calibration page's output drive,
// the output test dialog and the AOT record.
#pragma once

#include "AOTCalibration.h"
#include "TestAOTsUnit.h"
#include "analog/AnalogKind.h"

namespace zul {

constexpr int VoutputPage = pageIndex("VoutputSheet");
constexpr int IoutputPage = pageIndex("IoutputSheet");
constexpr int AOTCalPage = pageIndex("AOTCalSheet");
constexpr int AOTCheckPage = pageIndex("AOTCheckSheet");
constexpr int AOTResultsPage = pageIndex("AOTResultsSheet");

} // namespace zul

TKindPlugin CreateAOTKind(TKindContext &context);

class TZULAOT : public TAnalogKindUnit
{
public:
    TZULAOT(TKindContext &context, const TAnalogKindPages &pages);

    void AOTSetup() { Setup(); }
    void AOTDipTickExclusive(QCheckBox *keep) { Configuration().DipTickExclusive(keep); }

    TAOTCalibration &Calibration() { return m_calibration; }
    TTestAOTsForm &TestDialog() { return *m_testDialog; }

protected:
    void calibrationRead() override { m_calibration.AOTCalRead(); }
    void calibrationPoll() override { m_calibration.AOTCalLiveTick(); }
    void calibrationRefresh() override { m_calibration.AOTCalRefreshFormat(); }
    void clearCalibrationGrid() override { m_calibration.AOTCalClearGrid(); }

private:
    TAOTCalibration m_calibration;
    TTestAOTsForm *m_testDialog; // owned by the main window, like the targets dialog
};
