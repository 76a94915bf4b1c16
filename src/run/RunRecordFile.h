// The file a production run's record lives in while the run goes: written whole again after
// every attempt, so that a crash or a power cut leaves the attempts so far. Each write goes to a
// hidden temporary file beside it (".<name>.tmp"), is flushed to the disk, and then takes the
// record's name in one rename, the folder flushed after it; the record is never seen half
// written or empty. The name is taken at the first write and kept for the whole run; a file of
// another run already under that name is never replaced: the name gains "-2", "-3", ... instead.
// Qt-free (POSIX).
#pragma once

#include <string>
#include <string_view>

namespace zul::run {

class RunRecordFile
{
public:
    // `baseName` without ".json"; the folder is made at the first write.
    RunRecordFile(std::string folder, std::string baseName);

    // Replaces the record with `text`. False, with error(), when it could not be written; the
    // last record written stays as it was.
    bool write(std::string_view text);

    // The record's full path; empty until a write took a name.
    const std::string &path() const { return m_path; }
    const std::string &error() const { return m_error; }

private:
    bool claimName(const std::string &temporary);

    std::string m_folder;
    std::string m_baseName;
    std::string m_path;
    std::string m_error;
};

} // namespace zul::run
