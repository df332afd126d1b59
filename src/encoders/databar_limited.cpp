#include "encoders/databar_limited.h"

#include <array>
#include <cstring>
#include <limits>

namespace databar {
namespace {

constexpr int kElements = 7;
constexpr long long kCharacterValues = 2013571;

// Number of ways to spread `modules` over `parts` elements of 1..widest;
// with needNarrow at least one element must be 1. Counted once into a table,
// together with the running sums Unrank searches.
constexpr int kMaxModules = 26, kMaxWidest = 9;
struct CountTable {
    long long n[kElements + 1][kMaxModules + 1][kMaxWidest + 1][2] = {};
    // choices[widest][parts][modules][narrow][w]: the spreads whose next
    // element is at most w wide, `parts` elements following it (w = 0..widest);
    // widest first, so that one character's lookups stay close together.
    std::int32_t choices[kMaxWidest + 1][kElements][kMaxModules + 1][2][kMaxWidest + 1] = {};
    CountTable()
    {
        for (int widest = 1; widest <= kMaxWidest; ++widest)
            for (int parts = 0; parts <= kElements; ++parts)
                for (int modules = 0; modules <= kMaxModules; ++modules)
                    for (int narrow = 0; narrow < 2; ++narrow) {
                        long long c = 0;
                        if (parts == 0) {
                            c = (modules == 0 && !narrow) ? 1 : 0;
                        } else {
                            for (int w = 1; w <= widest && w <= modules; ++w)
                                c += n[parts - 1][modules - w][widest][narrow && w != 1];
                        }
                        n[parts][modules][widest][narrow] = c;
                    }
        for (int widest = 1; widest <= kMaxWidest; ++widest)
            for (int parts = 0; parts < kElements; ++parts)
                for (int modules = 0; modules <= kMaxModules; ++modules)
                    for (int narrow = 0; narrow < 2; ++narrow) {
                        long long sum = 0;
                        for (int w = 1; w <= kMaxWidest; ++w) {
                            if (w <= widest && modules - w >= 0) sum += n[parts][modules - w][widest][narrow && w != 1];
                            // Past the widest width no rank is reached.
                            choices[widest][parts][modules][narrow][w] =
                                w < widest ? std::int32_t(sum) : std::numeric_limits<std::int32_t>::max();
                        }
                    }
    }
};
const CountTable& Counts()
{
    static const CountTable table;
    return table;
}

// The rank-th such spread in lexicographic order (first element most
// significant, narrower first). Each element's width is found by counting
// the running sums at or below the rank, without a branch per width.
struct Spread {
    long long rank;
    int modules;
    int widest;
    bool needNarrow;
    int* out;
};
template <int N>
void Unrank(Spread (&jobs)[N])
{
    const CountTable& t = Counts();
    // The last element takes the modules left (the only spread of one
    // element that a valid rank reaches).
    for (int e = 0; e + 1 < kElements; ++e)
#pragma GCC unroll 4
        for (Spread& j : jobs) {
            const std::int32_t* sums = t.choices[j.widest][kElements - e - 1][j.modules][j.needNarrow ? 1 : 0];
            int w = 1;
#pragma GCC unroll 8
            for (int k = 1; k < kMaxWidest; ++k) w += j.rank >= sums[k] ? 1 : 0;
            j.rank -= w > 1 ? sums[w - 1] : 0;
            j.out[e] = w;
            j.modules -= w;
            j.needNarrow = j.needNarrow && w != 1;
        }
    for (Spread& j : jobs) j.out[kElements - 1] = j.modules;
}

// Elements (at most 9 modules wide) written as 16-byte stores (the next
// element overwrites the overshoot); returns the end.
std::uint8_t* PutElements(std::uint8_t* p, const int* widths, int n)
{
    static const std::uint8_t kDark[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, kLight[16] = {};
    bool dark = false;  // every part starts with a space
    for (int i = 0; i < n; ++i) {
        std::memcpy(p, dark ? kDark : kLight, 16);
        p += widths[i];
        dark = !dark;
    }
    return p;
}

// Weights of the check value: successive powers of 3 modulo 89.
constexpr std::array<int, 28> kCheckWeights = [] {
    std::array<int, 28> w{};
    int v = 1;
    for (auto& x : w) {
        x = v;
        v = v * 3 % 89;
    }
    return w;
}();

// The group of a data character value.
int GroupOf(int value)
{
    int g = 0;
    while (value > kLimitedGroups[g].last) ++g;
    return g;
}

// The seven widths of every odd and every even spread of each group, four
// bits each (first element lowest), worked out once: a character then costs
// two lookups instead of twelve searches through the counts. Serial numbers
// printed one after another read neighbouring entries.
struct SpreadTable {
    std::vector<std::uint32_t> odd[7], even[7];
    SpreadTable()
    {
        auto fill = [](std::vector<std::uint32_t>& t, int count, int modules, int widest, bool needNarrow) {
            t.resize(size_t(count));
            for (int v = 0; v < count; ++v) {
                int w[kElements];
                Spread job[1] = {{v, modules, widest, needNarrow, w}};
                Unrank(job);
                std::uint32_t packed = 0;
                for (int i = kElements - 1; i >= 0; --i) packed = packed << 4 | std::uint32_t(w[i]);
                t[size_t(v)] = packed;
            }
        };
        for (int g = 0; g < 7; ++g) {
            const LimitedGroup& gr = kLimitedGroups[g];
            fill(odd[g], gr.tOdd, gr.oddModules, gr.widestOdd, false);
            fill(even[g], gr.tEven, gr.evenModules, gr.widestEven, true);
        }
    }
};
const SpreadTable& Spreads()
{
    static const SpreadTable table;
    return table;
}

// The 14 widths of a data character into w, odd and even elements in turn
// (space first); false for a value out of range.
bool CharacterWidths(int value, int* w)
{
    if (value < 0 || value >= kCharacterValues) return false;
    const int g = GroupOf(value);
    const LimitedGroup& gr = kLimitedGroups[g];
    const int v = value - gr.first;
    const SpreadTable& t = Spreads();
    std::uint32_t odd = t.odd[g][size_t(v / gr.tEven)], even = t.even[g][size_t(v % gr.tEven)];
    for (int i = 0; i < kElements; ++i, odd >>= 4, even >>= 4) {
        w[2 * i] = int(odd & 15);
        w[2 * i + 1] = int(even & 15);
    }
    return true;
}

}  // namespace

std::vector<int> LimitedCharacterWidths(int value)
{
    std::vector<int> w(14, 0);
    if (!CharacterWidths(value, w.data())) return {};
    return w;
}

bool EncodeLimitedRow(std::string_view digits, std::vector<std::uint8_t>& modules)
{
    modules.clear();
    if (digits.size() != 13 || (digits[0] != '0' && digits[0] != '1')) return false;
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    int left[14], right[14];
    CharacterWidths(int(value / kCharacterValues), left);
    CharacterWidths(int(value % kCharacterValues), right);
    // Check value: element widths weighted by successive powers of 3, mod 89.
    int check = 0;
    for (int i = 0; i < 14; ++i) check += left[i] * kCheckWeights[size_t(i)] + right[i] * kCheckWeights[size_t(i + 14)];
    check %= 89;
    int checkWidths[14];
    for (int i = 0; i < 14; ++i) checkWidths[i] = kLimitedCheckWidths[check][i] - '0';
    const int guard[2] = {1, 1};
    // 74 modules of elements, 5 light ones, and room for the last store.
    std::uint8_t buffer[79 + 16];
    std::uint8_t* p = PutElements(buffer, guard, 2);
    p = PutElements(p, left, 14);
    p = PutElements(p, checkWidths, 14);
    p = PutElements(p, right, 14);
    p = PutElements(p, guard, 2);
    std::memset(p, 0, 5);
    modules.assign(buffer, p + 5);
    return true;
}

}  // namespace databar
