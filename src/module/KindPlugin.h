// How a module kind (DIO, AIN, AOT) plugs into the main window. Each kind library exports one
// factory that builds the kind's own pages (the rows of the page table it owns), the unit that
// serves them and the maker of its production run's steps; the window registers each factory
// in its kind list and calls the unit from ShowModulePages, the poll dispatch and the Dec/Hex
// refresh, and hands the maker to the run dock.
#pragma once

#include "KindContext.h"
#include "KindHost.h"
#include "KindRun.h"
#include "KindUnit.h"
#include "core/PageTable.h"

#include <memory>
#include <utility>
#include <vector>

class QWidget;

struct TKindPlugin
{
    // The kind's own pages by page index, not yet parented: the window puts them into its tabs.
    std::vector<std::pair<int, QWidget *>> Pages;
    std::unique_ptr<TModuleKindUnit> Unit;
    // Null: the kind has no production run.
    TRunStepsMaker RunSteps = nullptr;
};

using TKindFactory = TKindPlugin (*)(TKindContext &context);
