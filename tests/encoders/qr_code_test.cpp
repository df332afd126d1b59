// QR Code symbol builder: segmentation, version choice, capacity limits and
// symbols read back by an independent decoder.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "encoders/qr_code.h"
#include "support/decode.h"

namespace {

using qr::Segment;

}  // namespace
namespace qr {
void PrintTo(const Segment& s, std::ostream* os) { *os << "{mode " << int(s.mode) << ", " << s.length << "}"; }
}  // namespace qr
namespace {

std::vector<Segment> Segs(const std::string& s, int group)
{
    std::vector<Segment> out;
    EXPECT_TRUE(qr::Segmentize(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), group, out));
    return out;
}

bool Build(const std::vector<std::uint8_t>& d, int level, qr::Symbol& sym, int version = 0, int mask = -1)
{
    return qr::BuildSymbol(d.data(), d.size(), level, version, mask, sym);
}

TEST(QrSegments, CostsFollowTheModeAndGroup)
{
    struct Case { qr::Mode mode; int length; int group; int bits; };
    const Case cases[] = {
        {qr::kNumeric, 8, 0, 4 + 10 + 20 + 7},  {qr::kNumeric, 7, 1, 4 + 12 + 20 + 4},
        {qr::kNumeric, 9, 2, 4 + 14 + 30},      {qr::kAlnum, 5, 0, 4 + 9 + 22 + 6},
        {qr::kAlnum, 4, 2, 4 + 13 + 22},        {qr::kByte, 3, 0, 4 + 8 + 24},
        {qr::kByte, 3, 1, 4 + 16 + 24},         {qr::kKanji, 4, 0, 4 + 8 + 26},
        {qr::kKanji, 2, 2, 4 + 12 + 13},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qr::SegmentBits(c.mode, c.length, c.group), c.bits) << int(c.mode) << " " << c.length;
}

TEST(QrSegments, KanjiPairRanges)
{
    struct Case { int a, b; bool kanji; };
    const Case cases[] = {
        {0x81, 0x40, true},  {0x81, 0x3F, false}, {0x9F, 0xFC, true}, {0x9F, 0xFD, false},
        {0xA0, 0x40, false}, {0xE0, 0x40, true},  {0xEB, 0xBF, true}, {0xEB, 0xC0, false},
        {0xEC, 0x40, false}, {0x80, 0x80, false}, {0x88, 0xFF, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qr::IsKanjiPair(std::uint8_t(c.a), std::uint8_t(c.b)), c.kanji) << std::hex << c.a << " " << c.b;
}

TEST(QrSegments, MergingPasses)
{
    using qr::kAlnum;
    using qr::kByte;
    using qr::kKanji;
    using qr::kNumeric;
    struct Case { std::string data; int group; std::vector<Segment> expect; };
    const Case cases[] = {
        {"01234567", 0, {{kNumeric, 8}}},
        // Nine digits between letters cost less kept numeric (30+44+30 bits
        // apart, 79+30 for the first pair merged).
        {"ABC123456789DEF", 0, {{kAlnum, 3}, {kNumeric, 9}, {kAlnum, 3}}},
        // A short digit run is cheaper inside the alphanumeric segment, and the
        // merged segment takes the next alphanumeric one along.
        {"AB12CD", 0, {{kAlnum, 6}}},
        {"A1", 0, {{kAlnum, 2}}},
        // A lone letter between bytes and digits joins the bytes.
        {"aaaaA1234567", 0, {{kByte, 5}, {kNumeric, 7}}},
        // Single characters between byte segments are swallowed by the byte pass.
        {"ab1cd", 0, {{kByte, 5}}},
        // Bytes before Kanji: three Kanji characters are cheaper as bytes (84
        // against 36 + 51 bits), four are not (100 against 36 + 64).
        {"abc\x81\x40\x81\x40\x81\x40", 0, {{kByte, 9}}},
        {"abc\x81\x40\x81\x40\x81\x40\x81\x40", 0, {{kByte, 3}, {kKanji, 8}}},
        // A long digit run between bytes stays numeric.
        {"ab1234567890cd", 0, {{kByte, 2}, {kNumeric, 10}, {kByte, 2}}},
    };
    for (const Case& c : cases) EXPECT_EQ(Segs(c.data, c.group), c.expect) << c.data;
}

TEST(QrSymbol, VersionChoice)
{
    struct Case { std::string data; int level; int version; };
    const Case cases[] = {
        {"01234567", qr::kLevelM, 1},
        {std::string(41, '7'), qr::kLevelL, 1},
        {std::string(42, '7'), qr::kLevelL, 2},
        {std::string(17, 'a'), qr::kLevelL, 1},
        {std::string(18, 'a'), qr::kLevelL, 2},
        {std::string(7, 'a'), qr::kLevelH, 1},
        {std::string(8, 'a'), qr::kLevelH, 2},
    };
    for (const Case& c : cases) {
        qr::Symbol sym;
        ASSERT_TRUE(Build(kvtest::Bytes(c.data), c.level, sym)) << c.data;
        EXPECT_EQ(sym.version, c.version) << c.data;
        EXPECT_EQ(sym.matrix.width, 4 * c.version + 17);
    }
}

TEST(QrSymbol, CapacityLimitAtForty)
{
    qr::Symbol sym;
    ASSERT_TRUE(Build(std::vector<std::uint8_t>(7089, '9'), qr::kLevelL, sym));
    EXPECT_EQ(sym.version, 40);
    EXPECT_FALSE(Build(std::vector<std::uint8_t>(7090, '9'), qr::kLevelL, sym));
    ASSERT_TRUE(Build(std::vector<std::uint8_t>(2953, 'x'), qr::kLevelL, sym));
    EXPECT_FALSE(Build(std::vector<std::uint8_t>(2954, 'x'), qr::kLevelL, sym));
}

TEST(QrSymbol, TerminatorAndPadding)
{
    qr::Symbol sym;
    ASSERT_TRUE(Build(kvtest::Bytes("01234567"), qr::kLevelM, sym));
    // 0001 0000001000 0000001100 0101011001 1000011 then 0000, padding.
    const std::vector<std::uint8_t> expect = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                                              0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    EXPECT_EQ(sym.dataCodewords, expect);
}

// Straightforward scoring of the four rules, module by module.
int ReferencePenalty(const twod::ModuleMatrix& m)
{
    const int n = m.width;
    auto at = [&](int x, int y, bool col) { return col ? m.Dark(y, x) : m.Dark(x, y); };
    int score = 0;
    for (int col = 0; col < 2; ++col)
        for (int y = 0; y < n; ++y) {
            int run = 1;
            for (int x = 1; x <= n; ++x) {
                if (x < n && at(x, y, col) == at(x - 1, y, col)) ++run;
                else {
                    if (run >= 5) score += run - 2;
                    run = 1;
                }
            }
            auto light = [&](int x) { return x < 0 || x >= n || !at(x, y, col); };
            for (int x = 0; x + 7 <= n; ++x) {
                const bool core = !light(x) && light(x + 1) && !light(x + 2) && !light(x + 3) &&
                                  !light(x + 4) && light(x + 5) && !light(x + 6);
                if (!core || !light(x - 1) || !light(x + 7)) continue;
                if ((light(x - 2) && light(x - 3) && light(x - 4)) || (light(x + 8) && light(x + 9) && light(x + 10)))
                    score += 40;
            }
        }
    int darkCount = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            darkCount += m.Dark(x, y);
            if (x + 1 < n && y + 1 < n && m.Dark(x, y) == m.Dark(x + 1, y) && m.Dark(x, y) == m.Dark(x, y + 1) &&
                m.Dark(x, y) == m.Dark(x + 1, y + 1))
                score += 3;
        }
    const int lightPct = 100 * (n * n - darkCount) / (n * n);
    return score + 10 * (std::abs(50 - lightPct) / 5);
}

TEST(QrSymbol, PenaltyMatchesModuleByModuleScoring)
{
    std::mt19937 rng(3);
    for (int v : {1, 2, 7, 14, 27, 40}) {
        const int n = 4 * v + 17;
        for (int k = 0; k < 4; ++k) {
            twod::ModuleMatrix m(n, n);
            // Some random, some striped and mostly light, so that runs and
            // finder-like patterns occur.
            for (auto& c : m.cells) c = std::uint8_t(k == 0 ? rng() % 2 : (k == 1 ? rng() % 5 == 0 : rng() % 3 != 0));
            if (k == 3)
                for (int y = 0; y < n; y += 3)
                    for (int x = 0; x < n; ++x) m.Set(x, y, x % 11 < 7 && ((0x5D >> (6 - x % 11)) & 1));
            EXPECT_EQ(qr::MaskPenalty(m), ReferencePenalty(m)) << v << " " << k;
        }
    }
    qr::Symbol sym;
    ASSERT_TRUE(Build(kvtest::Bytes("reference scoring"), qr::kLevelH, sym));
    EXPECT_EQ(qr::MaskPenalty(sym.matrix), ReferencePenalty(sym.matrix));
}

TEST(QrSymbol, ForcedMaskAndChosenMaskScore)
{
    const auto data = kvtest::Bytes("HELLO WORLD 12345");
    qr::Symbol best;
    ASSERT_TRUE(Build(data, qr::kLevelQ, best));
    const int bestScore = qr::MaskPenalty(best.matrix);
    for (int mask = 0; mask < 8; ++mask) {
        qr::Symbol s;
        ASSERT_TRUE(Build(data, qr::kLevelQ, s, 0, mask));
        EXPECT_EQ(s.mask, mask);
        const int score = qr::MaskPenalty(s.matrix);
        EXPECT_GE(score, bestScore);
        if (score == bestScore) EXPECT_GE(mask, best.mask);
    }
}

TEST(QrDecode, EveryVersionAndLevel)
{
    std::mt19937 rng(7);
    for (int level = 0; level < 4; ++level)
        for (int v = 1; v <= 40; ++v) {
            // Fill most of the version with bytes so that it is the one chosen.
            const int cap = qr::DataCodewords(v, level) - (v <= 9 ? 2 : 3);
            std::vector<std::uint8_t> d(static_cast<size_t>(cap));
            for (auto& b : d) b = std::uint8_t(rng());
            qr::Symbol sym;
            ASSERT_TRUE(Build(d, level, sym)) << v << " " << level;
            ASSERT_EQ(sym.version, v) << level;
            const auto r = kvtest::DecodeMatrix(sym.matrix, ZXing::BarcodeFormat::QRCode, v > 20 ? 2 : 3);
            ASSERT_TRUE(r.ok) << "version " << v << " level " << level;
            EXPECT_EQ(r.bytes, d) << "version " << v << " level " << level;
        }
}

TEST(QrDecode, ModesMixAndAllMasks)
{
    std::string kanji;
    for (int i = 0; i < 12; ++i) {
        kanji += char(0x88 + i);
        kanji += char(0x9F + i);
    }
    kanji += "\xE0\x40\xEB\xBF";
    const std::vector<std::string> data = {
        "HTTPS://EXAMPLE.COM/12345678901234567890",
        "abc 0123456789012345 DEF ghi \x81\x40\x81\x41 xyz",
        kanji,
        std::string("\x00\x01\xFF\x80 zero", 10),
    };
    for (const auto& s : data)
        for (int mask = 0; mask < 8; ++mask) {
            qr::Symbol sym;
            ASSERT_TRUE(Build(kvtest::Bytes(s), qr::kLevelM, sym, 0, mask));
            const auto r = kvtest::DecodeMatrix(sym.matrix, ZXing::BarcodeFormat::QRCode);
            ASSERT_TRUE(r.ok) << s << " mask " << mask;
            EXPECT_EQ(r.bytes, kvtest::Bytes(s)) << s << " mask " << mask;
        }
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[i] = std::uint8_t(i);
    qr::Symbol sym;
    ASSERT_TRUE(Build(all, qr::kLevelH, sym));
    const auto r = kvtest::DecodeMatrix(sym.matrix, ZXing::BarcodeFormat::QRCode);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, all);
}

TEST(QrDecode, KanjiModeIsUsedForKanjiPairs)
{
    std::string s;
    for (int i = 0; i < 20; ++i) s += "\x93\xfa";
    qr::Symbol sym;
    ASSERT_TRUE(Build(kvtest::Bytes(s), qr::kLevelL, sym));
    ASSERT_EQ(sym.segments.size(), 1u);
    EXPECT_EQ(sym.segments[0].mode, qr::kKanji);
    const auto r = kvtest::DecodeMatrix(sym.matrix, ZXing::BarcodeFormat::QRCode);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, kvtest::Bytes(s));
}

}  // namespace
