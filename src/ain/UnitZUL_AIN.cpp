#include "UnitZUL_AIN.h"

#include "AINPages.h"
#include "module/PulsedOutputs.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetCalibrationPage.h"
#include "module/WidgetScaleConfigPage.h"

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
    plugin.Unit = std::make_unique<TZULAIN>(context, config, *calibration);
    return plugin;
}

TZULAIN::TZULAIN(TKindContext &context, std::array<TScaleConfigPage *, 4> configPages,
    TCalibrationPage &calibrationPage)
    : m_session(context.Session)
    , m_general(context.General)
    , m_host(context.Host)
    , m_pulsedOutputs(context.PulsedOutputs)
    , m_calibration(context.Session, context.General, calibrationPage)
    , m_config(context.Session, context.General, { configPages.begin(), configPages.end() },
          [this] { m_calibration.AINCalClearGrid(); })
{
}

void TZULAIN::AINSetup()
{
    m_host.ShowOnlyPageSet(zul::AINList);
    AINDipTickExclusive(nullptr);
    m_general.ShowConfiguration([this](const TConfigurationCodes &codes) {
        m_calibration.AINCalRead();
        m_config.ShowConfiguration(codes);
    });
    m_pulsedOutputs.ReadUpdateTimes();
}

void TZULAIN::Poll(int pageIndex)
{
    if (pageIndex == zul::AINCalPage)
        m_calibration.AINCalLiveRaw();
}

void TZULAIN::Refresh(int pageIndex)
{
    if (pageIndex == zul::AINCalPage)
        m_calibration.AINCalRefresh();
}
