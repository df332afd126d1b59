#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "platform/fileio.h"

bool MayWriteOutput(const std::string& path, bool force, const std::vector<std::string>& inputs, std::string& error)
{
    if (path == "-") return true;
    struct stat out {};
    if (stat(path.c_str(), &out) != 0) return true;  // nothing there (or the write will say why)
    for (const std::string& input : inputs) {
        struct stat in {};
        if (stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino) {
            error = path + " is the file being read; give another output";
            return false;
        }
    }
    if (S_ISDIR(out.st_mode)) {
        error = "cannot write " + path + ": it is a folder";
        return false;
    }
    if (!force) {
        error = path + " exists; --force writes over it";
        return false;
    }
    return true;
}

bool WriteOutput(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    if (path == "-") {
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
        if (!ok) error = std::string("cannot write to standard output: ") + std::strerror(errno);
        return ok;
    }
    std::string reason;
    if (WriteFileSafely(path, bytes, &reason)) return true;
    error = "cannot write " + path + ": " + reason;
    return false;
}
