#include "encoders/pdf417.h"

#include "encoders/module_packing.h"

#include <algorithm>
#include <cstdlib>

namespace pdf417 {
namespace {

enum CharClass { kDigit, kUpper, kLower, kSpace, kMixedOnly, kBoth, kPunctOnly, kNonText };
enum SubMode { kAlpha, kLowerMode, kMixed };

CharClass Classify(std::uint8_t c)
{
    if (c >= '0' && c <= '9') return kDigit;
    if (c >= 'A' && c <= 'Z') return kUpper;
    if (c >= 'a' && c <= 'z') return kLower;
    if (c == ' ') return kSpace;
    switch (c) {
    case '#': case '%': case '&': case '+': case '=': case '^': return kMixedOnly;
    case '\t': case '\r': case '$': case '*': case ',': case '-': case '.': case '/': case ':': return kBoth;
    default: break;
    }
    if (c == '\n' || (c > 32 && c < 127)) return kPunctOnly;
    return kNonText;
}

bool IsText(std::uint8_t c) { return Classify(c) != kNonText; }

int MixedValue(std::uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    switch (c) {
    case '&': return 10; case '\r': return 11; case '\t': return 12; case ',': return 13;
    case ':': return 14; case '#': return 15; case '-': return 16; case '.': return 17;
    case '$': return 18; case '/': return 19; case '+': return 20; case '%': return 21;
    case '*': return 22; case '=': return 23; case '^': return 24; case ' ': return 26;
    default: return -1;
    }
}

int PunctValue(std::uint8_t c)
{
    static const char kPunct[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
    for (int i = 0; kPunct[i]; ++i)
        if (std::uint8_t(kPunct[i]) == c) return i;
    return -1;
}

class Encoder {
public:
    Encoder(const std::uint8_t* d, size_t n, std::vector<int>& out) : m_d(d), m_n(n), m_out(out) {}

    void Run()
    {
        size_t i = 0;
        while (i < m_n) {
            const size_t digits = DigitRun(i);
            if (digits >= 13) {
                if (m_mode != kLatchNumeric) m_out.push_back(kLatchNumeric);
                m_mode = kLatchNumeric;
                Numeric(i, digits);
                i += digits;
                continue;
            }
            const size_t text = TextRun(i);
            if (text >= 5) {
                if (m_mode != kLatchText) {
                    m_out.push_back(kLatchText);
                    m_sub = kAlpha;
                }
                m_mode = kLatchText;
                Text(i, text);
                i += text;
                continue;
            }
            const size_t bytes = ByteRun(i);
            if (bytes == 1 && m_mode == kLatchText) {
                m_out.push_back(kShiftByte);
                m_out.push_back(m_d[i]);
                ++i;
                continue;
            }
            if (m_mode != kLatchByte) m_out.push_back(bytes % 6 == 0 ? kLatchByte6 : kLatchByte);
            m_mode = kLatchByte;
            Bytes(i, bytes);
            i += bytes;
        }
    }

private:
    size_t DigitRun(size_t p) const
    {
        size_t q = p;
        while (q < m_n && m_d[q] >= '0' && m_d[q] <= '9') ++q;
        return q - p;
    }
    // Text characters from p, digit runs of 12 or fewer included.
    size_t TextRun(size_t p) const
    {
        size_t q = p;
        while (q < m_n) {
            if (m_d[q] >= '0' && m_d[q] <= '9') {
                const size_t dr = DigitRun(q);
                if (dr >= 13) break;
                q += dr;
            } else if (IsText(m_d[q])) {
                ++q;
            } else {
                break;
            }
        }
        return q - p;
    }
    // Non-text bytes and the short text stretches between them.
    size_t ByteRun(size_t p) const
    {
        size_t q = p;
        while (q < m_n) {
            if (!IsText(m_d[q])) {
                ++q;
                continue;
            }
            if (DigitRun(q) >= 13) break;
            const size_t t = TextRun(q);
            if (t >= 5) break;
            q += t;
        }
        return q - p;
    }

    void Numeric(size_t p, size_t n)
    {
        for (size_t g = 0; g < n; g += 44) {
            const size_t len = std::min<size_t>(44, n - g);
            // Decimal digits of "1" followed by the group, divided by 900 repeatedly.
            std::vector<int> dec;
            dec.push_back(1);
            for (size_t k = 0; k < len; ++k) dec.push_back(m_d[p + g + k] - '0');
            std::vector<int> base900;
            while (!(dec.size() == 1 && dec[0] == 0)) {
                std::vector<int> q;
                int rem = 0;
                for (int digit : dec) {
                    rem = rem * 10 + digit;
                    const int qd = rem / 900;
                    rem %= 900;
                    if (!q.empty() || qd) q.push_back(qd);
                }
                base900.push_back(rem);
                if (q.empty()) q.push_back(0);
                dec.swap(q);
            }
            m_out.insert(m_out.end(), base900.rbegin(), base900.rend());
        }
    }

    void Text(size_t p, size_t n)
    {
        std::vector<int> v;
        for (size_t k = p; k < p + n; ++k) {
            const std::uint8_t c = m_d[k];
            const CharClass cls = Classify(c);
            if (cls == kPunctOnly) {
                v.push_back(29);
                v.push_back(PunctValue(c));
                continue;
            }
            switch (m_sub) {
            case kAlpha:
                if (cls == kUpper) v.push_back(c - 'A');
                else if (cls == kLower) { v.push_back(27); v.push_back(c - 'a'); m_sub = kLowerMode; }
                else if (cls == kSpace) v.push_back(26);
                else { v.push_back(28); v.push_back(MixedValue(c)); m_sub = kMixed; }
                break;
            case kLowerMode:
                if (cls == kUpper) { v.push_back(27); v.push_back(c - 'A'); }
                else if (cls == kLower) v.push_back(c - 'a');
                else if (cls == kSpace) v.push_back(26);
                else { v.push_back(28); v.push_back(MixedValue(c)); m_sub = kMixed; }
                break;
            case kMixed:
                if (cls == kUpper) { v.push_back(28); v.push_back(c - 'A'); m_sub = kAlpha; }
                else if (cls == kLower) { v.push_back(27); v.push_back(c - 'a'); m_sub = kLowerMode; }
                else if (cls == kSpace) { v.push_back(27); v.push_back(26); m_sub = kLowerMode; }
                else v.push_back(MixedValue(c));
                break;
            }
        }
        if (v.size() % 2) v.push_back(29);
        for (size_t k = 0; k < v.size(); k += 2) m_out.push_back(30 * v[k] + v[k + 1]);
    }

    void Bytes(size_t p, size_t n)
    {
        size_t k = 0;
        for (; k + 6 <= n; k += 6) {
            std::uint64_t v = 0;
            for (int j = 0; j < 6; ++j) v = (v << 8) | m_d[p + k + size_t(j)];
            int cw[5];
            for (int j = 4; j >= 0; --j) {
                cw[j] = int(v % 900);
                v /= 900;
            }
            m_out.insert(m_out.end(), cw, cw + 5);
        }
        for (; k < n; ++k) m_out.push_back(m_d[p + k]);
    }

    const std::uint8_t* m_d;
    size_t m_n;
    std::vector<int>& m_out;
    int m_mode = kLatchText;
    SubMode m_sub = kAlpha;
};

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

// Symbol width against height above 2, in thousandths.
long long Aspect(int c, int rows, int module, int rowHeight, bool truncated)
{
    const long long width = 17LL * c + 35 + (truncated ? 0 : 34);
    return (long long)module * width * 1000 / ((long long)rowHeight * rows) - 2000;
}

}  // namespace

bool HighLevelEncode(const std::uint8_t* data, size_t length, std::vector<int>& out)
{
    out.clear();
    if (!data || length == 0) return false;
    // Every byte needs at least a third of a codeword, so longer data cannot fit.
    if (length > 3 * size_t(kMaxCodewords)) return false;
    Encoder(data, length, out).Run();
    return out.size() + 1 < 927;
}

int AutoLevel(int t)
{
    if (t <= 29) return 0;
    if (t <= 59) return 1;
    if (t <= 119) return 2;
    if (t <= 239) return 3;
    if (t <= 479) return 4;
    return 5;
}

Layout ChooseLayout(int n, int rows, int cols, int module, int rowHeight, bool truncated)
{
    if (rows > 0 && cols > 0 && rows * cols < n) rows = cols = 0;
    if (rows > 0 && cols == 0) {
        cols = CeilDiv(n, rows);
    } else if (rows == 0 && cols > 0) {
        rows = std::max(3, CeilDiv(n, cols));
    } else if (rows == 0 && cols == 0) {
        module = std::max(module, 1);
        rowHeight = std::max(rowHeight, 1);
        // Rows below 3 cannot be printed; the aspect is judged on what is built.
        auto rowsFor = [n](int c) { return std::max(3, CeilDiv(n, c)); };
        int chosen = 0;
        long long prev = 0;
        for (int c = 1; c <= 29; ++c) {
            const long long h = Aspect(c, rowsFor(c), module, rowHeight, truncated);
            if (h >= 0) {
                chosen = c;
                if (c > 1 && std::llabs(prev) < h && std::llabs(prev) < 500) chosen = c - 1;
                break;
            }
            prev = h;
        }
        if (chosen) {
            cols = chosen;
            rows = rowsFor(chosen);
        } else {
            cols = 30;
            rows = rowsFor(29);
        }
    }
    // Stay within the symbol's limits: keep the side that overflows at its
    // limit and recompute the other.
    if (cols > 30) {
        cols = 30;
        rows = std::max(3, CeilDiv(n, 30));
    }
    if (rows > 90) {
        rows = 90;
        cols = CeilDiv(n, 90);
    }
    if (rows * cols > kMaxCodewords) {
        rows = 58;
        cols = 16;
    }
    return {rows, cols};
}

namespace {

// Generator polynomials (x - 3)(x - 3^2)...(x - 3^k) of the nine levels,
// coefficients a[0..k-1] below x^k, worked out once.
struct Generators {
    std::vector<int> a[9];
    Generators()
    {
        for (int level = 0; level < 9; ++level) {
            const int k = EcCodewordCount(level);
            std::vector<int>& g = a[level];
            g.assign(size_t(k) + 1, 0);
            g[0] = 1;
            int root = 1;
            for (int i = 1; i <= k; ++i) {
                root = root * 3 % 929;
                // Multiply by (x - root): g has degree i-1 in g[0..i-1] (g[j] of x^j).
                for (int j = i; j >= 1; --j) g[size_t(j)] = (g[size_t(j - 1)] + 929 - g[size_t(j)] * root % 929) % 929;
                g[0] = (929 - g[0] * root % 929) % 929;
            }
        }
    }
};

}  // namespace

std::vector<int> ErrorCorrection(const std::vector<int>& data, int level)
{
    static const Generators generators;
    const int k = EcCodewordCount(level);
    const int* a = generators.a[level].data();
    // The division's register, reduced modulo 929 only where a value is
    // read: each cell collects at most k terms below 929 * 929, which a 32-bit
    // unsigned holds for every level (512 * 929 * 929 < 2^32).
    constexpr std::uint32_t kSquare = 929u * 929u;
    std::vector<std::uint32_t> c(size_t(k), 0);
    std::uint32_t* cr = c.data();
    for (int d : data) {
        const std::uint32_t t1 = (std::uint32_t(d) + cr[k - 1]) % 929u;
        for (int j = k - 1; j >= 1; --j) cr[j] = cr[j - 1] + (kSquare - t1 * std::uint32_t(a[j]));
        cr[0] = kSquare - t1 * std::uint32_t(a[0]);
    }
    std::vector<int> out(static_cast<size_t>(k));
    for (int j = 0; j < k; ++j) out[size_t(j)] = int((929u - cr[k - 1 - j] % 929u) % 929u);
    return out;
}

int LeftRowIndicator(int i, int rows, int cols, int level)
{
    const int base = 30 * (i / 3);
    switch (i % 3) {
    case 0: return base + (rows - 1) / 3;
    case 1: return base + level * 3 + (rows - 1) % 3;
    default: return base + cols - 1;
    }
}

int RightRowIndicator(int i, int rows, int cols, int level)
{
    const int base = 30 * (i / 3);
    switch (i % 3) {
    case 0: return base + cols - 1;
    case 1: return base + (rows - 1) / 3;
    default: return base + level * 3 + (rows - 1) % 3;
    }
}

Status BuildSymbol(const std::uint8_t* data, size_t length, const Request& req, Symbol& out)
{
    out.levelKnown = out.layoutKnown = false;
    std::vector<int> cw;
    if (!HighLevelEncode(data, length, cw)) return Status::kTooLong;
    const int t = int(cw.size()) + 1;
    const int level = req.level < 0 ? AutoLevel(t) : req.level;
    out.level = level;
    out.levelKnown = true;
    const int ec = EcCodewordCount(level);
    if (t + ec >= 929) return Status::kTooLong;
    const Layout lay = ChooseLayout(t + ec, req.rows, req.columns, req.module, req.rowHeight, req.truncated);
    out.rows = lay.rows;
    out.columns = lay.columns;
    out.layoutKnown = true;

    const int total = lay.rows * lay.columns;
    std::vector<int>& all = out.codewords;
    all.clear();
    all.reserve(size_t(total));
    all.push_back(total - ec);
    all.insert(all.end(), cw.begin(), cw.end());
    all.resize(size_t(total - ec), 900);
    const std::vector<int> ecc = ErrorCorrection(all, level);
    all.insert(all.end(), ecc.begin(), ecc.end());

    const int width = req.truncated ? 35 + 17 * lay.columns : 69 + 17 * lay.columns;
    out.matrix = twod::ModuleMatrix(width, lay.rows);
    for (int r = 0; r < lay.rows; ++r) {
        std::uint8_t* row = &out.matrix.cells[size_t(r) * size_t(width)];
        int x = 0;
        auto put = [&](std::uint32_t pattern, int modules) {
            modpack::SpreadBits(row + x, pattern, modules);
            x += modules;
        };
        const int cluster = r % 3;
        put(kStartPattern, 17);
        put(CodewordPattern(cluster, LeftRowIndicator(r, lay.rows, lay.columns, level)), 17);
        for (int c = 0; c < lay.columns; ++c) put(CodewordPattern(cluster, all[size_t(r * lay.columns + c)]), 17);
        if (req.truncated) {
            put(1, 1);
        } else {
            put(CodewordPattern(cluster, RightRowIndicator(r, lay.rows, lay.columns, level)), 17);
            put(kStopPattern, 18);
        }
    }
    return Status::kOk;
}

}  // namespace pdf417
