#include "AOTRun.h"

#include "AOTPlans.h"
#include "UnitZUL_AOT.h"
#include "analog/AnalogRunSteps.h"
#include "core/AnalogTestArithmetic.h"
#include "core/NumberFormat.h"
#include "module/Session.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <array>
#include <memory>

using zul::run::Measurement;
using zul::run::Plan;
using zul::run::StableCapture;
using zul::run::StepContext;
using zul::run::StepResult;

namespace {

constexpr int Channels = 8;
constexpr std::array<int, 2> ConfigPages { zul::VoutputPage, zul::IoutputPage };
const std::string MeasurePrompt = "Measure every output and type the readings";

std::string wordText(double word)
{
    return "$" + zul::aot::outputWordText(word);
}

// The calibration page's output drive at `word`: its Low and High buttons where they give it.
void driveCalibration(TAOTCalibration &calibration, TSession &session, double word)
{
    if (word == zul::aot::OutputLowWord || word == zul::aot::OutputHighWord) {
        QRadioButton *button = word == zul::aot::OutputLowWord ? calibration.AOTCalLowButton
                                                               : calibration.AOTCalHighButton;
        button->setChecked(true);
        calibration.AOTCalSetLowHigh();
        return;
    }
    calibration.Edit101->setText(QString::fromStdString(
        zul::formatWord(static_cast<std::uint16_t>(word), session.HexDisplay)));
}

// The test dialog's output value at `word`, written to every output at once, as its timer does.
void driveTestDialog(TTestAOTsForm &dialog, double word)
{
    dialog.TestStimEdit->setText(QString::fromStdString(zul::aot::outputWordText(word)));
    dialog.TimerTick();
}

// The typed readings as the pages' fields take them: "." whatever the locale.
std::vector<std::string> readingTexts(const TRunReadings &readings)
{
    std::vector<std::string> texts;
    for (const double value : readings.Values)
        texts.push_back(QString::number(value, 'g', 15).toStdString());
    return texts;
}

std::vector<Measurement> readingValues(const TRunReadings &readings, const Plan &plan)
{
    std::vector<Measurement> values;
    for (std::size_t n = 0; n < readings.Values.size(); ++n)
        values.push_back({ "AOT" + std::to_string(n + 1) + " reading", readings.Values[n],
            plan.unit(), std::nullopt });
    return values;
}

StepResult calibrate(const TAOTRunContext &context, const TAnalogRunContext &analog,
    const Plan &plan, const StableCapture &capture, bool high)
{
    const double word = high ? plan.calibrationHigh : plan.calibrationLow;
    StepResult result = FillCalibrationRow(analog, capture, high, readingTexts(context.Readings),
        "Raw values and readings taken at " + wordText(word));
    const std::vector<Measurement> readings = readingValues(context.Readings, plan);
    result.values.insert(result.values.end(), readings.begin(), readings.end());
    return result;
}

// Files the typed readings through the test dialog, as "Copy results" files them, and judges
// each output against the dialog's expected value and tolerance.
StepResult verify(const TAOTRunContext &context, const Plan &plan, double word, int &filedColumn)
{
    TTestAOTsForm &dialog = context.Unit.TestDialog();
    if (!dialog.ReadModuleSetup())
        return StepResult::error("No AOT module answers on this port");
    driveTestDialog(dialog, word);
    dialog.TolEdit->setText(QString::fromStdString(plan.tolerance));
    dialog.UpdateExpected();
    const std::vector<std::string> texts = readingTexts(context.Readings);
    for (int n = 0; n < Channels; ++n)
        dialog.SetRecordText(n, QString::fromStdString(texts[static_cast<std::size_t>(n)]));
    // Judged once, by the dialog as "Copy results" judges; the step's limits come from it.
    const zul::FiledTest test = dialog.JudgedTest(zul::FiledBy::Run);
    std::vector<Measurement> values;
    for (int n = 0; n < Channels; ++n) {
        const zul::FiledChannel &channel = test.channels[static_cast<std::size_t>(n)];
        const auto band = zul::outputBand(
            zul::outputTestRange(channel.scaleCode), test.tolerance, channel.expected);
        values.push_back({ "AOT" + std::to_string(n + 1),
            context.Readings.Values[static_cast<std::size_t>(n)], plan.unit(),
            band ? std::optional(zul::run::Limits { band->first, band->second }) : std::nullopt });
    }
    // A retry replaces the column of its step's last attempt: the run record keeps every attempt.
    filedColumn = dialog.CopyResults(zul::FiledBy::Run, filedColumn);
    return JudgedVerification(std::move(values), plan.tolerance);
}

// A step on the operator's readings: nothing to judge until there is one for every output.
template<typename Action>
zul::run::Step readingStep(const TAOTRunContext &context, std::string name, Action action)
{
    return { std::move(name), MeasurePrompt,
        [&readings = context.Readings, action = std::move(action)](StepContext &step) {
            if (readings.Values.size() != std::size_t { Channels })
                return StepResult::failed("Type a reading for every output");
            return action(step);
        } };
}

} // namespace

TRunSteps AOTRunSteps(const TAOTRunContext &context, const Plan &plan)
{
    TZULAOT &unit = context.Unit;
    const TAnalogRunContext analog { context.Session, context.General, unit,
        unit.Calibration().Common(), unit.TestDialog(), zul::KindAOT, "AOT", context.Operator,
        plan.name };
    const TRunConfigPage config =
        RunConfigPage(analog, plan, std::vector<int>(ConfigPages.begin(), ConfigPages.end()));

    TRunSteps run;
    std::vector<TRunStepEntry> &steps = run.Steps;
    steps = FirstAnalogSteps(analog, plan, config, zul::AOTResultsPage);
    for (const bool high : { false, true }) {
        const double word = high ? plan.calibrationHigh : plan.calibrationLow;
        TRunAction capture = CaptureAction(
            context.Live, "AOT Calibration", true, plan.stability, {},
            [context] { context.ShowPage(zul::AOTCalPage); },
            [context, analog, &plan, high](const StableCapture &settled) {
                return calibrate(context, analog, plan, settled, high);
            });
        steps.push_back({ readingStep(context, high ? "Calibration high" : "Calibration low",
                              std::move(capture)),
            zul::AOTCalPage,
            [context, word] {
                driveCalibration(context.Unit.Calibration(), context.Session, word);
            },
            true });
    }
    steps.push_back({ { "Calibration save", "",
                          [analog](StepContext &) { return CalibrationSaveStep(analog); } },
        zul::AOTCalPage });
    for (const double word : plan.stimuli) {
        auto filedColumn = std::make_shared<int>(-1);
        steps.push_back({ readingStep(context, "Verification " + wordText(word),
                              [context, &plan, word, filedColumn](StepContext &) {
                                  return verify(context, plan, word, *filedColumn);
                              }),
            zul::AOTResultsPage,
            [context, word] { driveTestDialog(context.Unit.TestDialog(), word); }, true });
    }
    if (plan.digitalChecks)
        steps.push_back(DigitalPointsStep(analog, zul::AOTResultsPage));
    steps.push_back({ { "Save", "", [analog](StepContext &) { return SaveStep(analog); } },
        zul::AOTResultsPage });
    // The calibration page keeps driving its value while shown, so it is set back too. Only an
    // AOT module is written to: after a swap or a lost line the run may end with another kind,
    // or nothing, on the port.
    run.End = [context, safe = double(plan.safeOutput)] {
        driveCalibration(context.Unit.Calibration(), context.Session, safe);
        if (context.Unit.TestDialog().ReadModuleSetup())
            driveTestDialog(context.Unit.TestDialog(), safe);
    };
    return run;
}

TRunSteps AOTRun(const TRunMaker &maker, const Plan &plan)
{
    auto *unit = dynamic_cast<TZULAOT *>(&maker.Unit);
    if (!unit)
        return {};
    return AOTRunSteps({ maker.Session, maker.General, *unit, maker.Live, maker.Readings,
                           maker.ShowPage, maker.Operator },
        plan);
}
