// The 2 of 5 family: Interleaved (and so ITF-14), Industrial, Matrix and
// China Post. Each digit is five elements of which two are wide.
#include "encoders/linear_symbols.h"

namespace {

// Wide elements of the digits 0-9, first element = most significant of five
// bits; entry 10 is the start/stop character ":" of Matrix 2 of 5.
constexpr std::uint8_t kTwoOfFive[11] = {
    0x06,  // 0 NNWWN
    0x11,  // 1 WNNNW
    0x09,  // 2 NWNNW
    0x18,  // 3 WWNNN
    0x05,  // 4 NNWNW
    0x14,  // 5 WNWNN
    0x0C,  // 6 NWWNN
    0x03,  // 7 NNNWW
    0x12,  // 8 WNNWN
    0x0A,  // 9 NWNWN
    0x10,  // : WNNNN
};

bool Wide(int digit, int element) { return kTwoOfFive[digit] & (0x10 >> element); }

// Five alternating elements, bar first, then a narrow space.
void WriteMatrixCharacter(CBarRows::Writer& w, int value, int narrow, int wide)
{
    for (int e = 0; e < 5; ++e) w.Element((e & 1) == 0, Wide(value, e) ? wide : narrow);
}

}  // namespace

long long ItfWidth(size_t n, int narrow, int wide)
{
    const long long nn = (long long)n;
    return (long long)wide * (2 * nn + 1) + 3LL * narrow * (nn + 2);
}

void WriteItf(CBarRows::Writer& w, std::string_view d, int narrow, int wide)
{
    w.Bar(narrow);
    w.Space(narrow);
    w.Bar(narrow);
    w.Space(narrow);
    for (size_t i = 0; i + 1 < d.size(); i += 2) {
        const int bars = d[i] - '0';
        const int spaces = d[i + 1] - '0';
        for (int e = 0; e < 5; ++e) {
            w.Bar(Wide(bars, e) ? wide : narrow);
            w.Space(Wide(spaces, e) ? wide : narrow);
        }
    }
    w.Bar(wide);
    w.Space(narrow);
    w.Bar(narrow);
}

long long Industrial25Width(size_t n, int narrow, int wide)
{
    const long long nn = (long long)n;
    return (long long)narrow * (8 * nn + 7) + 2LL * wide * (nn + 2);
}

void WriteIndustrial25(CBarRows::Writer& w, std::string_view d, int narrow, int wide)
{
    // Start: wide, wide, narrow bars, each followed by a narrow space.
    for (const int bar : {wide, wide, narrow}) {
        w.Bar(bar);
        w.Space(narrow);
    }
    for (const char c : d) {
        for (int e = 0; e < 5; ++e) {
            w.Bar(Wide(c - '0', e) ? wide : narrow);
            w.Space(narrow);
        }
    }
    // Stop: wide, narrow, wide bars.
    w.Bar(wide);
    w.Space(narrow);
    w.Bar(narrow);
    w.Space(narrow);
    w.Bar(wide);
}

long long Matrix25Width(size_t n, int narrow, int wide)
{
    const long long nn = (long long)n;
    return (long long)narrow * (4 * nn + 9) + 2LL * wide * (nn + 1);
}

void WriteMatrix25(CBarRows::Writer& w, std::string_view d, int narrow, int wide)
{
    WriteMatrixCharacter(w, 10, narrow, wide);
    w.Space(narrow);
    for (const char c : d) {
        WriteMatrixCharacter(w, c - '0', narrow, wide);
        w.Space(narrow);
    }
    WriteMatrixCharacter(w, 10, narrow, wide);
}

long long ChinaPostWidth(size_t n, int narrow, int wide)
{
    const long long nn = (long long)n;
    return (4 * nn + 6) * narrow + (long long)wide * (2 * nn + 1);
}

void WriteChinaPost(CBarRows::Writer& w, std::string_view d, int narrow, int wide)
{
    // Start: two narrow bars, each followed by a narrow space.
    for (int i = 0; i < 2; ++i) {
        w.Bar(narrow);
        w.Space(narrow);
    }
    for (const char c : d) {
        WriteMatrixCharacter(w, c - '0', narrow, wide);
        w.Space(narrow);
    }
    // Stop: wide bar, narrow space, narrow bar.
    w.Bar(wide);
    w.Space(narrow);
    w.Bar(narrow);
}
