#pragma once
// MaxiCode entry of the encoder library: the symbol of the data drawn as
// hexagons on the fixed picture geometry (hexagon height 4 x module, rows
// interlocked at three quarters of it, the bullseye rings), 30 hexagon widths
// by 100 x module pixels.
#include <cstdint>

#include "encoders/frame.h"

// mode: 0 automatic (2 or 3 for a structured carrier message, else 4), or
// 2-5; reserved is not used.
BarBitmap EncodeMaxiCode(const char* data, int length, int mode, int module, int rotation, int mirror, int reserved,
                         std::uint32_t* errorWord);
int MeasureMaxiCode(CSize& size, const char* data, int length, int mode, int module, int rotation,
                    std::uint32_t* errorWord);
