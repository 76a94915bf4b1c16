// The part of a module kind the main window calls once a module of that kind is connected.
#pragma once

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
