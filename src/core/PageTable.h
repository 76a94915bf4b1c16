// The eighteen pages of the main window in tab order, one row each: the only place that knows
// page order, which kinds show a page, who builds it, and whether the poll timer and the
// Dec/Hex switch reach it. The window derives its page lists and its dispatch from these rows;
// a kind names its own pages with pageIndex("...Sheet"). Qt-free.
#pragma once

#include "KindRegistry.h"

#include <cstdint>
#include <iterator>
#include <string_view>

namespace zul {

// Index of a kind's page list and of its plug-in: its row in ModuleKinds.
constexpr int KindListCount = KindCount;
constexpr int DIOList = kindNamed("DIO").List;
constexpr int AINList = kindNamed("AIN").List;
constexpr int AOTList = kindNamed("AOT").List;

// The page list of a kind code, or -1 for a code that is no kind.
constexpr int kindListOf(std::uint16_t kindCode)
{
    const TKindRow *kind = findKind(kindCode);
    return kind ? kind->List : -1;
}

// ShownFor bits: bit n for page list n. A kind without a named constant uses shownFor("...").
consteval unsigned shownFor(std::string_view kindName)
{
    return 1u << kindNamed(kindName).List;
}
constexpr unsigned ShownForNone = 0;
constexpr unsigned ShownForDIO = shownFor("DIO");
constexpr unsigned ShownForAIN = shownFor("AIN");
constexpr unsigned ShownForAOT = shownFor("AOT");
constexpr unsigned ShownForAll = (1u << KindListCount) - 1;
static_assert(KindListCount < 32, "one ShownFor bit per page list");

constexpr int WindowOwned = -1;

struct TPageRow
{
    std::string_view ObjectName;
    std::string_view Caption;
    unsigned Kinds; // ShownFor bits: the page lists that hold this page
    int Owner; // the kind list whose plug-in builds and serves the page, or WindowOwned
    bool ProductionOnly;
    bool Polled; // the poll timer refreshes it while it is the active page
    bool Refreshed; // Dec/Hex re-displays it at once while it is the active page
};

// clang-format off
inline constexpr TPageRow PageTable[] = {
    // object name        caption                        shown for    owner        prod.  poll   Dec/Hex
    { "ConnectSheet",     "Connect",                     ShownForNone, WindowOwned, false, false, false },
    { "CommsSheet",       "Comms",                       ShownForAll,  WindowOwned, false, false, false },
    { "DIOSetupSheet",    "Pulse Inputs Setup",          ShownForDIO,  DIOList,     false, false, true  },
    { "PoutSetupSheet",   "Pulsed Outputs Setup",        ShownForAll,  WindowOwned, false, false, false },
    { "DIOCheckSheet",    "DIO Check",                   ShownForDIO,  DIOList,     false, true,  true  },
    { "DIOResultsSheet",  "DIO Results",                 ShownForDIO,  DIOList,     true,  false, false },
    { "S_VinputSheet",    "Single-ended Voltage input",  ShownForAIN,  AINList,     false, false, false },
    { "D_VinputSheet",    "Differential Voltage input",  ShownForAIN,  AINList,     false, false, false },
    { "S_IinputSheet",    "Single-ended Current Input",  ShownForAIN,  AINList,     false, false, false },
    { "D_IinputSheet",    "Differential Current Input",  ShownForAIN,  AINList,     false, false, false },
    { "AINCalSheet",      "AIN Calibration",             ShownForAIN,  AINList,     true,  true,  true  },
    { "AINCheckSheet",    "AIN Check",                   ShownForAIN,  AINList,     false, true,  true  },
    { "AINResultsSheet",  "AIN Results",                 ShownForAIN,  AINList,     true,  false, false },
    { "VoutputSheet",     "Voltage Output",              ShownForAOT,  AOTList,     false, false, false },
    { "IoutputSheet",     "Current Output",              ShownForAOT,  AOTList,     false, false, false },
    { "AOTCalSheet",      "AOT Calibration",             ShownForAOT,  AOTList,     true,  true,  true  },
    { "AOTCheckSheet",    "AOT Check",                   ShownForAOT,  AOTList,     false, true,  true  },
    { "AOTResultsSheet",  "AOT Results",                 ShownForAOT,  AOTList,     true,  false, false },
};
// clang-format on

constexpr int PageCount = static_cast<int>(std::size(PageTable));

// The position of a page in the table, -1 for a name that is not there.
constexpr int findPage(std::string_view objectName)
{
    for (int index = 0; index < PageCount; ++index)
        if (PageTable[index].ObjectName == objectName)
            return index;
    return -1;
}

// The same where the index is a constant: a name that is not there does not compile.
consteval int pageIndex(std::string_view objectName)
{
    const int index = findPage(objectName);
    if (index < 0)
        throw "no page of that name";
    return index;
}

constexpr bool isShownFor(const TPageRow &row, int kindList)
{
    return (row.Kinds & (1u << kindList)) != 0;
}

// Only a kind's unit polls or refreshes, so those pages must have one.
consteval bool everyLivePageHasAnOwner()
{
    for (const TPageRow &row : PageTable)
        if ((row.Polled || row.Refreshed) && row.Owner == WindowOwned)
            return false;
    return true;
}
static_assert(everyLivePageHasAnOwner());

// The pages the window builds itself.
constexpr int ConnectPage = pageIndex("ConnectSheet");
constexpr int CommsPage = pageIndex("CommsSheet");
constexpr int PoutSetupPage = pageIndex("PoutSetupSheet");

} // namespace zul
