// The eighteen pages of the main window in tab order, one row each: the only place that knows
// page order, which kinds show a page, who builds it, and whether the poll timer and the
// Dec/Hex switch reach it. The window derives its page lists and its dispatch from these rows;
// a kind names its own pages with pageIndex("...Sheet"). Qt-free.
#pragma once

#include "ModuleCodes.h"

#include <cstdint>
#include <iterator>
#include <string_view>

namespace zul {

// Index of a kind's page list and of its plug-in.
enum KindList : int { DIOList = 0, AINList = 1, AOTList = 2, KindListCount = 3 };

// The page list of a kind code, or -1 for a code that is none of the three kinds.
constexpr int kindListOf(std::uint16_t kindCode)
{
    return kindCode == KindDIO ? DIOList
        : kindCode == KindAIN  ? AINList
        : kindCode == KindAOT  ? AOTList
                               : -1;
}

enum ShownFor : unsigned {
    ShownForNone = 0,
    ShownForDIO = 1u << DIOList,
    ShownForAIN = 1u << AINList,
    ShownForAOT = 1u << AOTList,
    ShownForAll = ShownForDIO | ShownForAIN | ShownForAOT,
};

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
