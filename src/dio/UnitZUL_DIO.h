// The DIO module kind: its plug-in (CreateDIOKind, registered by the main window) and its unit,
// which runs the set-up after a DIO module connected, the maximum pulse rates of the "Pulse
// Inputs Setup" page, and the DIO pages' share of the poll dispatch and Dec/Hex refresh.
#pragma once

#include "DIOCheck.h"
#include "DIOResults.h"
#include "module/KindPlugin.h"

#include <array>
#include <cstdint>

namespace zul {

constexpr int DIOSetupPage = pageIndex("DIOSetupSheet");
constexpr int DIOCheckPage = pageIndex("DIOCheckSheet");
constexpr int DIOResultsPage = pageIndex("DIOResultsSheet");

} // namespace zul

// The DIO pages and unit.
TKindPlugin CreateDIOKind(TKindContext &context);

class TDIOCheckPage;
class TDIOResultsPage;
class TDIOSetupPage;

struct TDIOPages
{
    TDIOSetupPage &Setup;
    TDIOCheckPage &Check;
    TDIOResultsPage &Results;
};

class TZULDIO : public TModuleKindUnit
{
public:
    TZULDIO(TKindContext &context, const TDIOPages &pages);

    void Setup() override { DIOSetup(); }
    void Poll(int pageIndex) override;
    void Refresh(int pageIndex) override;

    void DIOSetup();
    // The results page's date to today: the first step of every DIO set-up.
    void ResetResultsDate();
    // The arrays are fixed members of the pages; rebuilding them comes down to a fresh date.
    void BuildControlArrays() { ResetResultsDate(); }
    void ReadMaxRates();
    void SaveMaxRates();

    TDIOCheck &Check() { return m_check; }
    TDIOResults &Results() { return m_results; }
    TDIOSetupPage &SetupPage() { return m_setup; }
    TPulsedOutputs &PulsedOutputs() { return m_pulsedOutputs; }

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
