// Creates the module pages of the main window and the units of the three module kinds. Each page
// and each kind is one line in PageFactory.cpp: a kind's own page class or unit replaces its
// placeholder there, and the window's logic stays as it is. Called once by TForm_ZULConfigure.
#pragma once

#include "module/UnitZUL_GeneralHooks.h"

#include <QString>

#include <array>
#include <memory>

class QWidget;
class TPulsedOutputs;
class TZULGeneral;
struct TSession;

struct TPageInfo
{
    const char *ObjectName;
    const char *Caption;
    int KindList; // the kind whose unit serves this page, -1 for Connect and Comms
    bool ProductionOnly;
};

// The eighteen pages in page-control order.
const TPageInfo &PageInfo(int index);

struct TPageContext
{
    TSession &Session;
    TZULGeneral &General;
    TZULHost &Host;
    QWidget *Window; // owner of dialogs
    // Update times and the targets dialog of every kind; set when the Pulsed Outputs Setup page
    // is created, before any kind's unit.
    TPulsedOutputs *PulsedOutputs = nullptr;
};

using TPageArray = std::array<QWidget *, zul::PageCount>;

// Services that plug into the general unit once at start-up (e.g. the results database that
// Connect tries, TZULGeneral::ResultsDatabaseHook). Runs after the pages and units exist.
void ConnectServices(TPageContext &context);

// Pages 2..17; Connect and Comms belong to the window itself.
QWidget *CreateModulePage(int index, TPageContext &context);
// The unit of a kind (DIOList, AINList, AOTList) over its pages; nullptr while a kind has none.
std::unique_ptr<TModuleKindUnit> CreateKindUnit(
    int kindList, const TPageArray &pages, TPageContext &context);
