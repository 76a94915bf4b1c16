#include "RunTally.h"
#include "WireTime.h"

#include <utility>

namespace bench {

RunTally::RunTally(int baud)
    : m_baud(baud)
{
}

void RunTally::add(const modbus::TrafficRecord &record)
{
    const int bytes = static_cast<int>(record.bytes.size());
    if (record.direction == modbus::FrameEvent::Direction::Sent) {
        // A request whose reply was never reported still took its own time on the line.
        if (m_requestBytes >= 0)
            completeRequest(0, false);
        m_requestBytes = bytes;
        return;
    }
    if (record.outcome == modbus::Outcome::Unexpected || m_requestBytes < 0) {
        ++m_unexpected;
        return;
    }
    completeRequest(bytes, record.outcome == modbus::Outcome::Ok);
}

void RunTally::completeRequest(int replyBytes, bool good)
{
    ++m_open.transactions;
    if (!good)
        ++m_open.failed;
    m_open.wireMicros += bench::wireMicros(m_requestBytes, replyBytes, m_baud);
    m_requestBytes = -1;
}

void RunTally::closeStep(std::string name, double seconds, double windowSeconds)
{
    m_open.name = std::move(name);
    m_open.seconds = seconds;
    m_open.windowSeconds = windowSeconds;
    m_steps.push_back(std::move(m_open));
    m_open = {};
}

StepTally RunTally::total() const
{
    StepTally sum;
    sum.name = "run";
    for (const StepTally &step : m_steps) {
        sum.seconds += step.seconds;
        sum.transactions += step.transactions;
        sum.failed += step.failed;
        sum.wireMicros += step.wireMicros;
        sum.windowSeconds += step.windowSeconds;
    }
    return sum;
}

} // namespace bench
