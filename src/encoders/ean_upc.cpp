// EAN-13, UPC-A, EAN-8, UPC-E and the 2- and 5-digit add-ons.
#include "encoders/linear_symbols.h"
#include "encoders/linear_entries.h"

namespace {

// Left-hand odd parity (set A) patterns, 7 modules, most significant first.
constexpr std::uint8_t kCodeL[10] = {0x0D, 0x19, 0x13, 0x3D, 0x23, 0x31, 0x2F, 0x3B, 0x37, 0x0B};

std::uint8_t CodeR(int d) { return std::uint8_t(~kCodeL[d] & 0x7F); }

std::uint8_t CodeG(int d)
{
    // Even parity: the right-hand pattern read backwards.
    const std::uint8_t r = CodeR(d);
    std::uint8_t g = 0;
    for (int i = 0; i < 7; ++i)
        if (r & (1 << i)) g = std::uint8_t(g | (0x40 >> i));
    return g;
}

// Parity of the six left digits of EAN-13 by the first digit (bit set = G,
// most significant bit = first of the six).
constexpr std::uint8_t kEan13Parity[10] = {0x00, 0x0B, 0x0D, 0x0E, 0x13, 0x19, 0x1C, 0x15, 0x16, 0x1A};
// UPC-E (number system 0) by the check digit: bit set = even parity (G).
constexpr std::uint8_t kUpceParity[10] = {0x38, 0x34, 0x32, 0x31, 0x2C, 0x26, 0x23, 0x2A, 0x29, 0x25};
// 5-digit add-on by its check value: bit set = G, first digit first.
constexpr std::uint8_t kAddOn5Parity[10] = {0x18, 0x14, 0x12, 0x11, 0x0C, 0x06, 0x03, 0x0A, 0x09, 0x05};

int Digit(char c) { return c - '0'; }

constexpr unsigned kGuard = 0x5;     // 101
constexpr unsigned kCentre = 0x0A;   // 01010
constexpr unsigned kUpceEnd = 0x15;  // 010101

}  // namespace

int EanUpcModules(int type)
{
    switch (type) {
    case BCT_EAN13:
    case BCT_UPCA: return 113;
    case BCT_EAN8: return 81;
    case BCT_UPCE: return 67;
    default: return 0;
    }
}

void WriteEanUpc(CBarRows& rows, int type, std::string_view d, int narrow)
{
    // Row 0 the full pattern, row 1 the guards only (and for UPC-A the first
    // and last digit), built as module bits side by side.
    modpack::ModuleBits full, guards;
    auto both = [&](unsigned pattern, int count) {
        full.Put(pattern, count);
        guards.Put(pattern, count);
    };
    auto dataOnly = [&](unsigned pattern, int count) {
        full.Put(pattern, count);
        guards.Put(0, count);
    };
    switch (type) {
    case BCT_EAN13:
    case BCT_UPCA: {
        // UPC-A is EAN-13 with a leading 0: all six left digits in set A.
        const bool upca = type == BCT_UPCA;
        const int first = upca ? 0 : Digit(d[0]);
        const std::string_view digits = upca ? d : d.substr(1);  // the twelve encoded digits
        both(0, 9);
        both(kGuard, 3);
        for (int i = 0; i < 6; ++i) {
            const int v = Digit(digits[i]);
            const bool even = kEan13Parity[first] & (0x20 >> i);
            if (upca && i == 0) both(kCodeL[v], 7);
            else dataOnly(even ? CodeG(v) : kCodeL[v], 7);
        }
        both(kCentre, 5);
        for (int i = 6; i < 12; ++i) {
            const int v = Digit(digits[i]);
            if (upca && i == 11) both(CodeR(v), 7);
            else dataOnly(CodeR(v), 7);
        }
        both(kGuard, 3);
        both(0, 9);
        break;
    }
    case BCT_EAN8: {
        both(0, 7);
        both(kGuard, 3);
        for (int i = 0; i < 4; ++i) dataOnly(kCodeL[Digit(d[i])], 7);
        both(kCentre, 5);
        for (int i = 4; i < 8; ++i) dataOnly(CodeR(Digit(d[i])), 7);
        both(kGuard, 3);
        both(0, 7);
        break;
    }
    case BCT_UPCE: {
        const int check = Digit(d[7]);
        both(0, 9);
        both(kGuard, 3);
        for (int i = 0; i < 6; ++i) {
            const int v = Digit(d[1 + i]);
            const bool even = kUpceParity[check] & (0x20 >> i);
            dataOnly(even ? CodeG(v) : kCodeL[v], 7);
        }
        both(kUpceEnd, 6);
        both(0, 7);
        break;
    }
    default: return;
    }
    rows.SetModuleBits(0, full, narrow);
    rows.SetModuleBits(1, guards, narrow);
}

std::string UpceToUpca(std::string_view d)
{
    // d: number system and six data digits.
    const std::string_view x = d.substr(1, 6);
    std::string out(1, d[0]);
    switch (x[5]) {
    case '0':
    case '1':
    case '2':
        out.append(x.substr(0, 2)).append(1, x[5]).append("0000").append(x.substr(2, 3));
        break;
    case '3': out.append(x.substr(0, 3)).append("00000").append(x.substr(3, 2)); break;
    case '4': out.append(x.substr(0, 4)).append("00000").append(1, x[4]); break;
    default: out.append(x.substr(0, 5)).append("0000").append(1, x[5]); break;
    }
    return out;
}

int AddOnModules(size_t digitCount) { return digitCount == 2 ? 20 : 47; }

void WriteAddOn(CBarRows& rows, std::string_view d, int narrow)
{
    unsigned parity;  // bit set = G, first digit = most significant of the count
    const int count = int(d.size());
    if (count == 2) {
        parity = unsigned((Digit(d[0]) * 10 + Digit(d[1])) % 4);
    } else {
        const int sum = 3 * (Digit(d[0]) + Digit(d[2]) + Digit(d[4])) + 9 * (Digit(d[1]) + Digit(d[3]));
        parity = kAddOn5Parity[sum % 10];
    }
    modpack::ModuleBits m;
    m.Put(0xB, 4);  // 1011
    for (int i = 0; i < count; ++i) {
        if (i > 0) m.Put(0x1, 2);  // 01
        const int v = Digit(d[i]);
        const bool even = parity & (1u << (count - 1 - i));
        m.Put(even ? CodeG(v) : kCodeL[v], 7);
    }
    rows.SetModuleBits(0, m, narrow);
}
