// How the run dock asks a kind for the steps of a production run. The kind makes them from a
// plan in its own library (AINRun, AOTRun, DIORun); the dock hands over what a run of any kind
// may use and only drives the steps it gets back. Declarations only: a kind's plug-in names
// its maker without this library linking the run engine.
#pragma once

#include <QString>

#include <functional>

class TModuleKindUnit;
class TRunLiveValues;
class TZULGeneral;
struct TRunReadings;
struct TRunSteps;
struct TSession;

namespace zul::run {
struct Plan;
}

// What a kind's steps are made from; all of it outlives the run.
struct TRunMaker
{
    TSession &Session;
    TZULGeneral &General;
    TModuleKindUnit &Unit; // the connected kind's unit: the maker's own kind, or no steps
    TRunLiveValues &Live; // the poll ticks' values, for the steps that wait for them to settle
    TRunReadings &Readings; // the operator's typed readings, for the steps that ask for them
    std::function<void(int page)> ShowPage;
    QString Operator; // the row's TECHNICIAN; empty leaves it empty
};

// No steps when the unit is not the maker's kind (another module connected meanwhile).
using TRunStepsMaker = TRunSteps (*)(const TRunMaker &maker, const zul::run::Plan &plan);
