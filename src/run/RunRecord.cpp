#include "RunRecord.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace zul::run {

namespace {

std::string number(double value)
{
    if (!std::isfinite(value))
        return "null"; // JSON has no NaN or infinity
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::tm utcFields(Clock::time_point time, int *milliseconds)
{
    const auto sinceEpoch = time.time_since_epoch();
    auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    *milliseconds =
        int(std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - seconds).count());
    const std::time_t whole = seconds.count();
    std::tm fields {};
    gmtime_r(&whole, &fields);
    return fields;
}

// Writes members one per line, indented by nesting depth.
class Writer
{
public:
    void open(char bracket)
    {
        m_text += bracket;
        m_first = true;
        ++m_depth;
    }
    void close(char bracket)
    {
        --m_depth;
        if (!m_first)
            newline();
        m_text += bracket;
        m_first = false;
    }
    void key(std::string_view name)
    {
        item();
        m_text += jsonString(name) + ": ";
    }
    void item()
    {
        if (!m_first)
            m_text += ',';
        newline();
        m_first = false;
    }
    void raw(const std::string &value) { m_text += value; }
    void member(std::string_view name, const std::string &rawValue)
    {
        key(name);
        raw(rawValue);
        m_first = false;
    }
    std::string text() const { return m_text + "\n"; }

private:
    void newline() { m_text += "\n" + std::string(std::size_t(2 * m_depth), ' '); }

    std::string m_text;
    int m_depth = 0;
    bool m_first = true;
};

void writeMeasurement(Writer &out, const Measurement &value)
{
    out.item();
    out.open('{');
    out.member("name", jsonString(value.name));
    out.member("value", number(value.value));
    out.member("unit", jsonString(value.unit));
    if (value.limits) {
        out.member("low", number(value.limits->low));
        out.member("high", number(value.limits->high));
    }
    out.member("within", value.within() ? "true" : "false");
    out.close('}');
}

void writeAttempt(Writer &out, const Attempt &attempt)
{
    out.item();
    out.open('{');
    out.member("started", jsonString(utcText(attempt.started)));
    out.member("ended", jsonString(utcText(attempt.ended)));
    out.member("status", jsonString(statusName(attempt.status)));
    out.member("message", jsonString(attempt.message));
    out.key("values");
    out.open('[');
    for (const Measurement &value : attempt.values)
        writeMeasurement(out, value);
    out.close(']');
    out.close('}');
}

} // namespace

std::string jsonString(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

std::string utcText(Clock::time_point time)
{
    int milliseconds = 0;
    const std::tm fields = utcFields(time, &milliseconds);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ",
        fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
        fields.tm_sec, milliseconds);
    return buffer;
}

std::string recordFileName(std::string_view kind, std::string_view serial, Clock::time_point time)
{
    int milliseconds = 0;
    const std::tm fields = utcFields(time, &milliseconds);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02dT%02d%02d%02dZ", fields.tm_year + 1900,
        fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    std::string name = std::string(kind) + "-" + std::string(serial);
    for (char &c : name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')
            || (c >= 'a' && c <= 'z') || c == '-' || c == '.';
        if (!plain)
            c = '_';
    }
    // A name that begins with a dot would hide the file, and ".." would leave the folder.
    if (!name.empty() && name[0] == '.')
        name[0] = '_';
    return name + "-" + stamp + ".json";
}

std::string runRecordJson(const RecordHeader &header, const Run &run)
{
    Writer out;
    out.open('{');
    out.member("runId", jsonString(header.runId));
    out.member("plan", jsonString(header.plan));
    out.member("planHash", jsonString(header.planHash));
    out.member("operator", jsonString(header.operatorName));
    out.member("station", jsonString(header.station));
    out.member("toolVersion", jsonString(header.toolVersion));
    out.key("module");
    out.open('{');
    for (const auto &[name, value] : header.module)
        out.member(name, jsonString(value));
    out.close('}');
    out.member("started", jsonString(utcText(run.startedAt())));
    out.member("ended", run.finished() ? jsonString(utcText(run.endedAt())) : "null");
    out.member("outcome", run.finished() ? jsonString(outcomeName(run.outcome())) : "null");
    out.member("resultRow", header.resultRow ? std::to_string(*header.resultRow) : "null");
    out.key("steps");
    out.open('[');
    for (const StepRecord &step : run.steps()) {
        out.item();
        out.open('{');
        out.member("name", jsonString(step.step.name));
        out.member("status", jsonString(statusName(step.status)));
        out.key("attempts");
        out.open('[');
        for (const Attempt &attempt : step.attempts)
            writeAttempt(out, attempt);
        out.close(']');
        out.close('}');
    }
    out.close(']');
    out.close('}');
    return out.text();
}

} // namespace zul::run
