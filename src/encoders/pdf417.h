#pragma once
// PDF417 symbol builder: compaction into codewords, the error correction
// level, the rows-and-columns layout, Reed-Solomon over GF(929), the row
// indicators and the module rows (full or truncated).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoders/twod_common.h"

namespace pdf417 {

constexpr int kMaxCodewords = 928;
constexpr int kLatchText = 900, kLatchByte = 901, kLatchNumeric = 902, kShiftByte = 913,
              kLatchByte6 = 924;

// Codewords of the data, the length descriptor not included. False when the
// data is empty or would need 927 or more codewords with the descriptor.
bool HighLevelEncode(const std::uint8_t* data, size_t length, std::vector<int>& out);

// Error correction level chosen for t data codewords (descriptor included).
int AutoLevel(int dataCodewords);
inline int EcCodewordCount(int level) { return 2 << level; }

// Rows and columns for n codewords (data + error correction). rows / columns
// 0 ask for an automatic choice. The result always lies within 3-90 rows,
// 1-30 columns and 928 codewords.
struct Layout {
    int rows;
    int columns;
};
Layout ChooseLayout(int n, int rows, int columns, int module, int rowHeight, bool truncated);

// Error correction codewords of level over the given codewords.
std::vector<int> ErrorCorrection(const std::vector<int>& codewords, int level);

// Row indicator values of row i.
int LeftRowIndicator(int row, int rows, int columns, int level);
int RightRowIndicator(int row, int rows, int columns, int level);

// The 17-module bar/space patterns of the codewords in clusters 0, 3 and 6
// (generated from the standard's table), most significant of 17 bits first,
// 1 = bar.
extern const std::uint32_t kCodewordPatterns[3][929];
inline std::uint32_t CodewordPattern(int cluster, int codeword) { return kCodewordPatterns[cluster][codeword]; }

// Start pattern 81111113 (17 modules) and stop pattern 711311121 (18).
constexpr std::uint32_t kStartPattern = 0x1FEA8;
constexpr std::uint32_t kStopPattern = 0x3FA29;

enum class Status { kOk, kTooLong };

struct Request {
    int rows = 0;        // 0 automatic, else 3-90
    int columns = 0;     // 0 automatic, else 1-30
    int level = -1;      // -1 automatic, else 0-8
    int module = 1;      // pixels, for the layout's aspect
    int rowHeight = 3;   // pixels, for the layout's aspect
    bool truncated = false;
};

struct Symbol {
    int rows = 0;
    int columns = 0;
    int level = 0;
    std::vector<int> codewords;   // rows x columns: descriptor, data, pads, error correction
    twod::ModuleMatrix matrix;    // one matrix row per symbol row, 1 = bar
    // Set as soon as each is known, also when the build fails later.
    bool levelKnown = false;
    bool layoutKnown = false;
};

Status BuildSymbol(const std::uint8_t* data, size_t length, const Request& req, Symbol& out);

}  // namespace pdf417
