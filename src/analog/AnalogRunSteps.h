// The production run's steps that the AIN and AOT runs share: Identify, Configuration, Scales,
// filling a calibration row, Calibration save, judging a verification and Save. Each calls the
// operation the page's button calls and then reads back what the module holds.
#pragma once

#include "RunSupport.h"
#include "run/Plan.h"
#include "runsteps/RunSteps.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class TAnalogKindUnit;
class TCalibration;
class TScaleConfigPage;
class TTestAnalogsDialog;
class TZULGeneral;
struct TSession;

struct TAnalogRunContext
{
    TSession &Session;
    TZULGeneral &General;
    TAnalogKindUnit &Unit;
    TCalibration &Calibration;
    TTestAnalogsDialog &Dialog;
    std::uint16_t KindCode; // what input register 195 answers
    std::string KindName; // "AIN": the channels are named AIN1 to AIN8
    QString Operator; // the row's TECHNICIAN; empty leaves it empty
    std::string Plan; // the plan's name, for the certificate of the row the run saves
};

// Kind, serial, firmware and board, and the calibration as found (offsets and spans) for the
// record; the results page and the test dialog cleared, so nothing of the previous module
// remains.
zul::run::StepResult IdentifyStep(const TAnalogRunContext &context);
// The configuration page (index into the kind's configuration pages) whose hardware code the
// plan's configuration saves.
int ConfigPageOf(const TAnalogRunContext &context, const zul::run::Plan &plan, int pages);

// The configuration page a run works on: the page itself and its page index.
struct TRunConfigPage
{
    TScaleConfigPage &Page;
    int PageIndex;
};
// Of the kind's configuration pages (page indexes in the unit's order), the one whose hardware
// code the plan's configuration saves.
TRunConfigPage RunConfigPage(
    const TAnalogRunContext &context, const zul::run::Plan &plan, const std::vector<int> &pages);
// The first steps of every analog run: Identify (on the results page), then Configuration and
// Scales on the configuration page. Both kinds' steps must agree on these, so they are made once.
std::vector<TRunStepEntry> FirstAnalogSteps(const TAnalogRunContext &context,
    const zul::run::Plan &plan, const TRunConfigPage &config, int resultsPage);
// "Save configuration", then the hardware codes 133-140 read back (the switch words are
// write-only).
zul::run::StepResult ConfigurationStep(
    const TAnalogRunContext &context, const zul::run::Plan &plan, TScaleConfigPage &page);
// The plan's ranges (and Source/Sink on a current output page) into the matrices, "Save scales
// to module", then 101-108 read back.
zul::run::StepResult ScalesStep(
    const TAnalogRunContext &context, const zul::run::Plan &plan, TScaleConfigPage &page);
// Raw Low or Raw High from the settled raw values, and each channel's reading (element 0 =
// channel 1) into Reading Low or Reading High.
zul::run::StepResult FillCalibrationRow(const TAnalogRunContext &context,
    const zul::run::StableCapture &capture, bool high, const std::vector<std::string> &readings,
    const std::string &message);
// "Calculate from grid", "Save to module", then 117-132 read back.
zul::run::StepResult CalibrationSaveStep(const TAnalogRunContext &context);
// The judgement of a verification, "7 of 8 within 5% of the expected value; outside: AOT3".
zul::run::StepResult JudgedVerification(
    std::vector<zul::run::Measurement> values, const std::string &tolerance);
// "Digital points": the operator's ticks on the results page's PASS / FAIL grid, judged as the
// DIO run judges its columns: "3 of 4 ticked; not ticked: Digital inputs". A box left clear
// (a point that failed) fails the step.
TRunStepEntry DigitalPointsStep(const TAnalogRunContext &context, int resultsPage);
// The results page's "Save", with the operator as TECHNICIAN for this save only.
zul::run::StepResult SaveStep(const TAnalogRunContext &context);
