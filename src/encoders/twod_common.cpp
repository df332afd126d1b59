#include "encoders/twod_common.h"

#include <algorithm>
#include <cstring>

namespace twod {

GaloisField256::GaloisField256(unsigned primitive)
{
    unsigned x = 1;
    for (int i = 0; i < 255; ++i) {
        m_exp[i] = std::uint8_t(x);
        m_log[x] = i;
        x <<= 1;
        if (x & 0x100) x ^= primitive;
    }
    for (int i = 255; i < 512; ++i) m_exp[i] = m_exp[i - 255];
    m_log[0] = -1;
}

ReedSolomon256::ReedSolomon256(const GaloisField256& field, int degree, int firstRoot)
    : m_field(field)
{
    // g(x) = prod (x - a^(first+i)); coefficients kept highest first, the
    // leading 1 left out.
    std::vector<std::uint8_t> g(1, 1);
    for (int i = 0; i < degree; ++i) {
        const std::uint8_t root = field.Exp(firstRoot + i);
        std::vector<std::uint8_t> next(g.size() + 1, 0);
        for (size_t j = 0; j < g.size(); ++j) {
            next[j] ^= g[j];
            next[j + 1] ^= field.Mul(g[j], root);
        }
        g.swap(next);
    }
    m_gen.assign(g.begin() + 1, g.end());
    m_genLog.resize(m_gen.size());
    for (size_t i = 0; i < m_gen.size(); ++i) m_genLog[i] = m_gen[i] ? field.Log(m_gen[i]) : -1;
}

void ReedSolomon256::Encode(const std::uint8_t* data, size_t n, std::uint8_t* ecc) const
{
    const int deg = Degree();
    std::memset(ecc, 0, size_t(deg));
    for (size_t i = 0; i < n; ++i) {
        const std::uint8_t factor = std::uint8_t(data[i] ^ ecc[0]);
        std::memmove(ecc, ecc + 1, size_t(deg - 1));
        ecc[deg - 1] = 0;
        if (factor == 0) continue;
        const int lf = m_field.Log(factor);
        for (int j = 0; j < deg; ++j)
            if (m_genLog[j] >= 0) ecc[j] ^= m_field.Exp(m_genLog[j] + lf);
    }
}

CMonoBitmap MatrixToBitmap(const ModuleMatrix& m, int moduleW, int moduleH)
{
    CMonoBitmap bmp(m.width * moduleW, m.height * moduleH);
    if (bmp.IsEmpty()) return bmp;
    const int stride = bmp.Stride();
    for (int y = 0; y < m.height; ++y) {
        std::uint8_t* row = bmp.Row(y * moduleH);
        const std::uint8_t* cells = &m.cells[size_t(y) * size_t(m.width)];
        int x = 0;
        while (x < m.width) {
            if (!cells[x]) {
                ++x;
                continue;
            }
            int end = x;
            while (end < m.width && cells[end]) ++end;
            // Clear the bits of pixels [x*moduleW, end*moduleW).
            int p0 = x * moduleW;
            const int p1 = end * moduleW;
            while (p0 < p1 && (p0 & 7)) {
                row[p0 >> 3] &= std::uint8_t(~(0x80 >> (p0 & 7)));
                ++p0;
            }
            if (p0 + 8 <= p1) {
                std::memset(row + (p0 >> 3), 0, size_t((p1 - p0) >> 3));
                p0 += (p1 - p0) & ~7;
            }
            while (p0 < p1) {
                row[p0 >> 3] &= std::uint8_t(~(0x80 >> (p0 & 7)));
                ++p0;
            }
            x = end;
        }
        for (int k = 1; k < moduleH; ++k) std::memcpy(bmp.Row(y * moduleH + k), row, size_t(stride));
    }
    return bmp;
}

void ReduceDarkRuns(CMonoBitmap& bmp, int reduction, int minRun)
{
    if (reduction <= 0 || bmp.IsEmpty()) return;
    reduction = std::min(reduction, std::max(minRun - 1, 0));
    if (reduction <= 0) return;
    const int lead = reduction / 2;
    const int trail = reduction - lead;
    const int w = bmp.Width(), h = bmp.Height();
    // Both directions look at the original image; a pixel stays dark only when
    // neither narrowing takes it.
    std::vector<std::uint8_t> keep(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        int x = 0;
        while (x < w) {
            if (!bmp.IsBlack(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < w && bmp.IsBlack(end, y)) ++end;
            for (int k = x + lead; k < end - trail; ++k) keep[size_t(y) * w + k] = 1;
            x = end;
        }
    }
    for (int x = 0; x < w; ++x) {
        int y = 0;
        while (y < h) {
            if (!bmp.IsBlack(x, y)) {
                ++y;
                continue;
            }
            int end = y;
            while (end < h && bmp.IsBlack(x, end)) ++end;
            for (int k = y; k < end; ++k) {
                const bool inside = k >= y + lead && k < end - trail;
                if (!inside) keep[size_t(k) * w + x] = 0;
            }
            y = end;
        }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (bmp.IsBlack(x, y) && !keep[size_t(y) * w + x]) bmp.SetPixel(x, y, false);
}

}  // namespace twod
