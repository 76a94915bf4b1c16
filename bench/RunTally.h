// What the production run bench counts: the transactions of each step of a run with what they
// cost on the wire, the stability window each capture step had to wait, and the run's time
// against both. Fed with the frames of the window's traffic model. Qt-free.
#pragma once

#include "comms/Traffic.h"

#include <string>
#include <vector>

namespace bench {

struct StepTally
{
    std::string name;
    double seconds = 0; // from the operator's Next to the step's end
    int transactions = 0;
    int failed = 0; // answered other than good, or not at all
    double wireMicros = 0;
    double windowSeconds = 0; // the stability window of a capture step; 0 for the others

    // What the step cannot take less than: its wire time and its window.
    double budgetSeconds() const { return wireMicros / 1e6 + windowSeconds; }
};

class RunTally
{
public:
    explicit RunTally(int baud);

    // The traffic model's frames in the order they were sent and heard. A reply (or its
    // absence) completes the request before it; bursts nobody asked for are no transaction.
    void add(const modbus::TrafficRecord &record);
    // The transactions added since the last close are this step's.
    void closeStep(std::string name, double seconds, double windowSeconds);

    const std::vector<StepTally> &steps() const { return m_steps; }
    // Every step summed under the name "run".
    StepTally total() const;
    // Frames heard where no reply belonged.
    int unexpected() const { return m_unexpected; }

private:
    void completeRequest(int replyBytes, bool good);

    int m_baud;
    StepTally m_open;
    std::vector<StepTally> m_steps;
    int m_requestBytes = -1; // of the request still waiting for its reply; -1 when none
    int m_unexpected = 0;
};

} // namespace bench
