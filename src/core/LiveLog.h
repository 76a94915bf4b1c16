// File > Log live values...: one CSV line per poll tick, each flushed as it is written, so that a
// crash or a pulled plug loses at most the line being written. A new file begins every rotation
// period (an hour by default), each with the same header. Qt-free; the caller gives the time.
#pragma once

#include "LiveValues.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace zul {

class LiveLog
{
public:
    using Clock = std::chrono::system_clock;

    // The module the values come from, named in every file's header.
    struct Module
    {
        std::string kind; // "AIN"
        std::string serial;
        std::array<std::string, LiveChannels> scales {};
    };

    // Opens `path` (created or emptied) and writes its header; false with `error` set when it
    // cannot be written.
    bool Start(const std::string &path, const Module &module, Clock::time_point now,
        std::chrono::minutes rotation, std::string *error);
    void Stop();
    bool Active() const { return static_cast<bool>(m_file); }
    // The file written now (the chosen one, or the latest rotation's).
    const std::string &CurrentPath() const { return m_currentPath; }

    // One line; begins the next file first when the rotation period has passed. False when the
    // line could not be written (the log then stops).
    bool Write(const LiveSample &sample, Clock::time_point now, std::string *error);
    // The module's scales now (ScaleText per channel). When they differ from those the last
    // header named, the header is written again with them, so that a reader sees where the
    // values' scales changed; later files of the rotation name them too. False when the header
    // could not be written (the log then stops).
    bool TakeScales(const std::array<std::string, LiveChannels> &scales, std::string *error);

    // "2026-12-07T17:05:01.123+01:00" in local time.
    static std::string IsoTime(Clock::time_point time);
    // path with "-<yyyymmdd-hhmmss>" before its extension: the name of a rotation's file.
    static std::string RotatedPath(const std::string &path, Clock::time_point time);

private:
    bool open(const std::string &path, std::string *error);
    bool writeHeader(std::string *error);
    bool writeText(const std::string &text, std::string *error);

    struct Closer
    {
        void operator()(std::FILE *file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> m_file;
    std::string m_chosenPath;
    std::string m_currentPath;
    Module m_module;
    std::chrono::minutes m_rotation {};
    Clock::time_point m_fileStarted;
};

} // namespace zul
