#include "UnitZUL_AIN.h"

#include "AINCore.h"
#include "AINPages.h"
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

TKindPlugin CreateAINKind(TKindContext &context)
{
    std::array<TScaleConfigPage *, 4> config {};
    TKindPlugin plugin;
    for (std::size_t n = 0; n < config.size(); ++n) {
        config[n] = new TScaleConfigPage(zul::ain::ConfigPages()[n]);
        plugin.Pages.emplace_back(zul::S_VinputPage + static_cast<int>(n), config[n]);
    }
    auto *calibration = new TCalibrationPage(zul::ain::CalibrationPage);
    plugin.Pages.emplace_back(zul::AINCalPage, calibration);
    auto *check = new TAnalogCheckPage(zul::ain::CheckPage);
    plugin.Pages.emplace_back(zul::AINCheckPage, check);
    auto *results = new TAnalogResultsPage(zul::ain::ResultsPage);
    plugin.Pages.emplace_back(zul::AINResultsPage, results);
    plugin.Unit = std::make_unique<TZULAIN>(context, config, *calibration, *check, *results);
    return plugin;
}

TZULAIN::TZULAIN(TKindContext &context, std::array<TScaleConfigPage *, 4> configPages,
    TCalibrationPage &calibrationPage, TAnalogCheckPage &checkPage, TAnalogResultsPage &resultsPage)
    : m_session(context.Session)
    , m_general(context.General)
    , m_host(context.Host)
    , m_pulsedOutputs(context.PulsedOutputs)
    , m_calibration(context.Session, context.General, calibrationPage)
    , m_config(context.Session, context.General, { configPages.begin(), configPages.end() },
          [this] { m_calibration.AINCalClearGrid(); })
    , m_check(context.Session, context.General, checkPage, context.PulsedOutputs.TargetsDialog())
    , m_results(context.Session, context.General, resultsPage,
          { zul::ain::StoredSetWords,
              [&session = context.Session]() -> TAnalogConfigRecord * {
                  return session.AINRecord.get();
              },
              [](TAnalogConfigRecord &record, const zul::ResultsGrid &grid,
                  std::span<const std::uint16_t> stored) {
                  auto &kindRecord = static_cast<TAINConfigRecord &>(record);
                  fillAINAnalogTests(kindRecord, grid);
                  fillAINStoredCalibration(kindRecord, stored.first<zul::ain::StoredSetWords>());
              } })
    , m_testDialog(
          new TTestAINsForm(context.Session, context.ModbusTimer, m_results, context.Window))
{
    zul::SafeConnect(resultsPage.TestButton, &QPushButton::clicked, &resultsPage,
        *context.Session.Messages, [this] { m_testDialog->exec(); });
}

void TZULAIN::BuildControlArrays()
{
    // The arrays are fixed members of the pages; what a rebuild still means is a fresh test
    // date for the next results.
    m_results.ResetDate();
}

void TZULAIN::AINSetup()
{
    BuildControlArrays();
    m_host.ShowOnlyPageSet(zul::AINList);
    AINDipTickExclusive(nullptr);
    m_general.ShowConfiguration([this](const TConfigurationCodes &codes) {
        m_calibration.AINCalRead();
        m_config.ShowConfiguration(codes);
    });
    m_pulsedOutputs.ReadUpdateTimes();
    m_results.SetCellText(0, 0, QStringLiteral("Type"));
    m_results.SetCellText(0, 1, QStringLiteral("Stimulus"));
    for (int n = 1; n <= 8; ++n)
        m_results.SetCellText(0, n + 1, QStringLiteral("AIN%1").arg(n));
}

void TZULAIN::Poll(int pageIndex)
{
    if (pageIndex == zul::AINCalPage)
        m_calibration.AINCalLiveRaw();
    else if (pageIndex == zul::AINCheckPage)
        m_check.Poll();
}

void TZULAIN::Refresh(int pageIndex)
{
    if (pageIndex == zul::AINCalPage)
        m_calibration.AINCalRefresh();
    else if (pageIndex == zul::AINCheckPage)
        m_check.RefreshFormat();
}
