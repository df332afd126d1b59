// Codabar: start and stop characters A-D are part of the data.
#include "encoders/linear_symbols.h"

namespace {

constexpr char kCodabarChars[] = "0123456789-$:/.+ABCD";
// Seven elements, bar first; a set bit (most significant = first) is wide.
constexpr std::uint8_t kCodabarPatterns[20] = {
    0x03, 0x06, 0x09, 0x60, 0x12, 0x42, 0x21, 0x24, 0x30, 0x48,  // 0-9
    0x0C, 0x18, 0x45, 0x51, 0x54, 0x15,                          // - $ : / . +
    0x1A, 0x29, 0x0B, 0x0E,                                      // A B C D
};

int CodabarIndex(int ch)
{
    if (ch >= 'a' && ch <= 'd') ch -= 'a' - 'A';
    for (int i = 0; i < 20; ++i)
        if (kCodabarChars[i] == ch) return i;
    return -1;
}

int WideCount(int index) { return index < 12 ? 2 : 3; }

}  // namespace

bool IsCodabarInner(int ch) { const int i = CodabarIndex(ch); return i >= 0 && i < 16; }

long long CodabarWidth(std::string_view data, int narrow, int wide)
{
    long long w = 0;
    for (const char c : data) w += WideCount(CodabarIndex(static_cast<unsigned char>(c)));
    const long long n = (long long)data.size();
    return wide * w + narrow * (8 * n - w - 1);
}

void WriteCodabar(CBarRows::Writer& w, std::string_view data, int narrow, int wide)
{
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) w.Space(narrow);
        const unsigned pattern = kCodabarPatterns[CodabarIndex(static_cast<unsigned char>(data[i]))];
        for (int e = 0; e < 7; ++e) w.Element((e & 1) == 0, (pattern & (0x40u >> e)) ? wide : narrow);
    }
}
