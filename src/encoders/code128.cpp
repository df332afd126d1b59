// Code 128 symbols from caret strings.
#include "encoders/linear_symbols.h"

#include <array>

namespace {

// Element widths (bar, space, bar, space, bar, space) of the values 0-105.
constexpr char kCode128Widths[106][7] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232",
};
// Stop pattern with its termination bar: 13 modules.
constexpr char kCode128Stop[] = "2331112";

enum : std::uint8_t {
    kFnc3 = 96, kFnc2 = 97, kShift = 98, kCodeC = 99, kCodeB = 100, kCodeA = 101, kFnc1 = 102,
    kStartA = 103, kStartB = 104, kStartC = 105,
};

// The same as module bits, worked out by the compiler.
constexpr std::array<modpack::ModulePattern, 106> kCode128Patterns = [] {
    std::array<modpack::ModulePattern, 106> t{};
    for (size_t v = 0; v < t.size(); ++v) t[v] = modpack::PatternOfWidths(kCode128Widths[v]);
    return t;
}();
constexpr modpack::ModulePattern kCode128StopPattern = modpack::PatternOfWidths(kCode128Stop);

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Code128Parse Code128Values(std::string_view s, std::vector<std::uint8_t>& values)
{
    values.clear();
    if (s.size() < 2) return Code128Parse::TooShort;
    if (s[0] != '^' || (s[1] != 'A' && s[1] != 'B' && s[1] != 'C')) return Code128Parse::Illegal;
    char set = s[1];
    values.reserve(s.size());
    values.push_back(set == 'A' ? kStartA : set == 'B' ? kStartB : kStartC);
    bool shifted = false;
    size_t i = 2;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '^') {
            if (i + 1 >= s.size()) break;  // a lone caret at the end stands for nothing
            const char code = s[i + 1];
            i += 2;
            switch (code) {
            case 'A':
            case 'B':
            case 'C':
                // A switch to the set already in force would be read as FNC4
                // or as the digits 99, so it is left out.
                if (code != set) {
                    values.push_back(code == 'A' ? kCodeA : code == 'B' ? kCodeB : kCodeC);
                    set = code;
                }
                break;
            case '1': values.push_back(kFnc1); break;
            case '2':
            case '3':
            case 'S':
                if (set == 'C') return Code128Parse::Illegal;  // no FNC2, FNC3 or SHIFT in set C
                values.push_back(code == '2' ? kFnc2 : code == '3' ? kFnc3 : kShift);
                if (code == 'S') shifted = true;
                break;
            case '^':
                if (set == 'C') return Code128Parse::Illegal;
                values.push_back('^' - 32);
                shifted = false;
                break;
            default: break;  // unknown code: both characters ignored
            }
            continue;
        }
        if (set == 'C') {
            if (i + 1 >= s.size() || !IsDigit(c) || !IsDigit(s[i + 1])) return Code128Parse::Illegal;
            values.push_back(std::uint8_t((c - '0') * 10 + (s[i + 1] - '0')));
            i += 2;
            continue;
        }
        const unsigned char u = static_cast<unsigned char>(c);
        const char effective = shifted ? (set == 'A' ? 'B' : 'A') : set;
        const bool fits = effective == 'A' ? u < 96 : (u >= 32 && u < 128);
        if (!fits) return Code128Parse::Illegal;
        values.push_back(std::uint8_t(u < 32 ? u + 64 : u - 32));
        shifted = false;
        ++i;
    }
    return Code128Parse::Ok;
}

long long Code128Width(size_t symbolCount, int narrow)
{
    return (11 * ((long long)symbolCount + 1) + 13) * narrow;
}

void WriteCode128(CBarRows& rows, const std::vector<std::uint8_t>& values, int narrow)
{
    modpack::ModuleBits m;
    long long sum = values.empty() ? 0 : values[0];
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) sum += (long long)i * values[i];
        m.Put(kCode128Patterns[values[i]].bits, 11);
    }
    m.Put(kCode128Patterns[size_t(sum % 103)].bits, 11);
    m.Put(kCode128StopPattern.bits, kCode128StopPattern.modules);
    rows.SetModuleBits(0, m, narrow);
}
