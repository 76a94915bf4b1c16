// The live values the poll ticks publish during a production run of an analog kind: the window
// hands each to the run, and a step's capture takes each tick of its page once.
#pragma once

#include "core/LiveValues.h"

#include <string>

class TRunLiveValues
{
public:
    void Add(const zul::LiveSample &sample)
    {
        m_latest = sample;
        ++m_added;
    }
    // The sample of a tick not taken yet, when it came from `page`; nullptr otherwise.
    const zul::LiveSample *Take(const std::string &page);
    // Whatever came before now is not taken.
    void Forget() { m_taken = m_added; }

private:
    zul::LiveSample m_latest;
    unsigned long m_added = 0;
    unsigned long m_taken = 0;
};
