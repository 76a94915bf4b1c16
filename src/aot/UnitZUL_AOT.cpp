#include "UnitZUL_AOT.h"

#include "AOTCore.h"
#include "AOTPages.h"
#include "module/FormZULPulsedOut.h"
#include "module/PulsedOutputs.h"
#include "module/SafeSlot.h"
#include "module/Session.h"
#include "module/WidgetAnalogCheckPage.h"
#include "module/WidgetAnalogResultsPage.h"
#include "records/DataRecords.h"
#include "records/RecordFill.h"

#include "module/UnitZUL_General.h"
#include "module/WidgetCalibrationPage.h"
#include "module/WidgetScaleConfigPage.h"
#include <QPushButton>

TKindPlugin CreateAOTKind(TKindContext &context)
{
    std::array<TScaleConfigPage *, 2> config {};
    TKindPlugin plugin;
    for (std::size_t n = 0; n < config.size(); ++n) {
        config[n] = new TScaleConfigPage(zul::aot::ConfigPages()[n]);
        plugin.Pages.emplace_back(zul::VoutputPage + static_cast<int>(n), config[n]);
    }
    auto *calibration = new TCalibrationPage(zul::aot::CalibrationPage);
    plugin.Pages.emplace_back(zul::AOTCalPage, calibration);
    auto *check = new TAnalogCheckPage(zul::aot::CheckPage);
    plugin.Pages.emplace_back(zul::AOTCheckPage, check);
    auto *results = new TAnalogResultsPage(zul::aot::ResultsPage);
    plugin.Pages.emplace_back(zul::AOTResultsPage, results);
    plugin.Unit = std::make_unique<TZULAOT>(context, config, *calibration, *check, *results);
    return plugin;
}

TZULAOT::TZULAOT(TKindContext &context, std::array<TScaleConfigPage *, 2> configPages,
    TCalibrationPage &calibrationPage, TAnalogCheckPage &checkPage, TAnalogResultsPage &resultsPage)
    : m_general(context.General)
    , m_host(context.Host)
    , m_pulsedOutputs(context.PulsedOutputs)
    , m_calibration(context.Session, context.General, calibrationPage)
    , m_config(context.Session, context.General, { configPages.begin(), configPages.end() },
          [this] { m_calibration.AOTCalClearGrid(); })
    , m_check(context.Session, context.General, checkPage, context.PulsedOutputs.TargetsDialog())
    , m_results(context.Session, context.General, resultsPage,
          { zul::aot::StoredSetWords,
              [&session = context.Session]() -> TAnalogConfigRecord * {
                  return session.AOTRecord.get();
              },
              [](TAnalogConfigRecord &record, const zul::ResultsGrid &grid,
                  std::span<const std::uint16_t> stored) {
                  auto &kindRecord = static_cast<TAOTConfigRecord &>(record);
                  fillAOTAnalogTests(kindRecord, grid);
                  fillAOTStoredCalibration(kindRecord, stored.first<zul::aot::StoredSetWords>());
              } })
    , m_testDialog(
          new TTestAOTsForm(context.Session, context.ModbusTimer, m_results, context.Window))
{
    zul::SafeConnect(resultsPage.TestButton, &QPushButton::clicked, &resultsPage,
        *context.Session.Messages, [this] { m_testDialog->exec(); });
}

void TZULAOT::BuildControlArrays()
{
    // The arrays are fixed members of the pages; what a rebuild still means is a fresh test
    // date for the next results.
    m_results.ResetDate();
}

void TZULAOT::AOTSetup()
{
    BuildControlArrays();
    m_host.ShowOnlyPageSet(zul::AOTList);
    AOTDipTickExclusive(nullptr);
    m_general.ShowConfiguration([this](const TConfigurationCodes &codes) {
        m_calibration.AOTCalRead();
        m_config.ShowConfiguration(codes);
    });
    m_pulsedOutputs.ReadUpdateTimes();
}

void TZULAOT::Poll(int pageIndex)
{
    if (pageIndex == zul::AOTCalPage)
        m_calibration.AOTCalLiveTick();
    else if (pageIndex == zul::AOTCheckPage)
        m_check.Poll();
}

void TZULAOT::Refresh(int pageIndex)
{
    if (pageIndex == zul::AOTCalPage)
        m_calibration.AOTCalRefreshFormat();
    else if (pageIndex == zul::AOTCheckPage)
        m_check.RefreshFormat();
}
