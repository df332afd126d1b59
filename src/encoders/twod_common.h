#pragma once
// Pieces shared by the matrix symbologies (QR Code, Data Matrix, PDF417):
// a module matrix, Reed-Solomon over GF(256), and turning a matrix into the
// encoder bitmap form.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/monobitmap.h"

namespace twod {

// A grid of modules, 1 = dark, row by row.
struct ModuleMatrix {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> cells;

    ModuleMatrix() = default;
    ModuleMatrix(int w, int h) : width(w), height(h), cells(size_t(w) * size_t(h), 0) {}
    bool Dark(int x, int y) const { return cells[size_t(y) * size_t(width) + size_t(x)] != 0; }
    void Set(int x, int y, bool dark) { cells[size_t(y) * size_t(width) + size_t(x)] = dark ? 1 : 0; }
};

// GF(256) arithmetic for one primitive polynomial.
class GaloisField256 {
public:
    explicit GaloisField256(unsigned primitive);
    std::uint8_t Exp(int i) const { return m_exp[i % 255]; }
    // a^i for 0 <= i < 510 without the reduction (the sum of two logarithms).
    std::uint8_t ExpOfSum(int i) const { return m_exp[i]; }
    int Log(std::uint8_t v) const { return m_log[v]; }
    std::uint8_t Mul(std::uint8_t a, std::uint8_t b) const
    {
        return (a == 0 || b == 0) ? 0 : m_exp[m_log[a] + m_log[b]];
    }

private:
    std::uint8_t m_exp[512];
    int m_log[256];
};

// Reed-Solomon generator of degree n with roots a^first .. a^(first+n-1),
// and the check codewords of one block under it.
class ReedSolomon256 {
public:
    ReedSolomon256(const GaloisField256& field, int degree, int firstRoot);
    int Degree() const { return int(m_gen.size()); }
    // Writes Degree() check codewords for data[0..n) to ecc.
    void Encode(const std::uint8_t* data, size_t n, std::uint8_t* ecc) const;

private:
    const GaloisField256& m_field;
    std::vector<std::uint8_t> m_gen;     // coefficients below the leading 1, highest first
    std::vector<int> m_genLog;           // their logarithms (-1 for zero)
};

// The generator of a field, degree and first root, made once per thread and
// kept: a program uses a handful of them over and over.
const ReedSolomon256& CachedReedSolomon(const GaloisField256& field, int degree, int firstRoot);

// Set bits of a word. Written out because without the popcnt instruction
// (not in the baseline x86-64 the library is built for) the builtin becomes
// a library call.
inline int Popcount64(std::uint64_t x)
{
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((x * 0x0101010101010101ull) >> 56);
}

// Each module becomes moduleW x moduleH pixels; dark modules are black.
CMonoBitmap MatrixToBitmap(const ModuleMatrix& m, int moduleW, int moduleH);

// Narrows every dark run by reduction pixels, floor(r/2) on its leading side
// and the rest on its trailing side, along rows and along columns. The
// reduction is clamped so that no run of at least minRun pixels vanishes.
void ReduceDarkRuns(CMonoBitmap& bmp, int reduction, int minRun);

}  // namespace twod
