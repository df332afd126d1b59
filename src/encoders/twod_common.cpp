#include "encoders/twod_common.h"

#include "encoders/module_packing.h"

#include <algorithm>
#include <cstring>
#include <memory>

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
    const int* genLog = m_genLog.data();
    for (size_t i = 0; i < n; ++i) {
        const std::uint8_t factor = std::uint8_t(data[i] ^ ecc[0]);
        // The register moves up one place as the product is added.
        if (factor == 0) {
            for (int j = 0; j + 1 < deg; ++j) ecc[j] = ecc[j + 1];
            ecc[deg - 1] = 0;
            continue;
        }
        const int lf = m_field.Log(factor);
        for (int j = 0; j + 1 < deg; ++j)
            ecc[j] = std::uint8_t(ecc[j + 1] ^ (genLog[j] >= 0 ? m_field.ExpOfSum(genLog[j] + lf) : 0));
        ecc[deg - 1] = genLog[deg - 1] >= 0 ? m_field.ExpOfSum(genLog[deg - 1] + lf) : 0;
    }
}

const ReedSolomon256& CachedReedSolomon(const GaloisField256& field, int degree, int firstRoot)
{
    struct Entry {
        const GaloisField256* field;
        int degree, firstRoot;
        std::unique_ptr<ReedSolomon256> code;
    };
    thread_local std::vector<Entry> cache;
    for (const Entry& e : cache)
        if (e.field == &field && e.degree == degree && e.firstRoot == firstRoot) return *e.code;
    cache.push_back({&field, degree, firstRoot, std::make_unique<ReedSolomon256>(field, degree, firstRoot)});
    return *cache.back().code;
}

CMonoBitmap MatrixToBitmap(const ModuleMatrix& m, int moduleW, int moduleH)
{
    CMonoBitmap bmp(m.width * moduleW, m.height * moduleH);
    if (bmp.IsEmpty()) return bmp;
    const size_t stride = size_t(bmp.Stride());
    for (int y = 0; y < m.height; ++y) {
        std::uint8_t* row = bmp.Row(y * moduleH);
        modpack::PackModules<false>(row, &m.cells[size_t(y) * size_t(m.width)], m.width, moduleW, false, true);
        // The module's other pixel rows: copy what is done, doubling.
        for (size_t done = 1, total = size_t(moduleH); done < total;) {
            const size_t n = std::min(done, total - done);
            std::memcpy(row + done * stride, row, n * stride);
            done += n;
        }
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
