#pragma once
// Han Xin Code tables, generated from the standard's tables
// (scripts/gen-symbol-tables): Reed-Solomon blocks per version and level,
// the fixed modules, and the structural information.
#include <cstdint>

namespace hanxin {

struct BlockGroup {
    int count, data, ec;  // count blocks of data + ec codewords
};
struct BlockTable {
    int total;     // codewords of the version
    int data;      // data codewords at this level
    BlockGroup groups[3];  // in stream order; unused groups have count 0
};
extern const BlockTable kBlocks[84][4];  // [version - 1][level - 1]

// The four 9 x 9 corners (finder, separator, structural strips 'S'), the
// same in every version: rows 0-8 then the last nine rows, each the nine
// leftmost then the nine rightmost modules, '1' dark, '0' light.
extern const char kCornerRows[18][19];

// Fixed modules outside the corners, as runs: bit 25 vertical, bit 24 dark,
// bits 16-23 row, 8-15 column, 0-7 length. Version v has runs
// kFixedRunIndex[v - 1] .. kFixedRunIndex[v] - 1; every other module outside
// the corners carries codeword bits.
extern const std::uint32_t kFixedRuns[];
extern const int kFixedRunIndex[85];

// Structural information bits 0-27 (bit 27 first) per version, level and
// mask; bits 40-66 repeat 1-27 and the rest are light.
extern const std::uint32_t kStructuralBits[84][4][4];

}  // namespace hanxin
