#include "encoders/hanxin.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>

#include "encoders/hanxin_tables.h"
#include "encoders/module_packing.h"

namespace hanxin {
namespace {

// --- Modes --------------------------------------------------------------------

enum Unit { kDigit, kText1, kText2, kOtherByte, kGbRegion1, kGbRegion2, kGbDouble, kGbFour };

int Text1Value(std::uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 36;
    return -1;
}

int Text2Value(std::uint8_t c)
{
    if (c <= 0x1B) return c;
    if (c >= ' ' && c <= '/') return c - ' ' + 28;
    if (c >= ':' && c <= '@') return c - ':' + 44;
    if (c >= '[' && c <= '`') return c - '[' + 51;
    if (c >= '{' && c <= 0x7F) return c - '{' + 57;
    return -1;
}

bool Trail2(std::uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }

// The unit starting at p and its length in bytes.
Unit UnitAt(const std::uint8_t* d, size_t n, size_t p, size_t& len)
{
    const std::uint8_t c = d[p];
    len = 1;
    if (c >= '0' && c <= '9') return kDigit;
    if (Text1Value(c) >= 0) return kText1;
    if (Text2Value(c) >= 0) return kText2;
    if (c >= 0x81 && c <= 0xFE && p + 1 < n) {
        const std::uint8_t b = d[p + 1];
        if (b >= 0x30 && b <= 0x39 && p + 3 < n && d[p + 2] >= 0x81 && d[p + 2] <= 0xFE && d[p + 3] >= 0x30 &&
            d[p + 3] <= 0x39) {
            len = 4;
            return kGbFour;
        }
        if (Trail2(b)) {
            len = 2;
            if (b >= 0xA1 && b <= 0xFE && ((c >= 0xB0 && c <= 0xD7) || (c >= 0xA1 && c <= 0xA3))) return kGbRegion1;
            if (b >= 0xA1 && b <= 0xFE && c >= 0xD8 && c <= 0xF7) return kGbRegion2;
            return kGbDouble;
        }
    }
    return kOtherByte;
}

int RegionValue(std::uint8_t c1, std::uint8_t c2)
{
    if (c1 >= 0xA1 && c1 <= 0xA3) return 0xEB0 + (c1 - 0xA1) * 94 + (c2 - 0xA1);
    if (c1 >= 0xB0 && c1 <= 0xD7) return (c1 - 0xB0) * 94 + (c2 - 0xA1);
    return (c1 - 0xD8) * 94 + (c2 - 0xA1);
}

int DoubleByteValue(std::uint8_t c1, std::uint8_t c2) { return (c1 - 0x81) * 0xBE + (c2 < 0x80 ? c2 - 0x40 : c2 - 0x41); }

int FourByteValue(const std::uint8_t* d)
{
    return (d[0] - 0x81) * 12600 + (d[1] - 0x30) * 1260 + (d[2] - 0x81) * 10 + (d[3] - 0x30);
}

// Search states; costs in bits. Numeric has three states by how many digits
// its open group of three holds (a group's 10 bits are paid when it opens).
enum State { sNumeric1, sNumeric2, sNumeric3, sText1, sText2, sBinary, sRegion1, sRegion2, sDouble, sFour, kStates };
constexpr long kInf = std::numeric_limits<long>::max() / 4;

constexpr bool IsNumeric(int s) { return s == sNumeric1 || s == sNumeric2 || s == sNumeric3; }

Mode ModeOf(int s)
{
    switch (s) {
    case sNumeric1: case sNumeric2: case sNumeric3: return Mode::kNumeric;
    case sText1: case sText2: return Mode::kText;
    case sBinary: return Mode::kBinary;
    case sRegion1: return Mode::kRegion1;
    case sRegion2: return Mode::kRegion2;
    case sDouble: return Mode::kDoubleByte;
    default: return Mode::kFourByte;
    }
}

// Cost of a unit in a state, or kInf when the state cannot hold it.
long UnitCost(Unit u, size_t len, int s)
{
    switch (s) {
    case sNumeric1: case sNumeric2: case sNumeric3: return u == kDigit ? 0 : kInf;
    case sText1: return (u == kDigit || u == kText1) ? 6 : kInf;
    case sText2: return u == kText2 ? 6 : kInf;
    case sBinary: return 8 * long(len);
    case sRegion1: return u == kGbRegion1 ? 12 : kInf;
    case sRegion2: return u == kGbRegion2 ? 12 : kInf;
    case sDouble: return (u == kGbRegion1 || u == kGbRegion2 || u == kGbDouble) ? 15 : kInf;
    default: return u == kGbFour ? 25 : kInf;
    }
}

// Cost of moving from state a (kStates at the start) into state b before a
// unit: a new segment pays its indicator and its end (terminator or count);
// the text sub-modes and the regions switch inside their segment; digits
// fill numeric groups of three.
constexpr long SwitchCost(int a, int b)
{
    if (IsNumeric(b)) {
        if (a == sNumeric1) return b == sNumeric2 ? 0 : kInf;
        if (a == sNumeric2) return b == sNumeric3 ? 0 : kInf;
        if (a == sNumeric3) return b == sNumeric1 ? 10 : kInf;
        return b == sNumeric1 ? 4 + 10 + 10 : kInf;
    }
    if (a == b && b != sFour) return 0;
    if ((a == sText1 && b == sText2) || (a == sText2 && b == sText1)) return 6;
    if ((a == sRegion1 && b == sRegion2) || (a == sRegion2 && b == sRegion1)) return 12;
    switch (b) {
    case sText1: return 4 + 6;
    case sText2: return 4 + 6 + 6;
    case sBinary: return 4 + 13;
    case sRegion1: case sRegion2: return 4 + 12;
    case sDouble: return 4 + 15;
    default: return 0;  // four-byte: the indicator is in the unit's cost
    }
}

// Bits, most significant first, packed into bytes.
class BitWriter {
public:
    void Put(unsigned value, int bits)
    {
        for (int b = bits - 1; b >= 0; --b) {
            if ((m_count & 7) == 0) m_bytes.push_back(0);
            if ((value >> b) & 1) m_bytes.back() = std::uint8_t(m_bytes.back() | (0x80 >> (m_count & 7)));
            ++m_count;
        }
    }
    size_t Count() const { return m_count; }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::string Text() const
    {
        std::string s(m_count, '0');
        for (size_t i = 0; i < m_count; ++i)
            if ((m_bytes[i / 8] >> (7 - i % 8)) & 1) s[i] = '1';
        return s;
    }

private:
    std::vector<std::uint8_t> m_bytes;
    size_t m_count = 0;
};

void WriteSegment(BitWriter& w, const std::uint8_t* d, size_t n, const Segment& seg)
{
    size_t p = seg.begin;
    switch (seg.mode) {
    case Mode::kNumeric: {
        w.Put(1, 4);
        int last = 3;
        while (p < seg.end) {
            const size_t k = std::min<size_t>(3, seg.end - p);
            unsigned v = 0;
            for (size_t i = 0; i < k; ++i) v = v * 10 + unsigned(d[p + i] - '0');
            w.Put(v, 10);
            last = int(k);
            p += k;
        }
        w.Put(unsigned(1020 + last), 10);
        break;
    }
    case Mode::kText: {
        w.Put(2, 4);
        bool second = false;
        for (; p < seg.end; ++p) {
            const int t1 = Text1Value(d[p]);
            if ((t1 >= 0) == second) {
                w.Put(62, 6);
                second = !second;
            }
            w.Put(unsigned(second ? Text2Value(d[p]) : t1), 6);
        }
        w.Put(63, 6);
        break;
    }
    case Mode::kBinary:
        w.Put(3, 4);
        w.Put(unsigned(seg.end - seg.begin), 13);
        for (; p < seg.end; ++p) w.Put(d[p], 8);
        break;
    case Mode::kRegion1:
    case Mode::kRegion2: {
        w.Put(seg.mode == Mode::kRegion1 ? 4 : 5, 4);
        bool second = seg.mode == Mode::kRegion2;
        for (; p < seg.end; p += 2) {
            const bool inSecond = d[p] >= 0xD8;
            if (inSecond != second) {
                w.Put(0xFFE, 12);
                second = inSecond;
            }
            w.Put(unsigned(RegionValue(d[p], d[p + 1])), 12);
        }
        w.Put(0xFFF, 12);
        break;
    }
    case Mode::kDoubleByte:
        w.Put(6, 4);
        for (; p < seg.end; p += 2) w.Put(unsigned(DoubleByteValue(d[p], d[p + 1])), 15);
        w.Put(0x7FFF, 15);
        break;
    case Mode::kFourByte:
        for (; p < seg.end; p += 4) {
            w.Put(7, 4);
            w.Put(unsigned(FourByteValue(d + p)), 21);
        }
        break;
    }
    (void)n;
}

// --- Layout -------------------------------------------------------------------

enum Role : std::uint8_t { kLight, kDark, kStrip, kData };

std::vector<std::uint8_t> Roles(int version)
{
    const int n = SideOfVersion(version);
    std::vector<std::uint8_t> roles(size_t(n) * size_t(n), kData);
    for (int i = 0; i < 18; ++i) {
        const int r = i < 9 ? i : n - 18 + i;
        for (int k = 0; k < 18; ++k) {
            const int c = k < 9 ? k : n - 18 + k;
            const char ch = kCornerRows[i][k];
            roles[size_t(r) * size_t(n) + size_t(c)] = ch == '1' ? kDark : ch == '0' ? kLight : kStrip;
        }
    }
    for (int i = kFixedRunIndex[version - 1]; i < kFixedRunIndex[version]; ++i) {
        const std::uint32_t run = kFixedRuns[i];
        const bool vertical = (run >> 25) & 1;
        const std::uint8_t role = (run >> 24) & 1 ? kDark : kLight;
        const int r = int((run >> 16) & 0xFF), c = int((run >> 8) & 0xFF), len = int(run & 0xFF);
        for (int k = 0; k < len; ++k)
            roles[size_t(vertical ? r + k : r) * size_t(n) + size_t(vertical ? c : c + k)] = role;
    }
    return roles;
}

// The 68 structural-information positions (row, column) in bit order.
std::vector<std::pair<int, int>> StripPositions(int n)
{
    std::vector<std::pair<int, int>> p;
    for (int c = 0; c < 9; ++c) p.push_back({8, c});
    for (int r = 0; r < 8; ++r) p.push_back({r, 8});
    for (int r = 0; r < 9; ++r) p.push_back({r, n - 9});
    for (int c = n - 8; c < n; ++c) p.push_back({8, c});
    for (int c = 0; c < 9; ++c) p.push_back({n - 9, c});
    for (int r = n - 8; r < n; ++r) p.push_back({r, 8});
    for (int r = n - 9; r < n; ++r) p.push_back({r, n - 9});
    for (int c = n - 8; c < n; ++c) p.push_back({n - 9, c});
    return p;
}

// The 68 structural bits from the 28 that carry the information.
std::array<bool, 68> StructuralBits(int version, int level, int mask)
{
    const std::uint32_t v = kStructuralBits[version - 1][level - 1][mask];
    std::array<bool, 68> bits{};
    for (int p = 0; p < 28; ++p) bits[size_t(p)] = (v >> (27 - p)) & 1;
    for (int p = 1; p < 28; ++p) {
        int q;
        if (p <= 7) q = 67 - p;
        else if (p == 8) q = 51;
        else if (p <= 16) q = 68 - p;
        else if (p == 17) q = 50;
        else q = 67 - p;
        bits[size_t(q)] = bits[size_t(p)];
    }
    return bits;
}

bool MaskAt(int mask, int r, int c)
{
    const int i = r + 1, j = c + 1;
    switch (mask) {
    case 1: return (i + j) % 2 == 0;
    case 2: return ((i + j) % 3 + j % 3) % 2 == 0;
    case 3: return ((i % j) + (j % i) + (i % 3) + (j % 3)) % 2 == 0;
    default: return false;
    }
}

}  // namespace

// SwitchCost of every pair of states (the first from the start, kStates).
constexpr std::array<std::array<long, kStates>, kStates + 1> kSwitchCosts = [] {
    std::array<std::array<long, kStates>, kStates + 1> t{};
    for (int a = 0; a <= kStates; ++a)
        for (int b = 0; b < kStates; ++b) t[size_t(a)][size_t(b)] = SwitchCost(a, b);
    return t;
}();

std::vector<Segment> ChooseSegments(const std::uint8_t* d, size_t n)
{
    // Shortest path over the units: cost[i][s] = fewest bits to encode the
    // first i units ending in state s.
    std::vector<size_t> starts, lens;
    std::vector<Unit> units;
    for (size_t p = 0; p < n;) {
        size_t len;
        units.push_back(UnitAt(d, n, p, len));
        starts.push_back(p);
        lens.push_back(len);
        p += len;
    }
    const size_t m = units.size();
    std::vector<std::array<long, kStates>> cost(m + 1);
    std::vector<std::array<std::int8_t, kStates>> from(m + 1);
    cost[0].fill(kInf);
    for (size_t i = 0; i < m; ++i) {
        cost[i + 1].fill(kInf);
        for (int s = 0; s < kStates; ++s) {
            const long unit = UnitCost(units[i], lens[i], s);
            if (unit >= kInf) continue;
            // From the start, or from every state the units before can end in
            // (the first of equal ones). Unreachable states carry kInf or
            // more, which no reachable one exceeds, and the sums do not
            // overflow: no branch depends on the costs.
            if (i == 0) {
                cost[1][size_t(s)] = kSwitchCosts[kStates][size_t(s)] + unit;
                from[1][size_t(s)] = std::int8_t(kStates);
                continue;
            }
            long best = cost[i][0] + kSwitchCosts[0][size_t(s)];
            int bestFrom = 0;
            for (int a = 1; a < kStates; ++a) {
                const long c = cost[i][size_t(a)] + kSwitchCosts[size_t(a)][size_t(s)];
                bestFrom = c < best ? a : bestFrom;
                best = c < best ? c : best;
            }
            if (best + unit < cost[i + 1][size_t(s)]) {
                cost[i + 1][size_t(s)] = best + unit;
                from[i + 1][size_t(s)] = std::int8_t(bestFrom);
            }
        }
    }
    std::vector<Segment> segs;
    if (m == 0) return segs;
    int s = int(std::min_element(cost[m].begin(), cost[m].end()) - cost[m].begin());
    std::vector<int> states(m);
    for (size_t i = m; i > 0; --i) {
        states[i - 1] = s;
        s = from[i][size_t(s)];
    }
    for (size_t i = 0; i < m; ++i) {
        const Mode mode = ModeOf(states[i]);
        // Text sub-modes and the two regions switch inside one segment;
        // every four-byte character is a segment of its own.
        auto family = [](Mode md) { return md == Mode::kRegion2 ? Mode::kRegion1 : md; };
        const bool joins = i > 0 && family(ModeOf(states[i - 1])) == family(mode) && mode != Mode::kFourByte;
        if (joins) segs.back().end = starts[i] + lens[i];
        else segs.push_back({mode, starts[i], starts[i] + lens[i]});
    }
    return segs;
}

std::string EncodeBits(const std::uint8_t* d, size_t n)
{
    BitWriter w;
    for (const Segment& s : ChooseSegments(d, n)) WriteSegment(w, d, n, s);
    return w.Text();
}

namespace {

// ---- scoring ------------------------------------------------------------------
//
// The symbol is scored as bits: each row a line of words, bit x of a row is
// column x. Runs and profiles along the rows come from shifting a row against
// itself, down the columns from combining neighbouring rows, 64 modules at a
// time.

constexpr int kRowWords = 4;  // 189 bits and a spare word for the shifts
constexpr int kPadRows = 3;   // light rows above and below the symbol

// Bit rows of an n x n symbol with light rows around it.
struct PlainRows {
    std::vector<std::uint64_t> w;
    explicit PlainRows(int n) : w(size_t(n + 2 * kPadRows) * kRowWords, 0) {}
    std::uint64_t* Row(int y) { return &w[size_t(y + kPadRows) * kRowWords]; }
    const std::uint64_t* Row(int y) const { return &w[size_t(y + kPadRows) * kRowWords]; }
};

// Bits [from, to) of word k set.
std::uint64_t RangeMask(int k, int from, int to)
{
    const int lo = std::max(from - 64 * k, 0), hi = std::min(to - 64 * k, 64);
    if (lo >= hi) return 0;
    const std::uint64_t upper = hi == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << hi) - 1;
    return upper & ~((std::uint64_t(1) << lo) - 1);
}

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

// Bit x set when cells[x] is non-zero, for 8 cells.
std::uint64_t Gather8(const std::uint8_t* p)
{
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t high = (((x & kLow7) + kLow7) | x) & 0x8080808080808080ull;
    return ((high >> 7) * 0x0102040810204080ull) >> 56;
}

// One row of n cells (non-zero set) into bits.
void PackRow(const std::uint8_t* cells, int n, std::uint64_t* out)
{
    for (int x = 0; x < n; x += 8) {
        std::uint64_t b;
        if (x + 8 <= n) {
            b = Gather8(cells + x);
        } else {
            std::uint8_t tail[8] = {};
            std::memcpy(tail, cells + x, size_t(n - x));
            b = Gather8(tail);
        }
        out[x >> 6] |= b << (x & 63);
    }
}

// Along every row and column: each run of three or more modules of one
// colour costs 4 points a module; each 1:1:1:1:3 or 3:1:1:1:1 profile (dark,
// light, dark, light, three dark) with three light modules before or after it
// costs 50 points. Beyond the symbol counts as light.
long Penalty(const PlainRows& p, int n)
{
    long windows3 = 0, runStarts = 0, profiles = 0;
    for (int k = 0; k * 64 < n; ++k) {
        const std::uint64_t valid = RangeMask(k, 0, n);
        // Along the rows: windows starting at column x (bit x).
        const std::uint64_t valid3 = RangeMask(k, 0, n - 2), valid7 = RangeMask(k, 0, n - 6);
        const std::uint64_t first = RangeMask(k, 0, 1);
        for (int y = 0; y < n; ++y) {
            const std::uint64_t* row = p.Row(y);
            std::uint64_t b[13];  // b[q]: module x + q - 3
#pragma GCC unroll 13
            for (int q = 0; q < 13; ++q) b[q] = Shift(row, k, q - 3);
            const std::uint64_t eq3 = ~(b[3] ^ b[4]) & ~(b[3] ^ b[5]) & valid3;
            windows3 += twod::Popcount64(eq3);
            runStarts += twod::Popcount64(eq3 & ((b[2] ^ b[3]) | first));
            const std::uint64_t core = b[3] & b[5] & ~b[6] & b[7] & b[9] & (b[4] ^ b[8]);
            const std::uint64_t side = (~b[0] & ~b[1] & ~b[2]) | (~b[10] & ~b[11] & ~b[12]);
            profiles += twod::Popcount64(core & side & valid7);
        }
        // Down the columns: windows starting at row s, rows outside light.
        auto R = [&](int t) { return p.Row(t)[k]; };
        for (int s = 0; s + 3 <= n; ++s) {
            const std::uint64_t eq3 = ~(R(s) ^ R(s + 1)) & ~(R(s) ^ R(s + 2)) & valid;
            windows3 += twod::Popcount64(eq3);
            runStarts += twod::Popcount64(s == 0 ? eq3 : eq3 & (R(s - 1) ^ R(s)));
        }
        for (int s = 0; s + 7 <= n; ++s) {
            const std::uint64_t core = R(s) & R(s + 2) & ~R(s + 3) & R(s + 4) & R(s + 6) & (R(s + 1) ^ R(s + 5));
            const std::uint64_t side = (~R(s - 1) & ~R(s - 2) & ~R(s - 3)) | (~R(s + 7) & ~R(s + 8) & ~R(s + 9));
            profiles += twod::Popcount64(core & side & valid);
        }
    }
    // A run of L >= 3 holds L - 2 windows and costs 4 L.
    return 4 * (windows3 + 2 * runStarts) + 50 * profiles;
}

// The three masks over the largest symbol as bit rows (mask m in w[m - 1]),
// worked out once (mask 3 divides by the coordinates).
constexpr int kMaxSide = 21 + 2 * kMaxVersion;
struct MaskRows {
    std::uint64_t w[3][kMaxSide][kRowWords] = {};
    MaskRows()
    {
        for (int m = 1; m <= 3; ++m)
            for (int r = 0; r < kMaxSide; ++r)
                for (int c = 0; c < kMaxSide; ++c)
                    if (MaskAt(m, r, c)) w[m - 1][r][c >> 6] |= std::uint64_t(1) << (c & 63);
    }
};
const MaskRows& Masks()
{
    static const MaskRows table;
    return table;
}

// What a version's symbols share: the fixed dark modules, the places of the
// data modules in placement order, and the data modules as bit rows. Kept
// for the version last built (per thread): a label prints the same version
// over and over.
struct VersionLayout {
    int version = 0;
    std::vector<std::uint8_t> fixedDark;
    std::vector<std::uint16_t> dataPlaces;
    PlainRows dataBits{0};
};
const VersionLayout& LayoutOf(int version)
{
    thread_local VersionLayout layout;
    if (layout.version != version) {
        const int n = SideOfVersion(version);
        const std::vector<std::uint8_t> roles = Roles(version);
        layout.fixedDark.assign(roles.size(), 0);
        layout.dataPlaces.clear();
        std::vector<std::uint8_t> isData(roles.size(), 0);
        for (size_t i = 0; i < roles.size(); ++i) {
            layout.fixedDark[i] = roles[i] == kDark ? 1 : 0;
            if (roles[i] == kData) {
                layout.dataPlaces.push_back(std::uint16_t(i));
                isData[i] = 1;
            }
        }
        layout.dataBits = PlainRows(n);
        for (int r = 0; r < n; ++r) PackRow(&isData[size_t(r) * size_t(n)], n, layout.dataBits.Row(r));
        layout.version = version;
    }
    return layout;
}

}  // namespace

long MaskPenalty(const twod::ModuleMatrix& m)
{
    if (m.width <= 0 || m.width > kMaxSide || m.height != m.width) return 0;
    PlainRows rows(m.width);
    for (int y = 0; y < m.height; ++y) PackRow(&m.cells[size_t(y) * size_t(m.width)], m.width, rows.Row(y));
    return Penalty(rows, m.width);
}

Status BuildSymbol(const std::uint8_t* data, size_t length, int level, int version, int mask, Symbol& out)
{
    out = Symbol();
    if (level < 1 || level > 4) return Status::kBadLevel;
    if (version < 0 || version > kMaxVersion || mask < -1 || mask > 3) return Status::kBadVersion;
    BitWriter w;
    for (const Segment& s : ChooseSegments(data, length)) WriteSegment(w, data, length, s);
    const size_t need = (w.Count() + 7) / 8;
    if (version == 0) {
        for (int v = 1; v <= kMaxVersion && version == 0; ++v)
            if (size_t(kBlocks[v - 1][level - 1].data) >= need) version = v;
        if (version == 0) return Status::kTooLong;
    } else if (size_t(kBlocks[version - 1][level - 1].data) < need) {
        return Status::kTooLong;
    }
    const BlockTable& bt = kBlocks[version - 1][level - 1];

    // Data codewords, zero padded; each block followed by its check codewords.
    std::vector<std::uint8_t> dataCw(size_t(bt.data), 0);
    std::copy(w.Bytes().begin(), w.Bytes().end(), dataCw.begin());
    static const twod::GaloisField256 field(0x163);
    std::vector<std::uint8_t> stream;
    stream.reserve(size_t(bt.total));
    size_t at = 0;
    for (const BlockGroup& g : bt.groups) {
        if (g.count == 0) continue;
        const twod::ReedSolomon256& rs = twod::CachedReedSolomon(field, g.ec, 1);
        for (int b = 0; b < g.count; ++b) {
            stream.insert(stream.end(), dataCw.begin() + long(at), dataCw.begin() + long(at) + g.data);
            std::vector<std::uint8_t> ec(size_t(g.ec));
            rs.Encode(dataCw.data() + at, size_t(g.data), ec.data());
            stream.insert(stream.end(), ec.begin(), ec.end());
            at += size_t(g.data);
        }
    }
    // Placement order: every thirteenth codeword of the stream, thirteen times.
    std::vector<std::uint8_t> placed;
    placed.reserve(stream.size());
    for (size_t s = 0; s < 13; ++s)
        for (size_t k = s; k < stream.size(); k += 13) placed.push_back(stream[k]);

    const int n = SideOfVersion(version);
    const VersionLayout& layout = LayoutOf(version);
    // The fixed dark modules, then the data bits at their places in order.
    twod::ModuleMatrix base(n, n);
    base.cells = layout.fixedDark;
    const size_t dataBits = std::min(layout.dataPlaces.size(), placed.size() * 8);
    for (size_t j = 0; j < dataBits; ++j)
        base.cells[layout.dataPlaces[j]] = std::uint8_t((placed[j >> 3] >> (7 - (j & 7))) & 1);
    const auto strip = StripPositions(n);
    // The base as bits; each mask then costs a few operations a word and the
    // 68 structural modules.
    PlainRows baseBits(n), rows(n);
    for (int r = 0; r < n; ++r) PackRow(&base.cells[size_t(r) * size_t(n)], n, baseBits.Row(r));
    const int words = (n + 63) / 64;
    auto masked = [&](int m) {
        for (int r = 0; r < n; ++r) {
            const std::uint64_t* b = baseBits.Row(r);
            const std::uint64_t* d = layout.dataBits.Row(r);
            std::uint64_t* o = rows.Row(r);
            if (m == 0) {
                for (int k = 0; k < words; ++k) o[k] = b[k];
            } else {
                const std::uint64_t* mk = Masks().w[m - 1][r];
                for (int k = 0; k < words; ++k) o[k] = b[k] ^ (mk[k] & d[k]);
            }
        }
        const auto info = StructuralBits(version, level, m);
        for (size_t k = 0; k < 68; ++k) {
            const int r = strip[k].first, c = strip[k].second;
            std::uint64_t& word = rows.Row(r)[c >> 6];
            const std::uint64_t one = std::uint64_t(1) << (c & 63);
            word = info[k] ? (word | one) : (word & ~one);
        }
    };
    if (mask < 0) {
        long best = std::numeric_limits<long>::max();
        for (int m = 0; m < 4; ++m) {
            masked(m);
            const long p = Penalty(rows, n);
            if (p < best) {
                best = p;
                mask = m;
            }
        }
    }
    // The chosen mask's bits back into one byte per module.
    masked(mask);
    out.matrix = twod::ModuleMatrix(n, n);
    for (int r = 0; r < n; ++r) modpack::SpreadRowBits(&out.matrix.cells[size_t(r) * size_t(n)], rows.Row(r), n);
    out.version = version;
    out.level = level;
    out.mask = mask;
    return Status::kOk;
}

}  // namespace hanxin
