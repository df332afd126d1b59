// Code 93, always in its full ASCII form.
#include "encoders/linear_symbols.h"

#include <array>

namespace {

// Element widths in modules (bar, space, bar, space, bar, space) of the 47
// values: 0-9, A-Z, - . space $ / + %, then the shift characters ($) (%) (/)
// (+); the last entry is the start/stop character.
constexpr char kCode93Widths[48][7] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",
    "221121", "222111", "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211", "111141",
};
constexpr int kStartStop = 47;
enum : int { kShiftDollar = 43, kShiftPercent = 44, kShiftSlash = 45, kShiftPlus = 46 };

void Append(std::vector<std::uint8_t>& out, int shift, int letter)
{
    out.push_back(std::uint8_t(shift));
    out.push_back(std::uint8_t(10 + letter - 'A'));
}

// Values of one 7-bit character: itself when Code 93 has it, else a shift
// character and a letter.
void MapCharacter(std::vector<std::uint8_t>& out, int c)
{
    if (c >= '0' && c <= '9') out.push_back(std::uint8_t(c - '0'));
    else if (c >= 'A' && c <= 'Z') out.push_back(std::uint8_t(10 + c - 'A'));
    else if (c >= 'a' && c <= 'z') Append(out, kShiftPlus, c - 'a' + 'A');
    else if (c == '-') out.push_back(36);
    else if (c == '.') out.push_back(37);
    else if (c == ' ') out.push_back(38);
    else if (c == '$') out.push_back(39);
    else if (c == '/') out.push_back(40);
    else if (c == '+') out.push_back(41);
    else if (c == '%') out.push_back(42);
    else if (c == 0) Append(out, kShiftPercent, 'U');
    else if (c >= 1 && c <= 26) Append(out, kShiftDollar, 'A' + c - 1);
    else if (c >= 27 && c <= 31) Append(out, kShiftPercent, 'A' + c - 27);
    else if (c >= '!' && c <= ',') Append(out, kShiftSlash, 'A' + c - '!');
    else if (c == ':') Append(out, kShiftSlash, 'Z');
    else if (c >= ';' && c <= '?') Append(out, kShiftPercent, 'F' + c - ';');
    else if (c == '@') Append(out, kShiftPercent, 'V');
    else if (c >= '[' && c <= '_') Append(out, kShiftPercent, 'K' + c - '[');
    else if (c == '`') Append(out, kShiftPercent, 'W');
    else if (c >= '{' && c <= 127) Append(out, kShiftPercent, 'P' + c - '{');
}

int Checksum(const std::vector<std::uint8_t>& values, int maxWeight)
{
    int sum = 0;
    int weight = 1;
    for (size_t i = values.size(); i-- > 0;) {
        sum += weight * values[i];
        if (++weight > maxWeight) weight = 1;
    }
    return sum % 47;
}

// The same as module bits, 9 modules each, worked out by the compiler.
constexpr std::array<modpack::ModulePattern, 48> kCode93Patterns = [] {
    std::array<modpack::ModulePattern, 48> t{};
    for (size_t v = 0; v < t.size(); ++v) t[v] = modpack::PatternOfWidths(kCode93Widths[v]);
    return t;
}();

}  // namespace

std::vector<std::uint8_t> Code93Values(std::string_view data)
{
    std::vector<std::uint8_t> values;
    values.reserve(data.size() * 2 + 2);
    for (const char c : data) MapCharacter(values, static_cast<unsigned char>(c));
    values.push_back(std::uint8_t(Checksum(values, 20)));
    values.push_back(std::uint8_t(Checksum(values, 15)));
    return values;
}

long long Code93Width(size_t valueCount, int narrow)
{
    // m counts the start character and the mapped characters; the two check
    // characters, the stop character and the termination bar make the 28.
    const long long m = 1 + (long long)valueCount - 2;
    return (9 * m + 28) * narrow;
}

void WriteCode93(CBarRows& rows, const std::vector<std::uint8_t>& values, int narrow)
{
    modpack::ModuleBits m;
    m.Put(kCode93Patterns[kStartStop].bits, 9);
    for (const std::uint8_t v : values) m.Put(kCode93Patterns[v].bits, 9);
    m.Put(kCode93Patterns[kStartStop].bits, 9);
    m.Put(1, 1);  // termination bar
    rows.SetModuleBits(0, m, narrow);
}
