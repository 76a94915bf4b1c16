// The AOT module kind: its plug-in (CreateAOTKind, registered by the main window) and its unit,
// which runs the set-up after an AOT module connected and the AOT pages' share of the poll
// dispatch and Dec/Hex refresh. The configuration pages are TScaleConfigPages over the two
// output pages; the calibration page is TAOTCalibration.
#pragma once

#include "AOTCalibration.h"
#include "TestAOTsUnit.h"
#include "module/AnalogCheck.h"
#include "module/AnalogResults.h"
#include "module/KindPlugin.h"
#include "module/ScaleConfig.h"

#include <array>

namespace zul {

constexpr int VoutputPage = pageIndex("VoutputSheet");
constexpr int IoutputPage = pageIndex("IoutputSheet");
constexpr int AOTCalPage = pageIndex("AOTCalSheet");
constexpr int AOTCheckPage = pageIndex("AOTCheckSheet");
constexpr int AOTResultsPage = pageIndex("AOTResultsSheet");

} // namespace zul

TKindPlugin CreateAOTKind(TKindContext &context);

class QCheckBox;
class TAnalogCheckPage;
class TAnalogResultsPage;
class TScaleConfigPage;

class TZULAOT : public TModuleKindUnit
{
public:
    TZULAOT(TKindContext &context, std::array<TScaleConfigPage *, 2> configPages,
        TCalibrationPage &calibrationPage, TAnalogCheckPage &checkPage,
        TAnalogResultsPage &resultsPage);

    void Setup() override { AOTSetup(); }
    void Poll(int pageIndex) override;
    void Refresh(int pageIndex) override;

    void AOTSetup();
    void AOTDipTickExclusive(QCheckBox *keep) { m_config.DipTickExclusive(keep); }

    void BuildControlArrays();

    TScaleConfigPages &Configuration() { return m_config; }
    TAnalogCheck &Check() { return m_check; }
    TAnalogResults &Results() { return m_results; }
    TTestAOTsForm &TestDialog() { return *m_testDialog; }
    TAOTCalibration &Calibration() { return m_calibration; }

private:
    TZULGeneral &m_general;
    TZULHost &m_host;
    TPulsedOutputs &m_pulsedOutputs;
    TAOTCalibration m_calibration;
    TScaleConfigPages m_config;
    TAnalogCheck m_check;
    TAnalogResults m_results;
    TTestAOTsForm *m_testDialog; // owned by the main window, like the targets dialog
};
