#include "encoders/databar_limited.h"

namespace databar {
namespace {

constexpr int kElements = 7;
constexpr long long kCharacterValues = 2013571;

// Number of ways to spread `modules` over `parts` elements of 1..widest;
// with needNarrow at least one element must be 1. Counted once into a table.
constexpr int kMaxModules = 26, kMaxWidest = 9;
struct CountTable {
    long long n[kElements + 1][kMaxModules + 1][kMaxWidest + 1][2] = {};
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
    }
};
long long Count(int parts, int modules, int widest, bool needNarrow)
{
    static const CountTable table;
    if (modules < 0 || modules > kMaxModules || widest > kMaxWidest) return 0;
    return table.n[parts][modules][widest][needNarrow ? 1 : 0];
}

// The rank-th such spread in lexicographic order (first element most
// significant, narrower first).
void Unrank(long long rank, int modules, int widest, bool needNarrow, int* out)
{
    for (int e = 0; e < kElements; ++e) {
        const int parts = kElements - e - 1;
        for (int w = 1; w <= widest; ++w) {
            const long long n = Count(parts, modules - w, widest, needNarrow && w != 1);
            if (rank < n) {
                out[e] = w;
                modules -= w;
                needNarrow = needNarrow && w != 1;
                break;
            }
            rank -= n;
        }
    }
}

void AppendElements(std::vector<std::uint8_t>& m, const int* widths, int n, bool firstDark)
{
    bool dark = firstDark;
    for (int i = 0; i < n; ++i) {
        m.insert(m.end(), size_t(widths[i]), dark ? 1 : 0);
        dark = !dark;
    }
}

}  // namespace

namespace {

// The 14 widths of a data character into w; false for a value out of range.
bool CharacterWidths(int value, int* w)
{
    if (value < 0 || value >= kCharacterValues) return false;
    int g = 0;
    while (value > kLimitedGroups[g].last) ++g;
    const LimitedGroup& gr = kLimitedGroups[g];
    const int v = value - gr.first;
    int odd[kElements], even[kElements];
    Unrank(v / gr.tEven, gr.oddModules, gr.widestOdd, false, odd);
    Unrank(v % gr.tEven, gr.evenModules, gr.widestEven, true, even);
    for (int i = 0; i < kElements; ++i) {
        w[2 * i] = odd[i];
        w[2 * i + 1] = even[i];
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
    int check = 0, weight = 1;
    for (int i = 0; i < 28; ++i) {
        check = (check + (i < 14 ? left[i] : right[i - 14]) * weight) % 89;
        weight = weight * 3 % 89;
    }
    int checkWidths[14];
    for (int i = 0; i < 14; ++i) checkWidths[i] = kLimitedCheckWidths[check][i] - '0';
    const int guard[2] = {1, 1};
    modules.reserve(79);
    AppendElements(modules, guard, 2, false);
    AppendElements(modules, left, 14, false);
    AppendElements(modules, checkWidths, 14, false);
    AppendElements(modules, right, 14, false);
    AppendElements(modules, guard, 2, false);
    modules.insert(modules.end(), 5, 0);
    return true;
}

}  // namespace databar
