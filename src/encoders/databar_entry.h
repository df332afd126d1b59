#pragma once
// GS1 DataBar entry of the encoder library.
#include <cstdint>

#include "encoders/frame.h"

// Option word: bits 0-3 type (0 Omnidirectional, 1 Truncated, 2 Stacked,
// 3 Stacked Omnidirectional, 4 Limited, 5 Expanded, 6 Expanded Stacked),
// bits 4-7 separator height in modules (0 = 1), bits 8-11 segments per row
// divided by two (Expanded Stacked), bits 12-15 hold to the GS1 heights (1).
inline constexpr int DataBarOptions(int type, int separator, int segmentsCode, bool hold)
{
    return type + 16 * separator + 256 * segmentsCode + 4096 * (hold ? 1 : 0);
}

// Types 0-4 take the 13 digits of the item number (the first 13 characters,
// or characters 3-15 of a 16-character "01..." string); types 5 and 6 a GS1
// element string with the application identifiers in parentheses.
BarBitmap EncodeDataBar(const char* data, int module, int reduction, int height, int options, int rotation,
                        int mirror, int textFlags, std::uint32_t* errorWord);
int MeasureDataBar(CSize& size, const char* data, int module, int reduction, int height, int options, int rotation,
                   int textFlags, std::uint32_t* errorWord);
