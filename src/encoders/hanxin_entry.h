#pragma once
// Han Xin Code entry of the encoder library, with the in-process encoder
// behind the three-call contract ("Encode", "getDimsByVersion",
// "EncodeFree") the entry was designed around.
#include <cstdint>

#include "encoders/frame.h"

// Encodes data at *level (1-4) and *version (0 = smallest that holds it, or
// 1-84); on success returns 0, sets *matrix to side x side bytes (row by row,
// non-zero dark, released with HanXinEncodeFree) and writes the version used
// back. option1-3 (encryption in the contract) must be 0. Non-zero results:
// 1 bad level, 2 bad version or options, 3 data too long for the symbol.
int HanXinEncode(const char* data, int length, int reserved1, int* level, int reserved2, int option1, int option2,
                 int option3, unsigned char** matrix, int* version);
int HanXinDimsByVersion(int version);
void HanXinEncodeFree(unsigned char* matrix);

// ecLevel 1-4, version 0-84, options 0; module in pixels.
BarBitmap EncodeHanXin(const char* data, int length, int ecLevel, int option1, int option2, int option3, int version,
                       int module, int rotation, int mirror, int reduction, std::uint32_t* errorWord);
int MeasureHanXin(CSize& size, const char* data, int length, int ecLevel, int option1, int option2, int option3,
                  int version, int module, int rotation, std::uint32_t* errorWord);
