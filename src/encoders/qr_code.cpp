#include "encoders/qr_code.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace qr {
namespace {

// Error correction codewords per block, by level (L, M, Q, H) and version.
const std::uint8_t kEcPerBlock[4][41] = {
    {0, 7, 10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {0, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
};

// Number of error correction blocks, by level and version.
const std::uint8_t kBlocks[4][41] = {
    {0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8,
     8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {0, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {0, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {0, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
};

// Centre coordinates of the alignment patterns, by version (0-terminated).
const std::uint8_t kAlignment[41][8] = {
    {}, {},
    {6, 18}, {6, 22}, {6, 26}, {6, 30}, {6, 34},
    {6, 22, 38}, {6, 24, 42}, {6, 26, 46}, {6, 28, 50}, {6, 30, 54}, {6, 32, 58}, {6, 34, 62},
    {6, 26, 46, 66}, {6, 26, 48, 70}, {6, 26, 50, 74}, {6, 30, 54, 78}, {6, 30, 56, 82},
    {6, 30, 58, 86}, {6, 34, 62, 90},
    {6, 28, 50, 72, 94}, {6, 26, 50, 74, 98}, {6, 30, 54, 78, 102}, {6, 28, 54, 80, 106},
    {6, 32, 58, 84, 110}, {6, 30, 58, 86, 114}, {6, 34, 62, 90, 118},
    {6, 26, 50, 74, 98, 122}, {6, 30, 54, 78, 102, 126}, {6, 26, 52, 78, 104, 130},
    {6, 30, 56, 82, 108, 134}, {6, 34, 60, 86, 112, 138}, {6, 30, 58, 86, 114, 142},
    {6, 34, 62, 90, 118, 146},
    {6, 30, 54, 78, 102, 126, 150}, {6, 24, 50, 76, 102, 128, 154}, {6, 28, 54, 80, 106, 132, 158},
    {6, 32, 58, 84, 110, 136, 162}, {6, 26, 54, 82, 110, 138, 166}, {6, 30, 58, 86, 114, 142, 170},
};

const char kAlnumSet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

int AlnumValue(std::uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    switch (c) {
    case ' ': return 36;
    case '$': return 37;
    case '%': return 38;
    case '*': return 39;
    case '+': return 40;
    case '-': return 41;
    case '.': return 42;
    case '/': return 43;
    case ':': return 44;
    default: return -1;
    }
}

int ModeIndex(Mode m)
{
    switch (m) {
    case kNumeric: return 0;
    case kAlnum: return 1;
    case kByte: return 2;
    default: return 3;
    }
}

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : m_out(out) { m_out.clear(); }
    void Put(unsigned value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if ((m_count & 7) == 0) m_out.push_back(0);
            if ((value >> i) & 1) m_out.back() |= std::uint8_t(0x80 >> (m_count & 7));
            ++m_count;
        }
    }
    int Count() const { return m_count; }

private:
    std::vector<std::uint8_t>& m_out;
    int m_count = 0;
};

void WriteSegments(const std::uint8_t* data, const std::vector<Segment>& segs, int group,
                   BitWriter& w)
{
    size_t pos = 0;
    for (const Segment& s : segs) {
        const std::uint8_t* p = data + pos;
        const int n = s.length;
        w.Put(s.mode, 4);
        const int cci = CountIndicatorBits(s.mode, group);
        switch (s.mode) {
        case kNumeric: {
            w.Put(unsigned(n), cci);
            int i = 0;
            for (; i + 3 <= n; i += 3) w.Put(unsigned((p[i] - '0') * 100 + (p[i + 1] - '0') * 10 + (p[i + 2] - '0')), 10);
            if (n - i == 2) w.Put(unsigned((p[i] - '0') * 10 + (p[i + 1] - '0')), 7);
            else if (n - i == 1) w.Put(unsigned(p[i] - '0'), 4);
            break;
        }
        case kAlnum: {
            w.Put(unsigned(n), cci);
            int i = 0;
            for (; i + 2 <= n; i += 2) w.Put(unsigned(AlnumValue(p[i]) * 45 + AlnumValue(p[i + 1])), 11);
            if (i < n) w.Put(unsigned(AlnumValue(p[i])), 6);
            break;
        }
        case kByte:
            w.Put(unsigned(n), cci);
            for (int i = 0; i < n; ++i) w.Put(p[i], 8);
            break;
        case kKanji:
            w.Put(unsigned(n / 2), cci);
            for (int i = 0; i + 1 < n; i += 2) {
                unsigned v = (unsigned(p[i]) << 8) | p[i + 1];
                v -= (v <= 0x9FFC) ? 0x8140 : 0xC140;
                w.Put((v >> 8) * 0xC0 + (v & 0xFF), 13);
            }
            break;
        }
        pos += size_t(n);
    }
}

// ---- matrix ----------------------------------------------------------------

// Cells of the working matrix: bit 0 dark, bit 1 function pattern.
enum : std::uint8_t { kDark = 1, kFunction = 2 };

struct Grid {
    int size;
    std::vector<std::uint8_t> c;
    explicit Grid(int n) : size(n), c(size_t(n) * size_t(n), 0) {}
    std::uint8_t& at(int x, int y) { return c[size_t(y) * size_t(size) + size_t(x)]; }
    void Fn(int x, int y, bool dark) { at(x, y) = std::uint8_t(kFunction | (dark ? kDark : 0)); }
};

void PlaceFinder(Grid& g, int cx, int cy)
{
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            const int x = cx + dx, y = cy + dy;
            if (x < 0 || y < 0 || x >= g.size || y >= g.size) continue;
            const int d = std::max(std::abs(dx), std::abs(dy));
            g.Fn(x, y, d != 2 && d != 4);
        }
}

void PlaceFunctionPatterns(Grid& g, int version)
{
    const int n = g.size;
    for (int i = 0; i < n; ++i) {
        g.Fn(6, i, i % 2 == 0);
        g.Fn(i, 6, i % 2 == 0);
    }
    PlaceFinder(g, 3, 3);
    PlaceFinder(g, n - 4, 3);
    PlaceFinder(g, 3, n - 4);
    const std::uint8_t* al = kAlignment[version];
    int count = 0;
    while (count < 8 && al[count]) ++count;
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count; ++j) {
            if ((i == 0 && j == 0) || (i == 0 && j == count - 1) || (i == count - 1 && j == 0)) continue;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    g.Fn(al[i] + dx, al[j] + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
        }
    // Format areas (filled in for each mask) and the dark module. Row and
    // column 6 cross the top-left area: those two modules belong to the
    // timing patterns and keep their dark colour.
    for (int i = 0; i < 9; ++i) {
        if (i == 6) continue;
        g.Fn(8, i, false);
        g.Fn(i, 8, false);
    }
    for (int i = 0; i < 8; ++i) {
        g.Fn(n - 1 - i, 8, false);
        g.Fn(8, n - 1 - i, false);
    }
    g.Fn(8, n - 8, true);
    if (version >= 7) {
        unsigned rem = unsigned(version);
        for (int i = 0; i < 12; ++i) rem = (rem << 1) ^ ((rem >> 11) * 0x1F25);
        const unsigned bits = (unsigned(version) << 12) | rem;
        for (int i = 0; i < 18; ++i) {
            const bool dark = (bits >> i) & 1;
            const int a = n - 11 + i % 3, b = i / 3;
            g.Fn(a, b, dark);
            g.Fn(b, a, dark);
        }
    }
}

void PlaceFormat(Grid& g, int level, int mask)
{
    static const int kLevelBits[4] = {1, 0, 3, 2};
    const unsigned data = unsigned(kLevelBits[level] << 3 | mask);
    unsigned rem = data;
    for (int i = 0; i < 10; ++i) rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    const unsigned bits = ((data << 10) | rem) ^ 0x5412;
    const int n = g.size;
    auto bit = [&](int i) { return ((bits >> i) & 1) != 0; };
    for (int i = 0; i <= 5; ++i) g.Fn(8, i, bit(i));
    g.Fn(8, 7, bit(6));
    g.Fn(8, 8, bit(7));
    g.Fn(7, 8, bit(8));
    for (int i = 9; i < 15; ++i) g.Fn(14 - i, 8, bit(i));
    for (int i = 0; i < 8; ++i) g.Fn(n - 1 - i, 8, bit(i));
    for (int i = 8; i < 15; ++i) g.Fn(8, n - 15 + i, bit(i));
    g.Fn(8, n - 8, true);
}

void PlaceCodewords(Grid& g, const std::vector<std::uint8_t>& cw)
{
    const int n = g.size;
    const size_t total = cw.size() * 8;
    size_t i = 0;
    for (int right = n - 1; right >= 1; right -= 2) {
        if (right == 6) right = 5;
        const bool upward = ((right + 1) & 2) == 0;
        for (int v = 0; v < n; ++v) {
            const int y = upward ? n - 1 - v : v;
            for (int j = 0; j < 2; ++j) {
                const int x = right - j;
                std::uint8_t& cell = g.at(x, y);
                if (cell & kFunction) continue;
                if (i < total && ((cw[i >> 3] >> (7 - (i & 7))) & 1)) cell = kDark;
                ++i;
            }
        }
    }
}

bool MaskBit(int mask, int x, int y)
{
    switch (mask) {
    case 0: return (x + y) % 2 == 0;
    case 1: return y % 2 == 0;
    case 2: return x % 3 == 0;
    case 3: return (x + y) % 3 == 0;
    case 4: return (y / 2 + x / 3) % 2 == 0;
    case 5: return (x * y) % 2 + (x * y) % 3 == 0;
    case 6: return ((x * y) % 2 + (x * y) % 3) % 2 == 0;
    default: return ((x + y) % 2 + (x * y) % 3) % 2 == 0;
    }
}

// ---- scoring ------------------------------------------------------------------
//
// The matrix is scored as bits: each row a line of words, bit x of the row
// is column x. Runs and patterns along the rows are found by shifting a row
// against itself, down the columns by combining neighbouring rows, 64
// modules at a time.

constexpr int kMaxSize = 177;
constexpr int kRowWords = 4;   // 177 bits and a spare word for the shifts
constexpr int kPadRows = 4;    // light rows above and below the symbol
constexpr int kPlainRows = kMaxSize + 2 * kPadRows;

// Bit rows of a symbol with light rows around it.
struct PlainRows {
    std::uint64_t w[kPlainRows][kRowWords] = {};
    std::uint64_t* Row(int y) { return w[y + kPadRows]; }
    const std::uint64_t* Row(int y) const { return w[y + kPadRows]; }
};

// The eight masks over the largest symbol as bit rows, worked out once.
struct MaskRows {
    std::uint64_t w[8][kMaxSize][kRowWords] = {};
    MaskRows()
    {
        for (int m = 0; m < 8; ++m)
            for (int y = 0; y < kMaxSize; ++y)
                for (int x = 0; x < kMaxSize; ++x)
                    if (MaskBit(m, x, y)) w[m][y][x >> 6] |= std::uint64_t(1) << (x & 63);
    }
};
const MaskRows& Masks()
{
    static const MaskRows table;
    return table;
}

// Bit x set when (p[x] & which) is non-zero, for x = 0..7.
std::uint64_t Gather8(const std::uint8_t* p, std::uint8_t which)
{
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    x &= std::uint64_t(which) * 0x0101010101010101ull;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t high = (((x & kLow7) + kLow7) | x) & 0x8080808080808080ull;
    return ((high >> 7) * 0x0102040810204080ull) >> 56;
}

// Row y of an n-wide matrix of cells into bits: (cell & which) != 0.
void PackRow(const std::uint8_t* cells, int n, std::uint8_t which, std::uint64_t* out)
{
    for (int x = 0; x < n; x += 8) {
        std::uint64_t b;
        if (x + 8 <= n) {
            b = Gather8(cells + x, which);
        } else {
            std::uint8_t tail[8] = {};
            std::memcpy(tail, cells + x, size_t(n - x));
            b = Gather8(tail, which);
        }
        out[x >> 6] |= b << (x & 63);
    }
}

// Bits [from, to) of word k set.
std::uint64_t RangeMask(int k, int from, int to)
{
    const int lo = std::max(from - 64 * k, 0), hi = std::min(to - 64 * k, 64);
    if (lo >= hi) return 0;
    const std::uint64_t upper = hi == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << hi) - 1;
    return upper & ~((std::uint64_t(1) << lo) - 1);
}

using twod::Popcount64;

// Word k of a row moved by sh modules (bit x holds module x + sh); modules
// outside the row read as light. -64 < sh < 64.
std::uint64_t Shift(const std::uint64_t* row, int k, int sh)
{
    const std::uint64_t cur = row[k];
    if (sh == 0) return cur;
    if (sh > 0) {
        const std::uint64_t next = k + 1 < kRowWords ? row[k + 1] : 0;
        return (cur >> sh) | (next << (64 - sh));
    }
    const std::uint64_t prev = k > 0 ? row[k - 1] : 0;
    return (cur << -sh) | (prev >> (64 + sh));
}

// The penalty of the four rules over bit rows of an n x n symbol.
int Penalty(const PlainRows& p, int n)
{
    int windows5 = 0, runStarts = 0, finders = 0, blocks = 0, dark = 0;
    const int words = (n + 63) / 64;
    for (int k = 0; k < words; ++k) {
        const std::uint64_t valid = RangeMask(k, 0, n);
        // Along the rows: windows starting at column x (bit x).
        for (int y = 0; y < n; ++y) {
            const std::uint64_t* row = p.Row(y);
            std::uint64_t b[15];  // b[q]: module x + q - 4
#pragma GCC unroll 15
            for (int q = 0; q < 15; ++q) b[q] = Shift(row, k, q - 4);
            const std::uint64_t eq5 = ~(b[4] ^ b[5]) & ~(b[4] ^ b[6]) & ~(b[4] ^ b[7]) & ~(b[4] ^ b[8]) &
                                      RangeMask(k, 0, n - 4);
            windows5 += Popcount64(eq5);
            runStarts += Popcount64(eq5 & ((b[3] ^ b[4]) | RangeMask(k, 0, 1)));
            const std::uint64_t core = ~b[3] & b[4] & ~b[5] & b[6] & b[7] & b[8] & ~b[9] & b[10] & ~b[11];
            const std::uint64_t side = (~b[0] & ~b[1] & ~b[2]) | (~b[12] & ~b[13] & ~b[14]);
            finders += Popcount64(core & side & RangeMask(k, 0, n - 6));
            dark += Popcount64(row[k] & valid);
            if (y + 1 < n) {
                const std::uint64_t* below = p.Row(y + 1);
                const std::uint64_t a1 = b[5], c0 = below[k], c1 = Shift(below, k, 1);
                const std::uint64_t same = ~(b[4] ^ a1) & ~(b[4] ^ c0) & ~(b[4] ^ c1);
                blocks += Popcount64(same & RangeMask(k, 0, n - 1));
            }
        }
        // Down the columns: windows starting at row y, rows outside light.
        auto R = [&](int y) { return p.Row(y)[k]; };
        for (int y = 0; y + 5 <= n; ++y) {
            const std::uint64_t eq5 =
                ~(R(y) ^ R(y + 1)) & ~(R(y) ^ R(y + 2)) & ~(R(y) ^ R(y + 3)) & ~(R(y) ^ R(y + 4)) & valid;
            windows5 += Popcount64(eq5);
            runStarts += Popcount64(y == 0 ? eq5 : eq5 & (R(y - 1) ^ R(y)));
        }
        for (int y = 0; y + 7 <= n; ++y) {
            const std::uint64_t core = ~R(y - 1) & R(y) & ~R(y + 1) & R(y + 2) & R(y + 3) & R(y + 4) & ~R(y + 5) &
                                       R(y + 6) & ~R(y + 7);
            const std::uint64_t side =
                (~R(y - 4) & ~R(y - 3) & ~R(y - 2)) | (~R(y + 8) & ~R(y + 9) & ~R(y + 10));
            finders += Popcount64(core & side & valid);
        }
    }
    // A run of L >= 5 holds L - 4 windows and scores L - 2.
    int score = windows5 + 2 * runStarts + 40 * finders + 3 * blocks;
    const int all = n * n;
    const int lightPct = (100 * (all - dark)) / all;
    score += 10 * (std::abs(50 - lightPct) / 5);
    return score;
}

// Rows of the working grid as bits: the dark cells and the function cells.
struct GridBits {
    PlainRows dark;
    std::uint64_t function[kMaxSize][kRowWords] = {};
};

void PackGrid(const Grid& g, GridBits& out)
{
    for (int y = 0; y < g.size; ++y) {
        const std::uint8_t* cells = &g.c[size_t(y) * size_t(g.size)];
        PackRow(cells, g.size, kDark, out.dark.Row(y));
        PackRow(cells, g.size, kFunction, out.function[y]);
    }
}

// The symbol's bit rows under one mask: data cells masked, function cells as
// they are (the format information of this mask included).
void MaskedRows(const GridBits& bits, const Grid& g, int mask, PlainRows& out)
{
    const int n = g.size;
    const int words = (n + 63) / 64;
    const auto& m = Masks().w[mask];
    for (int y = 0; y < n; ++y) {
        const std::uint64_t* d = bits.dark.Row(y);
        std::uint64_t* o = out.Row(y);
        for (int k = 0; k < words; ++k) o[k] = d[k] ^ (m[y][k] & ~bits.function[y][k] & RangeMask(k, 0, n));
    }
}

// Dark modules (0/1) of the grid with the mask applied to the data cells.
void Masked(const Grid& g, int mask, std::vector<std::uint8_t>& out)
{
    const int n = g.size;
    out.resize(g.c.size());
    const auto& m = Masks().w[mask];
    for (int y = 0; y < n; ++y) {
        const std::uint8_t* c = &g.c[size_t(y) * n];
        std::uint8_t* o = &out[size_t(y) * n];
        for (int x = 0; x < n; ++x) {
            // Data cells take the mask; function cells keep their colour.
            const std::uint8_t fn = std::uint8_t((c[x] >> 1) & 1);
            const std::uint8_t mb = std::uint8_t((m[y][x >> 6] >> (x & 63)) & 1);
            o[x] = std::uint8_t((c[x] & kDark) ^ (mb & (fn ^ 1)));
        }
    }
}

}  // namespace

int VersionGroup(int version) { return version <= 9 ? 0 : (version <= 26 ? 1 : 2); }

int CountIndicatorBits(Mode mode, int group)
{
    static const int kBits[4][3] = {{10, 12, 14}, {9, 11, 13}, {8, 16, 16}, {8, 10, 12}};
    return kBits[ModeIndex(mode)][group];
}

int SegmentBits(Mode mode, int n, int group)
{
    int bits = 4 + CountIndicatorBits(mode, group);
    switch (mode) {
    case kNumeric: bits += 10 * (n / 3) + (n % 3 == 1 ? 4 : (n % 3 == 2 ? 7 : 0)); break;
    case kAlnum: bits += 11 * (n / 2) + 6 * (n % 2); break;
    case kByte: bits += 8 * n; break;
    case kKanji: bits += 13 * (n / 2); break;
    }
    return bits;
}

bool IsKanjiPair(std::uint8_t a, std::uint8_t b)
{
    if (!((a >= 0x81 && a <= 0x9F) || (a >= 0xE0 && a <= 0xEB))) return false;
    if (b < 0x40) return false;
    if (a == 0x9F && b > 0xFC) return false;
    if (a == 0xEB && b >= 0xC0) return false;
    return true;
}

bool IsAlnumChar(std::uint8_t c) { return c != 0 && std::strchr(kAlnumSet, c) != nullptr; }

bool Segmentize(const std::uint8_t* data, size_t length, int group, std::vector<Segment>& segs)
{
    segs.clear();
    for (size_t i = 0; i < length;) {
        Mode m;
        int n = 1;
        if (i + 1 < length && IsKanjiPair(data[i], data[i + 1])) {
            m = kKanji;
            n = 2;
        } else if (data[i] >= '0' && data[i] <= '9') {
            m = kNumeric;
        } else if (IsAlnumChar(data[i])) {
            m = kAlnum;
        } else {
            m = kByte;
        }
        if (!segs.empty() && segs.back().mode == m) {
            segs.back().length += n;
        } else {
            if (segs.size() >= size_t(kMaxSegments)) return false;
            segs.push_back({m, n});
        }
        i += size_t(n);
    }
    auto cost = [group](const Segment& s) { return SegmentBits(s.mode, s.length, group); };
    auto erase = [&segs](size_t at) { segs.erase(segs.begin() + std::ptrdiff_t(at)); };

    // Numeric/alphanumeric pass.
    size_t i = 0;
    while (i + 1 < segs.size()) {
        const Segment s0 = segs[i], s1 = segs[i + 1];
        const bool pair = (s0.mode == kNumeric && s1.mode == kAlnum) ||
                          (s0.mode == kAlnum && s1.mode == kNumeric);
        if (!pair) {
            ++i;
            continue;
        }
        const int a = SegmentBits(kAlnum, s0.length + s1.length, group);
        if (a >= cost(s0) + cost(s1)) {
            ++i;
            continue;
        }
        bool candB = false, candC = false;
        int cb = 0, cc = 0;
        if (i > 0 && segs[i - 1].mode == kByte) {
            cb = SegmentBits(kByte, segs[i - 1].length + s0.length, group) + cost(s1);
            candB = cb <= a + cost(segs[i - 1]);
        }
        if (i + 2 < segs.size() && segs[i + 2].mode == kByte) {
            cc = SegmentBits(kByte, s1.length + segs[i + 2].length, group) + cost(s0);
            candC = cc <= a + cost(segs[i + 2]);
        }
        if (candC && (!candB || cc <= cb)) {
            segs[i + 2].length += s1.length;
            erase(i + 1);
        } else if (candB) {
            segs[i - 1].length += s0.length;
            erase(i);
        } else {
            segs[i] = {kAlnum, s0.length + s1.length};
            erase(i + 1);
            if (i + 1 < segs.size() && segs[i + 1].mode == kAlnum) {
                segs[i].length += segs[i + 1].length;
                erase(i + 1);
            }
            if (i > 0 && segs[i - 1].mode == kAlnum) {
                segs[i - 1].length += segs[i].length;
                erase(i);
            }
        }
    }

    // Byte pass.
    const int header = 4 + CountIndicatorBits(kByte, group);
    i = 0;
    while (i + 1 < segs.size()) {
        int merged = SegmentBits(kByte, segs[i].length + segs[i + 1].length, group);
        if (i > 0 && segs[i - 1].mode == kByte) merged -= header;
        if (i + 2 < segs.size() && segs[i + 2].mode == kByte) merged -= header;
        if (merged < cost(segs[i]) + cost(segs[i + 1])) {
            segs[i] = {kByte, segs[i].length + segs[i + 1].length};
            erase(i + 1);
            if (i + 1 < segs.size() && segs[i + 1].mode == kByte) {
                segs[i].length += segs[i + 1].length;
                erase(i + 1);
            }
            if (i > 0 && segs[i - 1].mode == kByte) {
                segs[i - 1].length += segs[i].length;
                erase(i);
            }
            if (i > 0) --i;
        } else {
            ++i;
        }
    }
    return true;
}

int TotalCodewords(int v)
{
    int modules = (16 * v + 128) * v + 64;
    if (v >= 2) {
        const int align = v / 7 + 2;
        modules -= (25 * align - 10) * align - 55;
        if (v >= 7) modules -= 36;
    }
    return modules / 8;
}

int EcCodewordsPerBlock(int v, int level) { return kEcPerBlock[level][v]; }
int BlockCount(int v, int level) { return kBlocks[level][v]; }
int DataCodewords(int v, int level) { return TotalCodewords(v) - kEcPerBlock[level][v] * kBlocks[level][v]; }

int MaskPenalty(const twod::ModuleMatrix& m)
{
    if (m.width <= 0 || m.width > kMaxSize || m.height != m.width) return 0;
    auto rows = std::make_unique<PlainRows>();
    for (int y = 0; y < m.height; ++y) PackRow(&m.cells[size_t(y) * size_t(m.width)], m.width, 0xFF, rows->Row(y));
    return Penalty(*rows, m.width);
}

bool BuildSymbol(const std::uint8_t* data, size_t length, int level, int reqVersion, int reqMask,
                 Symbol& out)
{
    if (level < 0 || level > 3 || reqVersion < 0 || reqVersion > 40) return false;
    // Nothing longer than the largest symbol's digit capacity can fit.
    if (length > 7089) return false;
    int version = 0;
    std::vector<Segment> segs;
    int bits = 0;
    static const int kGroupFirst[3] = {1, 10, 27}, kGroupLast[3] = {9, 26, 40};
    for (int g = 0; g < 3 && version == 0; ++g) {
        if (kGroupLast[g] < reqVersion) continue;
        if (!Segmentize(data, length, g, segs)) return false;
        bits = 0;
        for (const Segment& s : segs) bits += SegmentBits(s.mode, s.length, g);
        if (bits > kMaxBits) continue;
        const int bytes = (bits + 7) / 8;
        for (int v = std::max(kGroupFirst[g], reqVersion); v <= kGroupLast[g]; ++v)
            if (DataCodewords(v, level) >= bytes) {
                version = v;
                break;
            }
    }
    if (version == 0) return false;

    const int group = VersionGroup(version);
    const int capacity = DataCodewords(version, level);
    std::vector<std::uint8_t>& dc = out.dataCodewords;
    BitWriter w(dc);
    WriteSegments(data, segs, group, w);
    const int capBits = capacity * 8;
    w.Put(0, std::min(4, capBits - w.Count()));
    if (w.Count() & 7) w.Put(0, 8 - (w.Count() & 7));
    for (bool ec = true; int(dc.size()) < capacity; ec = !ec) dc.push_back(ec ? 0xEC : 0x11);

    // Blocks: the short ones first, each long block one data codeword more.
    const int blocks = kBlocks[level][version];
    const int ecLen = kEcPerBlock[level][version];
    const int total = TotalCodewords(version);
    const int shortBlocks = blocks - total % blocks;
    const int shortData = total / blocks - ecLen;
    static const twod::GaloisField256 field(0x11D);
    const twod::ReedSolomon256& rs = twod::CachedReedSolomon(field, ecLen, 0);
    std::vector<std::uint8_t> ecc(size_t(blocks) * size_t(ecLen));
    std::vector<int> start(size_t(blocks) + 1, 0);
    for (int b = 0; b < blocks; ++b) {
        const int len = shortData + (b >= shortBlocks ? 1 : 0);
        start[b + 1] = start[b] + len;
        rs.Encode(&dc[size_t(start[b])], size_t(len), &ecc[size_t(b) * ecLen]);
    }
    std::vector<std::uint8_t> all;
    all.reserve(size_t(total));
    for (int i = 0; i <= shortData; ++i)
        for (int b = 0; b < blocks; ++b)
            if (start[b] + i < start[b + 1]) all.push_back(dc[size_t(start[b] + i)]);
    for (int i = 0; i < ecLen; ++i)
        for (int b = 0; b < blocks; ++b) all.push_back(ecc[size_t(b) * ecLen + i]);

    const int n = 4 * version + 17;
    Grid g(n);
    PlaceFunctionPatterns(g, version);
    PlaceCodewords(g, all);

    int best = reqMask;
    if (reqMask < 0 || reqMask > 7) {
        // The grid's bits once; each mask then costs a few operations a word,
        // and its format information only rewrites function cells.
        auto bits = std::make_unique<GridBits>();
        auto rows = std::make_unique<PlainRows>();
        int bestScore = 0;
        for (int mask = 0; mask < 8; ++mask) {
            PlaceFormat(g, level, mask);
            if (mask == 0) {
                PackGrid(g, *bits);
            } else {
                // Only row 8 and column 8 hold format information.
                std::uint64_t* row8 = bits->dark.Row(8);
                std::fill(row8, row8 + kRowWords, 0);
                PackRow(&g.c[size_t(8) * size_t(n)], n, kDark, row8);
                for (int y = 0; y < n; ++y) {
                    std::uint64_t& word = bits->dark.Row(y)[0];
                    word = (word & ~(std::uint64_t(1) << 8)) | (std::uint64_t(g.at(8, y) & kDark) << 8);
                }
            }
            MaskedRows(*bits, g, mask, *rows);
            const int score = Penalty(*rows, n);
            if (mask == 0 || score < bestScore) {
                bestScore = score;
                best = mask;
            }
        }
    }
    PlaceFormat(g, level, best);
    std::vector<std::uint8_t> masked;
    Masked(g, best, masked);

    out.version = version;
    out.level = level;
    out.mask = best;
    out.segments = std::move(segs);
    out.matrix = twod::ModuleMatrix(n, n);
    out.matrix.cells = std::move(masked);
    return true;
}

}  // namespace qr
