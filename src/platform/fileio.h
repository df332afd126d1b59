#pragma once
// Whole-file reading and safe whole-file writing.
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole file; false with a reason ("No such file or directory",
// "it is a folder"...) when it cannot.
bool ReadFileToBytes(const std::string& path, std::vector<std::uint8_t>& out, std::string* reason);

// Writes a complete temporary file in the same folder, then renames it over
// path, so a failed write leaves the old file as it was. Keeps the old
// file's permissions.
bool WriteFileSafely(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* reason);
