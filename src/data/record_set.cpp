#include "data/record_set.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/strutil.h"

const std::string& CRecordSet::Value(int record, int index) const
{
    static const std::string empty;
    if (record < 1 || record > RecordCount() || index < 0) return empty;
    const auto& row = rows[size_t(record - 1)];
    return size_t(index) < row.size() ? row[size_t(index)] : empty;
}

int CRecordSet::ColumnIndex(const std::string& name) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i] == name) return int(i);
    const std::string lower = ToLowerAscii(name);
    for (size_t i = 0; i < columns.size(); ++i)
        if (ToLowerAscii(columns[i]) == lower) return int(i);
    return -1;
}

namespace {

// A regular file that opens for reading; errno tells why not.
bool OpensForReading(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (!regular) errno = EISDIR;
    return regular;
}

}  // namespace

bool LocateSourceFile(const std::string& path, const std::string& fallbackFolder, std::string& found,
                      CSourceError& error)
{
    if (!path.empty() && OpensForReading(path)) {
        found = path;
        return true;
    }
    const std::string reason = path.empty() ? std::string("no file named") : std::strerror(errno);
    const size_t cut = path.find_last_of("\\/:");
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (!name.empty() && !fallbackFolder.empty()) {
        const std::string moved = fallbackFolder + "/" + name;
        if (OpensForReading(moved)) {
            found = moved;
            return true;
        }
    }
    error = CSourceError::Make(CSourceError::missingFile, StrFormat("cannot open %s: %s", path.c_str(), reason.c_str()));
    return false;
}
