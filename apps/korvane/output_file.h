#pragma once
// Where the commands write their results. An existing file is written over
// only when the user asks for it (--force), and never a file the same
// command reads. The bytes go to a temporary file beside the target that is
// renamed into place once complete, so a failed write leaves neither an
// empty nor a partial file, and an old file as it was.
#include <cstdint>
#include <string>
#include <vector>

// False with the message when path may not be written: it exists and force
// is off, or it is one of inputs (the same file under any name, even with
// force). "-" (standard output) is always allowed here; commands that do not
// write there refuse it themselves.
bool MayWriteOutput(const std::string& path, bool force, const std::vector<std::string>& inputs, std::string& error);

// Writes the whole output to path ("-": standard output); false with
// "cannot write PATH: REASON".
bool WriteOutput(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
