#include "AINRun.h"

#include "UnitZUL_AIN.h"
#include "analog/WidgetAnalogResultsPage.h"
#include "analog/WidgetCalibrationPage.h"
#include "analog/WidgetScaleConfigPage.h"
#include "core/AnalogTestArithmetic.h"
#include "core/NumberFormat.h"
#include "core/Registers.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetStatusPanel.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/RadioMatrix.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <array>

using zul::run::Measurement;
using zul::run::Plan;
using zul::run::StableCapture;
using zul::run::StepContext;
using zul::run::StepResult;

namespace {

constexpr int Channels = 8;
constexpr std::array<int, 4> ConfigPages { zul::S_VinputPage, zul::D_VinputPage, zul::S_IinputPage,
    zul::D_IinputPage };

// The configuration page whose hardware code the plan's configuration saves.
int configPageOf(TZULAIN &unit, const Plan &plan)
{
    for (int n = 0; n < static_cast<int>(ConfigPages.size()); ++n)
        if (unit.Configuration().Page(n).Info().HardwareCode == plan.configuration->hardwareCode)
            return n;
    return 0;
}

std::string valueText(double value, const Plan &plan)
{
    return zul::run::stimulusText(value) + plan.unit();
}

std::vector<std::uint16_t> repeated(std::uint16_t word)
{
    return std::vector<std::uint16_t>(Channels, word);
}

StepResult identify(const TAINRunContext &context)
{
    TZULGeneral &general = context.General;
    if (!general.CheckModule(false) || context.Session.ModuleKind != zul::KindAIN)
        return StepResult::error("No AIN module answers on this port");
    if (!general.FillModuleStatus())
        return StepResult::error("The module's identity could not be read");
    const TStatusPanel &status = general.StatusPanel();
    // The calibration as found, before the run writes its own: the record keeps it.
    bool read = false;
    const TWordArrayDynamic found =
        zul::ReadHoldingsOrZeros(context.Session.Modbus, zul::reg::Offsets, 2 * Channels, &read);
    if (!read)
        return StepResult::error("The module's calibration could not be read");
    std::vector<Measurement> values;
    for (int n = 0; n < Channels; ++n)
        values.push_back({ "Offset as found AIN" + std::to_string(n + 1),
            double(static_cast<std::int16_t>(found[n])), "counts", std::nullopt });
    for (int n = 0; n < Channels; ++n)
        values.push_back({ "Span as found AIN" + std::to_string(n + 1), double(found[Channels + n]),
            "counts", std::nullopt });
    // Nothing of the previous module may end up in this one's row.
    context.Unit.Results().ClearForNextModule();
    context.Unit.TestDialog().ClearResults();
    return StepResult::passed(QStringLiteral("%1, serial %2, firmware %3, board %4")
                                  .arg(status.ModelNameLabel->text(), status.PCBNumLabel->text(),
                                      status.FirmwareLabel->text(), status.PCBRevLabel->text())
                                  .toStdString(),
        values);
}

StepResult saveScales(const TAINRunContext &context, const Plan &plan, TScaleConfigPage &page)
{
    TRadioMatrix &matrix = *page.RangeMatrix;
    const int channelsPerRow = page.Info().Pairs ? 2 : 1;
    for (int row = 0; row < matrix.RowCount(); ++row) {
        const zul::run::RangeRow *range =
            zul::run::rangeOfCode(*plan.configuration, plan.scales[row * channelsPerRow]);
        if (!range)
            return StepResult::failed("The plan's scale of channel "
                + std::to_string(row * channelsPerRow + 1) + " is not one of this configuration");
        matrix.SetColumn(row, range->column - 1);
    }
    context.Unit.Configuration().ScalesSave(page);
    return ReadBack(context.Session.Modbus, true, zul::reg::ScaleCodes,
        std::vector<std::uint16_t>(plan.scales.begin(), plan.scales.end()), "scale codes");
}

// Raw Low or Raw High from the settled raw values, and the reading the plan applied.
StepResult fillCalibrationRow(
    const TAINRunContext &context, const Plan &plan, const StableCapture &capture, bool high)
{
    TCalibrationPage &page = context.Unit.Calibration().Common().Page();
    auto &raws = high ? page.RawHighEdits : page.RawLowEdits;
    auto &readings = high ? page.ReadingHighEdits : page.ReadingLowEdits;
    const double applied = high ? plan.calibrationHigh : plan.calibrationLow;
    std::vector<Measurement> values;
    for (int n = 0; n < Channels; ++n) {
        const std::int32_t raw = capture.value(n + 1);
        raws[n]->setText(QString::fromStdString(zul::formatLong(raw, context.Session.HexDisplay)));
        readings[n]->setText(QString::fromStdString(zul::run::stimulusText(applied)));
        values.push_back({ "AIN" + std::to_string(n + 1), double(raw), "counts", std::nullopt });
    }
    return StepResult::passed("Raw values taken at " + valueText(applied, plan), values);
}

StepResult saveCalibration(const TAINRunContext &context)
{
    TCalibration &calibration = context.Unit.Calibration().Common();
    calibration.CalcFromGrid();
    calibration.Save();
    TCalibrationPage &page = calibration.Page();
    std::array<std::int16_t, Channels> offsets {};
    std::array<std::uint16_t, Channels> spans {};
    if (!ReadSignedWordEdits(page.OffsetEdits, std::span<std::int16_t>(offsets))
        || !ReadWordEdits(page.SpanEdits, std::span<std::uint16_t>(spans)))
        return StepResult::failed("The calibration could not be calculated from the grid");
    std::vector<std::uint16_t> expected;
    for (const std::int16_t offset : offsets)
        expected.push_back(static_cast<std::uint16_t>(offset));
    expected.insert(expected.end(), spans.begin(), spans.end());
    return ReadBack(
        context.Session.Modbus, false, zul::reg::Offsets, expected, "offsets and spans");
}

// Files the settled scaled values through the test dialog, as "Copy results" files them, and
// judges each measured channel against the dialog's expected value and tolerance.
StepResult verify(
    const TAINRunContext &context, const Plan &plan, double stimulus, const StableCapture &capture)
{
    TTestAINsForm &dialog = context.Unit.TestDialog();
    if (!dialog.ReadModuleSetup())
        return StepResult::error("No AIN module answers on this port");
    dialog.TestStimEdit->setText(QString::fromStdString(zul::run::stimulusText(stimulus)));
    dialog.TolEdit->setText(QString::fromStdString(plan.tolerance));
    dialog.UpdateExpected();
    std::vector<Measurement> values;
    for (int n = 0; n < Channels; ++n) {
        const std::int32_t counts = capture.value(n + 1);
        dialog.SetRecordText(
            n, QString::fromStdString(zul::formatWord(static_cast<std::uint16_t>(counts), true)));
    }
    for (const int channel : plan.measuredChannels()) {
        const auto band =
            zul::inputBand(plan.tolerance, dialog.ExpectedTexts[channel - 1]->text().toStdString());
        values.push_back({ "AIN" + std::to_string(channel), double(capture.value(channel)),
            "counts",
            band ? std::optional(zul::run::Limits { band->first, band->second }) : std::nullopt });
    }
    dialog.CopyResults();
    int within = 0;
    std::string outside;
    for (const Measurement &value : values) {
        if (value.within())
            ++within;
        else
            outside += (outside.empty() ? "" : ", ") + value.name;
    }
    std::string message = std::to_string(within) + " of " + std::to_string(values.size())
        + " within " + plan.tolerance + " of the expected value";
    if (!outside.empty())
        message += "; outside: " + outside;
    return StepResult::judged(values, message);
}

} // namespace

std::vector<TRunStepSpec> AINRunSteps(const TAINRunContext &context, const Plan &plan)
{
    TZULAIN &unit = context.Unit;
    const int configIndex = configPageOf(unit, plan);
    TScaleConfigPage &configPage = unit.Configuration().Page(configIndex);
    const int configPageIndex = ConfigPages[static_cast<std::size_t>(configIndex)];
    const std::vector<int> measured = plan.measuredChannels();
    const auto show = [context](int page) { return [context, page] { context.ShowPage(page); }; };

    std::vector<TRunStepSpec> steps;
    steps.push_back({ { "Identify", "", [context](StepContext &) { return identify(context); } },
        zul::AINResultsPage });
    steps.push_back(
        { { "DIP switches", "Set the DIP switches as the drawing shows, then press Next",
              [&configPage](StepContext &) {
                  configPage.DipTickBox->setChecked(true);
                  return StepResult::passed("DIP switches set");
              } },
            configPageIndex });
    steps.push_back({ { "Configuration", "",
                          [context, &configPage, &plan](StepContext &) {
                              context.Unit.Configuration().ConfigSave(configPage);
                              return ReadBack(context.Session.Modbus, true, zul::reg::HardwareCodes,
                                  repeated(plan.configuration->hardwareCode), "hardware codes");
                          } },
        configPageIndex });
    steps.push_back({ { "Scales", "",
                          [context, &configPage, &plan](
                              StepContext &) { return saveScales(context, plan, configPage); } },
        configPageIndex });
    for (const bool high : { false, true }) {
        const double applied = high ? plan.calibrationHigh : plan.calibrationLow;
        steps.push_back(
            { { high ? "Calibration high" : "Calibration low",
                  "Apply " + valueText(applied, plan) + " to every input, then press Next",
                  CaptureAction(context.Live, "AIN Calibration", true, plan.stability, measured,
                      show(zul::AINCalPage),
                      [context, &plan, high](const StableCapture &capture) {
                          return fillCalibrationRow(context, plan, capture, high);
                      }) },
                zul::AINCalPage });
    }
    steps.push_back(
        { { "Calibration save", "", [context](StepContext &) { return saveCalibration(context); } },
            zul::AINCalPage });
    for (const double stimulus : plan.stimuli) {
        steps.push_back(
            { { "Verification " + valueText(stimulus, plan),
                  "Apply " + valueText(stimulus, plan) + " to every input, then press Next",
                  CaptureAction(context.Live, "AIN Check", false, plan.stability, measured,
                      show(zul::AINCheckPage),
                      [context, &plan, stimulus](const StableCapture &capture) {
                          return verify(context, plan, stimulus, capture);
                      }) },
                zul::AINCheckPage });
    }
    if (plan.digitalChecks)
        steps.push_back(
            { { "Digital points",
                  "Tick the PASS / FAIL boxes of the digital points, then press Next",
                  [](StepContext &) { return StepResult::passed("Digital points confirmed"); } },
                zul::AINResultsPage });
    steps.push_back({ { "Save", "",
                          [context](StepContext &) {
                              // Only this save carries the operator: a hand save never does.
                              context.Session.RunOperator = context.Operator;
                              const bool saved = context.Unit.Results().Save();
                              context.Session.RunOperator.clear();
                              // The save's own confirmation becomes the step's result.
                              return saved ? StepResult::passed()
                                           : StepResult::error("The results could not be saved");
                          } },
        zul::AINResultsPage });
    return steps;
}
