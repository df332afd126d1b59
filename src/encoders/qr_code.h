#pragma once
// QR Code Model 2 symbol builder: segmentation into modes, version choice,
// error correction blocks, placement and masking. The result is a module
// matrix; the entry points that turn it into a bitmap live in the encoder.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoders/twod_common.h"

namespace qr {

enum Mode : std::uint8_t { kNumeric = 1, kAlnum = 2, kByte = 4, kKanji = 8 };
enum Level : int { kLevelL = 0, kLevelM = 1, kLevelQ = 2, kLevelH = 3 };

// One run of data in one mode; the length counts bytes (a Kanji character
// is two bytes).
struct Segment {
    Mode mode;
    int length;
    bool operator==(const Segment& o) const { return mode == o.mode && length == o.length; }
};

constexpr int kMaxBits = 23648;      // version 40-L data capacity in bits
constexpr int kMaxSegments = 2956;   // one per data byte of the largest symbol

// Versions 1-9, 10-26 and 27-40 share their count-indicator lengths.
int VersionGroup(int version);
int CountIndicatorBits(Mode mode, int group);
// Mode indicator, count indicator and data bits of one segment.
int SegmentBits(Mode mode, int length, int group);

// True when the two bytes form one Kanji-mode character.
bool IsKanjiPair(std::uint8_t first, std::uint8_t second);
bool IsAlnumChar(std::uint8_t c);

// Initial segments by character class, then the numeric/alphanumeric pass
// and the byte pass, for one version group. False when the data has more
// initial segments than the segment list holds.
bool Segmentize(const std::uint8_t* data, size_t length, int group, std::vector<Segment>& out);

// Codewords of a version (data + error correction), data codewords at a level,
// error codewords per block and number of blocks.
int TotalCodewords(int version);
int DataCodewords(int version, int level);
int EcCodewordsPerBlock(int version, int level);
int BlockCount(int version, int level);

struct Symbol {
    int version = 0;
    int level = 0;
    int mask = 0;
    std::vector<Segment> segments;
    std::vector<std::uint8_t> dataCodewords;  // before error correction, padded
    twod::ModuleMatrix matrix;                // (4V + 17) square, 1 = dark
};

// Builds a symbol. version 0 asks for the smallest that fits (a larger one
// than asked is taken when needed); mask -1 scores all eight. False when the
// data fits no version.
bool BuildSymbol(const std::uint8_t* data, size_t length, int level, int version, int mask,
                 Symbol& out);

// Penalty score of a finished matrix (all four rules).
int MaskPenalty(const twod::ModuleMatrix& m);

}  // namespace qr
