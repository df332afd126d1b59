// PDF417, MaxiCode, Han Xin and GS1 DataBar entries on arbitrary data and
// parameters: they must fail cleanly, never crash or overrun.
#include <cstddef>
#include <cstdint>
#include <string>

#include "encoders/databar_entry.h"
#include "encoders/hanxin_entry.h"
#include "encoders/maxicode_entry.h"
#include "encoders/twod_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    const int module = data[0] % 4;
    const int rotation = (data[0] >> 2) % 5 * 90;
    const int mirror = (data[0] >> 5) % 3;
    const int rows = data[1] % 4 == 0 ? 0 : data[1] % 95;
    const int columns = data[2] % 4 == 0 ? 0 : data[2] % 33;
    const int level = int(data[3] % 11) - 1;
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    const int length = int(text.size());
    std::uint32_t word = 0;  // no message boxes: the word is reset before every call
    BarBitmap a = EncodePdf417(text.data(), length, rows, columns, level, rotation, mirror, module, 1 + data[1] % 4,
                               data[2] & 1, data[3] % 3, &word);
    word = 0;
    BarBitmap b = EncodeMaxiCode(text.data(), length, data[1] % 7, module, rotation, mirror, 0, &word);
    word = 0;
    BarBitmap c = EncodeHanXin(text.data(), length, data[3] % 6, 0, 0, 0, data[2] % 86, module, rotation, mirror,
                               data[1] % 3, &word);
    word = 0;
    BarBitmap d = EncodeDataBar(text.c_str(), module, 0, 1 + data[1] % 40, data[2] & 0x1F7F, rotation, mirror, 0,
                                &word);
    return 0;
}
