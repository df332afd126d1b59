#pragma once
// The tests' one way of reading a symbol back: zxing-cpp over a luminance
// image. The helpers put the quiet zone around a bitmap or a module matrix
// that the symbol itself does not carry. The decoder is required whenever the
// tests are built.
#include <ZXing/BarcodeFormat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "encoders/twod_common.h"
#include "platform/monobitmap.h"

namespace kvtest {

struct Decoded {
    bool ok = false;
    std::string text;                  // the decoder's text, characters above 127 as '?'
    std::vector<std::uint8_t> bytes;   // the bytes the symbol carries
    ZXing::BarcodeFormat format = ZXing::BarcodeFormat::None;
};

// Reads 8-bit luminance (0 black) of w x h pixels, stride bytes a row;
// rotations are tried. fullAscii39 reads Code 39 as Full ASCII;
// codabarStartStop keeps Codabar's start and stop characters in the text.
Decoded DecodeLuminance(const std::uint8_t* lum, int w, int h, int stride, ZXing::BarcodeFormats formats,
                        bool fullAscii39 = false, bool codabarStartStop = false);
// A symbol bitmap with a white margin of margin pixels around it.
Decoded DecodeBitmap(const CMonoBitmap& bmp, ZXing::BarcodeFormats formats, int margin = 40,
                     bool fullAscii39 = false, bool codabarStartStop = false);
// A module matrix drawn scaleX x scaleY pixels a module with quiet zones of
// qx and qy modules.
Decoded DecodeMatrix(const twod::ModuleMatrix& m, ZXing::BarcodeFormats formats, int scaleX = 3, int scaleY = 3,
                     int qx = 4, int qy = 4);

// The bytes of a text, to compare with Decoded::bytes.
std::vector<std::uint8_t> Bytes(const std::string& s);

}  // namespace kvtest
