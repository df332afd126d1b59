#pragma once
// Han Xin Code symbol builder: the data in the standard's modes (numeric,
// text, binary, the two GB 2312 regions, GB 18030 double-byte and
// four-byte), versions 1-84, levels 1-4, Reed-Solomon blocks, the layout,
// the structural information and the four masks with their selection.
// Data is a GB 18030 byte string (the system's code page).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "encoders/twod_common.h"

namespace hanxin {

constexpr int kMaxVersion = 84;
inline int SideOfVersion(int version) { return 21 + 2 * version; }

enum class Mode { kNumeric, kText, kBinary, kRegion1, kRegion2, kDoubleByte, kFourByte };

// The data as mode segments (our choice of modes: fewest bits).
struct Segment {
    Mode mode;
    size_t begin, end;  // bytes of the data
};
std::vector<Segment> ChooseSegments(const std::uint8_t* data, size_t length);
// The bit string of the segments, '0' and '1'.
std::string EncodeBits(const std::uint8_t* data, size_t length);

// Penalty of a finished symbol for the mask selection (lower is better).
long MaskPenalty(const twod::ModuleMatrix& m);

enum class Status { kOk, kBadLevel, kBadVersion, kTooLong };

struct Symbol {
    int version = 0;
    int level = 0;
    int mask = 0;
    twod::ModuleMatrix matrix;  // side x side, 1 = dark
};

// level 1-4; version 0 = smallest that holds the data, else 1-84; mask -1
// chooses by MaskPenalty, 0-3 forces one.
Status BuildSymbol(const std::uint8_t* data, size_t length, int level, int version, int mask, Symbol& out);

}  // namespace hanxin
