// QR Code function patterns of every version, read off the module matrix
// without a decoder: finders, separators, timing patterns, alignment
// patterns, the dark module, and the format and version information, which
// must be valid codewords that name the level and mask the symbol was built
// with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "encoders/qr_code.h"
#include "encoders/twod_entries.h"

namespace {

// Centres of the alignment patterns from the standard's rule: 6, then from
// the far end (size - 7) down in equal even steps, version 32 stepping 26.
std::vector<int> AlignmentCentres(int version)
{
    if (version < 2) return {};
    const int count = version / 7 + 2;
    const int size = 4 * version + 17;
    const int step = version == 32 ? 26 : (version * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
    std::vector<int> c(static_cast<size_t>(count));
    c[0] = 6;
    for (int i = count - 1, p = size - 7; i >= 1; --i, p -= step) c[size_t(i)] = p;
    return c;
}

// Remainder of value (bits wide, message shifted left by the generator's
// degree) under the generator polynomial: 0 for a codeword.
unsigned Syndrome(unsigned value, int bits, unsigned generator, int degree)
{
    for (int i = bits - 1; i >= degree; --i)
        if ((value >> i) & 1) value ^= generator << (i - degree);
    return value;
}

struct Reading {
    unsigned format1 = 0, format2 = 0;  // 15 bits each, bit 14 first
    unsigned version1 = 0, version2 = 0;  // 18 bits each
};

// The two copies of the format information and (from version 7) of the
// version information, bit by bit at the places the standard gives them.
Reading Read(const twod::ModuleMatrix& m)
{
    const int n = m.width;
    Reading r;
    auto put = [&](unsigned& word, int bit, int x, int y) {
        if (m.Dark(x, y)) word |= 1u << bit;
    };
    // Around the top-left finder: bits 14..9 along row 8 (x 0-5), bit 8 at
    // (7, 8), bit 7 at (8, 8), bit 6 at (8, 7), bits 5..0 up column 8.
    for (int i = 0; i < 6; ++i) put(r.format1, 14 - i, i, 8);
    put(r.format1, 8, 7, 8);
    put(r.format1, 7, 8, 8);
    put(r.format1, 6, 8, 7);
    for (int i = 0; i < 6; ++i) put(r.format1, i, 8, i);
    // Split copy: bits 0..7 along row 8 from the right edge, bits 8..14 down
    // column 8 to the bottom edge.
    for (int i = 0; i < 8; ++i) put(r.format2, i, n - 1 - i, 8);
    for (int i = 8; i < 15; ++i) put(r.format2, i, 8, n - 15 + i);
    if (n >= 45) {
        for (int i = 0; i < 18; ++i) {
            put(r.version1, i, i / 3, n - 11 + i % 3);  // above the bottom-left finder
            put(r.version2, i, n - 11 + i % 3, i / 3);  // left of the top-right finder
        }
    }
    return r;
}

// Every function pattern of a symbol; failures name the version, level and
// the first wrong module.
void ExpectFunctionPatterns(const qr::Symbol& sym, int level, int requestedMask)
{
    const twod::ModuleMatrix& m = sym.matrix;
    const int v = sym.version, n = 4 * v + 17;
    const std::string where = "version " + std::to_string(v) + " level " + std::to_string(level);
    ASSERT_EQ(m.width, n) << where;
    ASSERT_EQ(m.height, n) << where;
    int wrong = 0;
    auto expect = [&](int x, int y, bool dark, const char* what) {
        if (m.Dark(x, y) != dark && wrong++ < 5)
            ADD_FAILURE() << where << ": " << what << " module (" << x << ", " << y << ") should be "
                          << (dark ? "dark" : "light");
    };
    // Finders, with their separators: a 9 x 9 square centred on each, cut
    // by the symbol's edge.
    const int centres[3][2] = {{3, 3}, {n - 4, 3}, {3, n - 4}};
    for (const auto& c : centres)
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const int x = c[0] + dx, y = c[1] + dy;
                if (x < 0 || y < 0 || x >= n || y >= n) continue;
                const int ring = std::max(std::abs(dx), std::abs(dy));
                expect(x, y, ring <= 1 || ring == 3, ring == 4 ? "separator" : "finder");
            }
    // Timing patterns between the separators, dark on even positions.
    for (int i = 8; i <= n - 9; ++i) {
        expect(i, 6, i % 2 == 0, "timing row");
        expect(6, i, i % 2 == 0, "timing column");
    }
    // Alignment patterns at every pair of centres but the three finder corners.
    const std::vector<int> al = AlignmentCentres(v);
    for (size_t i = 0; i < al.size(); ++i)
        for (size_t j = 0; j < al.size(); ++j) {
            const bool corner = (i == 0 && j == 0) || (i == 0 && j + 1 == al.size()) || (i + 1 == al.size() && j == 0);
            if (corner) continue;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    expect(al[i] + dx, al[j] + dy, std::max(std::abs(dx), std::abs(dy)) != 1, "alignment");
        }
    expect(8, n - 8, true, "dark");

    const Reading r = Read(m);
    EXPECT_EQ(r.format1, r.format2) << where << ": the two format copies differ";
    const unsigned format = r.format1 ^ 0x5412;
    EXPECT_EQ(Syndrome(format, 15, 0x537, 10), 0u) << where << ": format " << std::hex << r.format1;
    // Level bits: L 01, M 00, Q 11, H 10.
    static const unsigned kLevelBits[4] = {1, 0, 3, 2};
    EXPECT_EQ(format >> 13, kLevelBits[level]) << where;
    EXPECT_EQ((format >> 10) & 7, unsigned(sym.mask)) << where;
    if (requestedMask >= 0) {
        EXPECT_EQ(sym.mask, requestedMask) << where;
    }
    if (v >= 7) {
        EXPECT_EQ(r.version1, r.version2) << where << ": the two version copies differ";
        EXPECT_EQ(Syndrome(r.version1, 18, 0x1F25, 12), 0u) << where << ": version " << std::hex << r.version1;
        EXPECT_EQ(r.version1 >> 12, unsigned(v)) << where;
    }
}

// Random bytes that fill most of the version, so that it is the one chosen.
std::vector<std::uint8_t> FillingData(int version, int level, std::mt19937& rng)
{
    std::vector<std::uint8_t> d(size_t(qr::DataCodewords(version, level) - (version <= 9 ? 2 : 3)));
    for (auto& b : d) b = std::uint8_t(rng());
    return d;
}

TEST(QrStructure, FunctionPatternsOfEveryVersionAndLevel)
{
    std::mt19937 rng(11);
    for (int v = 1; v <= 40; ++v)
        for (int level = 0; level < 4; ++level) {
            const auto d = FillingData(v, level, rng);
            qr::Symbol sym;
            ASSERT_TRUE(qr::BuildSymbol(d.data(), d.size(), level, 0, -1, sym)) << v << " " << level;
            ASSERT_EQ(sym.version, v) << level;
            ExpectFunctionPatterns(sym, level, -1);
        }
}

TEST(QrStructure, FormatInformationOfEveryForcedMask)
{
    std::mt19937 rng(5);
    for (int v : {1, 6, 7, 22, 40})
        for (int level = 0; level < 4; ++level)
            for (int mask = 0; mask < 8; ++mask) {
                const auto d = FillingData(v, level, rng);
                qr::Symbol sym;
                ASSERT_TRUE(qr::BuildSymbol(d.data(), d.size(), level, v, mask, sym));
                ExpectFunctionPatterns(sym, level, mask);
            }
}

// Codewords printed in the standard for a few cases, so that the syndrome
// checks above do not merely agree with an encoder that computes the same
// wrong polynomial.
TEST(QrStructure, KnownFormatAndVersionCodewords)
{
    struct FormatCase { int level, mask; unsigned bits; };
    const FormatCase formats[] = {
        {qr::kLevelM, 5, 0x40CE}, {qr::kLevelL, 0, 0x77C4}, {qr::kLevelM, 0, 0x5412},
        {qr::kLevelQ, 0, 0x355F}, {qr::kLevelH, 0, 0x1689},
    };
    for (const FormatCase& c : formats) {
        const std::string s = "FORMAT";
        qr::Symbol sym;
        ASSERT_TRUE(qr::BuildSymbol(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), c.level, 1, c.mask,
                                    sym));
        EXPECT_EQ(Read(sym.matrix).format1, c.bits) << c.level << " " << c.mask;
    }
    struct VersionCase { int version; unsigned bits; };
    for (const VersionCase& c : {VersionCase{7, 0x07C94}, VersionCase{8, 0x085BC}, VersionCase{40, 0x28C69}}) {
        const std::string s = "VERSION";
        qr::Symbol sym;
        ASSERT_TRUE(qr::BuildSymbol(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), qr::kLevelL,
                                    c.version, -1, sym));
        ASSERT_EQ(sym.version, c.version);
        EXPECT_EQ(Read(sym.matrix).version1, c.bits) << c.version;
    }
}

// The finished bitmap carries the complete timing pattern too: row and
// column 6 of a version 1 symbol, module 3.
TEST(QrStructure, BitmapTimingRowAndColumn)
{
    const std::string d = "HELLO WORLD 12345";
    const auto bmp = EncodeQr(d.data(), int(d.size()), 1, 3, 0, 0, 0, nullptr);
    ASSERT_TRUE(bmp);
    ASSERT_EQ(bmp->Width(), 63);
    std::string row, col;
    for (int i = 0; i < 21; ++i) {
        row += bmp->IsBlack(3 * i + 1, 3 * 6 + 1) ? '#' : '.';
        col += bmp->IsBlack(3 * 6 + 1, 3 * i + 1) ? '#' : '.';
    }
    EXPECT_EQ(row, "#######.#.#.#.#######");
    EXPECT_EQ(col, "#######.#.#.#.#######");
}

}  // namespace
