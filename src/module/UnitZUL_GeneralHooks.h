// The seams between the main window, the general unit and the three module kinds. The window
// implements TZULHost (page lists, poll timer, dispatch); each kind (DIO, AIN, AOT) implements
// TModuleKindUnit and is registered with the window, which calls it from ShowModulePages, the
// poll dispatch and the number-format refresh.
#pragma once

#include <cstdint>

class QTimer;

namespace zul {

// Positions of the pages in PageControl_ZUL; the poll dispatch and the number-format refresh go
// by these.
enum PageIndex : int {
    ConnectPage = 0,
    CommsPage = 1,
    DIOSetupPage = 2,
    PoutSetupPage = 3,
    DIOCheckPage = 4,
    DIOResultsPage = 5,
    S_VinputPage = 6,
    D_VinputPage = 7,
    S_IinputPage = 8,
    D_IinputPage = 9,
    AINCalPage = 10,
    AINCheckPage = 11,
    AINResultsPage = 12,
    VoutputPage = 13,
    IoutputPage = 14,
    AOTCalPage = 15,
    AOTCheckPage = 16,
    AOTResultsPage = 17,
    PageCount = 18,
};

// Index of a kind's page list (PageSets).
enum KindList : int { DIOList = 0, AINList = 1, AOTList = 2, KindListCount = 3 };

// The page list of a kind code, or -1 for a code that is none of the three kinds.
constexpr int kindListOf(std::uint16_t kindCode)
{
    return kindCode == 0x0101 ? DIOList
        : kindCode == 0x0201  ? AINList
        : kindCode == 0x0301  ? AOTList
                              : -1;
}

} // namespace zul

class TZULHost
{
public:
    // Sets the tab visibility of the first `count` entries of a kind's page list; production-only
    // pages stay hidden outside the production test version.
    virtual void ShowPageSet(int kind, int count, bool visible) = 0;
    virtual int PageSetCount(int kind) const = 0;
    // Hands over to the kind's own set-up after Connect read the kind code.
    virtual void ShowModulePages(std::uint16_t kindCode) = 0;
    virtual int ActivePageIndex() const = 0;
    // One poll of the active page (each refresh only after CheckModule(false)); may raise.
    virtual void PollActivePage() = 0;
    virtual QTimer &ModbusTimer() = 0;

    // Hides the other two kinds' lists, then shows this one, so pages shared by several lists end
    // up visible.
    void ShowOnlyPageSet(int kind)
    {
        for (int other = 0; other < zul::KindListCount; ++other)
            if (other != kind)
                ShowPageSet(other, PageSetCount(other), false);
        ShowPageSet(kind, PageSetCount(kind), true);
    }

protected:
    ~TZULHost() = default;
};

// What a module kind plugs into the window.
class TModuleKindUnit
{
public:
    virtual ~TModuleKindUnit() = default;
    // DIOSetup, AINSetup, AOTSetup: run by ShowModulePages after a connect found this kind. Shows
    // the kind's page list (TZULHost::ShowOnlyPageSet) and reads its first pages.
    virtual void Setup() = 0;
    // The timer's refresh of one of this kind's live pages; CheckModule(false) has answered true.
    virtual void Poll(int pageIndex) { (void)pageIndex; }
    // Re-display of the active page after the number format changed.
    virtual void Refresh(int pageIndex) { (void)pageIndex; }
};
