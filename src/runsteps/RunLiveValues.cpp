#include "RunLiveValues.h"

const zul::LiveSample *TRunLiveValues::Take(const std::string &page)
{
    if (m_taken == m_added || m_latest.page != page)
        return nullptr;
    m_taken = m_added;
    return &m_latest;
}
