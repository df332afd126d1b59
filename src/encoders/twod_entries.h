#pragma once
// The two-dimensional entries of the VOVerovo library: QR Code, PDF417 and
// Data Matrix. Same frame as the linear entries: pixel sizes in, a
// monochrome bitmap (0 = black) out, null on failure with the error code in
// the error word when one is given.
#include <cstdint>

#include "encoders/frame.h"
#include "platform/geometry.h"

// QR Code. ecLevel 0 L, 1 M, 2 Q, 3 H.
BarBitmap EncodeQr(const char* data, int length, int ecLevel, int module, int rotation, int mirror,
                   int reduction, std::uint32_t* errorWord);
int MeasureQr(CSize& size, const char* data, int length, int ecLevel, int module, int rotation,
              std::uint32_t* errorWord);

// PDF417. rows 0 or 3-90, columns 0 or 1-30 (0 = automatic), level -1
// (automatic) or 0-8; module and rowHeight in pixels.
BarBitmap EncodePdf417(const char* data, int length, int rows, int columns, int level, int rotation,
                       int mirror, int module, int rowHeight, int truncated, int reduction,
                       std::uint32_t* errorWord);
int MeasurePdf417(CSize& size, const char* data, int length, int rows, int columns, int level,
                  int rotation, int module, int rowHeight, int truncated, std::uint32_t* errorWord);
// Runs the same encoding and leaves the rows and columns used, and the level
// when it was automatic, in the in/out arguments. Returns 1.
int QueryPdf417(const char* data, int length, int& rows, int& columns, int& level, int rotation,
                int module, int rowHeight, int truncated, std::uint32_t* errorWord);

// Data Matrix ECC 200, square sizes. reserved is ignored.
BarBitmap EncodeDataMatrix(const char* data, int length, int reserved, int module, int rotation,
                           int mirror, int reduction, std::uint32_t* errorWord);
int MeasureDataMatrix(CSize& size, const char* data, int length, int reserved, int module,
                      int rotation, std::uint32_t* errorWord);
