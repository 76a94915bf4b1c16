// The AIN module kind: its plug-in (CreateAINKind, registered by the main window) and its unit,
// which runs the set-up after an AIN module connected and the AIN pages' share of the poll
// dispatch and Dec/Hex refresh. The configuration pages are TScaleConfigPages over the four
// input pages; the calibration page is TAINCalibration.
#pragma once

#include "AINCalibration.h"
#include "TestAINsUnit.h"
#include "module/AnalogCheck.h"
#include "module/AnalogResults.h"
#include "module/KindPlugin.h"
#include "module/ScaleConfig.h"

#include <array>

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

class TAnalogCheckPage;
class TAnalogResultsPage;
class TScaleConfigPage;

class TZULAIN : public TModuleKindUnit
{
public:
    TZULAIN(TKindContext &context, std::array<TScaleConfigPage *, 4> configPages,
        TCalibrationPage &calibrationPage, TAnalogCheckPage &checkPage,
        TAnalogResultsPage &resultsPage);

    void Setup() override { AINSetup(); }
    void Poll(int pageIndex) override;
    void Refresh(int pageIndex) override;

    void AINSetup();
    // Unticks every "DIP switches set?" box but the given one (nullptr: all).
    void AINDipTickExclusive(QCheckBox *keep) { m_config.DipTickExclusive(keep); }

    void BuildControlArrays();

    TScaleConfigPages &Configuration() { return m_config; }
    TAnalogCheck &Check() { return m_check; }
    TAnalogResults &Results() { return m_results; }
    TTestAINsForm &TestDialog() { return *m_testDialog; }
    TAINCalibration &Calibration() { return m_calibration; }

private:
    TSession &m_session;
    TZULGeneral &m_general;
    TZULHost &m_host;
    TPulsedOutputs &m_pulsedOutputs;
    TAINCalibration m_calibration;
    TScaleConfigPages m_config;
    TAnalogCheck m_check;
    TAnalogResults m_results;
    TTestAINsForm *m_testDialog; // owned by the main window, like the targets dialog
};
