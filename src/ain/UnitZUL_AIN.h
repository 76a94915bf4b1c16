// The AIN module kind: its plug-in (CreateAINKind, registered by the main window) and its unit.
// The four input configuration pages, the check and results pages and the set-up are the analog
// kinds' shared ones (TAnalogKindUnit); the AIN unit adds its calibration page's full-range
// conversion, the input test dialog and the AIN record.
#pragma once

#include "AINCalibration.h"
#include "TestAINsUnit.h"
#include "analog/AnalogKind.h"

namespace zul {

constexpr int S_VinputPage = pageIndex("S_VinputSheet");
constexpr int D_VinputPage = pageIndex("D_VinputSheet");
constexpr int S_IinputPage = pageIndex("S_IinputSheet");
constexpr int D_IinputPage = pageIndex("D_IinputSheet");
constexpr int AINCalPage = pageIndex("AINCalSheet");
constexpr int AINCheckPage = pageIndex("AINCheckSheet");
constexpr int AINResultsPage = pageIndex("AINResultsSheet");

} // namespace zul

TKindPlugin CreateAINKind(TKindContext &context);

class TZULAIN : public TAnalogKindUnit
{
public:
    TZULAIN(TKindContext &context, const TAnalogKindPages &pages);

    void AINSetup() { Setup(); }
    // Unticks every "DIP switches set?" box but the given one (nullptr: all).
    void AINDipTickExclusive(QCheckBox *keep) { Configuration().DipTickExclusive(keep); }

    TAINCalibration &Calibration() { return m_calibration; }
    TTestAINsForm &TestDialog() { return *m_testDialog; }

protected:
    void calibrationRead() override { m_calibration.AINCalRead(); }
    void calibrationPoll() override { m_calibration.AINCalLiveRaw(); }
    void calibrationRefresh() override { m_calibration.AINCalRefresh(); }
    void clearCalibrationGrid() override { m_calibration.AINCalClearGrid(); }
    // The fixed column of the results grid.
    void afterSetup() override;

private:
    TAINCalibration m_calibration;
    TTestAINsForm *m_testDialog; // owned by the main window, like the targets dialog
};
