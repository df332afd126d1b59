#pragma once
// Data Matrix ECC 200 symbol builder (square sizes only): ASCII and Base 256
// encodation, size choice, padding, Reed-Solomon blocks, placement and the
// finder and clock edges of every data region.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoders/twod_common.h"

namespace datamatrix {

constexpr int kMaxDataCodewords = 1558;  // 144 x 144

struct SizeInfo {
    int size;           // modules per side
    int regionSize;     // data modules per side of one region
    int regionsPerSide;
    int dataCodewords;
    int ecCodewords;    // all blocks together
    int blocks;
};

// The 24 square sizes, smallest first.
const SizeInfo* Sizes();
constexpr int kSizeCount = 24;

// Codewords of the data; false when more than kMaxDataCodewords would be needed.
bool Encodation(const std::uint8_t* data, size_t length, std::vector<std::uint8_t>& out);

struct Symbol {
    const SizeInfo* size = nullptr;
    std::vector<std::uint8_t> dataCodewords;   // after padding
    std::vector<std::uint8_t> codewords;       // data and interleaved error codewords
    twod::ModuleMatrix matrix;                 // 1 = dark
};

// False when the data needs no codeword (empty) or more than the largest size holds.
bool BuildSymbol(const std::uint8_t* data, size_t length, Symbol& out);

}  // namespace datamatrix
