#include "LiveLog.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iomanip>
#include <sstream>

namespace zul {

namespace {

// A field that holds a comma, a quote or a line break is quoted, with its quotes doubled; a NUL
// (a serial number or page name never has one, but a damaged read may) is written as "\0" so
// that no reader ends the line there.
std::string csvField(const std::string &text)
{
    if (text.find_first_of(std::string(",\"\r\n\0", 5)) == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\0') {
            quoted += "\\0";
            continue;
        }
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

bool writeAll(std::FILE *file, const std::string &text)
{
    return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}

std::tm localTime(LiveLog::Clock::time_point time)
{
    const std::time_t seconds = LiveLog::Clock::to_time_t(time);
    std::tm local {};
    localtime_r(&seconds, &local);
    return local;
}

std::string numberText(double value)
{
    std::ostringstream text;
    text << std::setprecision(7) << value;
    return text.str();
}

} // namespace

std::string LiveLog::IsoTime(Clock::time_point time)
{
    const std::tm local = localTime(time);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        time.time_since_epoch() % std::chrono::seconds(1))
                        .count();
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    char zone[8];
    std::strftime(zone, sizeof zone, "%z", &local); // +0100
    std::ostringstream text;
    text << stamp << '.' << std::setw(3) << std::setfill('0') << ms << std::string(zone, 3) << ':'
         << std::string(zone + 3);
    return text.str();
}

std::string LiveLog::RotatedPath(const std::string &path, Clock::time_point time)
{
    const std::tm local = localTime(time);
    char stamp[24];
    std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &local);
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + stamp;
    return path.substr(0, dot) + stamp + path.substr(dot);
}

bool LiveLog::Start(const std::string &path, const Module &module, Clock::time_point now,
    std::chrono::minutes rotation, std::string *error)
{
    Stop();
    m_chosenPath = path;
    m_module = module;
    m_rotation = rotation;
    m_fileStarted = now;
    return open(path, error);
}

void LiveLog::Stop()
{
    m_file.reset();
}

bool LiveLog::open(const std::string &path, std::string *error)
{
    m_file.reset(std::fopen(path.c_str(), "w"));
    if (!m_file) {
        if (error)
            *error = std::strerror(errno);
        return false;
    }
    m_currentPath = path;
    return writeHeader(error);
}

bool LiveLog::writeHeader(std::string *error)
{
    std::string header =
        "module," + csvField(m_module.kind) + ",serial," + csvField(m_module.serial);
    for (int n = 0; n < LiveChannels; ++n)
        header += "," + m_module.kind + std::to_string(n + 1) + " scale,"
            + csvField(m_module.scales[n].empty() ? "not set" : m_module.scales[n]);
    std::string columns = "time,page,unit";
    for (int n = 1; n <= LiveChannels; ++n)
        columns += "," + m_module.kind + std::to_string(n);
    for (int n = 1; n <= LiveChannels; ++n)
        columns += "," + m_module.kind + std::to_string(n) + " raw";
    return writeText(header + "\n" + columns + "\n", error);
}

bool LiveLog::writeText(const std::string &text, std::string *error)
{
    if (!writeAll(m_file.get(), text)) {
        if (error)
            *error = std::strerror(errno);
        m_file.reset();
        return false;
    }
    return true;
}

bool LiveLog::TakeScales(const std::array<std::string, LiveChannels> &scales, std::string *error)
{
    if (!m_file)
        return false;
    if (scales == m_module.scales)
        return true;
    m_module.scales = scales;
    return writeHeader(error);
}

bool LiveLog::Write(const LiveSample &sample, Clock::time_point now, std::string *error)
{
    if (!m_file)
        return false;
    if (m_rotation.count() > 0 && now - m_fileStarted >= m_rotation) {
        m_fileStarted = now;
        if (!open(RotatedPath(m_chosenPath, now), error))
            return false;
    }
    std::string line =
        IsoTime(now) + "," + csvField(sample.page) + "," + csvField(UnitsText(sample));
    for (const double value : sample.values)
        line += "," + numberText(value);
    for (const std::uint16_t word : sample.raw)
        line += "," + std::to_string(word);
    line += "\n";
    return writeText(line, error);
}

} // namespace zul
