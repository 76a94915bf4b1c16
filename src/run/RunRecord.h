// The record a production run leaves: its id, plan and the plan's content hash, operator,
// station, tool version, module identity, start and end, outcome, every step with every attempt,
// and the id of the saved results row. Written as JSON text without a JSON library; the run dock
// writes it to its file after every attempt (RunRecordFile.h) and at the end also to the run log
// table. Qt-free.
#pragma once

#include "RunEngine.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zul::run {

struct RecordHeader
{
    std::string plan;
    std::string operatorName; // may be empty
    std::string station; // host name
    std::string toolVersion;
    // The module's identity in the order shown: ("kind", "AIN"), ("serial", "00123456"), ...
    std::vector<std::pair<std::string, std::string>> module;
    std::optional<long long> resultRow; // the saved results row, when there is one
    std::string runId; // made when the run starts, unique per run
    std::string planHash; // SHA-256 hex of what the plan was made from (Plan::contentHash)
};

// The run's record, two-space indented, ending in a newline. A run still going has "ended" and
// "outcome" null.
std::string runRecordJson(const RecordHeader &header, const Run &run);

// A JSON string literal with its quotes; control characters escaped, bytes of 0x80 and above
// passed through (the texts are UTF-8).
std::string jsonString(std::string_view text);
// "2026-12-07T17:10:00.123Z"
std::string utcText(Clock::time_point time);
// "<kind>-<serial>-<UTC time>.json" with the time as 20261207T171000Z; characters that do not
// belong in a file name become "_".
std::string recordFileName(std::string_view kind, std::string_view serial, Clock::time_point time);

} // namespace zul::run
