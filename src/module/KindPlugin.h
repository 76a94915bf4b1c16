// How a module kind (DIO, AIN, AOT) plugs into the main window. Each kind library exports one
// factory that builds the kind's own pages (the rows of the page table it owns) and the unit
// that serves them; the window registers each factory with one line and calls the unit from
// ShowModulePages, the poll dispatch and the Dec/Hex refresh.
#pragma once

#include "core/PageTable.h"

#include <memory>
#include <utility>
#include <vector>

class QTimer;
class QWidget;
class TPulsedOutputs;
class TZULGeneral;
struct TSession;

// What the window offers the kinds' units.
class TZULHost
{
public:
    // Hides the other two kinds' page lists, then shows this one, so that the pages shared by
    // several lists end up visible; production-only pages stay hidden outside the production
    // test version.
    virtual void ShowOnlyPageSet(int kindList) = 0;

protected:
    ~TZULHost() = default;
};

class TModuleKindUnit
{
public:
    virtual ~TModuleKindUnit() = default;
    // DIOSetup, AINSetup, AOTSetup: run after Connect found this kind. Shows the kind's page
    // list and reads its first pages.
    virtual void Setup() = 0;
    // The timer's refresh of one of this kind's polled pages; CheckModule(false) has answered
    // true. Opening the port may raise.
    virtual void Poll(int pageIndex) { (void)pageIndex; }
    // Re-display of the active page after the number format changed.
    virtual void Refresh(int pageIndex) { (void)pageIndex; }
};

// Everything a kind's factory may hand on to its pages and unit; all of it outlives them.
struct TKindContext
{
    TSession &Session;
    TZULGeneral &General;
    TZULHost &Host;
    QWidget *Window; // owner of the kind's dialogs
    QTimer &ModbusTimer; // the test dialogs stop it while they drive the module themselves
    TPulsedOutputs &PulsedOutputs; // update times and the targets dialog of every kind
};

struct TKindPlugin
{
    // The kind's own pages by page index, not yet parented: the window puts them into its tabs.
    std::vector<std::pair<int, QWidget *>> Pages;
    std::unique_ptr<TModuleKindUnit> Unit;
};

using TKindFactory = TKindPlugin (*)(TKindContext &context);
