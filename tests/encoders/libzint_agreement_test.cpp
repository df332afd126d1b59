// Module-exact agreement with libzint where the standards leave no choice:
// the linear symbologies (same check characters; our quiet zones, which
// libzint leaves to its renderer, cut off), QR Code with the same version,
// level and mask, and Data Matrix in the same size. Where the two differ by a
// choice the standard allows, the case says so beside it. (PDF417, MaxiCode,
// Han Xin and GS1 DataBar have their agreement tables beside their own tests.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoders/datamatrix.h"
#include "encoders/linear_entries.h"
#include "encoders/qr_code.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>

namespace {

struct ZintRequest {
    int symbology;
    std::string data;
    int option1 = 0;
    int option2 = 0;
    int option3 = 0;
    int inputMode = DATA_MODE;
};

// The comparator's module rows ('1' dark); empty when it refuses. Linear
// and stacked symbols keep consecutive equal rows once (row heights are each
// side's own business).
std::vector<std::string> ZintRows(const ZintRequest& q, bool collapse = true)
{
    zint_symbol* s = ZBarcode_Create();
    s->symbology = q.symbology;
    s->option_1 = q.option1;
    s->option_2 = q.option2;
    s->option_3 = q.option3;
    s->input_mode = q.inputMode;
    std::vector<std::string> rows;
    if (ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(q.data.data()), int(q.data.size())) < ZINT_ERROR)
        for (int r = 0; r < s->rows; ++r) {
            std::string row;
            for (int c = 0; c < s->width; ++c) row += ((s->encoded_data[r][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
            if (!collapse || rows.empty() || rows.back() != row) rows.push_back(row);
        }
    ZBarcode_Delete(s);
    return rows;
}

// Our bitmap's rows at one pixel per module, consecutive equal rows once.
std::vector<std::string> BitmapRows(const CMonoBitmap* bmp)
{
    std::vector<std::string> rows;
    if (!bmp) return rows;
    for (int y = 0; y < bmp->Height(); ++y) {
        std::string row;
        for (int x = 0; x < bmp->Width(); ++x) row += bmp->IsBlack(x, y) ? '1' : '0';
        if (rows.empty() || rows.back() != row) rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> MatrixRows(const twod::ModuleMatrix& m)
{
    std::vector<std::string> rows;
    for (int y = 0; y < m.height; ++y) {
        std::string row;
        for (int x = 0; x < m.width; ++x) row += m.Dark(x, y) ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

// ---- linear symbologies ------------------------------------------------------

enum class Entry { Linear, Code128, AddOn, Itf14 };

struct LinearCase {
    Entry entry;
    int type;         // encoder type, Code 128 mode or EAN/UPC type with an add-on
    int addOn;        // EncodeEanAddOn's add-on (1 two digits, 2 five)
    std::string ours;
    int wide;         // wide element in modules (two-width types)
    ZintRequest theirs;
    // Modules left out of the comparison at the left and right end of our
    // row and of libzint's (see the case's comment).
    int oursLeft = 0, oursRight = 0, theirsLeft = 0, theirsRight = 0;
    // A free choice of the standard: both rows must have the same width
    // (the same number of symbol characters), not the same modules.
    bool sameWidthOnly = false;
};

BarBitmap EncodeOurs(const LinearCase& c)
{
    switch (c.entry) {
    case Entry::Linear: return EncodeLinear(c.type, c.ours.c_str(), 1, 0, c.wide, 1, 0, 0, 0, nullptr);
    case Entry::Code128: return EncodeCode128(c.type, c.ours.c_str(), 1, 0, 1, 0, 0, 0, nullptr);
    case Entry::AddOn: return EncodeEanAddOn(c.type, c.ours.c_str(), c.addOn, 1, 0, 1, 0, 0, 0, nullptr);
    case Entry::Itf14: return EncodeItf14(c.ours.c_str(), 1, 0, c.wide, 1, 0, 0, 0, 0, 0, 0, nullptr);
    }
    return nullptr;
}

const LinearCase kLinearCases[] = {
    // Code 39 and Full ASCII, wide elements of two modules (libzint's ratio).
    {Entry::Linear, BCT_CODE39, 0, "CODE39", 2, {BARCODE_CODE39, "CODE39"}},
    {Entry::Linear, BCT_CODE39, 0, "KV-39 A.$/+%", 2, {BARCODE_CODE39, "KV-39 A.$/+%"}},
    {Entry::Linear, BCT_CODE39, 0, "lower 7", 2, {BARCODE_CODE39, "LOWER 7"}},
    {Entry::Linear, BCT_CODE39_ASCII, 0, "Hello, World! ~{}", 2, {BARCODE_EXCODE39, "Hello, World! ~{}"}},
    {Entry::Linear, BCT_CODE39_ASCII, 0, "\x01\x1f\x7f@`", 2, {BARCODE_EXCODE39, "\x01\x1f\x7f@`"}},
    // Code 93 with its two check characters.
    {Entry::Linear, BCT_CODE93, 0, "CODE93", 1, {BARCODE_CODE93, "CODE93"}},
    {Entry::Linear, BCT_CODE93, 0, "Korvane 93 \x01\x7f!", 1, {BARCODE_CODE93, "Korvane 93 \x01\x7f!"}},
    // Code 128: set B throughout, then automatic where both choose the same sets.
    {Entry::Linear, BCT_CODE128_CARET, 0, "^BKorvane 128", 1, {BARCODE_CODE128B, "Korvane 128"}},
    {Entry::Code128, C128_AUTO, 0, "1234", 1, {BARCODE_CODE128, "1234"}},
    {Entry::Code128, C128_AUTO, 0, "AB12", 1, {BARCODE_CODE128, "AB12"}},
    {Entry::Code128, C128_AUTO, 0, "KORVANE-0123456789-label", 1, {BARCODE_CODE128, "KORVANE-0123456789-label"}},
    {Entry::Code128, C128_AUTO, 0, "ab\x01" "cd", 1, {BARCODE_CODE128, "ab\x01" "cd"}},
    // GS1-128: FNC1 first and after a variable-length field.
    {Entry::Code128, GS1_128_AUTO, 0, "^101095011015300033103000123", 1,
     {BARCODE_GS1_128, "[01]09501101530003[3103]000123", 0, 0, 0, GS1_MODE}},
    // Code sets are a free choice where they cost the same: our optimiser
    // stays in set B for the short digit runs of "10ABC123" and "21XYZ",
    // libzint switches to set C for some of them; both need 14 symbols.
    {Entry::Code128, GS1_128_AUTO, 0, "^110ABC123^121XYZ", 1,
     {BARCODE_GS1_128, "[10]ABC123[21]XYZ", 0, 0, 0, GS1_MODE}, 0, 0, 0, 0, true},
    // EAN/UPC with the check digit computed; our nine- and seven-module quiet
    // zones belong to the symbol, libzint's renderer adds its own.
    {Entry::Linear, BCT_EAN13, 0, "590123412345", 1, {BARCODE_EANX, "590123412345"}, 9, 9},
    {Entry::Linear, BCT_EAN13, 0, "4006381333931", 1, {BARCODE_EANX, "4006381333931"}, 9, 9},
    {Entry::Linear, BCT_UPCA, 0, "03600029145", 1, {BARCODE_UPCA, "03600029145"}, 9, 9},
    {Entry::Linear, BCT_EAN8, 0, "9638507", 1, {BARCODE_EANX, "9638507"}, 7, 7},
    {Entry::Linear, BCT_UPCE, 0, "0123456", 1, {BARCODE_UPCE, "0123456"}, 9, 7},
    {Entry::Linear, BCT_UPCE, 0, "0654321", 1, {BARCODE_UPCE, "0654321"}, 9, 7},
    {Entry::Linear, BCT_ADDON2, 0, "12", 1, {BARCODE_EANX, "12"}},
    {Entry::Linear, BCT_ADDON5, 0, "52495", 1, {BARCODE_EANX, "52495"}},
    // The add-on follows our main symbol's right quiet zone of nine modules;
    // libzint is given the same gap (its default for EAN-13 is seven).
    {Entry::AddOn, BCT_EAN13, 1, "59012341234512", 1, {BARCODE_EANX, "590123412345+12", 0, 9}, 9},
    {Entry::AddOn, BCT_UPCA, 2, "0360002914552495", 1, {BARCODE_UPCA, "03600029145+52495", 0, 9}, 9},
    // The 2 of 5 family, wide elements of three modules (libzint's ratio).
    {Entry::Linear, BCT_ITF25, 0, "1234567890", 3, {BARCODE_C25INTER, "1234567890"}},
    {Entry::Linear, BCT_ITF25, 0, "123", 3, {BARCODE_C25INTER, "123"}},
    {Entry::Itf14, 0, 0, "15400141288763", 3, {BARCODE_ITF14, "1540014128876"}},
    {Entry::Linear, BCT_CODE25, 0, "1234567", 3, {BARCODE_C25IND, "1234567"}},
    // Our Matrix 2 of 5 start and stop are the ":" character of the digit
    // table, its bar as wide as any wide element (3 modules here); libzint
    // draws that bar 4 modules wide. The digits between agree.
    {Entry::Linear, BCT_MATRIX25, 0, "1234567", 3, {BARCODE_C25STANDARD, "1234567"}, 8, 7, 9, 8},
    {Entry::Linear, BCT_CHINA_POST, 0, "1234567", 3, {BARCODE_C25LOGIC, "1234567"}},
    // Codabar, start and stop in the data; libzint's row ends with the space
    // that would separate a next character.
    {Entry::Linear, BCT_CODABAR, 0, "A1234B", 2, {BARCODE_CODABAR, "A1234B"}, 0, 0, 0, 1},
    {Entry::Linear, BCT_CODABAR, 0, "C$-:/.+D", 2, {BARCODE_CODABAR, "C$-:/.+D"}, 0, 0, 0, 1},
};

std::vector<std::string> Cut(std::vector<std::string> rows, int left, int right)
{
    for (auto& r : rows) r = r.size() >= size_t(left + right) ? r.substr(size_t(left), r.size() - size_t(left + right)) : "";
    return rows;
}

TEST(LibzintAgreement, LinearSymbologies)
{
    for (const LinearCase& c : kLinearCases) {
        const BarBitmap bmp = EncodeOurs(c);
        ASSERT_TRUE(bmp) << c.ours;
        const auto theirs = Cut(ZintRows(c.theirs), c.theirsLeft, c.theirsRight);
        ASSERT_FALSE(theirs.empty()) << c.theirs.data;
        const auto ours = Cut(BitmapRows(bmp.get()), c.oursLeft, c.oursRight);
        if (c.sameWidthOnly) {
            ASSERT_EQ(ours.size(), 1u);
            ASSERT_EQ(theirs.size(), 1u);
            EXPECT_EQ(ours[0].size(), theirs[0].size()) << c.ours;
        } else {
            EXPECT_EQ(ours, theirs) << "type " << c.type << " " << c.ours;
        }
    }
}

// ---- QR Code -------------------------------------------------------------------

struct QrCase {
    std::string data;
    int level;    // 0 L ... 3 H
    int version;  // 0: the smallest
    int mask;
    // The standard leaves the segmentation free and the two sides segment
    // this data differently: the same symbol size is all that must agree.
    bool sameSizeOnly = false;
};

std::string Digits(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) s += char('0' + (i * 7 + 3) % 10);
    return s;
}

std::string Bytes(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) s += char((i * 37 + 11) & 0xFF);
    return s;
}

const QrCase kQrCases[] = {
    {"01234567", qr::kLevelM, 0, 2},
    {"HELLO WORLD 12345", qr::kLevelQ, 0, 5},
    {"https://example.com/a?b=1", qr::kLevelL, 0, 0},
    {Bytes(60), qr::kLevelH, 0, 7},
    {Digits(300), qr::kLevelM, 0, 3},         // numeric count of the second version group
    // A version larger than the data needs: libzint then raises the level to
    // the highest the version holds, so the case asks for H itself.
    {"ABCDEFGHIJ KLMNOP $%*+-./:", qr::kLevelH, 12, 6},
    // Our segmentation weighs neighbouring segments pair by pair: the digits
    // stay numeric, because merging them with either neighbour alone costs
    // more (163 bits in three segments). libzint finds the cheaper single
    // alphanumeric segment (156 bits).
    {"ABCDEF 0123456789 $%*+-./:", qr::kLevelH, 0, 6, true},
    {Bytes(1200), qr::kLevelL, 0, 1},         // third version group, many blocks
    {Digits(7089), qr::kLevelL, 40, 4},       // the largest symbol
    {"KORVANE LABEL 4711", qr::kLevelH, 7, 0},  // version information
};

TEST(LibzintAgreement, QrCodeSameVersionLevelAndMask)
{
    for (const QrCase& c : kQrCases)
        for (int mask : {c.mask, (c.mask + 3) % 8}) {
            qr::Symbol sym;
            ASSERT_TRUE(qr::BuildSymbol(reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size(), c.level,
                                        c.version, mask, sym));
            const auto theirs = ZintRows({BARCODE_QRCODE, c.data, c.level + 1, c.version, (mask + 1) << 8}, false);
            if (c.sameSizeOnly)
                EXPECT_EQ(size_t(sym.matrix.height), theirs.size()) << c.data;
            else
                EXPECT_EQ(MatrixRows(sym.matrix), theirs) << c.data.substr(0, 20) << " mask " << mask;
        }
}

// ---- Data Matrix ---------------------------------------------------------------

struct DataMatrixCase {
    std::string data;
    // The standard leaves the encodation free and libzint encodes this data
    // otherwise (we use ASCII and Base 256 only, by fixed rules): the same
    // symbol size is all that must agree.
    bool sameSizeOnly = false;
};

const DataMatrixCase kDataMatrixCases[] = {
    {"123456"},
    {"0123456789012345678901234567890123456789"},
    {"A1"},
    {Digits(200)},
    {Digits(3116)},  // 144 x 144, ten blocks of two lengths
    {std::string(300, '\xE9')},  // Base 256 with the two-byte length
    // Our Base 256 stretch runs to the end, since fewer than three ASCII
    // bytes follow it; libzint chooses otherwise within the same 16 x 16.
    {"ab\xE9\xE9\xE9\xE9" "cd", true},
    {"ab\xE9\xE9\xE9\xE9" "cdef"},
    {"Korvane 2024", true},  // libzint takes another scheme for the lower-case run
};

TEST(LibzintAgreement, DataMatrixSameSize)
{
    for (const DataMatrixCase& c : kDataMatrixCases) {
        datamatrix::Symbol sym;
        ASSERT_TRUE(datamatrix::BuildSymbol(reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size(), sym));
        const auto theirs = ZintRows({BARCODE_DATAMATRIX, c.data, 0, 0, DM_SQUARE}, false);
        if (c.sameSizeOnly)
            EXPECT_EQ(size_t(sym.matrix.height), theirs.size()) << c.data;
        else
            EXPECT_EQ(MatrixRows(sym.matrix), theirs) << c.data.substr(0, 20);
    }
}

}  // namespace
#endif
