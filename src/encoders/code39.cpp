// Code 39 and its Full ASCII form.
#include <cctype>

#include "encoders/linear_symbols.h"
#include "encoders/linear_entries.h"

namespace {

constexpr char kCode39Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

// Nine elements per character, bar first; a set bit (most significant =
// first element) is a wide element. Index = value; the last entry is "*".
constexpr std::uint16_t kCode39Patterns[44] = {
    0x034, 0x121, 0x061, 0x160, 0x031, 0x130, 0x070, 0x025, 0x124, 0x064,  // 0-9
    0x109, 0x049, 0x148, 0x019, 0x118, 0x058, 0x00D, 0x10C, 0x04C, 0x01C,  // A-J
    0x103, 0x043, 0x142, 0x013, 0x112, 0x052, 0x007, 0x106, 0x046, 0x016,  // K-T
    0x181, 0x0C1, 0x1C0, 0x091, 0x190, 0x0D0,                              // U-Z
    0x085, 0x184, 0x0C4, 0x0A8, 0x0A2, 0x08A, 0x02A,                       // - . space $ / + %
    0x094,                                                                 // *
};
constexpr int kStar = 43;

// Full ASCII pairs for the characters 0-127 (a single character where the
// character stands for itself).
constexpr const char* kFullAscii[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};

void WriteCharacter(CBarRows::Writer& w, int value, int narrow, int wide)
{
    const unsigned pattern = kCode39Patterns[value];
    for (int e = 0; e < 9; ++e) w.Element((e & 1) == 0, (pattern & (0x100u >> e)) ? wide : narrow);
}

}  // namespace

int Code39Value(int ch)
{
    if (ch >= 'a' && ch <= 'z') ch -= 'a' - 'A';
    for (int i = 0; i < 43; ++i)
        if (kCode39Chars[i] == ch) return i;
    return -1;
}

long long Code39Width(size_t n, int narrow, int wide)
{
    const long long nn = (long long)n;
    return 3LL * wide * (nn + 2) + (long long)narrow * (7 * nn + 13);
}

void WriteCode39(CBarRows::Writer& w, std::string_view data, int narrow, int wide)
{
    WriteCharacter(w, kStar, narrow, wide);
    for (const char c : data) {
        w.Space(narrow);
        WriteCharacter(w, Code39Value(static_cast<unsigned char>(c)), narrow, wide);
    }
    w.Space(narrow);
    WriteCharacter(w, kStar, narrow, wide);
}

std::string Code39FullAscii(std::string_view data)
{
    std::string out;
    out.reserve(data.size() * 2);
    for (const char c : data) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 128) out += kFullAscii[u];
    }
    return out;
}

char Code39CheckChar(const char* text)
{
    if (!text) return 0;
    int sum = 0;
    for (const char* p = text; *p; ++p) {
        const int v = Code39Value(static_cast<unsigned char>(*p));
        if (v < 0) return 0;
        sum += v;
    }
    return kCode39Chars[sum % 43];
}
