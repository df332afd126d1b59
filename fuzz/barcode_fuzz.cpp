// Linear encoder entries and the Code 128 caret conversion on arbitrary data
// and parameters: they must fail cleanly, never crash or overrun.
#include <cstddef>
#include <cstdint>
#include <string>

#include "encoders/encoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    const int type = data[0] % 26;
    const int narrow = data[1] % 5;
    const int wide = narrow * 2 + data[2] % (narrow + 2);
    const int reduction = data[3] % 6;
    const int rotation = (data[1] >> 4) % 5 * 90;
    const int mirror = (data[2] >> 4) % 3;
    const int textFlags = (data[0] >> 3) & 15;
    const int height = 1 + (data[3] >> 2) % 60;
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    const char* s = text.c_str();
    std::uint32_t word = 0;  // no message boxes: the word is reset before every call
    BarBitmap a = EncodeLinear(type, s, narrow, reduction, wide, height, rotation, mirror, textFlags, &word);
    word = 0;
    BarBitmap b = EncodeEanAddOn(3 + type % 6, s, data[3] % 3, narrow, reduction, height, rotation, mirror, textFlags,
                                 &word);
    word = 0;
    BarBitmap c = EncodeItf14(s, narrow, reduction, wide, height, data[0] % 3, data[3] % 4, data[2] % 4, rotation,
                              mirror, textFlags, &word);
    for (int mode : {100, 101, 102, 103, 104, 110, 111, 112, 113, 114}) {
        const std::string caret = Code128ToCaret(s, mode);
        word = 0;
        BarBitmap d = EncodeLinear(BCT_CODE128_CARET, caret.c_str(), 1, 0, 0, 3, 0, 0, 0, &word);
    }
    return 0;
}
