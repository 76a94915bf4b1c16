#include "DIORun.h"

#include "DIOCore.h"
#include "UnitZUL_DIO.h"
#include "WidgetDIOCheckPage.h"
#include "WidgetDIOResultsPage.h"
#include "WidgetDIOSetupPage.h"
#include "core/PageTable.h"
#include "core/Registers.h"
#include "module/PulsedOutputs.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "module/WidgetPoutSetupPage.h"
#include "runsteps/RunReadBack.h"
#include "runsteps/RunSave.h"
#include "runsteps/RunTicks.h"
#include "widgets/RadioMatrix.h"
#include "widgets/WidgetDigitalOutputs.h"
#include "widgets/WidgetPassFailGrid.h"
#include "widgets/WidgetTimePicker.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>

#include <memory>

using zul::run::Measurement;
using zul::run::Plan;
using zul::run::StepContext;
using zul::run::StepResult;

namespace {

using Column = TDIOResultsPage::Column;

struct TColumnStep
{
    Column Grid;
    const char *Name; // the grid's caption
    const char *Prompt; // what the operator does before ticking
    const char *Point; // how a box is named in the result: "DIN3"
};

constexpr TColumnStep ColumnSteps[] = {
    { TDIOResultsPage::DigitalInputs, "Digital inputs", "Switch every input on in turn", "DIN" },
    { TDIOResultsPage::DigitalOutputs, "Digital outputs",
        "Switch every output on in turn (Edit, ON, Send) and watch it", "DOUT" },
    { TDIOResultsPage::PulsedOutputs, "Pulsed outputs",
        "Start every pulsed output (Edit Targets) and watch it pulse", "POUT" },
    { TDIOResultsPage::PulsedOutCounts, "Pulsed out counts",
        "Watch every pulsed output's count go down to its target", "POUT" },
    { TDIOResultsPage::PulseInputCount, "Pulse input count",
        "Feed pulses to every pulse input and watch its count", "PIN" },
    { TDIOResultsPage::PulseInputRate, "Pulse Input Rate",
        "Feed pulses to every pulse input and watch its rate", "PIN" },
};

// "Pulsed outputs" is also the update times' step: the columns' steps say they check.
std::string stepName(const TColumnStep &step)
{
    return std::string(step.Name) + " check";
}

TPassFailGrid &grid(TZULDIO &unit)
{
    return *unit.Results().Page().DIOResultGrid;
}

StepResult identify(const TDIORunContext &context)
{
    TZULGeneral &general = context.General;
    if (!general.CheckModule(false) || context.Session.Module.kind != zul::KindDIO)
        return StepResult::error("No DIO module answers on this port");
    if (!general.FillModuleStatus())
        return StepResult::error("The module's identity could not be read");
    // Nothing of the previous module may end up in this one's row.
    TPassFailGrid &results = grid(context.Unit);
    for (int column = 0; column < results.ColumnCount(); ++column) {
        results.AllBox(column)->setChecked(false);
        for (QCheckBox *box : results.Column(column))
            box->setChecked(false);
    }
    return StepResult::passed(context.Session.Module.identitySentence());
}

// The plan's rates into the set-up page as it shows a module's, "Save Max Rates", read back.
StepResult saveMaxRates(const TDIORunContext &context, const Plan &plan)
{
    TDIOSetupPage &page = context.Unit.SetupPage();
    const QString decimalPoint = QLocale().decimalPoint();
    for (int n = 0; n < zul::dio::PulseInputCount; ++n) {
        const auto shown = zul::dio::maxRateDisplay(plan.maxRateWords[static_cast<std::size_t>(n)]);
        const QSignalBlocker blocker(page.Div10Boxes[n]);
        page.Div10Boxes[n]->setChecked(shown.div10);
        page.MaxRateEdits[n]->setText(
            QString::fromStdString(shown.text).replace(QLatin1Char('.'), decimalPoint));
    }
    context.Unit.SaveMaxRates();
    return ReadBack(context.Session.Modbus, zul::dio::MaxRates,
        std::vector<std::uint16_t>(plan.maxRateWords.begin(), plan.maxRateWords.end()),
        "maximum rates");
}

StepResult saveUpdateTimes(const TDIORunContext &context, const Plan &plan)
{
    TPulsedOutputs &outputs = context.Unit.PulsedOutputs();
    for (int n = 0; n < zul::reg::PulseOutputCount; ++n)
        SetPickerTimeWord(
            outputs.Page().UpdateTimePickers[n], plan.updateTimes[static_cast<std::size_t>(n)]);
    outputs.SaveUpdateTimes();
    return ReadBack(context.Session.Modbus, zul::reg::UpdateTimes,
        std::vector<std::uint16_t>(plan.updateTimes.begin(), plan.updateTimes.end()),
        "update times");
}

// A column passes when every box of it is ticked.
StepResult judgeColumn(TZULDIO &unit, const TColumnStep &step)
{
    const std::vector<QCheckBox *> &boxes = grid(unit).Column(step.Grid);
    std::vector<Measurement> values;
    std::string unticked;
    int ticked = 0;
    for (std::size_t n = 0; n < boxes.size(); ++n) {
        const std::string point = step.Point + std::to_string(n + 1);
        const bool on = boxes[n]->isChecked();
        values.push_back({ point, on ? 1.0 : 0.0, "", zul::run::Limits { 1, 1 } });
        ticked += on ? 1 : 0;
        if (!on)
            unticked += (unticked.empty() ? "" : ", ") + point;
    }
    return JudgedTicks(std::move(values), ticked, static_cast<int>(boxes.size()), unticked);
}

// The check page's outputs with only `point` (1-based; 0: none) on, sent as its Send sends them.
void sendOnly(TZULDIO &unit, int point)
{
    TDigitalOutputsPanel &panel = *unit.Check().Page().DigitalOutputs;
    for (int row = 0; row < panel.Outputs->RowCount(); ++row)
        panel.Outputs->SetColumn(
            row, row + 1 == point ? TDigitalOutputsPanel::ON : TDigitalOutputsPanel::OFF);
    unit.Check().Outputs().Send();
}

void setEditing(TZULDIO &unit, bool editing)
{
    // While "Edit" is ticked the page's poll leaves the outputs as the run set them.
    unit.Check().Page().DigitalOutputs->EditBox->setChecked(editing);
    unit.Check().Outputs().EditClick();
}

// Every output off and the page's outputs its own again.
void endSweep(TZULDIO &unit, bool &sweeping)
{
    sweeping = false;
    sendOnly(unit, 0);
    setEditing(unit, false);
}

// One output on per poll tick, its input read on the next: the fixture's inputs need a moment
// to follow. Input n passes when it alone is on while output n is; the column's boxes are
// ticked from what was seen, then judged. `sweeping` tells the run's end that an output may be
// left on.
zul::run::Step loopbackStep(
    const TDIORunContext &context, const TColumnStep &step, const std::shared_ptr<bool> &sweeping)
{
    auto seen = std::make_shared<std::vector<bool>>();
    return { stepName(step), "", [context, &step, seen, sweeping](StepContext &call) {
                TZULDIO &unit = context.Unit;
                const int points = static_cast<int>(grid(unit).Column(step.Grid).size());
                if (call.firstCall) {
                    seen->clear();
                    *sweeping = true;
                    setEditing(unit, true);
                    sendOnly(unit, 1);
                    return StepResult::working("output 1 on");
                }
                const int point = static_cast<int>(seen->size()) + 1;
                std::vector<bool> inputs(static_cast<std::size_t>(points));
                if (!context.Session.Modbus.ReadInputBits(zul::dio::Inputs, points, inputs)
                    || static_cast<int>(inputs.size()) < points) {
                    endSweep(unit, *sweeping);
                    return StepResult::error("The module did not answer the read of its inputs");
                }
                bool alone = true;
                for (int n = 1; n <= points; ++n)
                    alone = alone && inputs[static_cast<std::size_t>(n - 1)] == (n == point);
                seen->push_back(alone);
                if (point < points) {
                    sendOnly(unit, point + 1);
                    return StepResult::working("output " + std::to_string(point + 1) + " on");
                }
                endSweep(unit, *sweeping);
                const std::vector<QCheckBox *> &boxes = grid(unit).Column(step.Grid);
                for (std::size_t n = 0; n < boxes.size(); ++n)
                    boxes[n]->setChecked((*seen)[n]);
                return judgeColumn(unit, step);
            } };
}

} // namespace

TRunSteps DIORunSteps(const TDIORunContext &context, const Plan &plan)
{
    TRunSteps run;
    std::vector<TRunStepEntry> &steps = run.Steps;
    auto sweeping = std::make_shared<bool>(false);
    steps.push_back(
        { { "Identify", "", [context](StepContext &) { return identify(context); }, true },
            zul::DIOResultsPage });
    steps.push_back({ { "Pulse inputs", "",
                          [context, &plan](StepContext &) { return saveMaxRates(context, plan); } },
        zul::DIOSetupPage });
    steps.push_back(
        { { "Pulsed outputs", "",
              [context, &plan](StepContext &) { return saveUpdateTimes(context, plan); } },
            zul::PoutSetupPage });
    for (const TColumnStep &column : ColumnSteps) {
        const bool automatic = plan.loopback
            && (column.Grid == TDIOResultsPage::DigitalInputs
                || column.Grid == TDIOResultsPage::DigitalOutputs);
        if (automatic) {
            steps.push_back({ loopbackStep(context, column, sweeping), zul::DIOCheckPage });
            continue;
        }
        steps.push_back(
            { { stepName(column),
                  std::string(column.Prompt) + "; tick each one that works in \"" + column.Name
                      + "\" on DIO Results, then press Next",
                  [context, &column](StepContext &) { return judgeColumn(context.Unit, column); } },
                zul::DIOCheckPage });
    }
    steps.push_back({ { "Save", "",
                          [context, name = plan.name](StepContext &) {
                              return RunSave(context.Operator, name, [&](const TSaveContext &who) {
                                  return context.Unit.Results().SaveDIOResults(who);
                              });
                          } },
        zul::DIOResultsPage });
    // A run that ends during a loop-back check leaves no output on; only a DIO module is
    // written to, never another kind swapped onto the port.
    run.End = [context, sweeping] {
        bool read = false;
        const TWordArrayDynamic kind =
            zul::ReadInputsOrZeros(context.Session.Modbus, zul::reg::ModuleKind, 1, &read);
        if (*sweeping && read && kind[0] == zul::KindDIO)
            endSweep(context.Unit, *sweeping);
    };
    return run;
}

TRunSteps DIORun(const TRunMaker &maker, const Plan &plan)
{
    auto *unit = dynamic_cast<TZULDIO *>(&maker.Unit);
    if (!unit)
        return {};
    return DIORunSteps({ maker.Session, maker.General, *unit, maker.Operator }, plan);
}
