// The DIO module unit: the set-up after a DIO module connected, the maximum pulse rates of the
// "Pulse Inputs Setup" page, and the DIO pages' share of the poll dispatch and number-format
// refresh. Created by the page factory over the DIO pages; the main window's ShowModulePages
// runs Setup() for kind 0x0101.
#pragma once

#include "DIOCheck.h"
#include "DIOResults.h"
#include "module/UnitZUL_GeneralHooks.h"

#include <array>
#include <cstdint>

class TDIOCheckPage;
class TDIOResultsPage;
class TDIOSetupPage;
class TPulsedOutputs;
class TZULGeneral;
struct TSession;

struct TDIOPages
{
    TDIOSetupPage &Setup;
    TDIOCheckPage &Check;
    TDIOResultsPage &Results;
};

class TZULDIO : public TModuleKindUnit
{
public:
    TZULDIO(TSession &session, TZULGeneral &general, TZULHost &host, const TDIOPages &pages,
        TPulsedOutputs &pulsedOutputs);

    void Setup() override { DIOSetup(); }
    void Poll(int pageIndex) override;
    void Refresh(int pageIndex) override;

    void DIOSetup();
    void BuildControlArrays();
    void ReadMaxRates();
    void SaveMaxRates();

    TDIOCheck &Check() { return m_check; }
    TDIOResults &Results() { return m_results; }

    // The maximum rate words as last read from the module or last converted for writing; the
    // DIO test record stores them.
    std::array<std::uint16_t, 4> MaxRateWords {};

private:
    TSession &m_session;
    TZULGeneral &m_general;
    TZULHost &m_host;
    TDIOSetupPage &m_setup;
    TPulsedOutputs &m_pulsedOutputs;
    TDIOCheck m_check;
    TDIOResults m_results;
};
