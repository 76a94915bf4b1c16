#include "AINRun.h"

#include "UnitZUL_AIN.h"
#include "analog/AnalogRunSteps.h"
#include "analog/WidgetScaleConfigPage.h"
#include "core/AnalogTestArithmetic.h"
#include "core/NumberFormat.h"
#include "module/Session.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <array>
#include <memory>

using zul::run::Measurement;
using zul::run::Plan;
using zul::run::StableCapture;
using zul::run::StepContext;
using zul::run::StepResult;

namespace {

constexpr int Channels = 8;
constexpr std::array<int, 4> ConfigPages { zul::S_VinputPage, zul::D_VinputPage, zul::S_IinputPage,
    zul::D_IinputPage };

std::string valueText(double value, const Plan &plan)
{
    return zul::run::stimulusText(value) + plan.unit();
}

TAnalogRunContext analogContext(const TAINRunContext &context, const Plan &plan)
{
    return { context.Session, context.General, context.Unit, context.Unit.Calibration().Common(),
        context.Unit.TestDialog(), zul::KindAIN, "AIN", context.Operator, plan.name };
}

// While the verification waits, the trend draws each channel's band: the dialog's expected value
// for the stimulus and the plan's tolerance, in the channel's unit.
void showVerificationBands(const TAINRunContext &context, const Plan &plan, double stimulus)
{
    auto &bands = context.Session.LiveBands;
    bands = {};
    for (const int channel : plan.measuredChannels()) {
        const std::uint16_t scale = plan.scales[static_cast<std::size_t>(channel - 1)];
        const auto expected =
            zul::inputExpected(zul::inputTestRange(scale), zul::run::stimulusText(stimulus));
        const auto counts = expected
            ? zul::inputBand(plan.tolerance, zul::formatLong(*expected, true))
            : std::nullopt;
        if (counts)
            bands[static_cast<std::size_t>(channel - 1)] =
                zul::Band { zul::ScaledValue(scale, false, counts->first),
                    zul::ScaledValue(scale, false, counts->second) };
    }
}

// Files the settled scaled values through the test dialog, as "Copy results" files them, and
// judges each measured channel against the dialog's expected value and tolerance.
StepResult verify(const TAINRunContext &context, const Plan &plan, double stimulus,
    const StableCapture &capture, int &filedColumn)
{
    context.Session.LiveBands = {};
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
    // Judged once, by the dialog as "Copy results" judges; the step's limits come from it.
    const zul::FiledTest test = dialog.JudgedTest(zul::FiledBy::Run);
    for (const int channel : plan.measuredChannels()) {
        const auto band = zul::inputBand(
            test.tolerance, test.channels[static_cast<std::size_t>(channel - 1)].expected);
        values.push_back({ "AIN" + std::to_string(channel), double(capture.value(channel)),
            "counts",
            band ? std::optional(zul::run::Limits { band->first, band->second }) : std::nullopt });
    }
    // A retry replaces the column of its step's last attempt: the run record keeps every attempt.
    filedColumn = dialog.CopyResults(zul::FiledBy::Run, filedColumn);
    return JudgedVerification(std::move(values), plan.tolerance);
}

} // namespace

std::vector<TRunStepEntry> AINRunSteps(const TAINRunContext &context, const Plan &plan)
{
    const TAnalogRunContext analog = analogContext(context, plan);
    const TRunConfigPage config =
        RunConfigPage(analog, plan, std::vector<int>(ConfigPages.begin(), ConfigPages.end()));
    TScaleConfigPage &configPage = config.Page;
    const std::vector<int> measured = plan.measuredChannels();
    const auto show = [context](int page) { return [context, page] { context.ShowPage(page); }; };

    std::vector<TRunStepEntry> steps = FirstAnalogSteps(analog, plan, config, zul::AINResultsPage);
    // The switches are set by hand before the configuration is saved.
    steps.insert(steps.begin() + 1,
        { { "DIP switches", "Set the DIP switches as the drawing shows, then press Next",
              [&configPage](StepContext &) {
                  configPage.DipTickBox->setChecked(true);
                  return StepResult::passed("DIP switches set");
              } },
            config.PageIndex });
    for (const bool high : { false, true }) {
        const double applied = high ? plan.calibrationHigh : plan.calibrationLow;
        steps.push_back(
            { { high ? "Calibration high" : "Calibration low",
                  "Apply " + valueText(applied, plan) + " to every input, then press Next",
                  CaptureAction(context.Live, "AIN Calibration", true, plan.stability, measured,
                      show(zul::AINCalPage),
                      [analog, &plan, high, applied](const StableCapture &capture) {
                          return FillCalibrationRow(analog, capture, high,
                              std::vector<std::string>(Channels, zul::run::stimulusText(applied)),
                              "Raw values taken at " + valueText(applied, plan));
                      }) },
                zul::AINCalPage });
    }
    steps.push_back({ { "Calibration save", "",
                          [analog](StepContext &) { return CalibrationSaveStep(analog); } },
        zul::AINCalPage });
    for (const double stimulus : plan.stimuli) {
        auto filedColumn = std::make_shared<int>(-1);
        steps.push_back(
            { { "Verification " + valueText(stimulus, plan),
                  "Apply " + valueText(stimulus, plan) + " to every input, then press Next",
                  CaptureAction(
                      context.Live, "AIN Check", false, plan.stability, measured,
                      [context, &plan, stimulus] {
                          context.ShowPage(zul::AINCheckPage);
                          showVerificationBands(context, plan, stimulus);
                      },
                      [context, &plan, stimulus, filedColumn](const StableCapture &capture) {
                          return verify(context, plan, stimulus, capture, *filedColumn);
                      }) },
                zul::AINCheckPage });
    }
    if (plan.digitalChecks)
        steps.push_back(DigitalPointsStep(analog, zul::AINResultsPage));
    steps.push_back({ { "Save", "", [analog](StepContext &) { return SaveStep(analog); } },
        zul::AINResultsPage });
    return steps;
}

TRunSteps AINRun(const TRunMaker &maker, const Plan &plan)
{
    auto *unit = dynamic_cast<TZULAIN *>(&maker.Unit);
    if (!unit)
        return {};
    return { AINRunSteps(
        { maker.Session, maker.General, *unit, maker.Live, maker.ShowPage, maker.Operator },
        plan) };
}
