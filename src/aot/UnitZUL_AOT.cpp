#include "UnitZUL_AOT.h"

#include "AOTCore.h"
#include "AOTPages.h"
#include "AOTPlans.h"
#include "AOTRun.h"
#include "module/Session.h"
#include "records/DataRecords.h"
#include "records/RecordFill.h"

namespace {

// The kind's plans are listed from start-up, before a module of the kind connects. The kind
// list (KindFactories) names this file's factory, so this file is always linked in with it.
[[maybe_unused]] const bool PlansRegistered = (zul::aot::registerPlans(), true);

} // namespace

TKindPlugin CreateAOTKind(TKindContext &context)
{
    const TAnalogKindPages pages({ zul::aot::ConfigPages(), zul::aot::CalibrationPage,
        zul::aot::CheckPage, zul::aot::ResultsPage });
    return { pages.PageList(), std::make_unique<TZULAOT>(context, pages), &AOTRun };
}

TZULAOT::TZULAOT(TKindContext &context, const TAnalogKindPages &pages)
    : TAnalogKindUnit(context, zul::AOTList, pages,
        { zul::aot::StoredSetWords,
            [&session = context.Session]() -> TAnalogConfigRecord * {
                return session.RecordOf<TAOTConfigRecord>(zul::AOTList);
            },
            [](TAnalogConfigRecord &record, const zul::ResultsGrid &grid,
                std::span<const std::uint16_t> stored) {
                auto &aot = static_cast<TAOTConfigRecord &>(record);
                fillAOTAnalogTests(aot, grid);
                fillAOTStoredCalibration(aot, stored.first<zul::aot::StoredSetWords>());
            } })
    , m_calibration(context.Session, context.General, *pages.Calibration)
    , m_testDialog(
          new TTestAOTsForm(context.Session, context.ModbusTimer, Results(), context.Window))
{
    useTestDialog(m_testDialog);
}
