#include "encoders/datamatrix.h"

#include <cstring>

namespace datamatrix {
namespace {

const SizeInfo kSizes[kSizeCount] = {
    {10, 8, 1, 3, 5, 1},       {12, 10, 1, 5, 7, 1},      {14, 12, 1, 8, 10, 1},
    {16, 14, 1, 12, 12, 1},    {18, 16, 1, 18, 14, 1},    {20, 18, 1, 22, 18, 1},
    {22, 20, 1, 30, 20, 1},    {24, 22, 1, 36, 24, 1},    {26, 24, 1, 44, 28, 1},
    {32, 14, 2, 62, 36, 1},    {36, 16, 2, 86, 42, 1},    {40, 18, 2, 114, 48, 1},
    {44, 20, 2, 144, 56, 1},   {48, 22, 2, 174, 68, 1},   {52, 24, 2, 204, 84, 2},
    {64, 14, 4, 280, 112, 2},  {72, 16, 4, 368, 144, 4},  {80, 18, 4, 456, 192, 4},
    {88, 20, 4, 576, 224, 4},  {96, 22, 4, 696, 272, 4},  {104, 24, 4, 816, 336, 6},
    {120, 18, 6, 1050, 408, 6}, {132, 20, 6, 1304, 496, 8}, {144, 22, 6, 1558, 620, 10},
};

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : m_out(out) { m_out.clear(); }
    bool Put(int cw)
    {
        if (m_out.size() >= size_t(kMaxDataCodewords)) return false;
        m_out.push_back(std::uint8_t(cw));
        return true;
    }
    size_t Size() const { return m_out.size(); }
    std::uint8_t& At(size_t i) { return m_out[i]; }

private:
    std::vector<std::uint8_t>& m_out;
};

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// Randomising of Base 256 codewords by their 1-based stream position.
std::uint8_t Randomize255(int value, int position)
{
    const int pseudo = (149 * position) % 255 + 1;
    const int t = value + pseudo;
    return std::uint8_t(t <= 255 ? t : t - 256);
}

// Placement of the codeword bits into the nrow x ncol mapping matrix. Each
// entry holds codeword * 8 + bit (bit 0 = most significant) + 1, or a fixed
// value for the corner filler (kOn / kOff), or 0 when not yet placed.
class Placement {
public:
    static constexpr int kOn = -1, kOff = -2;
    Placement(int nrow, int ncol) : m_nrow(nrow), m_ncol(ncol), m_a(size_t(nrow) * size_t(ncol), 0)
    {
        Run();
    }
    int At(int row, int col) const { return m_a[size_t(row) * m_ncol + col]; }

private:
    void Module(int row, int col, int chr, int bit)
    {
        if (row < 0) {
            row += m_nrow;
            col += 4 - ((m_nrow + 4) % 8);
        }
        if (col < 0) {
            col += m_ncol;
            row += 4 - ((m_ncol + 4) % 8);
        }
        m_a[size_t(row) * m_ncol + col] = chr * 8 + bit + 1;
    }
    void Utah(int row, int col, int chr)
    {
        Module(row - 2, col - 2, chr, 0);
        Module(row - 2, col - 1, chr, 1);
        Module(row - 1, col - 2, chr, 2);
        Module(row - 1, col - 1, chr, 3);
        Module(row - 1, col, chr, 4);
        Module(row, col - 2, chr, 5);
        Module(row, col - 1, chr, 6);
        Module(row, col, chr, 7);
    }
    void Corner(const int (*pos)[2], int chr)
    {
        for (int b = 0; b < 8; ++b) {
            int r = pos[b][0], c = pos[b][1];
            if (r < 0) r += m_nrow;
            if (c < 0) c += m_ncol;
            Module(r, c, chr, b);
        }
    }
    void Run()
    {
        static const int c1[8][2] = {{-1, 0}, {-1, 1}, {-1, 2}, {0, -2}, {0, -1}, {1, -1}, {2, -1}, {3, -1}};
        static const int c2[8][2] = {{-3, 0}, {-2, 0}, {-1, 0}, {0, -4}, {0, -3}, {0, -2}, {0, -1}, {1, -1}};
        static const int c3[8][2] = {{-3, 0}, {-2, 0}, {-1, 0}, {0, -2}, {0, -1}, {1, -1}, {2, -1}, {3, -1}};
        static const int c4[8][2] = {{-1, 0}, {-1, -1}, {0, -3}, {0, -2}, {0, -1}, {1, -3}, {1, -2}, {1, -1}};
        int chr = 0, row = 4, col = 0;
        do {
            if (row == m_nrow && col == 0) Corner(c1, chr++);
            if (row == m_nrow - 2 && col == 0 && (m_ncol % 4)) Corner(c2, chr++);
            if (row == m_nrow - 2 && col == 0 && (m_ncol % 8) == 4) Corner(c3, chr++);
            if (row == m_nrow + 4 && col == 2 && !(m_ncol % 8)) Corner(c4, chr++);
            do {
                if (row < m_nrow && col >= 0 && !At(row, col)) Utah(row, col, chr++);
                row -= 2;
                col += 2;
            } while (row >= 0 && col < m_ncol);
            row += 1;
            col += 3;
            do {
                if (row >= 0 && col < m_ncol && !At(row, col)) Utah(row, col, chr++);
                row += 2;
                col -= 2;
            } while (row < m_nrow && col >= 0);
            row += 3;
            col += 1;
        } while (row < m_nrow || col < m_ncol);
        if (!At(m_nrow - 1, m_ncol - 1)) {
            m_a[size_t(m_nrow) * m_ncol - 1] = kOn;
            m_a[size_t(m_nrow - 1) * m_ncol - 2] = kOn;
            m_a[size_t(m_nrow) * m_ncol - 2] = kOff;
            m_a[size_t(m_nrow - 1) * m_ncol - 1] = kOff;
        }
    }

    int m_nrow, m_ncol;
    std::vector<int> m_a;
};

}  // namespace

const SizeInfo* Sizes() { return kSizes; }

bool Encodation(const std::uint8_t* data, size_t length, std::vector<std::uint8_t>& out)
{
    Writer w(out);
    size_t i = 0;
    auto highRun3 = [&](size_t p) {
        return p + 3 <= length && data[p] >= 128 && data[p + 1] >= 128 && data[p + 2] >= 128;
    };
    auto lowRun3 = [&](size_t p) {
        return p + 3 <= length && data[p] < 128 && data[p + 1] < 128 && data[p + 2] < 128;
    };
    while (i < length) {
        // ASCII stretch.
        while (i < length && !highRun3(i)) {
            const std::uint8_t c = data[i];
            if (IsDigit(c) && i + 1 < length && IsDigit(data[i + 1])) {
                if (!w.Put(130 + (c - '0') * 10 + (data[i + 1] - '0'))) return false;
                i += 2;
            } else if (c >= 128) {
                if (!w.Put(235) || !w.Put(c - 127)) return false;
                ++i;
            } else {
                if (!w.Put(c + 1)) return false;
                ++i;
            }
        }
        if (i >= length) break;
        // Base 256 stretch: up to three low bytes in a row, or to the end when
        // fewer than three bytes remain.
        size_t end = i;
        while (end < length && !lowRun3(end)) {
            if (length - end < 3) {
                end = length;
                break;
            }
            ++end;
        }
        const size_t n = end - i;
        if (!w.Put(231)) return false;
        if (n < 250) {
            if (!w.Put(Randomize255(int(n), int(w.Size()) + 1))) return false;
        } else {
            if (!w.Put(Randomize255(int(n / 250) + 249, int(w.Size()) + 1))) return false;
            if (!w.Put(Randomize255(int(n % 250), int(w.Size()) + 1))) return false;
        }
        for (; i < end; ++i)
            if (!w.Put(Randomize255(data[i], int(w.Size()) + 1))) return false;
    }
    return true;
}

bool BuildSymbol(const std::uint8_t* data, size_t length, Symbol& out)
{
    std::vector<std::uint8_t>& dc = out.dataCodewords;
    if (!Encodation(data, length, dc) || dc.empty()) return false;
    const SizeInfo* si = nullptr;
    for (const SizeInfo& s : kSizes)
        if (s.dataCodewords >= int(dc.size())) {
            si = &s;
            break;
        }
    if (!si) return false;
    out.size = si;
    // Padding: 129, then randomised pads.
    if (int(dc.size()) < si->dataCodewords) dc.push_back(129);
    while (int(dc.size()) < si->dataCodewords) {
        const int position = int(dc.size()) + 1;
        const int pseudo = (149 * position) % 253 + 1;
        const int t = 129 + pseudo;
        dc.push_back(std::uint8_t(t <= 254 ? t : t - 254));
    }

    // Error correction per interleaved block.
    const int blocks = si->blocks;
    const int ecPerBlock = si->ecCodewords / blocks;
    static const twod::GaloisField256 field(0x12D);
    const twod::ReedSolomon256& rs = twod::CachedReedSolomon(field, ecPerBlock, 1);
    std::vector<std::uint8_t>& cw = out.codewords;
    cw.assign(size_t(si->dataCodewords + si->ecCodewords), 0);
    std::memcpy(cw.data(), dc.data(), dc.size());
    std::vector<std::uint8_t> blockData, ecc(static_cast<size_t>(ecPerBlock));
    for (int b = 0; b < blocks; ++b) {
        blockData.clear();
        for (int k = b; k < si->dataCodewords; k += blocks) blockData.push_back(dc[size_t(k)]);
        rs.Encode(blockData.data(), blockData.size(), ecc.data());
        // The block cycle runs on through the error codewords: position p
        // belongs to block p mod blocks (this matters for 144 x 144, whose data
        // count is not a multiple of its blocks).
        const int first = (b - si->dataCodewords % blocks + blocks) % blocks;
        for (int j = 0; j < ecPerBlock; ++j)
            cw[size_t(si->dataCodewords + j * blocks + first)] = ecc[size_t(j)];
    }

    // Placement into the data regions, then finder and clock edges.
    const int d = si->regionSize, r = si->regionsPerSide;
    const int n = d * r;
    const Placement place(n, n);
    twod::ModuleMatrix& m = out.matrix;
    m = twod::ModuleMatrix(si->size, si->size);
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col) {
            const int v = place.At(row, col);
            bool dark;
            if (v == Placement::kOn) dark = true;
            else if (v <= 0) dark = false;
            else dark = (cw[size_t((v - 1) / 8)] >> (7 - (v - 1) % 8)) & 1;
            const int y = 1 + (row / d) * (d + 2) + row % d;
            const int x = 1 + (col / d) * (d + 2) + col % d;
            m.Set(x, y, dark);
        }
    for (int ry = 0; ry < r; ++ry)
        for (int rx = 0; rx < r; ++rx) {
            const int x0 = rx * (d + 2), y0 = ry * (d + 2), e = d + 1;
            for (int k = 0; k <= e; ++k) {
                m.Set(x0, y0 + k, true);              // left edge, solid
                m.Set(x0 + k, y0 + e, true);          // bottom edge, solid
                m.Set(x0 + k, y0, k % 2 == 0);        // top edge, clock
                m.Set(x0 + e, y0 + k, k % 2 == 1);    // right edge, clock
            }
        }
    return true;
}

}  // namespace datamatrix
