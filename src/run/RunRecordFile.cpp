#include "RunRecordFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zul::run {

namespace {

// More copies of one name than this means something else is wrong; the caller is told.
constexpr int MaxNameSuffix = 999;

std::string reason(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

bool makeFolder(const std::string &folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info
    {
    };
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Writes and flushes `text` into a file that holds nothing else afterwards.
bool writeSynced(const std::string &path, std::string_view text, std::string *error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = reason("cannot write " + path);
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            *error = reason("cannot write " + path);
            ::close(fd);
            return false;
        }
        done += std::size_t(written);
    }
    if (::fsync(fd) != 0) {
        *error = reason("cannot write " + path);
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0) {
        *error = reason("cannot write " + path);
        return false;
    }
    return true;
}

// The rename itself reaches the disk only with its folder.
void syncFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

RunRecordFile::RunRecordFile(std::string folder, std::string baseName)
    : m_folder(std::move(folder))
    , m_baseName(std::move(baseName))
{
}

bool RunRecordFile::write(std::string_view text)
{
    m_error.clear();
    if (!makeFolder(m_folder)) {
        m_error = reason("cannot make the folder " + m_folder);
        return false;
    }
    // Named after the base name, not the record's, so that a write killed before the first
    // name was taken leaves a temporary file the next run of the same base name reuses.
    const std::string temporary = m_folder + "/." + m_baseName + ".json.tmp";
    if (!writeSynced(temporary, text, &m_error)) {
        ::unlink(temporary.c_str());
        return false;
    }
    bool placed = true;
    if (m_path.empty()) {
        placed = claimName(temporary);
    } else if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        m_error = reason("cannot replace " + m_path);
        placed = false;
    }
    if (!placed) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(m_folder);
    return true;
}

bool RunRecordFile::claimName(const std::string &temporary)
{
    for (int n = 1; n <= MaxNameSuffix; ++n) {
        const std::string path = m_folder + "/" + m_baseName
            + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".json";
        // A link fails on an existing name in the same call that makes it: a file of another
        // run is never replaced, and two runs ending together cannot both take one name.
        if (::link(temporary.c_str(), path.c_str()) == 0) {
            ::unlink(temporary.c_str());
            m_path = path;
            return true;
        }
        if (errno != EEXIST) {
            m_error = reason("cannot write " + path);
            return false;
        }
    }
    m_error = m_baseName + " names in " + m_folder + " are taken";
    return false;
}

} // namespace zul::run
