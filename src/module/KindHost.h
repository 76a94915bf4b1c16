// What the main window offers the kinds' units.
#pragma once

class TZULHost
{
public:
    // Hides the other kinds' page lists, then shows this one, so that the pages shared by
    // several lists end up visible; production-only pages stay hidden outside the production
    // test version.
    virtual void ShowOnlyPageSet(int kindList) = 0;

protected:
    ~TZULHost() = default;
};
