// MaxiCode: the grid of codeword bits module for module against libzint, the
// picture's geometry (hexagons where the grid puts them, the bullseye), the
// entry's checks, and every mode read back by zxing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoders/maxicode.h"
#include "encoders/maxicode_entry.h"
#include "platform/geometry.h"
#include "support/decode.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

const std::uint8_t* U(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

const std::string kHeader = "[)>\x1E" "01\x1D" "96";

maxicode::Symbol Build(const std::string& d, int mode)
{
    maxicode::Symbol s;
    EXPECT_EQ(maxicode::BuildSymbol(U(d), d.size(), mode, s), maxicode::Status::kOk) << d;
    return s;
}

TEST(MaxiCode, ModesChosenAndCarrierMessagesRecognised)
{
    struct Case { std::string data; int asked, mode; };
    const Case cases[] = {
        {kHeader + "152382802\x1D" "840\x1D" "001\x1D" "1Z00004951", 0, 2},
        {kHeader + "B1050\x1D" "056\x1D" "999\x1D" "rest", 0, 3},
        {"12345\x1D" "840\x1D" "1", 0, 2},
        {"12345\x1D" "840\x1D" "1", 3, 2},  // the postal code decides between 2 and 3
        {"AB1 2C\x1D" "826\x1D" "12\x1D" "x", 2, 3},
        {"1234567890\x1D" "840\x1D" "001", 0, 4},  // ten digits: no postal code
        {"ABCDEFG\x1D" "826\x1D" "001", 0, 4},     // seven characters: none either
        {"12345\x1D" "8400\x1D" "001", 0, 4},      // four-digit country
        {"abc\x1D" "840\x1D" "001", 0, 4},         // lower case is not in set A
        {"Plain text", 0, 4},
        {"Plain text", 2, 4},
        {kHeader + "152382802\x1D" "840\x1D" "001\x1D", 4, 4},
        {"Plain text", 5, 5},
    };
    for (const Case& c : cases) EXPECT_EQ(Build(c.data, c.asked).mode, c.mode) << c.data << " asked " << c.asked;

    maxicode::CarrierMessage m;
    const std::string msg = kHeader + "152382802\x1D" "840\x1D" "001\x1D" "TAIL";
    ASSERT_TRUE(maxicode::ParseCarrierMessage(U(msg), msg.size(), m));
    EXPECT_EQ(m.postalCode, "152382802");
    EXPECT_EQ(m.country, 840);
    EXPECT_EQ(m.serviceClass, 1);
    EXPECT_EQ(m.secondary, kHeader + "TAIL");
}

TEST(MaxiCode, CodeSetsLatchesAndShifts)
{
    struct Case { std::string data; std::vector<int> codewords; };
    const Case cases[] = {
        // Set A; nine digits take the numeric shift and five codewords.
        {"AB 1", {1, 2, 32, 49}},
        {"123456789", {31, 7, 22, 60, 52, 21}},
        // One character of set B is shifted, two or more are latched.
        {"AbC", {1, 59, 2, 3}},
        {"Abc", {1, 63, 2, 3}},
        {"abCD", {63, 1, 2, 63, 3, 4}},
        {"ab,C", {63, 1, 2, 48, 59, 3}},
        // Sets C, D and E through their shifts, from A and from B.
        {"\xC0" "a\x01", {60, 0, 59, 1, 62, 1}},
        {"ab\xE0" "c\xC0\x01", {63, 1, 2, 61, 0, 3, 60, 0, 62, 1}},
        // Four or more of C, D or E are locked in and left with a latch.
        {"\xC0\xC1\xC2\xC3", {60, 60, 0, 1, 2, 3, 58}},
        {"\xE0\xE1\xE2\xE3" "a", {61, 61, 0, 1, 2, 3, 63, 1}},
        {"\x01\x02\x03", {62, 1, 62, 2, 62, 3}},
    };
    for (const Case& c : cases) EXPECT_EQ(maxicode::EncodeText(U(c.data), c.data.size()), c.codewords) << c.data;
}

TEST(MaxiCode, ErrorCorrectionHasTheGeneratorRoots)
{
    // GF(64), x^6 + x + 1: the codeword polynomial vanishes at a^1 .. a^n.
    int exp[63], v = 1;
    for (int i = 0; i < 63; ++i) {
        exp[i] = v;
        v <<= 1;
        if (v & 64) v ^= 0x43;
    }
    auto mul = [&](int a, int b) {
        if (!a || !b) return 0;
        int la = 0, lb = 0;
        while (exp[la] != a) ++la;
        while (exp[lb] != b) ++lb;
        return exp[(la + lb) % 63];
    };
    const std::vector<int> data = {4, 1, 2, 3, 33, 33, 63, 0, 17, 42};
    for (int n : {10, 20, 28}) {
        std::vector<int> all = data;
        const auto ec = maxicode::ErrorCorrection(data, n);
        all.insert(all.end(), ec.begin(), ec.end());
        for (int i = 1; i <= n; ++i) {
            int acc = 0;
            for (int c : all) acc = mul(acc, exp[i % 63]) ^ c;
            EXPECT_EQ(acc, 0) << n << " root " << i;
        }
    }
}

TEST(MaxiCode, TooLongForTheMode)
{
    maxicode::Symbol s;
    const std::string caps93(93, 'A'), caps94(94, 'A');
    EXPECT_EQ(maxicode::BuildSymbol(U(caps93), caps93.size(), 4, s), maxicode::Status::kOk);
    EXPECT_EQ(maxicode::BuildSymbol(U(caps94), caps94.size(), 4, s), maxicode::Status::kTooLong);
    EXPECT_EQ(maxicode::BuildSymbol(U(caps93), 77, 5, s), maxicode::Status::kOk);
    EXPECT_EQ(maxicode::BuildSymbol(U(caps93), 78, 5, s), maxicode::Status::kTooLong);
    std::uint32_t word = 0;
    EXPECT_EQ(EncodeMaxiCode(caps94.data(), int(caps94.size()), 0, 2, 0, 0, 0, &word), nullptr);
    EXPECT_EQ(word, BCE_BAD_LENGTH);
}

TEST(MaxiCodeEntry, ChecksInOrder)
{
    struct Case { const char* data; int length, module, rotation; std::uint32_t code; };
    const Case cases[] = {
        {nullptr, 0, 0, 45, BCE_BAD_ROTATION},
        {nullptr, 0, 0, 0, BCE_MODULE_TOO_SMALL},
        {nullptr, 3, 1, 0, BCE_BAD_LENGTH},
        {"ABC", 0, 1, 90, BCE_BAD_LENGTH},
    };
    for (const Case& c : cases) {
        std::uint32_t word = 0;
        EXPECT_EQ(EncodeMaxiCode(c.data, c.length, 0, c.module, c.rotation, 0, 0, &word), nullptr);
        EXPECT_EQ(word, c.code) << std::hex << c.code;
    }
}

TEST(MaxiCodeEntry, PictureGeometry)
{
    // Module 2: hexagons 8 high and 7 wide, 210 x 200 pixels.
    CSize size;
    ASSERT_EQ(MeasureMaxiCode(size, "ABC", 3, 0, 2, 0, nullptr), 1);
    EXPECT_EQ(size, CSize(210, 200));
    ASSERT_EQ(MeasureMaxiCode(size, "ABC", 3, 0, 2, 90, nullptr), 1);
    EXPECT_EQ(size, CSize(200, 210));

    // Each hexagon's centre is dark exactly where the grid is; the bullseye
    // rings are dark between their radii and light between them.
    const std::string d = "Geometry check 0123456789 abc";
    for (int module : {2, 3, 5}) {
        auto bmp = EncodeMaxiCode(d.data(), int(d.size()), 0, module, 0, 0, 0, nullptr);
        ASSERT_TRUE(bmp);
        const maxicode::Symbol sym = Build(d, 0);
        const int H = 4 * module, W = MulDiv(H, 86, 100);
        for (int r = 0; r < 33; ++r)
            for (int p = 0; p < 30; ++p) {
                if (maxicode::kPlacement[r][p] == maxicode::kNoPosition || maxicode::kPlacement[r][p] == maxicode::kFinderArea)
                    continue;
                const int x = p * W + (r % 2 ? W / 2 : 0) + W / 2;
                const int y = (r / 2) * (2 * H - H / 2) + (r % 2 ? H - H / 4 : 0) + H / 2;
                EXPECT_EQ(bmp->IsBlack(x, y), sym.dark[size_t(r)][size_t(p)] != 0) << module << ": " << r << "," << p;
            }
        const int cx = (30 * W - W) / 2, cy = 50 * module, ring = MulDiv(H, 67, 100);
        for (int inner : {MulDiv(H, 51, 100), MulDiv(H, 186, 100), MulDiv(H, 320, 100)}) {
            EXPECT_TRUE(bmp->IsBlack(cx + inner + ring / 2, cy)) << module << " ring " << inner;
            EXPECT_TRUE(bmp->IsBlack(cx, cy - inner - ring / 2 - 1)) << module << " ring " << inner;
        }
        EXPECT_FALSE(bmp->IsBlack(cx, cy));
        EXPECT_FALSE(bmp->IsBlack(cx + (MulDiv(H, 51, 100) + ring + MulDiv(H, 186, 100)) / 2, cy));
    }
}

#ifdef KV_HAVE_ZINT
// libzint's 33 x 30 grid for data (mode 4 or 5), or for a primary message and
// its secondary data (modes 2 and 3).
std::vector<std::string> ZintGrid(const std::string& d, int mode, const std::string& primary = "")
{
    zint_symbol* s = ZBarcode_Create();
    s->symbology = BARCODE_MAXICODE;
    s->option_1 = mode;
    s->input_mode = DATA_MODE;
    if (!primary.empty()) std::snprintf(s->primary, sizeof s->primary, "%s", primary.c_str());
    std::vector<std::string> rows;
    if (ZBarcode_Encode(s, U(d), int(d.size())) < 5)
        for (int r = 0; r < s->rows; ++r) {
            std::string row;
            for (int c = 0; c < 30; ++c) row += ((s->encoded_data[r][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
            rows.push_back(row);
        }
    ZBarcode_Delete(s);
    return rows;
}

std::vector<std::string> Grid(const maxicode::Symbol& s)
{
    std::vector<std::string> rows;
    for (const auto& r : s.dark) {
        std::string row;
        for (auto m : r) row += m ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

TEST(MaxiCode, SameModulesAsLibzint)
{
    // Data whose code-set choices are the same in both encoders; the
    // codewords, both Reed-Solomon codes and the placement leave no choice.
    struct Case { std::string data; int mode; };
    const Case cases[] = {
        {"MAXICODE 4711", 4},
        {"ABC123456789DEF", 4},
        {"hello world, lower case here", 4},
        {std::string(93, 'Z'), 4},
        {"MODE FIVE 0123", 5},
        {std::string(77, 'Q'), 5},
        {"\x01\x02 CONTROL", 4},
        {"\xC0\xC1\xC2\xC3\xC4 ABC \xE0\xE1\xE2\xE3\xE4\xE5", 4},
    };
    for (const Case& c : cases) EXPECT_EQ(Grid(Build(c.data, c.mode)), ZintGrid(c.data, c.mode)) << c.data;
    // A free choice: a space and a capital met in set B. libzint writes them
    // with the two-character shift to A (56, space, "W"); we write the space
    // in set B and shift the capital (47, 59, "W"). Same length, both read.
    const std::string d = "Hello World";
    EXPECT_NE(Grid(Build(d, 4)), ZintGrid(d, 4));
    EXPECT_EQ(maxicode::EncodeText(U(d), d.size()),
              (std::vector<int>{8, 63, 5, 12, 12, 15, 47, 59, 23, 15, 18, 12, 4}));

    // Structured carrier messages: libzint takes the primary message as
    // postal code, country and class run together.
    struct Carrier { std::string ours, zintPrimary, zintData; int mode; };
    const Carrier carriers[] = {
        {"152382802\x1D" "840\x1D" "001\x1D" "1Z00004951", "152382802840001", "1Z00004951", 2},
        {"1234\x1D" "276\x1D" "099\x1D" "PARCEL", "1234276099", "PARCEL", 2},
        {"B1050\x1D" "056\x1D" "999\x1D" "TEXT", "B1050 056999", "TEXT", 3},
        {"SW1A1A\x1D" "826\x1D" "001\x1D" "LONDON", "SW1A1A826001", "LONDON", 3},
    };
    for (const Carrier& c : carriers)
        EXPECT_EQ(Grid(Build(c.ours, c.mode)), ZintGrid(c.zintData, c.mode, c.zintPrimary)) << c.ours;
}
#endif

TEST(MaxiCode, ZxingReadsEveryMode)
{
    struct Case { std::string data; int mode; std::string expect; };
    const std::string ups = kHeader + "152382802\x1D" "840\x1D" "001\x1D" "1Z00004951\x1DUPSN\x1D" "06X610\x1D" "159\x1D"
                            "1234567\x1D" "1/1\x1D\x1DY\x1D" "634 ALPHA DR\x1DPITTSBURGH\x1DPA\x1E\x04";
    const Case cases[] = {
        {ups, 0, ups},
        {kHeader + "B1050 \x1D" "056\x1D" "999\x1D" "Rue du Lac 5", 0, kHeader + "B1050 \x1D" "056\x1D" "999\x1D" "Rue du Lac 5"},
        {"12345\x1D" "840\x1D" "001\x1D" "Secondary text", 2, "12345\x1D" "840\x1D" "001\x1D" "Secondary text"},
        {"Korvane MaxiCode: mixed Case, digits 1234567890123 and !@#$%^&*()", 4,
         "Korvane MaxiCode: mixed Case, digits 1234567890123 and !@#$%^&*()"},
        {"Mode five, enhanced error correction 42", 5, "Mode five, enhanced error correction 42"},
        {"Bytes \xC0\xE9\xFC\x80\x9F end", 4, "Bytes \xC0\xE9\xFC\x80\x9F end"},
        {"\xC0\xC1\xC2\xC3\xC4 locked \xE0\xE1\xE2\xE3\xE4 runs", 4, "\xC0\xC1\xC2\xC3\xC4 locked \xE0\xE1\xE2\xE3\xE4 runs"},
    };
    for (const Case& c : cases) {
        for (int module : {2, 3}) {
            auto bmp = EncodeMaxiCode(c.data.data(), int(c.data.size()), c.mode, module, 0, 0, 0, nullptr);
            ASSERT_TRUE(bmp);
            const auto d = kvtest::DecodeBitmap(*bmp, ZXing::BarcodeFormat::MaxiCode, 4 * module);
            EXPECT_TRUE(d.ok) << c.data << " module " << module;
            EXPECT_EQ(d.bytes, kvtest::Bytes(c.expect)) << c.data << " module " << module;
        }
    }
}

}  // namespace
