#include "encoders/databar.h"

#include "encoders/databar_limited.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace databar {
namespace {

long long Combins(int n, int r)
{
    if (r < 0 || r > n) return 0;
    long long v = 1;
    for (int i = 1; i <= r; ++i) v = v * (n - r + i) / i;
    return v;
}

// One group of character values: values from gsum on use oddModules over the
// odd elements and evenModules over the even ones; t is the modulus that
// splits the value between the two.
struct Group {
    int gsum, oddModules, evenModules, oddWidest, evenWidest, t;
};

// Outside characters of the 14-digit types (16 modules), t = even count.
constexpr Group kOuter[] = {{0, 12, 4, 8, 1, 1},     {161, 10, 6, 6, 3, 10}, {961, 8, 8, 4, 5, 34},
                            {2015, 6, 10, 3, 6, 70}, {2715, 4, 12, 1, 8, 126}};
// Inside characters (15 modules), t = odd count.
constexpr Group kInner[] = {{0, 5, 10, 2, 7, 4}, {336, 7, 8, 4, 5, 20}, {1036, 9, 6, 6, 3, 48}, {1516, 11, 4, 8, 1, 81}};
// Expanded characters (17 modules), t = even count.
constexpr Group kExpandedGroups[] = {{0, 12, 5, 7, 2, 4},      {348, 10, 7, 5, 4, 20}, {1388, 8, 9, 4, 5, 52},
                                     {2948, 6, 11, 3, 6, 104}, {3988, 4, 13, 1, 8, 204}};

constexpr int kFinder14[9][5] = {{3, 8, 2, 1, 1}, {3, 5, 5, 1, 1}, {3, 3, 7, 1, 1}, {3, 1, 9, 1, 1}, {2, 7, 4, 1, 1},
                                 {2, 5, 6, 1, 1}, {2, 3, 8, 1, 1}, {1, 5, 7, 1, 1}, {1, 3, 9, 1, 1}};
constexpr int kFinderExpanded[6][5] = {{1, 8, 4, 1, 1}, {3, 6, 4, 1, 1}, {3, 4, 6, 1, 1},
                                       {3, 2, 8, 1, 1}, {2, 6, 5, 1, 1}, {2, 2, 9, 1, 1}};
// Finder letters (A = 0 ... F = 5) for 2 to 11 finder patterns.
constexpr int kFinderSequences[10][11] = {
    {0, 0},
    {0, 1, 1},
    {0, 2, 1, 3},
    {0, 4, 1, 3, 2},
    {0, 4, 1, 3, 3, 5},
    {0, 4, 1, 3, 4, 5, 5},
    {0, 0, 1, 1, 2, 2, 3, 3},
    {0, 0, 1, 1, 2, 2, 3, 4, 4},
    {0, 0, 1, 1, 2, 2, 3, 4, 5, 5},
    {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5},
};

// Number of ways to spread n modules over 4 elements of 1..maxWidth; without
// noNarrow at least one of them is a single module.
int SpreadCount(int n, int maxWidth, bool noNarrow)
{
    int count = 0;
    for (int a = 1; a <= maxWidth; ++a)
        for (int b = 1; b <= maxWidth; ++b)
            for (int c = 1; c <= maxWidth; ++c) {
                const int d = n - a - b - c;
                if (d < 1 || d > maxWidth) continue;
                if (noNarrow || a == 1 || b == 1 || c == 1 || d == 1) ++count;
            }
    return count;
}

// The widths of every value of one side of each group, worked out once:
// ElementWidths walks combination counts element by element, far too slow
// to run for every character of every symbol.
struct SpreadTables {
    std::vector<std::array<std::uint8_t, 4>> odd[5], even[5];

    SpreadTables(const Group* groups, int groupCount, bool oddNoNarrow)
    {
        auto fill = [](std::vector<std::array<std::uint8_t, 4>>& t, int n, int maxWidth, bool noNarrow) {
            t.resize(size_t(SpreadCount(n, maxWidth, noNarrow)));
            for (size_t v = 0; v < t.size(); ++v) {
                const std::vector<int> w = ElementWidths(int(v), n, 4, maxWidth, noNarrow);
                for (int i = 0; i < 4; ++i) t[v][size_t(i)] = std::uint8_t(w[size_t(i)]);
            }
        };
        for (int g = 0; g < groupCount; ++g) {
            fill(odd[g], groups[g].oddModules, groups[g].oddWidest, oddNoNarrow);
            fill(even[g], groups[g].evenModules, groups[g].evenWidest, !oddNoNarrow);
        }
    }
};

// 8 element widths (odd, even, odd, ...) of one character.
void CharWidths(int value, const Group* groups, int groupCount, bool oddByDivision, bool oddNoNarrow,
                const SpreadTables& tables, int out[8])
{
    int g = groupCount - 1;
    while (g > 0 && value < groups[g].gsum) --g;
    const Group& gr = groups[g];
    const int v = value - gr.gsum;
    int vOdd, vEven;
    if (oddByDivision) {
        vOdd = v / gr.t;
        vEven = v % gr.t;
    } else {
        vOdd = v % gr.t;
        vEven = v / gr.t;
    }
    auto side = [](const std::vector<std::array<std::uint8_t, 4>>& t, int val, int n, int maxWidth, bool noNarrow,
                   int* dst) {
        if (val >= 0 && size_t(val) < t.size()) {
            for (int i = 0; i < 4; ++i) dst[2 * i] = t[size_t(val)][size_t(i)];
        } else {  // no value of the standard gets here
            const std::vector<int> w = ElementWidths(val, n, 4, maxWidth, noNarrow);
            for (int i = 0; i < 4; ++i) dst[2 * i] = w[size_t(i)];
        }
    };
    side(tables.odd[g], vOdd, gr.oddModules, gr.oddWidest, oddNoNarrow, out);
    side(tables.even[g], vEven, gr.evenModules, gr.evenWidest, !oddNoNarrow, out + 1);
}

const SpreadTables& OuterTables()
{
    static const SpreadTables t(kOuter, 5, true);
    return t;
}
const SpreadTables& InnerTables()
{
    static const SpreadTables t(kInner, 4, false);
    return t;
}
const SpreadTables& ExpandedTables()
{
    static const SpreadTables t(kExpandedGroups, 5, false);
    return t;
}

// Weights of the checksums: successive powers of 3 modulo m, as a table.
template <int Modulus, int Count>
constexpr std::array<int, Count> PowersOfThree()
{
    std::array<int, Count> w{};
    int v = 1;
    for (int i = 0; i < Count; ++i) {
        w[size_t(i)] = v;
        v = v * 3 % Modulus;
    }
    return w;
}
// 32 elements of the four characters of the 14-digit types; 8 elements of
// each of the 23 weight rows of Expanded.
constexpr std::array<int, 32> kWeights79 = PowersOfThree<79, 32>();
constexpr std::array<int, 184> kWeights211 = PowersOfThree<211, 184>();

// Separator of the stacked types under (or over) a bar row: the complement of
// the row, light at both ends; over the finder patterns no two dark modules
// stand side by side.
struct Span {
    int from, to;           // modules [from, to)
    bool backwards = false;  // the row is read right to left
};
void ComplementSeparatorInto(std::vector<std::uint8_t>& sep, const std::vector<std::uint8_t>& row, int contentWidth,
                             const Span* finders, size_t finderCount, int lead = 0)
{
    const int w = int(row.size());
    sep.assign(size_t(w), 0);
    const int end = std::min(w, contentWidth) - 4;
    for (int i = 4 + lead; i < end; ++i) sep[size_t(i)] = row[size_t(i)] ? 0 : 1;
    // The alternation runs in reading direction.
    for (size_t k = 0; k < finderCount; ++k) {
        const Span& f = finders[k];
        if (!f.backwards) {
            for (int i = std::max(f.from, 5); i < std::min(f.to, end); ++i)
                if (sep[size_t(i)] && sep[size_t(i - 1)]) sep[size_t(i)] = 0;
        } else {
            for (int i = std::min(f.to, end) - 1; i >= std::max(f.from, 4); --i)
                if (i + 1 < w && sep[size_t(i)] && sep[size_t(i + 1)]) sep[size_t(i)] = 0;
        }
    }
}
std::vector<std::uint8_t> ComplementSeparator(const std::vector<std::uint8_t>& row, int contentWidth,
                                              const Span* finders, size_t finderCount, int lead = 0)
{
    std::vector<std::uint8_t> sep;
    ComplementSeparatorInto(sep, row, contentWidth, finders, finderCount, lead);
    return sep;
}

void AlternatingSeparatorInto(std::vector<std::uint8_t>& sep, int width)
{
    sep.assign(size_t(width), 0);
    for (int i = 5; i < width - 4; i += 2) sep[size_t(i)] = 1;
}
std::vector<std::uint8_t> AlternatingSeparator(int width)
{
    std::vector<std::uint8_t> sep;
    AlternatingSeparatorInto(sep, width);
    return sep;
}

// Makes out hold count rows, keeping the rows (and their buffers) it has:
// a pattern filled again and again allocates nothing after the first time.
void UseRows(Pattern& out, size_t count)
{
    out.rows.resize(count);
    for (Row& r : out.rows) {
        r.modules.clear();
        r.separator = false;
    }
}

}  // namespace

std::vector<int> ElementWidths(int val, int n, int elements, int maxWidth, bool noNarrow)
{
    std::vector<int> widths(size_t(elements), 0);
    int narrowMask = 0;
    for (int bar = 0; bar < elements - 1; ++bar) {
        int elmWidth = 1;
        long long subVal = 0;
        narrowMask |= 1 << bar;
        for (;;) {
            subVal = Combins(n - elmWidth - 1, elements - bar - 2);
            if (!noNarrow && !narrowMask && n - elmWidth - (elements - bar - 1) >= elements - bar - 1)
                subVal -= Combins(n - elmWidth - (elements - bar), elements - bar - 2);
            if (elements - bar - 1 > 1) {
                long long lessVal = 0;
                for (int mxw = n - elmWidth - (elements - bar - 2); mxw > maxWidth; --mxw)
                    lessVal += Combins(n - elmWidth - mxw - 1, elements - bar - 3);
                subVal -= lessVal * (elements - 1 - bar);
            } else if (n - elmWidth > maxWidth) {
                --subVal;
            }
            val -= int(subVal);
            if (val < 0 || elmWidth >= n) break;
            ++elmWidth;
            narrowMask &= ~(1 << bar);
        }
        val += int(subVal);
        n -= elmWidth;
        widths[size_t(bar)] = elmWidth;
    }
    widths[size_t(elements - 1)] = n;
    return widths;
}

std::vector<std::uint8_t> ElementsToModules(const std::vector<int>& widths, bool firstDark)
{
    std::vector<std::uint8_t> m;
    bool dark = firstDark;
    for (int w : widths) {
        m.insert(m.end(), size_t(std::max(w, 0)), dark ? 1 : 0);
        dark = !dark;
    }
    return m;
}

namespace {

// Appends the modules of n elements (alternating, the first dark when
// firstDark) to m in one step: each element is written as 8-byte stores into
// a buffer on the stack (elements are short; the next one overwrites the
// overshoot), which is then appended as a whole.
void PutElements(std::vector<std::uint8_t>& m, const int* widths, int n, bool firstDark)
{
    std::uint8_t buffer[1024 + 8];
    size_t total = 0;
    for (int i = 0; i < n; ++i) total += size_t(std::max(widths[i], 0));
    if (total > 1024) {  // no row of the standard is this long
        bool dark = firstDark;
        for (int i = 0; i < n; ++i, dark = !dark) m.insert(m.end(), size_t(std::max(widths[i], 0)), dark ? 1 : 0);
        return;
    }
    std::uint8_t* p = buffer;
    bool dark = firstDark;
    for (int i = 0; i < n; ++i) {
        const std::uint64_t fill = dark ? 0x0101010101010101ull : 0;
        const int w = std::max(widths[i], 0);
        for (int k = 0; k < w; k += 8) std::memcpy(p + k, &fill, 8);
        p += w;
        dark = !dark;
    }
    m.insert(m.end(), buffer, buffer + total);
}

}  // namespace

bool EncodeItemPattern(Type type, std::string_view digits, Pattern& out)
{
    out.width = 0;
    if (digits.size() != 13) {
        out.rows.clear();
        return false;
    }
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            out.rows.clear();
            return false;
        }
        value = value * 10 + (c - '0');
    }
    if (type == kLimited) {
        UseRows(out, 1);
        if (!EncodeLimitedRow(digits, out.rows[0].modules)) {
            out.rows.clear();
            return false;
        }
        out.width = int(out.rows[0].modules.size());
        return true;
    }

    const long long left = value / 4537077, right = value % 4537077;
    const int data[4] = {int(left / 1597), int(left % 1597), int(right / 1597), int(right % 1597)};
    int w[4][8];
    CharWidths(data[0], kOuter, 5, true, true, OuterTables(), w[0]);
    CharWidths(data[1], kInner, 4, false, false, InnerTables(), w[1]);
    CharWidths(data[2], kOuter, 5, true, true, OuterTables(), w[2]);
    CharWidths(data[3], kInner, 4, false, false, InnerTables(), w[3]);

    int checksum = 0;
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 8; ++i) checksum += w[c][i] * kWeights79[size_t(8 * c + i)];
    checksum %= 79;
    if (checksum >= 8) ++checksum;
    if (checksum >= 72) ++checksum;
    const int* leftFinder = kFinder14[checksum / 9];
    const int* rightFinder = kFinder14[checksum % 9];

    // The linear element sequence: guard, 1, left finder, 2 reversed, 4,
    // right finder reversed, 3 reversed, guard (46 elements).
    int e[46];
    int n = 0;
    auto put = [&](const int* src, int count, bool reversed) {
        for (int i = 0; i < count; ++i) e[n++] = src[reversed ? count - 1 - i : i];
    };
    static const int kGuard[2] = {1, 1};
    put(kGuard, 2, false);
    put(w[0], 8, false);
    put(leftFinder, 5, false);
    put(w[1], 8, true);
    put(w[3], 8, false);
    put(rightFinder, 5, true);
    put(w[2], 8, true);
    put(kGuard, 2, false);

    if (type == kOmni || type == kTruncated) {
        UseRows(out, 1);
        out.rows[0].modules.reserve(96);
        PutElements(out.rows[0].modules, e, n, false);
        out.width = int(out.rows[0].modules.size());
        return true;
    }
    // Two rows of 50 modules: guard + first half + guard over guard + second half.
    const size_t rowCount = type == kStacked ? 3 : 5;
    UseRows(out, rowCount);
    std::vector<std::uint8_t>& topRow = out.rows[0].modules;
    std::vector<std::uint8_t>& bottomRow = out.rows[rowCount - 1].modules;
    topRow.reserve(50);
    bottomRow.reserve(50);
    PutElements(topRow, e, 23, false);  // ends light
    PutElements(topRow, kGuard, 2, true);
    PutElements(bottomRow, kGuard, 2, true);
    PutElements(bottomRow, e + 23, n - 23, true);
    const int width = int(topRow.size());
    out.width = width;
    for (size_t r = 1; r + 1 < rowCount; ++r) out.rows[r].separator = true;
    if (type == kStacked) {
        // Complement of the rows where they agree, alternating where they
        // differ; the run starts at the symbol's edge, whose first four
        // modules are then left light.
        std::vector<std::uint8_t>& sep = out.rows[1].modules;
        sep.assign(size_t(width), 0);
        unsigned prev = 1;
        for (int i = 0; i < width - 4; ++i) {
            const unsigned top = topRow[size_t(i)] ? 1u : 0u, bottom = bottomRow[size_t(i)] ? 1u : 0u;
            prev = top == bottom ? top ^ 1u : prev ^ 1u;
            sep[size_t(i)] = std::uint8_t(i < 4 ? 0u : prev);
        }
    } else {
        const Span upperFinder{18, 33}, lowerFinder{17, 32, true};
        ComplementSeparatorInto(out.rows[1].modules, topRow, width, &upperFinder, 1);
        AlternatingSeparatorInto(out.rows[2].modules, width);
        ComplementSeparatorInto(out.rows[3].modules, bottomRow, width, &lowerFinder, 1);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Expanded

namespace {

// Application identifiers whose data has a predefined length (characters of
// AI and data); no FNC1 follows them.
int PredefinedLength(std::string_view ai)
{
    static const struct {
        const char* prefix;
        int length;
    } table[] = {{"00", 20}, {"01", 16}, {"02", 16}, {"03", 16}, {"04", 18}, {"11", 8}, {"12", 8}, {"13", 8},
                 {"14", 8},  {"15", 8},  {"16", 8},  {"17", 8},  {"18", 8},  {"19", 8}, {"20", 4}, {"31", 10},
                 {"32", 10}, {"33", 10}, {"34", 10}, {"35", 10}, {"36", 10}, {"41", 16}};
    if (ai.size() < 2) return 0;
    for (const auto& t : table)
        if (ai.substr(0, 2) == t.prefix) return t.length;
    return 0;
}

struct ElementString {
    std::vector<std::pair<std::string, std::string>> fields;  // AI, data
};

bool ParseElementString(std::string_view s, ElementString& out)
{
    out.fields.reserve(8);
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != '(') return false;
        const size_t close = s.find(')', i);
        if (close == std::string_view::npos) return false;
        std::string ai(s.substr(i + 1, close - i - 1));
        if (ai.size() < 2 || ai.size() > 4) return false;
        for (char c : ai)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        size_t next = s.find('(', close + 1);
        if (next == std::string_view::npos) next = s.size();
        std::string data(s.substr(close + 1, next - close - 1));
        if (data.empty()) return false;
        out.fields.emplace_back(std::move(ai), std::move(data));
        i = next;
    }
    return !out.fields.empty();
}

// Characters of ISO/IEC 646 that the general-purpose field can carry in its
// ISO mode, with their 8-bit values (the letters and digits come first).
int IsoPunctuationValue(char c)
{
    static const char punct[] = "!\"%&'()*+,-./:;<=>?_ ";
    for (int i = 0; punct[i]; ++i)
        if (punct[i] == c) return 232 + i;
    return -1;
}

bool IsoEncodable(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           IsoPunctuationValue(c) >= 0;
}

bool AlphaEncodable(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'Z') || c == '*' || c == ',' ||
           c == '-' || c == '.' || c == '/';
}

void PutBits(std::string& bits, int value, int count)
{
    for (int i = count - 1; i >= 0; --i) bits.push_back(((value >> i) & 1) ? '1' : '0');
}

constexpr char kFnc1 = '\x1d';

// General-purpose compaction of the remaining data (FNC1 as kFnc1). Returns
// the mode left in force (0 numeric, 1 alphanumeric, 2 ISO/IEC 646).
int GeneralPurpose(const std::string& data, std::string& bits, bool& trailingDigit)
{
    enum { kNumeric, kAlpha, kIso };
    int mode = kNumeric;
    trailingDigit = false;
    size_t i = 0;
    auto isDigitOrFnc = [&](size_t k) {
        return k < data.size() && (std::isdigit(static_cast<unsigned char>(data[k])) || data[k] == kFnc1);
    };
    auto digitRun = [&](size_t k) {
        size_t n = 0;
        while (isDigitOrFnc(k + n)) ++n;
        return n;
    };
    while (i < data.size()) {
        const char c = data[i];
        switch (mode) {
        case kNumeric:
            if (isDigitOrFnc(i) && isDigitOrFnc(i + 1) && !(data[i] == kFnc1 && data[i + 1] == kFnc1)) {
                const int d1 = data[i] == kFnc1 ? 10 : data[i] - '0';
                const int d2 = data[i + 1] == kFnc1 ? 10 : data[i + 1] - '0';
                PutBits(bits, 11 * d1 + d2 + 8, 7);
                i += 2;
            } else if (i + 1 == data.size() && std::isdigit(static_cast<unsigned char>(c))) {
                trailingDigit = true;  // settled once the symbol size is known
                return kNumeric;
            } else {
                PutBits(bits, 0, 4);  // latch to alphanumeric
                mode = kAlpha;
            }
            break;
        case kAlpha:
            if (digitRun(i) >= 6 || (digitRun(i) >= 4 && i + digitRun(i) == data.size())) {
                PutBits(bits, 0, 3);  // latch to numeric
                mode = kNumeric;
            } else if (c == kFnc1) {
                PutBits(bits, 15, 5);
                ++i;
                mode = kNumeric;  // FNC1 returns to numeric
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                PutBits(bits, c - '0' + 5, 5);
                ++i;
            } else if (c >= 'A' && c <= 'Z') {
                PutBits(bits, c - 'A' + 32, 6);
                ++i;
            } else if (AlphaEncodable(c)) {
                PutBits(bits, c == '*' ? 58 : c == ',' ? 59 : c == '-' ? 60 : c == '.' ? 61 : 62, 6);
                ++i;
            } else {
                PutBits(bits, 4, 5);  // latch to ISO/IEC 646
                mode = kIso;
            }
            break;
        default:
            if (digitRun(i) >= 4) {
                PutBits(bits, 0, 3);
                mode = kNumeric;
            } else if (c == kFnc1) {
                PutBits(bits, 15, 5);
                ++i;
                mode = kNumeric;
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                PutBits(bits, c - '0' + 5, 5);
                ++i;
            } else if (c >= 'A' && c <= 'Z') {
                PutBits(bits, c - 'A' + 64, 7);
                ++i;
            } else if (c >= 'a' && c <= 'z') {
                PutBits(bits, c - 'a' + 90, 7);
                ++i;
            } else {
                // Back to alphanumeric when a run of its characters follows.
                size_t run = 0;
                while (i + run < data.size() && AlphaEncodable(data[i + run]) &&
                       !(data[i + run] >= 'a' && data[i + run] <= 'z'))
                    ++run;
                if (run >= 5 || (run > 0 && i + run == data.size() && run >= 3)) {
                    PutBits(bits, 4, 5);
                    mode = kAlpha;
                } else {
                    PutBits(bits, IsoPunctuationValue(c), 8);
                    ++i;
                }
            }
            break;
        }
    }
    return mode;
}

int ParseDigits(const std::string& s, size_t from, size_t count)
{
    int v = 0;
    for (size_t i = from; i < from + count; ++i) v = v * 10 + (s[i] - '0');
    return v;
}

}  // namespace

ExpandedError ExpandedBits(std::string_view elementString, int segmentsPerRow, std::string& bits)
{
    bits.clear();
    bits.reserve(22 * 12);
    ElementString es;
    if (!ParseElementString(elementString, es)) return ExpandedError::kSyntax;
    for (const auto& f : es.fields)
        for (char c : f.second)
            if (!IsoEncodable(c)) return ExpandedError::kSyntax;

    // The concatenated data with FNC1 after every field of variable length.
    auto joinFrom = [&](size_t first, bool skipFirstAi) {
        std::string s;
        for (size_t k = first; k < es.fields.size(); ++k) {
            const auto& [ai, data] = es.fields[k];
            if (!(skipFirstAi && k == first)) s += ai;
            s += data;
            if (k + 1 < es.fields.size() && PredefinedLength(ai) == 0) s += kFnc1;
        }
        return s;
    };

    const auto& first = es.fields[0];
    const bool gtinFirst = first.first == "01" && first.second.size() == 14 &&
                           std::all_of(first.second.begin(), first.second.end(),
                                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    std::string rest;
    bits = "0";  // no composite linkage
    // Compressed forms of (01) with indicator 9 followed by a weight (and a
    // date) or by a price.
    auto allDigits = [](const std::string& d) {
        return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    auto putGtin = [&]() {
        for (int k = 0; k < 4; ++k) PutBits(bits, ParseDigits(first.second, size_t(1 + 3 * k), 3), 10);
    };
    int method = 0;
    if (gtinFirst && first.second[0] == '9' && (es.fields.size() == 2 || es.fields.size() == 3)) {
        const auto& [ai, data] = es.fields[1];
        const bool weightAi = ai.size() == 4 && (ai.compare(0, 3, "310") == 0 || ai.compare(0, 3, "320") == 0) &&
                              data.size() == 6 && allDigits(data);
        const int weight = weightAi ? ParseDigits(data, 0, 6) : 0;
        int dateIndex = -1;
        if (es.fields.size() == 3) {
            const auto& [dai, ddata] = es.fields[2];
            static const char* const dateAis[] = {"11", "13", "15", "17"};
            for (int k = 0; k < 4; ++k)
                if (dai == dateAis[k] && ddata.size() == 6 && allDigits(ddata)) dateIndex = k;
        }
        if (es.fields.size() == 2 && ai == "3103" && weightAi && weight <= 32767) {
            method = 3;
            bits += "0100";
            putGtin();
            PutBits(bits, weight, 15);
        } else if (es.fields.size() == 2 && weightAi && (ai == "3202" || ai == "3203") &&
                   weight <= (ai == "3202" ? 9999 : 22767)) {
            method = 4;
            bits += "0101";
            putGtin();
            PutBits(bits, weight + (ai == "3203" ? 10000 : 0), 15);
        } else if (weightAi && weight <= 99999 && (es.fields.size() == 2 || dateIndex >= 0)) {
            method = 7;
            const bool pounds = ai[1] == '2';
            bits += "0111";
            PutBits(bits, 2 * std::max(dateIndex, 0) + (pounds ? 1 : 0), 3);
            putGtin();
            PutBits(bits, (ai[3] - '0') * 100000 + weight, 20);
            if (dateIndex >= 0) {
                const std::string& d = es.fields[2].second;
                PutBits(bits, ParseDigits(d, 0, 2) * 384 + (ParseDigits(d, 2, 2) - 1) * 32 + ParseDigits(d, 4, 2), 16);
            } else {
                PutBits(bits, 38400, 16);
            }
        } else if (es.fields.size() == 2 && ai.size() == 4 && (ai.compare(0, 3, "392") == 0) && ai[3] <= '3' &&
                   allDigits(data)) {
            method = 5;
            bits += "01100";
            bits += "00";
            putGtin();
            PutBits(bits, ai[3] - '0', 2);
            rest = data;
        } else if (es.fields.size() == 2 && ai.size() == 4 && (ai.compare(0, 3, "393") == 0) && ai[3] <= '3' &&
                   data.size() > 3 && allDigits(data)) {
            method = 6;
            bits += "01101";
            bits += "00";
            putGtin();
            PutBits(bits, ai[3] - '0', 2);
            PutBits(bits, ParseDigits(data, 0, 3), 10);
            rest = data.substr(3);
        }
    }
    const bool variableLength = !(method == 3 || method == 4 || method == 7);
    if (method == 0) {
        if (gtinFirst) {
            bits += "1";
            bits += "00";  // variable-length field, filled in below
            PutBits(bits, first.second[0] - '0', 4);
            for (int k = 0; k < 4; ++k) PutBits(bits, ParseDigits(first.second, size_t(1 + 3 * k), 3), 10);
            rest = joinFrom(1, false);
        } else {
            bits += "00";
            bits += "00";
            rest = joinFrom(0, false);
        }
    }
    const size_t vlfPos = method == 5 || method == 6 ? 6 : bits[1] == '1' ? 2 : 3;

    bool trailingDigit = false;
    int mode = 0;
    if (!rest.empty()) mode = GeneralPurpose(rest, bits, trailingDigit);

    // Symbol size: 12 bits per data character, at least 3 data characters; in
    // the stacked form the last row must not hold a single character.
    auto charsFor = [&](size_t nbits) {
        int chars = int((nbits + 11) / 12);
        chars = std::max(chars, 3);
        if (segmentsPerRow >= 2 && (chars + 1) % segmentsPerRow == 1) ++chars;
        return chars;
    };
    if (trailingDigit) {
        const int d = rest.back() - '0';
        const int chars = charsFor(bits.size() + 4);
        const size_t room = size_t(chars) * 12 - bits.size();
        if (room >= 4 && room <= 6)
            PutBits(bits, d + 1, 4);  // a lone final digit in 4 bits
        else
            PutBits(bits, 11 * d + 10 + 8, 7);  // digit followed by FNC1
        mode = 0;
    }
    const int chars = charsFor(bits.size());
    if (chars > 21) return ExpandedError::kTooLong;
    const size_t total = size_t(chars) * 12;
    if (bits.size() < total) {
        if (mode == 0) {
            const size_t n = std::min<size_t>(4, total - bits.size());
            bits.append(n, '0');
        }
        while (bits.size() < total) {
            static const char pad[] = "00100";
            for (int k = 0; k < 5 && bits.size() < total; ++k) bits.push_back(pad[k]);
        }
    }
    if (variableLength) {
        bits[vlfPos] = ((chars + 1) % 2) ? '1' : '0';
        bits[vlfPos + 1] = (chars + 1) > 14 ? '1' : '0';
    }
    return ExpandedError::kNone;
}

ExpandedError EncodeExpandedPattern(std::string_view elementString, bool stacked, int segmentsPerRow, Pattern& out)
{
    out.width = 0;
    if (!stacked) segmentsPerRow = 0;
    if (stacked) segmentsPerRow = std::clamp(segmentsPerRow & ~1, 2, 22);
    std::string bits;
    const ExpandedError err = ExpandedBits(elementString, segmentsPerRow, bits);
    if (err != ExpandedError::kNone) {
        out.rows.clear();
        return err;
    }

    const int dataChars = int(bits.size() / 12);
    const int symbolChars = dataChars + 1;  // at most 22
    std::array<std::array<int, 8>, 22> widths;
    for (int k = 0; k < dataChars; ++k) {
        int v = 0;
        for (int b = 0; b < 12; ++b) v = v * 2 + (bits[size_t(12 * k + b)] - '0');
        CharWidths(v, kExpandedGroups, 5, true, false, ExpandedTables(), widths[size_t(k + 1)].data());
    }
    const int finders = (symbolChars + 1) / 2;
    const int* seq = kFinderSequences[finders - 2];
    // Checksum over the data characters; each one's weights depend on the
    // finder next to it and on the side it stands.
    int checksum = 0;
    for (int k = 1; k < symbolChars; ++k) {
        const int pair = k / 2;
        const int row = 4 * seq[pair] + 2 * (pair % 2) + (k % 2) - 1;
        for (int i = 0; i < 8; ++i) checksum += widths[size_t(k)][size_t(i)] * kWeights211[size_t(8 * row + i)];
    }
    checksum = checksum % 211 + 211 * (symbolChars - 4);
    CharWidths(checksum, kExpandedGroups, 5, true, false, ExpandedTables(), widths[0].data());

    // Element runs of each pair: left character, finder, right character
    // (reversed); finders of odd pairs are reversed. One run per symbol
    // character, the finder with the left one.
    struct Seg {
        int n = 0;
        int w[13];
        const int* begin() const { return w; }
        const int* end() const { return w + n; }
    };
    std::array<Seg, 22> segs;
    for (int k = 0; k < symbolChars; ++k) {
        Seg& sg = segs[size_t(k)];
        const int pair = k / 2;
        const int* f = kFinderExpanded[seq[pair]];
        if (k % 2 == 0) {
            for (int i = 0; i < 8; ++i) sg.w[sg.n++] = widths[size_t(k)][size_t(i)];
            for (int i = 0; i < 5; ++i) sg.w[sg.n++] = pair % 2 == 0 ? f[i] : f[4 - i];
        } else {
            for (int i = 0; i < 8; ++i) sg.w[sg.n++] = widths[size_t(k)][size_t(7 - i)];
        }
    }

    if (!stacked || segmentsPerRow >= symbolChars) {
        int e[2 + 22 * 13 + 2];
        int n = 0;
        e[n++] = 1;
        e[n++] = 1;
        for (int k = 0; k < symbolChars; ++k)
            for (int w : segs[size_t(k)]) e[n++] = w;
        e[n++] = 1;
        e[n++] = 1;
        UseRows(out, 1);
        PutElements(out.rows[0].modules, e, n, false);
        out.width = int(out.rows[0].modules.size());
        return ExpandedError::kNone;
    }

    // Stacked: rows of segmentsPerRow characters. Rows are read left to
    // right, except that with an even number of pairs per row the rows of even
    // number run right to left (their first pair is an even one again); a
    // last such row holding an odd number of pairs stays left to right behind
    // one more light module. Every element keeps the colour it has in the
    // single-row symbol, so the finders tell the reading direction.
    const int pairsPerRow = segmentsPerRow / 2;
    const int rowsCount = (symbolChars + segmentsPerRow - 1) / segmentsPerRow;  // at most 11
    std::vector<std::vector<std::uint8_t>> rows(static_cast<size_t>(rowsCount));
    Span finderSpans[11][11];
    int finderCounts[11], contentWidths[11], leads[11];
    int width = 0;
    for (int r = 0; r < rowsCount; ++r) {
        const int from = r * segmentsPerRow;
        const int to = std::min(symbolChars, from + segmentsPerRow);
        const bool firstDark = (from / 2) % 2 == 1;
        // Reading order: guard, the characters, guard; finder spans in elements.
        int run[2 + 22 * 13 + 2];
        int n = 0;
        std::pair<int, int> finderElems[11];
        int finderCount = 0;
        run[n++] = 1;
        run[n++] = 1;
        for (int k = from; k < to; ++k) {
            if (k % 2 == 0) finderElems[finderCount++] = {n + 8, n + 13};
            for (int w : segs[size_t(k)]) run[n++] = w;
        }
        run[n++] = 1;
        run[n++] = 1;
        const bool evenRow = r % 2 == 1;
        const int pairsHere = (to - from + 1) / 2;
        bool reverse = evenRow && pairsPerRow % 2 == 0;
        int lead = 0;
        if (reverse && r == rowsCount - 1 && pairsHere % 2 == 1) {
            reverse = false;
            lead = 1;
        }
        // Module offset of every element on paper.
        int start[2 + 22 * 13 + 2];
        std::vector<std::uint8_t>& m = rows[size_t(r)];
        m.assign(size_t(lead), 0);
        if (!reverse) {
            for (int i = 0, x = lead; i < n; x += run[i], ++i) start[i] = x;
            PutElements(m, run, n, firstDark);
        } else {
            int rev[2 + 22 * 13 + 2];
            for (int i = 0; i < n; ++i) rev[i] = run[n - 1 - i];
            const bool lastDark = firstDark != ((n - 1) % 2 == 1);
            PutElements(m, rev, n, lastDark);
            for (int i = n - 1, x = 0; i >= 0; x += run[i], --i) start[i] = x;
        }
        for (int k = 0; k < finderCount; ++k) {
            const auto [a, b] = finderElems[k];
            finderSpans[r][k] = reverse ? Span{start[b - 1], start[a] + run[a], true}
                                        : Span{start[a], start[b - 1] + run[b - 1]};
        }
        finderCounts[r] = finderCount;
        width = std::max(width, int(m.size()));
        contentWidths[r] = int(m.size());
        leads[r] = lead;
    }
    for (auto& m : rows) m.resize(size_t(width), 0);
    out.width = width;
    out.rows.clear();
    out.rows.reserve(size_t(4 * rowsCount - 3));
    for (int r = 0; r < rowsCount; ++r) {
        if (r > 0) {
            out.rows.push_back({ComplementSeparator(rows[size_t(r - 1)], contentWidths[r - 1], finderSpans[r - 1],
                                                    size_t(finderCounts[r - 1]), leads[r - 1]),
                                true});
            out.rows.push_back({AlternatingSeparator(width), true});
            out.rows.push_back({ComplementSeparator(rows[size_t(r)], contentWidths[r], finderSpans[r],
                                                    size_t(finderCounts[r]), leads[r]),
                                true});
        }
        out.rows.push_back({rows[size_t(r)], false});  // a copy: the next separator reads it
    }
    return ExpandedError::kNone;
}

}  // namespace databar
