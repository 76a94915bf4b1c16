#include "UnitZUL_AIN.h"

#include "AINCore.h"
#include "AINPages.h"
#include "AINPlans.h"
#include "AINRun.h"
#include "module/Session.h"
#include "records/DataRecords.h"
#include "records/RecordFill.h"

namespace {

// The kind's plans are listed from start-up, before a module of the kind connects. The kind
// list (KindFactories) names this file's factory, so this file is always linked in with it.
[[maybe_unused]] const bool PlansRegistered = (zul::ain::registerPlans(), true);

} // namespace

TKindPlugin CreateAINKind(TKindContext &context)
{
    const TAnalogKindPages pages({ zul::ain::ConfigPages(), zul::ain::CalibrationPage,
        zul::ain::CheckPage, zul::ain::ResultsPage });
    return { pages.PageList(), std::make_unique<TZULAIN>(context, pages), &AINRun };
}

TZULAIN::TZULAIN(TKindContext &context, const TAnalogKindPages &pages)
    : TAnalogKindUnit(context, zul::AINList, pages,
        { zul::ain::StoredSetWords,
            [&session = context.Session]() -> TAnalogConfigRecord * {
                return session.RecordOf<TAINConfigRecord>(zul::AINList);
            },
            [](TAnalogConfigRecord &record, const zul::ResultsGrid &grid,
                std::span<const std::uint16_t> stored) {
                auto &ain = static_cast<TAINConfigRecord &>(record);
                fillAINAnalogTests(ain, grid);
                fillAINStoredCalibration(ain, stored.first<zul::ain::StoredSetWords>());
            } })
    , m_calibration(context.Session, context.General, *pages.Calibration)
    , m_testDialog(
          new TTestAINsForm(context.Session, context.ModbusTimer, Results(), context.Window))
{
    useTestDialog(m_testDialog);
}

void TZULAIN::afterSetup()
{
    Results().SetCellText(0, 0, QStringLiteral("Type"));
    Results().SetCellText(0, 1, QStringLiteral("Stimulus"));
    for (int n = 1; n <= zul::ain::ChannelCount; ++n)
        Results().SetCellText(0, n + 1, QStringLiteral("AIN%1").arg(n));
}
