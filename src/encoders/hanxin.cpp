#include "encoders/hanxin.h"

#include <algorithm>
#include <array>
#include <limits>

#include "encoders/hanxin_tables.h"

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

bool IsNumeric(int s) { return s == sNumeric1 || s == sNumeric2 || s == sNumeric3; }

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
long SwitchCost(int a, int b)
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

class BitWriter {
public:
    void Put(unsigned value, int bits)
    {
        for (int b = bits - 1; b >= 0; --b) m_bits.push_back((value >> b) & 1 ? '1' : '0');
    }
    std::string& Bits() { return m_bits; }

private:
    std::string m_bits;
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
            for (int a = 0; a <= kStates; ++a) {
                if (i == 0 && a != kStates) continue;
                if (i > 0 && a == kStates) continue;
                const long before = i == 0 ? 0 : cost[i][size_t(a)];
                if (before >= kInf) continue;
                const long c = before + SwitchCost(a, s) + unit;
                if (c < cost[i + 1][size_t(s)]) {
                    cost[i + 1][size_t(s)] = c;
                    from[i + 1][size_t(s)] = std::int8_t(a);
                }
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
    return w.Bits();
}

namespace {

// Penalty of one row or column of n modules (1 dark), three light modules
// assumed beyond each end.
long LinePenalty(const std::uint8_t* line, int n)
{
    long penalty = 0;
    int run = 1;
    for (int b = 1; b <= n; ++b) {
        if (b < n && line[b] == line[b - 1]) {
            ++run;
            continue;
        }
        if (run >= 3) penalty += 4 * run;
        run = 1;
    }
    auto light = [line, n](int b) { return b < 0 || b >= n || !line[b]; };
    for (int b = 0; b + 7 <= n; ++b) {
        const std::uint8_t* p = line + b;
        // 1010111 and 1110101 share the dark 1st, 3rd, 5th and 7th and the light 4th.
        if (!(p[0] && p[2] && !p[3] && p[4] && p[6])) continue;
        if (!((!p[1] && p[5]) || (p[1] && !p[5]))) continue;
        if ((light(b - 1) && light(b - 2) && light(b - 3)) || (light(b + 7) && light(b + 8) && light(b + 9)))
            penalty += 50;
    }
    return penalty;
}

}  // namespace

long MaskPenalty(const twod::ModuleMatrix& m)
{
    // Along every row and column: each run of three or more modules of one
    // colour costs 4 points a module; each 1:1:1:1:3 or 3:1:1:1:1 profile
    // (dark, light, dark, light, three dark) with three light modules before
    // or after it costs 50 points. Beyond the symbol counts as light.
    const int n = m.width;
    long penalty = 0;
    std::vector<std::uint8_t> column(static_cast<size_t>(n));
    for (int a = 0; a < n; ++a) {
        penalty += LinePenalty(&m.cells[size_t(a) * size_t(n)], n);
        for (int b = 0; b < n; ++b) column[size_t(b)] = m.cells[size_t(b) * size_t(n) + size_t(a)];
        penalty += LinePenalty(column.data(), n);
    }
    return penalty;
}

Status BuildSymbol(const std::uint8_t* data, size_t length, int level, int version, int mask, Symbol& out)
{
    out = Symbol();
    if (level < 1 || level > 4) return Status::kBadLevel;
    if (version < 0 || version > kMaxVersion || mask < -1 || mask > 3) return Status::kBadVersion;
    BitWriter w;
    for (const Segment& s : ChooseSegments(data, length)) WriteSegment(w, data, length, s);
    const std::string& bits = w.Bits();
    const size_t need = (bits.size() + 7) / 8;
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
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i] == '1') dataCw[i / 8] |= std::uint8_t(0x80 >> (i % 8));
    static const twod::GaloisField256 field(0x163);
    std::vector<std::uint8_t> stream;
    stream.reserve(size_t(bt.total));
    size_t at = 0;
    for (const BlockGroup& g : bt.groups) {
        if (g.count == 0) continue;
        const twod::ReedSolomon256 rs(field, g.ec, 1);
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
    const std::vector<std::uint8_t> roles = Roles(version);
    twod::ModuleMatrix base(n, n);
    size_t bit = 0;
    const size_t totalBits = placed.size() * 8;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            const std::uint8_t role = roles[size_t(r) * size_t(n) + size_t(c)];
            if (role == kDark) base.Set(c, r, true);
            if (role != kData) continue;
            if (bit < totalBits && ((placed[bit / 8] >> (7 - bit % 8)) & 1)) base.Set(c, r, true);
            ++bit;
        }
    const auto strip = StripPositions(n);
    auto finish = [&](int m) {
        twod::ModuleMatrix sym = base;
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                if (roles[size_t(r) * size_t(n) + size_t(c)] == kData && MaskAt(m, r, c))
                    sym.Set(c, r, !sym.Dark(c, r));
        const auto info = StructuralBits(version, level, m);
        for (size_t k = 0; k < 68; ++k) sym.Set(strip[k].second, strip[k].first, info[k]);
        return sym;
    };
    if (mask < 0) {
        long best = std::numeric_limits<long>::max();
        for (int m = 0; m < 4; ++m) {
            twod::ModuleMatrix sym = finish(m);
            const long p = MaskPenalty(sym);
            if (p < best) {
                best = p;
                mask = m;
                out.matrix = std::move(sym);
            }
        }
    } else {
        out.matrix = finish(mask);
    }
    out.version = version;
    out.level = level;
    out.mask = mask;
    return Status::kOk;
}

}  // namespace hanxin
