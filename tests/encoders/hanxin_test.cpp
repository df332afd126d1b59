// Han Xin Code: the modes' bit strings, the layout of every version, symbols
// module for module against libzint (no decoder here reads Han Xin) with the
// mask fixed and with each side choosing its own, and the entry.
#include <gtest/gtest.h>

#include <iconv.h>

#include <random>
#include <string>
#include <vector>

#include "encoders/hanxin.h"
#include "encoders/hanxin_tables.h"
#include "encoders/hanxin_entry.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

const std::uint8_t* U(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

// UTF-8 text in GB 18030, the byte form the encoder takes.
std::string Gb18030(const std::string& utf8)
{
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    std::string out(utf8.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size(), outLeft = out.size();
    char* o = out.data();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string Bits(const std::string& d) { return hanxin::EncodeBits(U(d), d.size()); }

TEST(HanXinModes, BitStrings)
{
    struct Case { std::string data; std::string bits; };
    const Case cases[] = {
        // Numeric: three digits in 10 bits, the terminator tells the last group's length.
        {"12345", "0001" "0001111011" "0000101101" "1111111110"},
        {"123456", "0001" "0001111011" "0111001000" "1111111111"},
        // Text 1 (digits, letters), text 2 (the rest of ASCII), switch 62, end 63.
        {"ABCabc", "0010" "001010" "001011" "001100" "100100" "100101" "100110" "111111"},
        {"AB!!!!CD", "0010" "001010" "001011" "111110" "011101" "011101" "011101" "011101" "111110" "001100"
                     "001101" "111111"},
        // Binary: 13-bit count, the bytes.
        {"\x80\x81", "0011" "0000000000010" "10000000" "10000001"},
        // GB 2312 region one (symbols A1-A3 after the characters), region two
        // with the switch 0xFFE, end 0xFFF.
        {Gb18030("啊啊齄齄"), "0100" "000000000000" "000000000000" "111111111110" "101110111111" "101110111111"
                              "111111111111"},
        {Gb18030("、、、"), "0100" "111010110001" "111010110001" "111010110001" "111111111111"},
        // Double-byte GB 18030, 15 bits, end 0x7FFF.
        {Gb18030("丂丄丅丆丏"), "0110" "000000000000000" "000000000000001" "000000000000010" "000000000000011"
                                "000000000000100" "111111111111111"},
        // Four-byte GB 18030: indicator and 21 bits per character.
        {Gb18030("𠀀"), "0111" "000111110001001001000"},
    };
    for (const Case& c : cases) EXPECT_EQ(Bits(c.data), c.bits) << c.data;
    // Modes change where it saves bits: digits inside text stay text, a long
    // run of them goes numeric.
    const auto segs = hanxin::ChooseSegments(U("Order 123456789012345 ok"), 24);
    ASSERT_EQ(segs.size(), 3u);
    EXPECT_EQ(segs[0].mode, hanxin::Mode::kText);
    EXPECT_EQ(segs[1].mode, hanxin::Mode::kNumeric);
    EXPECT_EQ(segs[2].mode, hanxin::Mode::kText);
}

TEST(HanXinLayout, EveryVersionHoldsItsCodewords)
{
    // Corners, fixed runs and strips leave exactly the modules of the
    // version's codewords plus fewer than eight remainder modules.
    for (int v = 1; v <= hanxin::kMaxVersion; ++v) {
        hanxin::Symbol s;
        const std::string d = "1";
        ASSERT_EQ(hanxin::BuildSymbol(U(d), 1, 1, v, 0, s), hanxin::Status::kOk) << v;
        EXPECT_EQ(s.matrix.width, 21 + 2 * v);
        const int n = s.matrix.width;
        for (int l = 0; l < 4; ++l) {
            const auto& b = hanxin::kBlocks[v - 1][l];
            int data = 0, ec = 0;
            for (const auto& g : b.groups) {
                data += g.count * g.data;
                ec += g.count * g.ec;
            }
            EXPECT_EQ(data, b.data) << v << " " << l;
            EXPECT_EQ(data + ec, b.total) << v << " " << l;
            EXPECT_LT(b.total * 8, n * n);
        }
        // The finder corners: a dark top-left and a light separator column 7.
        EXPECT_TRUE(s.matrix.Dark(0, 0));
        EXPECT_FALSE(s.matrix.Dark(7, 0));
        EXPECT_TRUE(s.matrix.Dark(n - 1, n - 1));
    }
}

TEST(HanXinSymbol, VersionChoiceAndLimits)
{
    hanxin::Symbol s;
    // v1 L1 holds 21 data codewords: 18 bytes in binary mode, 19 do not fit.
    const std::string b18(18, '\x80'), b19(19, '\x80');
    ASSERT_EQ(hanxin::BuildSymbol(U(b18), b18.size(), 1, 0, -1, s), hanxin::Status::kOk);
    EXPECT_EQ(s.version, 1);
    ASSERT_EQ(hanxin::BuildSymbol(U(b19), b19.size(), 1, 0, -1, s), hanxin::Status::kOk);
    EXPECT_EQ(s.version, 2);
    EXPECT_EQ(hanxin::BuildSymbol(U(b19), b19.size(), 1, 1, -1, s), hanxin::Status::kTooLong);
    EXPECT_EQ(hanxin::BuildSymbol(U(b18), b18.size(), 5, 0, -1, s), hanxin::Status::kBadLevel);
    EXPECT_EQ(hanxin::BuildSymbol(U(b18), b18.size(), 1, 85, -1, s), hanxin::Status::kBadVersion);
    // The largest symbol: 3261 bytes at level 1, one more is too long.
    const std::string big(3261, '\x80'), over(3262, '\x80');
    ASSERT_EQ(hanxin::BuildSymbol(U(big), big.size(), 1, 0, -1, s), hanxin::Status::kOk);
    EXPECT_EQ(s.version, 84);
    EXPECT_EQ(hanxin::BuildSymbol(U(over), over.size(), 1, 0, -1, s), hanxin::Status::kTooLong);
}

TEST(HanXinEntry, SizesChecksAndContract)
{
    CSize size;
    ASSERT_EQ(MeasureHanXin(size, "Korvane", 7, 1, 0, 0, 0, 0, 3, 0, nullptr), 1);
    EXPECT_EQ(size, CSize(23 * 3, 23 * 3));
    ASSERT_EQ(MeasureHanXin(size, "Korvane", 7, 4, 0, 0, 0, 10, 2, 0, nullptr), 1);
    EXPECT_EQ(size, CSize(41 * 2, 41 * 2));
    struct Case { const char* data; int length, level, version, module, rotation; std::uint32_t code; };
    const Case cases[] = {
        {"A", 1, 1, 0, 1, 45, BCE_BAD_ROTATION},
        {"A", 1, 1, 0, 0, 0, BCE_MODULE_TOO_SMALL},
        {nullptr, 1, 1, 0, 1, 0, BCE_BAD_LENGTH},
        {"A", 0, 1, 0, 1, 0, BCE_BAD_LENGTH},
        {"A", 1, 0, 0, 1, 0, BCE_BAD_EC_LEVEL},
        {"A", 1, 5, 0, 1, 0, BCE_BAD_EC_LEVEL},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 26, 4, 1, 1, 0, BCE_BAD_LENGTH},
    };
    for (const Case& c : cases) {
        std::uint32_t word = 0;
        EXPECT_EQ(EncodeHanXin(c.data, c.length, c.level, 0, 0, 0, c.version, c.module, c.rotation, 0, 0, &word), nullptr);
        EXPECT_EQ(word, c.code) << std::hex << c.code;
    }
    // The three calls: the version used comes back, the side from it.
    int level = 2, version = 0;
    unsigned char* m = nullptr;
    ASSERT_EQ(HanXinEncode("0123456789", 10, 0, &level, 0, 0, 0, 0, &m, &version), 0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(version, 1);
    EXPECT_EQ(HanXinDimsByVersion(version), 23);
    EXPECT_EQ(m[0], 1);
    HanXinEncodeFree(m);
    EXPECT_EQ(HanXinEncode("0123456789", 10, 0, &level, 0, 1, 0, 0, &m, &version), 2);
    EXPECT_EQ(m, nullptr);
}

// Straightforward scoring, module by module: along every row and column each
// run of three or more modules of one colour costs 4 a module; each
// 1:1:1:1:3 or 3:1:1:1:1 profile with three light modules before or after it
// (beyond the edge is light) costs 50.
long ReferencePenalty(const twod::ModuleMatrix& m)
{
    const int n = m.width;
    long score = 0;
    for (int col = 0; col < 2; ++col)
        for (int a = 0; a < n; ++a) {
            auto dark = [&](int b) { return b >= 0 && b < n && (col ? m.Dark(a, b) : m.Dark(b, a)); };
            int run = 1;
            for (int b = 1; b <= n; ++b) {
                if (b < n && dark(b) == dark(b - 1)) {
                    ++run;
                    continue;
                }
                if (run >= 3) score += 4 * run;
                run = 1;
            }
            for (int b = 0; b + 7 <= n; ++b) {
                const bool profile = dark(b) && dark(b + 2) && !dark(b + 3) && dark(b + 4) && dark(b + 6) &&
                                     dark(b + 1) != dark(b + 5);
                const bool before = !dark(b - 1) && !dark(b - 2) && !dark(b - 3);
                const bool after = !dark(b + 7) && !dark(b + 8) && !dark(b + 9);
                if (profile && (before || after)) score += 50;
            }
        }
    return score;
}

TEST(HanXinSymbol, PenaltyMatchesModuleByModuleScoring)
{
    // Sizes on both sides of the 64-module words the scoring works in.
    std::mt19937 rng(9);
    for (int n : {23, 63, 64, 65, 127, 129, 189})
        for (int k = 0; k < 3; ++k) {
            twod::ModuleMatrix m(n, n);
            for (auto& c : m.cells) c = std::uint8_t(k == 0 ? rng() % 2 : (k == 1 ? rng() % 4 == 0 : rng() % 4 != 0));
            // Rows and columns of profiles among light modules.
            for (int y = 1; y < n; y += 5)
                for (int x = 0; x < n; ++x) m.Set(x, y, x % 12 < 7 && ((0x57 >> (6 - x % 12)) & 1));
            EXPECT_EQ(hanxin::MaskPenalty(m), ReferencePenalty(m)) << n << " " << k;
        }
}

TEST(HanXinSymbol, ChosenMaskScoresLowestInLargeVersions)
{
    std::mt19937 rng(4);
    for (int version : {1, 22, 23, 54, 84}) {
        std::string d;
        for (int i = 0; i < 10 * version; ++i) d += char('A' + rng() % 26);
        hanxin::Symbol chosen;
        ASSERT_EQ(hanxin::BuildSymbol(U(d), d.size(), 1, version, -1, chosen), hanxin::Status::kOk) << version;
        const long best = ReferencePenalty(chosen.matrix);
        for (int mask = 0; mask < 4; ++mask) {
            hanxin::Symbol forced;
            ASSERT_EQ(hanxin::BuildSymbol(U(d), d.size(), 1, version, mask, forced), hanxin::Status::kOk);
            const long score = ReferencePenalty(forced.matrix);
            EXPECT_GE(score, best) << "version " << version << " mask " << mask;
            if (score == best) EXPECT_GE(mask, chosen.mask) << "version " << version;
            if (mask == chosen.mask) EXPECT_EQ(forced.matrix.cells, chosen.matrix.cells) << version;
        }
    }
}

#ifdef KV_HAVE_ZINT
// libzint's matrix; mask -1 lets it choose. utf8 data goes in as Unicode
// (libzint turns it into GB 18030), other data as bytes.
std::vector<std::string> ZintMatrix(const std::string& d, bool utf8, int level, int version, int mask)
{
    zint_symbol* s = ZBarcode_Create();
    s->symbology = BARCODE_HANXIN;
    s->option_1 = level;
    s->option_2 = version;
    s->option_3 = mask >= 0 ? (mask + 1) << 8 : 0;
    s->input_mode = utf8 ? UNICODE_MODE : DATA_MODE;
    std::vector<std::string> rows;
    if (ZBarcode_Encode(s, U(d), int(d.size())) < 5)
        for (int r = 0; r < s->rows; ++r) {
            std::string row;
            for (int c = 0; c < s->width; ++c) row += ((s->encoded_data[r][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
            rows.push_back(row);
        }
    ZBarcode_Delete(s);
    return rows;
}

std::vector<std::string> Rows(const twod::ModuleMatrix& m)
{
    std::vector<std::string> rows;
    for (int r = 0; r < m.height; ++r) {
        std::string row;
        for (int c = 0; c < m.width; ++c) row += m.Dark(c, r) ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

struct ZintCase {
    std::string utf8;  // the text (UTF-8 when `chinese`, else the bytes themselves)
    bool chinese;
    int level, version;
};

std::vector<ZintCase> ModeCases()
{
    std::string bytes;
    for (int i = 0; i < 200; ++i) bytes += char(0x80 + (i * 7) % 128);
    std::string long1, long2;
    for (int i = 0; i < 60; ++i) long1 += "汉信码条";
    for (int i = 0; i < 40; ++i) long2 += "齄齇";
    return {
        {"1234567890123456789012345678901234567890", false, 1, 0},
        {"31415926535897932384626433832795028841971693993751058209749445923", false, 3, 7},
        {"HANXINCODE and text mode", false, 2, 0},
        {"Order 123456789012345 ok", false, 3, 0},
        {"!!!?!?///***", false, 1, 0},
        {bytes, false, 1, 0},
        {bytes, false, 4, 25},
        {"汉信码", true, 1, 0},
        {long1, true, 2, 0},
        {long2, true, 3, 0},
        {"啊啊啊啊齄齄齄齄", true, 4, 0},
        {"丂丄丅丆丏丂丄丅丆丏", true, 1, 0},
        {"ぁぃぅぇぉゃゅょ", true, 2, 0},
        {"𠀀𠀁𠀂", true, 3, 0},
        {std::string(2000, '7'), false, 1, 0},
        {"Korvane", false, 4, 84},
    };
}

TEST(HanXinSymbol, SameModulesAsLibzintWithTheMaskFixed)
{
    for (const ZintCase& c : ModeCases()) {
        const std::string ours = c.chinese ? Gb18030(c.utf8) : c.utf8;
        for (int mask = 0; mask < 4; ++mask) {
            hanxin::Symbol s;
            ASSERT_EQ(hanxin::BuildSymbol(U(ours), ours.size(), c.level, c.version, mask, s), hanxin::Status::kOk)
                << c.utf8.substr(0, 20);
            EXPECT_EQ(Rows(s.matrix), ZintMatrix(c.utf8, c.chinese, c.level, c.version, mask))
                << c.utf8.substr(0, 20) << " level " << c.level << " version " << c.version << " mask " << mask;
        }
    }
}

TEST(HanXinSymbol, FewerBitsThanLibzintWhereModesAreAFreeChoice)
{
    // A short digit run after text: libzint ends the text and writes the
    // digits in numeric mode (text end 6 + indicator 4 + two groups 20 +
    // terminator 10 bits); staying in text costs a sub-mode switch and 6 bits
    // a digit, 10 bits fewer. Both read back the same; ours is smaller.
    const std::string d = "HANXINCODE and text mode 0123";
    const auto segs = hanxin::ChooseSegments(U(d), d.size());
    ASSERT_EQ(segs.size(), 1u);
    EXPECT_EQ(segs[0].mode, hanxin::Mode::kText);
    EXPECT_EQ(Bits(d).size(), 232u);
    hanxin::Symbol s;
    ASSERT_EQ(hanxin::BuildSymbol(U(d), d.size(), 2, 0, 0, s), hanxin::Status::kOk);
    EXPECT_NE(Rows(s.matrix), ZintMatrix(d, false, 2, 0, 0));
}

TEST(HanXinSymbol, MaskSelectionAgreesWithLibzint)
{
    std::vector<ZintCase> cases = ModeCases();
    // And messages of digits, capitals and bytes of many lengths, each level
    // (bytes that form no GB 18030 character: libzint reads bytes given as
    // bytes as binary data, we read them in the system's code page).
    unsigned seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int i = 0; i < 120; ++i) {
        std::string d;
        const int kind = i % 3, len = 1 + int(next() % 150);
        for (int k = 0; k < len; ++k)
            d += kind == 0 ? char('0' + next() % 10) : kind == 1 ? char('A' + next() % 26) : "\x80\xFF\x1C\x1F"[next() % 4];
        cases.push_back({d, false, 1 + i % 4, 0});
    }
    for (const ZintCase& c : cases) {
        const std::string ours = c.chinese ? Gb18030(c.utf8) : c.utf8;
        hanxin::Symbol s;
        ASSERT_EQ(hanxin::BuildSymbol(U(ours), ours.size(), c.level, c.version, -1, s), hanxin::Status::kOk);
        EXPECT_EQ(Rows(s.matrix), ZintMatrix(c.utf8, c.chinese, c.level, c.version, -1))
            << c.utf8.substr(0, 20) << " level " << c.level << " our mask " << s.mask;
    }
}
#endif

}  // namespace
