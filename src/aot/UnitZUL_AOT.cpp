#include "UnitZUL_AOT.h"

#include "AOTPages.h"
#include "module/PulsedOutputs.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetCalibrationPage.h"
#include "module/WidgetScaleConfigPage.h"

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
    plugin.Unit = std::make_unique<TZULAOT>(context, config, *calibration);
    return plugin;
}

TZULAOT::TZULAOT(TKindContext &context, std::array<TScaleConfigPage *, 2> configPages,
    TCalibrationPage &calibrationPage)
    : m_general(context.General)
    , m_host(context.Host)
    , m_pulsedOutputs(context.PulsedOutputs)
    , m_calibration(context.Session, context.General, calibrationPage)
    , m_config(context.Session, context.General, { configPages.begin(), configPages.end() },
          [this] { m_calibration.AOTCalClearGrid(); })
{
}

void TZULAOT::AOTSetup()
{
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
}

void TZULAOT::Refresh(int pageIndex)
{
    if (pageIndex == zul::AOTCalPage)
        m_calibration.AOTCalRefreshFormat();
}
