#include "platform/fileio.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

bool ReadFileToBytes(const std::string& path, std::vector<std::uint8_t>& out, std::string* reason)
{
    out.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (reason) *reason = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        close(fd);
        if (reason) *reason = folder ? "it is a folder" : "not a regular file";
        return false;
    }
    out.reserve(size_t(st.st_size));
    std::uint8_t buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            close(fd);
            out.clear();
            if (reason) *reason = std::strerror(err);
            return false;
        }
        out.insert(out.end(), buf, buf + n);
    }
    close(fd);
    return true;
}

bool WriteFileSafely(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* reason)
{
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string tmpl = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) {
        if (reason) *reason = std::strerror(errno);
        return false;
    }
    auto fail = [&](int err) {
        close(fd);
        unlink(tmpl.c_str());
        if (reason) *reason = std::strerror(err);
        return false;
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += size_t(n);
    }
    if (fsync(fd) != 0) return fail(errno);
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        fchmod(fd, st.st_mode & 07777);
    else
        fchmod(fd, 0644);
    if (close(fd) != 0) {
        const int err = errno;
        unlink(tmpl.c_str());
        if (reason) *reason = std::strerror(err);
        return false;
    }
    if (rename(tmpl.c_str(), path.c_str()) != 0) {
        const int err = errno;
        unlink(tmpl.c_str());
        if (reason) *reason = std::strerror(err);
        return false;
    }
    return true;
}
