#include "AnalogRunSteps.h"

#include "AnalogKind.h"
#include "AnalogResults.h"
#include "Calibration.h"
#include "ScaleConfig.h"
#include "TestAnalogsDialog.h"
#include "WidgetAnalogResultsPage.h"
#include "WidgetCalibrationPage.h"
#include "WidgetScaleConfigPage.h"
#include "core/ModuleCodes.h"
#include "core/NumberFormat.h"
#include "core/Registers.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "runsteps/RunSave.h"
#include "runsteps/RunTicks.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/RadioMatrix.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <array>
#include <span>

using zul::run::Measurement;
using zul::run::Plan;
using zul::run::StableCapture;
using zul::run::StepContext;
using zul::run::StepResult;

namespace {

constexpr int Channels = 8;
constexpr std::size_t BothBlocks = 2 * std::size_t { Channels }; // offsets, then spans

std::string channelName(const TAnalogRunContext &context, int channel)
{
    return context.KindName + std::to_string(channel);
}

} // namespace

StepResult IdentifyStep(const TAnalogRunContext &context)
{
    TZULGeneral &general = context.General;
    const std::string noModule = "No " + context.KindName + " module answers on this port";
    if (!general.CheckModule(false) || context.Session.Module.kind != context.KindCode)
        return StepResult::error(noModule);
    if (!general.FillModuleStatus())
        return StepResult::error("The module's identity could not be read");
    // The calibration as found, before the run writes its own: the record keeps it.
    bool read = false;
    // Offsets and spans are written as holding registers but read back only as input registers.
    const TWordArrayDynamic found =
        zul::ReadInputsOrZeros(context.Session.Modbus, zul::reg::Offsets, 2 * Channels, &read);
    context.Session.Module.calibration.take(
        std::vector<std::uint16_t>(found.begin(), found.end()), read);
    if (!read)
        return StepResult::error("The module's calibration could not be read");
    std::vector<Measurement> values;
    values.reserve(BothBlocks);
    for (int n = 0; n < Channels; ++n)
        values.push_back({ "Offset as found " + channelName(context, n + 1),
            double(static_cast<std::int16_t>(found[n])), "counts", std::nullopt });
    for (int n = 0; n < Channels; ++n)
        values.push_back({ "Span as found " + channelName(context, n + 1),
            double(found[Channels + n]), "counts", std::nullopt });
    // Nothing of the previous module may end up in this one's row.
    context.Unit.Results().ClearForNextModule();
    context.Dialog.ClearResults();
    return StepResult::passed(context.Session.Module.identitySentence(), values);
}

int ConfigPageOf(const TAnalogRunContext &context, const Plan &plan, int pages)
{
    for (int n = 0; n < pages; ++n)
        if (context.Unit.Configuration().Page(n).Info().HardwareCode
            == plan.configuration->hardwareCode)
            return n;
    return 0;
}

TRunConfigPage RunConfigPage(
    const TAnalogRunContext &context, const Plan &plan, const std::vector<int> &pages)
{
    const int index = ConfigPageOf(context, plan, static_cast<int>(pages.size()));
    return { context.Unit.Configuration().Page(index), pages[static_cast<std::size_t>(index)] };
}

std::vector<TRunStepEntry> FirstAnalogSteps(const TAnalogRunContext &context, const Plan &plan,
    const TRunConfigPage &config, int resultsPage)
{
    TScaleConfigPage &configPage = config.Page;
    std::vector<TRunStepEntry> steps;
    steps.push_back(
        { { "Identify", "", [context](StepContext &) { return IdentifyStep(context); }, true },
            resultsPage });
    steps.push_back({ { "Configuration", "",
                          [context, &configPage, &plan](StepContext &) {
                              return ConfigurationStep(context, plan, configPage);
                          } },
        config.PageIndex });
    steps.push_back({ { "Scales", "",
                          [context, &configPage, &plan](
                              StepContext &) { return ScalesStep(context, plan, configPage); } },
        config.PageIndex });
    return steps;
}

StepResult ConfigurationStep(
    const TAnalogRunContext &context, const Plan &plan, TScaleConfigPage &page)
{
    context.Unit.Configuration().ConfigSave(page);
    return ReadBack(context.Session.Modbus, zul::reg::HardwareCodes,
        std::vector<std::uint16_t>(Channels, plan.configuration->hardwareCode), "hardware codes");
}

StepResult ScalesStep(const TAnalogRunContext &context, const Plan &plan, TScaleConfigPage &page)
{
    TRadioMatrix &matrix = *page.RangeMatrix;
    const int channelsPerRow = page.Info().Pairs ? 2 : 1;
    for (int row = 0; row < matrix.RowCount(); ++row) {
        const std::uint16_t code =
            plan.scales[static_cast<std::size_t>(row) * static_cast<std::size_t>(channelsPerRow)];
        const zul::run::RangeRow *range = zul::run::rangeOfCode(*plan.configuration, code);
        if (!range)
            return StepResult::failed("The plan's scale of channel "
                + std::to_string(row * channelsPerRow + 1) + " is not one of this configuration");
        matrix.SetColumn(row, range->column - 1);
        // A current output sources or sinks by its code's kind byte: 0x01xx or 0x02xx.
        if (page.SourceSinkMatrix)
            page.SourceSinkMatrix->SetColumn(row, (code & zul::scale::SinkBase) ? 1 : 0);
    }
    context.Unit.Configuration().ScalesSave(page);
    return ReadBack(context.Session.Modbus, zul::reg::ScaleCodes,
        std::vector<std::uint16_t>(plan.scales.begin(), plan.scales.end()), "scale codes");
}

StepResult FillCalibrationRow(const TAnalogRunContext &context, const StableCapture &capture,
    bool high, const std::vector<std::string> &readings, const std::string &message)
{
    TCalibrationPage &page = context.Calibration.Page();
    auto &raws = high ? page.RawHighEdits : page.RawLowEdits;
    auto &readingEdits = high ? page.ReadingHighEdits : page.ReadingLowEdits;
    std::vector<Measurement> values;
    for (int n = 0; n < Channels; ++n) {
        const std::int32_t raw = capture.value(n + 1);
        raws[n]->setText(QString::fromStdString(zul::formatLong(raw, context.Session.HexDisplay)));
        readingEdits[n]->setText(QString::fromStdString(readings.at(static_cast<std::size_t>(n))));
        values.push_back({ channelName(context, n + 1), double(raw), "counts", std::nullopt });
    }
    return StepResult::passed(message, values);
}

StepResult CalibrationSaveStep(const TAnalogRunContext &context)
{
    TCalibration &calibration = context.Calibration;
    calibration.CalcFromGrid();
    calibration.Save();
    TCalibrationPage &page = calibration.Page();
    std::array<std::int16_t, Channels> offsets {};
    std::array<std::uint16_t, Channels> spans {};
    if (!ReadSignedWordEdits(page.OffsetEdits, std::span<std::int16_t>(offsets))
        || !ReadWordEdits(page.SpanEdits, std::span<std::uint16_t>(spans)))
        return StepResult::failed("The calibration could not be calculated from the grid");
    std::vector<std::uint16_t> expected;
    expected.reserve(BothBlocks);
    for (const std::int16_t offset : offsets)
        expected.push_back(static_cast<std::uint16_t>(offset));
    expected.insert(expected.end(), spans.begin(), spans.end());
    return ReadBack(context.Session.Modbus, zul::reg::Offsets, expected, "offsets and spans");
}

StepResult JudgedVerification(std::vector<Measurement> values, const std::string &tolerance)
{
    int within = 0;
    std::string outside;
    for (const Measurement &value : values) {
        if (value.within())
            ++within;
        else
            outside += (outside.empty() ? "" : ", ") + value.name;
    }
    std::string message = std::to_string(within) + " of " + std::to_string(values.size())
        + " within " + tolerance + " of the expected value";
    if (!outside.empty())
        message += "; outside: " + outside;
    return StepResult::judged(std::move(values), message);
}

StepResult SaveStep(const TAnalogRunContext &context)
{
    return RunSave(context.Operator, context.Plan,
        [&](const TSaveContext &who) { return context.Unit.Results().Save(who); });
}

TRunStepEntry DigitalPointsStep(const TAnalogRunContext &context, int resultsPage)
{
    const auto judge = [context](StepContext &) {
        const TPassFailGrid &grid = *context.Unit.Results().Page().ResultGrid;
        std::vector<Measurement> values;
        std::string unticked;
        int ticked = 0;
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            const std::string caption = grid.Caption(column).toStdString();
            bool all = true;
            for (const QCheckBox *box : grid.Column(column)) {
                const bool on = box->isChecked();
                values.push_back({ caption + " " + box->text().toStdString(), on ? 1.0 : 0.0, "",
                    zul::run::Limits { 1, 1 } });
                all = all && on;
            }
            ticked += all ? 1 : 0;
            if (!all)
                unticked += (unticked.empty() ? "" : ", ") + caption;
        }
        return JudgedTicks(std::move(values), ticked, grid.ColumnCount(), unticked);
    };
    return { { "Digital points",
                 "Tick the PASS / FAIL boxes of the digital points (a box left clear fails its "
                 "point), then press Next",
                 judge },
        resultsPage };
}
