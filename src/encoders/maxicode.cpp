#include "encoders/maxicode.h"

#include <algorithm>

namespace maxicode {
namespace {

enum Set { kA, kB, kC, kD, kE };

// Code set and value of every byte value, in the set where it lives; FS, GS,
// RS, space, ",", ".", "/" and ":" live in set B as well (kAlsoInB).
struct Home {
    std::uint8_t set;
    std::uint8_t value;
};
struct Codes {
    Home home[256];
    Codes()
    {
        for (auto& h : home) h = {kE, 0};
        auto put = [this](int byte, Set s, int value) { home[byte] = {std::uint8_t(s), std::uint8_t(value)}; };
        // Set A: CR, A-Z, FS GS RS, space, '"' to ':'.
        put(13, kA, 0);
        for (int c = 'A'; c <= 'Z'; ++c) put(c, kA, c - 'A' + 1);
        for (int c = 28; c <= 30; ++c) put(c, kA, c);
        put(' ', kA, 32);
        for (int c = '"'; c <= ':'; ++c) put(c, kA, c);
        // Set B: '`', a-z, punctuation.
        put('`', kB, 0);
        for (int c = 'a'; c <= 'z'; ++c) put(c, kB, c - 'a' + 1);
        const char* b37 = ";<=>?[\\]^_";
        for (int i = 0; b37[i]; ++i) put(std::uint8_t(b37[i]), kB, 37 + i);
        put('{', kB, 32);
        put('}', kB, 34);
        put('~', kB, 35);
        put(127, kB, 36);
        put('@', kB, 52);
        put('!', kB, 53);
        put('|', kB, 54);
        // Sets C and D: accented capitals and small letters, then symbols.
        for (int c = 192; c <= 218; ++c) put(c, kC, c - 192);
        for (int c = 219; c <= 223; ++c) put(c, kC, c - 219 + 32);
        for (int c = 224; c <= 250; ++c) put(c, kD, c - 224);
        for (int c = 251; c <= 255; ++c) put(c, kD, c - 251 + 32);
        const int c37[] = {170, 172, 177, 178, 179, 181, 185, 186, 188, 189, 190};
        for (int i = 0; i < 11; ++i) put(c37[i], kC, 37 + i);
        for (int c = 128; c <= 137; ++c) put(c, kC, 48 + c - 128);
        const int d37[] = {161, 168, 171, 175, 176, 180, 183, 184, 187, 191};
        for (int i = 0; i < 10; ++i) put(d37[i], kD, 37 + i);
        for (int c = 138; c <= 148; ++c) put(c, kD, 47 + c - 138);
        // Set E: control characters and the rest of the upper half.
        for (int c = 0; c <= 26; ++c)
            if (c != 13) put(c, kE, c);
        put(27, kE, 30);
        put(31, kE, 35);
        const int e36[] = {159, 160, 162, 163, 164, 165, 166, 167, 169, 173, 174, 182};
        for (int i = 0; i < 12; ++i) put(e36[i], kE, 36 + i);
        for (int c = 149; c <= 158; ++c) put(c, kE, 48 + c - 149);
    }
};
const Codes& CodeTable()
{
    static const Codes codes;
    return codes;
}

// Set B value of a character of set A that set B holds too, or -1.
int AlsoInB(std::uint8_t c)
{
    switch (c) {
    case 28: case 29: case 30: return c;
    case ' ': return 47;
    case ',': return 48;
    case '.': return 49;
    case '/': return 50;
    case ':': return 51;
    default: return -1;
    }
}

constexpr int kShiftB = 59, kShiftA = 59, kLatchB = 63, kLatchA = 63, kNumericShift = 31, kPad = 33;
constexpr int kShiftC = 60;  // 61 D, 62 E, from either A or B
constexpr int kLockedLatchA = 58, kLockedLatchB = 63;  // out of a locked C, D or E

size_t DigitRun(const std::uint8_t* d, size_t n, size_t p)
{
    size_t q = p;
    while (q < n && d[q] >= '0' && d[q] <= '9') ++q;
    return q - p;
}

bool InSet(std::uint8_t c, int set)
{
    const Home h = CodeTable().home[c];
    return h.set == set || (set == kB && AlsoInB(c) >= 0);
}

// GF(64) with x^6 + x + 1.
struct Field {
    int exp[126];
    int log[64];
    Field()
    {
        int v = 1;
        for (int i = 0; i < 63; ++i) {
            exp[i] = exp[i + 63] = v;
            log[v] = i;
            v <<= 1;
            if (v & 64) v ^= 0x43;
        }
        log[0] = -1;
    }
    int Mul(int a, int b) const { return (a && b) ? exp[log[a] + log[b]] : 0; }
};
const Field& Gf()
{
    static const Field f;
    return f;
}

// Bit positions (1-60, 1 the most significant bit of codeword 1) of the
// fields of the structured primary message, most significant first.
constexpr int kPostalBits[36] = {39, 40, 41, 42, 31, 32, 33, 34, 35, 36, 25, 26, 27, 28, 29, 30, 19, 20,
                                 21, 22, 23, 24, 13, 14, 15, 16, 17, 18, 7,  8,  9,  10, 11, 12, 1,  2};
constexpr int kCountryBits[10] = {53, 54, 43, 44, 45, 46, 47, 48, 37, 38};
constexpr int kClassBits[10] = {55, 56, 57, 58, 59, 60, 49, 50, 51, 52};

void PutBits(std::uint8_t* cw, const int* positions, int count, unsigned long long value)
{
    for (int i = 0; i < count; ++i) {
        const int b = positions[i] - 1;
        if ((value >> (count - 1 - i)) & 1) cw[b / 6] |= std::uint8_t(1 << (5 - b % 6));
    }
}

bool AllDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int SmallNumber(const std::string& s) { return AllDigits(s) && s.size() <= 3 ? std::stoi(s) : -1; }

}  // namespace

std::vector<int> EncodeText(const std::uint8_t* d, size_t n)
{
    const Codes& codes = CodeTable();
    std::vector<int> out;
    int set = kA;
    for (size_t i = 0; i < n;) {
        // Nine digits or more: numeric shift, nine digits in five codewords.
        if (DigitRun(d, n, i) >= 9) {
            long v = 0;
            for (int k = 0; k < 9; ++k) v = v * 10 + (d[i + size_t(k)] - '0');
            out.push_back(kNumericShift);
            for (int k = 4; k >= 0; --k) out.push_back(int((v >> (6 * k)) & 63));
            i += 9;
            continue;
        }
        const std::uint8_t c = d[i];
        const Home h = codes.home[c];
        if (InSet(c, set)) {
            out.push_back(set == kB && h.set != kB ? AlsoInB(c) : h.value);
            ++i;
            continue;
        }
        if (h.set == kA || h.set == kB) {
            // Into the other of A and B: latch when the next character needs
            // it too, shift for one.
            const int other = h.set;
            const bool nextToo = i + 1 < n && InSet(d[i + 1], other) && !InSet(d[i + 1], set);
            if (nextToo) {
                out.push_back(set == kA ? kLatchB : kLatchA);
                set = other;
            } else {
                out.push_back(set == kA ? kShiftB : kShiftA);
            }
            out.push_back(h.value);
            ++i;
            continue;
        }
        // Sets C, D and E: a run of four or more is locked in (the shift
        // twice) and left with a latch back to A or B; shorter runs are
        // shifted a character at a time.
        size_t run = 0;
        while (i + run < n && codes.home[d[i + run]].set == h.set && DigitRun(d, n, i + run) < 9) ++run;
        if (run >= 4) {
            out.push_back(kShiftC + (h.set - kC));
            out.push_back(kShiftC + (h.set - kC));
            for (size_t k = 0; k < run; ++k) out.push_back(codes.home[d[i + k]].value);
            i += run;
            // Back to B when what follows needs B, else to A (also before
            // the padding, which set C, D and E do not have).
            const bool toB = i < n && InSet(d[i], kB) && !InSet(d[i], kA);
            out.push_back(toB ? kLockedLatchB : kLockedLatchA);
            set = toB ? kB : kA;
            continue;
        }
        out.push_back(kShiftC + (h.set - kC));
        out.push_back(h.value);
        ++i;
    }
    return out;
}

std::vector<int> ErrorCorrection(const std::vector<int>& data, int ecCount)
{
    const Field& f = Gf();
    // Generator prod (x - a^i), i = 1..ecCount, as logarithms of its
    // coefficients below the leading one, highest first; the three sizes the
    // symbol uses are made once.
    struct Generator {
        std::vector<int> logs;
        explicit Generator(int n, const Field& f)
        {
            std::vector<int> gen = {1};
            for (int i = 1; i <= n; ++i) {
                std::vector<int> next(gen.size() + 1, 0);
                for (size_t k = 0; k < gen.size(); ++k) {
                    next[k] ^= gen[k];
                    next[k + 1] ^= f.Mul(gen[k], f.exp[i]);
                }
                gen.swap(next);
            }
            for (size_t k = 1; k < gen.size(); ++k) logs.push_back(gen[k] ? f.log[gen[k]] : -1);
        }
    };
    static const Generator g10(10, f), g20(20, f), g28(28, f);
    const bool usual = ecCount == 10 || ecCount == 20 || ecCount == 28;
    const Generator other = usual ? Generator(0, f) : Generator(ecCount, f);
    const std::vector<int>& logs = ecCount == 10 ? g10.logs : ecCount == 20 ? g20.logs : ecCount == 28 ? g28.logs
                                                                                                        : other.logs;
    std::vector<int> rem(size_t(ecCount), 0);
    for (int d : data) {
        const int factor = d ^ rem[0];
        for (int k = 0; k + 1 < ecCount; ++k) rem[size_t(k)] = rem[size_t(k + 1)];
        rem[size_t(ecCount - 1)] = 0;
        if (!factor) continue;
        const int lf = f.log[factor];
        // exp holds two periods: the sum of two logarithms needs no reduction.
        for (int k = 0; k < ecCount; ++k)
            if (logs[size_t(k)] >= 0) rem[size_t(k)] ^= f.exp[logs[size_t(k)] + lf];
    }
    return rem;
}

bool ParseCarrierMessage(const std::uint8_t* data, size_t length, CarrierMessage& out)
{
    const std::string s(reinterpret_cast<const char*>(data), length);
    static const std::string kHeader = "[)>\x1E" "01\x1D" "96";
    size_t p = 0;
    const bool header = s.compare(0, kHeader.size(), kHeader) == 0;
    if (header) p = kHeader.size();
    std::string fields[3];
    for (auto& f : fields) {
        const size_t gs = s.find('\x1D', p);
        if (gs == std::string::npos) {
            if (&f != &fields[2]) return false;
            f = s.substr(p);
            p = s.size();
        } else {
            f = s.substr(p, gs - p);
            p = gs + 1;
        }
    }
    const std::string& postal = fields[0];
    const bool numeric = AllDigits(postal) && postal.size() <= 9;
    bool alnum = !postal.empty() && postal.size() <= 6;
    for (char c : postal) alnum = alnum && CodeTable().home[std::uint8_t(c)].set == kA && c != 13 && (c < 28 || c > 30);
    const int country = SmallNumber(fields[1]), serviceClass = SmallNumber(fields[2]);
    if ((!numeric && !alnum) || country < 0 || serviceClass < 0) return false;
    out.postalCode = postal;
    out.country = country;
    out.serviceClass = serviceClass;
    out.secondary = (header ? kHeader : std::string()) + (p < s.size() ? s.substr(p) : std::string());
    return true;
}

Status BuildSymbol(const std::uint8_t* data, size_t length, int mode, Symbol& out)
{
    out = Symbol();
    CarrierMessage carrier;
    const bool structured = (mode == 0 || mode == 2 || mode == 3) && ParseCarrierMessage(data, length, carrier);
    if (structured) mode = AllDigits(carrier.postalCode) ? 2 : 3;
    else if (mode != 5) mode = 4;
    out.mode = mode;

    std::uint8_t primary[10] = {};
    std::vector<int> secondary;
    if (structured) {
        primary[0] = std::uint8_t(mode);
        unsigned long long postal = 0;
        if (mode == 2) {
            postal = (unsigned long long)carrier.postalCode.size() << 30 | std::stoull(carrier.postalCode);
        } else {
            std::string code = carrier.postalCode;
            code.resize(6, ' ');
            for (char c : code) postal = postal << 6 | CodeTable().home[std::uint8_t(c)].value;
        }
        PutBits(primary, kPostalBits, 36, postal);
        PutBits(primary, kCountryBits, 10, unsigned(carrier.country));
        PutBits(primary, kClassBits, 10, unsigned(carrier.serviceClass));
        secondary = EncodeText(reinterpret_cast<const std::uint8_t*>(carrier.secondary.data()),
                               carrier.secondary.size());
    } else {
        std::vector<int> text = EncodeText(data, length);
        primary[0] = std::uint8_t(mode);
        for (int k = 0; k < 9; ++k) primary[k + 1] = std::uint8_t(size_t(k) < text.size() ? text[size_t(k)] : kPad);
        if (text.size() > 9) secondary.assign(text.begin() + 9, text.end());
    }
    const size_t secondaryData = mode == 5 ? 68 : 84;
    if (secondary.size() > secondaryData) return Status::kTooLong;
    secondary.resize(secondaryData, kPad);

    // Primary: 10 data and 10 check codewords. Secondary: odd and even
    // positions are two blocks, their check codewords interleaved.
    std::vector<int> cw(primary, primary + 10);
    const std::vector<int> pec = ErrorCorrection(cw, 10);
    cw.insert(cw.end(), pec.begin(), pec.end());
    std::vector<int> odd, even;
    for (size_t k = 0; k < secondary.size(); ++k) (k % 2 ? even : odd).push_back(secondary[k]);
    const int ecEach = mode == 5 ? 28 : 20;
    const std::vector<int> oec = ErrorCorrection(odd, ecEach), eec = ErrorCorrection(even, ecEach);
    cw.insert(cw.end(), secondary.begin(), secondary.end());
    for (int k = 0; k < ecEach; ++k) {
        cw.push_back(oec[size_t(k)]);
        cw.push_back(eec[size_t(k)]);
    }
    for (int k = 0; k < kCodewords; ++k) out.codewords[size_t(k)] = std::uint8_t(cw[size_t(k)]);

    // The placement as codeword and bit of each position, worked out once;
    // positions without data have a fixed colour (codeword index kCodewords
    // reads a constant).
    struct Places {
        std::uint8_t codeword[kRows][kColumns];
        std::uint8_t shift[kRows][kColumns];
        Places()
        {
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c) {
                    const int p = kPlacement[r][c];
                    const bool fixedDark = p == kOrientationDark || p == kTopRightDark;
                    codeword[r][c] = std::uint8_t(p >= 0 ? p / 6 : kCodewords + (fixedDark ? 1 : 0));
                    shift[r][c] = std::uint8_t(p >= 0 ? 5 - p % 6 : 0);
                }
        }
    };
    static const Places places;
    std::uint8_t cws[kCodewords + 2];
    std::copy(out.codewords.begin(), out.codewords.end(), cws);
    cws[kCodewords] = 0;      // light
    cws[kCodewords + 1] = 1;  // dark
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            out.dark[size_t(r)][size_t(c)] = std::uint8_t((cws[places.codeword[r][c]] >> places.shift[r][c]) & 1);
    return Status::kOk;
}

}  // namespace maxicode
