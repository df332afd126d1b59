// The QR Code, PDF417 and Data Matrix entries: the checks in their order with
// codes and messages, bitmap sizes, rotation and mirror, and PDF417's choices
// as QueryPdf417 reports them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoders/twod_entries.h"
#include "support/kvtest.h"
#include "support/decode.h"

namespace {

struct Outcome {
    bool ok;
    std::uint32_t code;
    std::string text;
    std::string caption;
};

template <typename F>
Outcome Capture(F&& f)
{
    kvtest::CaptureMessages cap;
    std::uint32_t word = BCE_SHOW_ERRORS;
    const bool ok = f(&word);
    Outcome o{ok, word, "", ""};
    if (!cap.messages.empty()) {
        o.text = cap.messages.back().text;
        o.caption = cap.messages.back().caption;
    }
    return o;
}

const std::string kBadLength = "\xCC\xF5\xC2\xEB\xD7\xD6\xB7\xFB\xB8\xF6\xCA\xFD\xB3\xAC\xB3\xF6\xB7\xB6\xCE\xA7\xA3\xA1";

TEST(QrEntry, ChecksInOrder)
{
    const char* d = "HELLO";
    struct Case { const char* data; int len, level, module, rotation; std::uint32_t code; std::string text; };
    const Case cases[] = {
        // Rotation is checked before everything else.
        {nullptr, 0, 9, 0, 45, BCE_BAD_ROTATION, ""},
        {nullptr, 0, 9, 0, 0, BCE_MODULE_TOO_SMALL, ""},
        {nullptr, 0, 4, 1, 0, BCE_BAD_EC_LEVEL,
         "\xBE\xC0\xB4\xED\xBC\xB6\xB1\xF0\xD6\xBB\xC4\xDC\xCA\xC7 L \xA1\xA2M \xA1\xA2Q \xBB\xF2 H \xA3\xA1"},
        {d, 5, -1, 1, 0, BCE_BAD_EC_LEVEL, ""},
        {nullptr, 5, 0, 1, 0, BCE_BAD_LENGTH, kBadLength},
        {d, 0, 0, 1, 0, BCE_BAD_LENGTH, kBadLength},
    };
    for (const Case& c : cases) {
        const auto o = Capture([&](std::uint32_t* w) { return EncodeQr(c.data, c.len, c.level, c.module, c.rotation, 0, 0, w) != nullptr; });
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.code, c.code) << std::hex << c.code;
        EXPECT_EQ(o.caption, "VOVerovo.dllQR Code");
        if (!c.text.empty()) EXPECT_EQ(o.text, c.text);
    }
    const std::string digits(7090, '1');
    const auto o = Capture([&](std::uint32_t* w) { return EncodeQr(digits.data(), 7090, 0, 1, 0, 0, 0, w) != nullptr; });
    EXPECT_EQ(o.code, BCE_BAD_LENGTH);
    EXPECT_EQ(o.text, kBadLength);
    std::uint32_t word = BCE_SHOW_ERRORS;
    ASSERT_NE(EncodeQr(digits.data(), 7089, 0, 1, 0, 0, 0, &word), nullptr);
    EXPECT_EQ(word, 0u);
}

TEST(QrEntry, SizesAndNullWord)
{
    CSize s;
    EXPECT_EQ(MeasureQr(s, "01234567", 8, 1, 3, 90, nullptr), 1);
    EXPECT_EQ(s, CSize(63, 63));
    EXPECT_EQ(MeasureQr(s, "01234567", 8, 7, 3, 0, nullptr), 0);
    EXPECT_EQ(s, CSize(0, 0));
    CSize d;
    EXPECT_EQ(MeasureDataMatrix(d, "123456", 6, 0, 4, 270, nullptr), 1);
    EXPECT_EQ(d, CSize(40, 40));
}

// Pixel (x, y) of the plain symbol seen through rotation and mirror.
bool Transformed(const CMonoBitmap& plain, const CMonoBitmap& out, int rotation, int mirror)
{
    const int w = plain.Width(), h = plain.Height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int mx = x, my = y;
            if (mirror == 1) mx = w - 1 - x;
            if (mirror == 2) my = h - 1 - y;
            int ox = mx, oy = my;
            switch (rotation) {
            case 90: ox = my; oy = w - 1 - mx; break;
            case 180: ox = w - 1 - mx; oy = h - 1 - my; break;
            case 270: ox = h - 1 - my; oy = mx; break;
            default: break;
            }
            if (plain.IsBlack(x, y) != out.IsBlack(ox, oy)) return false;
        }
    return true;
}

TEST(TwoDEntries, RotationAndMirror)
{
    const std::string data = "Rotation 0123456789";
    const auto qr0 = EncodeQr(data.data(), int(data.size()), 1, 2, 0, 0, 0, nullptr);
    const auto dm0 = EncodeDataMatrix(data.data(), int(data.size()), 0, 2, 0, 0, 0, nullptr);
    ASSERT_TRUE(qr0 && dm0);
    for (int rotation : {0, 90, 180, 270})
        for (int mirror : {0, 1, 2}) {
            const auto qr = EncodeQr(data.data(), int(data.size()), 1, 2, rotation, mirror, 0, nullptr);
            const auto dm = EncodeDataMatrix(data.data(), int(data.size()), 0, 2, rotation, mirror, 0, nullptr);
            ASSERT_TRUE(qr && dm);
            EXPECT_TRUE(Transformed(*qr0, *qr, rotation, mirror)) << rotation << " " << mirror;
            EXPECT_TRUE(Transformed(*dm0, *dm, rotation, mirror)) << rotation << " " << mirror;
            if (mirror == 0) {
                EXPECT_EQ(kvtest::DecodeBitmap(*qr, ZXing::BarcodeFormat::QRCode, 8).bytes, kvtest::Bytes(data));
                EXPECT_EQ(kvtest::DecodeBitmap(*dm, ZXing::BarcodeFormat::DataMatrix, 8).bytes, kvtest::Bytes(data));
            }
        }
}

TEST(TwoDEntries, BinaryDataDecodes)
{
    std::string all;
    for (int i = 0; i < 256; ++i) all += char(i);
    for (int level = 0; level < 4; ++level) {
        const auto q = EncodeQr(all.data(), int(all.size()), level, 2, 0, 0, 0, nullptr);
        ASSERT_TRUE(q);
        EXPECT_EQ(kvtest::DecodeBitmap(*q, ZXing::BarcodeFormat::QRCode, 8).bytes, kvtest::Bytes(all)) << level;
    }
    const auto m = EncodeDataMatrix(all.data(), int(all.size()), 0, 3, 90, 0, 0, nullptr);
    ASSERT_TRUE(m);
    EXPECT_EQ(kvtest::DecodeBitmap(*m, ZXing::BarcodeFormat::DataMatrix, 8).bytes, kvtest::Bytes(all));
}

TEST(TwoDEntries, ReductionNarrowsDarkRunsOnly)
{
    const auto plain = EncodeDataMatrix("AB", 2, 0, 4, 0, 0, 0, nullptr);
    const auto thin = EncodeDataMatrix("AB", 2, 0, 4, 0, 0, 2, nullptr);
    ASSERT_TRUE(plain && thin);
    int darkPlain = 0, darkThin = 0;
    for (int y = 0; y < plain->Height(); ++y)
        for (int x = 0; x < plain->Width(); ++x) {
            darkPlain += plain->IsBlack(x, y);
            darkThin += thin->IsBlack(x, y);
            if (thin->IsBlack(x, y)) EXPECT_TRUE(plain->IsBlack(x, y));
        }
    EXPECT_LT(darkThin, darkPlain);
    // The solid left edge (a 4-pixel run across) keeps its middle two columns.
    EXPECT_FALSE(thin->IsBlack(0, 20));
    EXPECT_TRUE(thin->IsBlack(1, 20));
    EXPECT_TRUE(thin->IsBlack(2, 20));
    EXPECT_FALSE(thin->IsBlack(3, 20));
}

TEST(DataMatrixEntry, ChecksInOrder)
{
    struct Case { const char* data; int len, module, rotation; std::uint32_t code; };
    const Case cases[] = {
        {nullptr, 0, 0, 10, BCE_BAD_ROTATION},
        {nullptr, 0, 0, 0, BCE_MODULE_TOO_SMALL},
        {nullptr, 3, 1, 0, BCE_BAD_LENGTH},
        {"abc", 0, 1, 0, BCE_BAD_LENGTH},
    };
    for (const Case& c : cases) {
        const auto o = Capture([&](std::uint32_t* w) { return EncodeDataMatrix(c.data, c.len, 0, c.module, c.rotation, 0, 0, w) != nullptr; });
        EXPECT_EQ(o.code, c.code);
        EXPECT_EQ(o.caption, "VOVerovo.dllDataMatrix");
    }
    const std::string over(3117, '7');
    const auto o = Capture([&](std::uint32_t* w) { return EncodeDataMatrix(over.data(), int(over.size()), 0, 1, 0, 0, 0, w) != nullptr; });
    EXPECT_EQ(o.code, BCE_BAD_LENGTH);
    EXPECT_EQ(o.text, kBadLength);
    CSize s;
    EXPECT_EQ(MeasureDataMatrix(s, over.data(), 3116, 0, 1, 0, nullptr), 1);
    EXPECT_EQ(s, CSize(144, 144));
}

TEST(Pdf417Entry, ChecksInOrder)
{
    const std::string rowsMsg = "PDF417\xD0\xD0\xCA\xFD\xD4\xDA" "3\xB5\xBD" "90\xD6\xAE\xBC\xE4\xA3\xA1";
    const std::string colsMsg = "PDF417\xC1\xD0\xCA\xFD\xD4\xDA" "1\xB5\xBD" "30\xD6\xAE\xBC\xE4\xA3\xA1";
    const std::string levelMsg = "\xBE\xC0\xB4\xED\xBC\xB6\xB1\xF0\xD6\xBB\xC4\xDC\xCA\xC7 0 \xB5\xBD 8 \xA3\xA1";
    struct Case { int rows, cols, level, rotation, module, rowHeight, len; std::uint32_t code; std::string text; };
    const Case cases[] = {
        {2, 31, 9, 1, 0, 0, 0, BCE_BAD_ROTATION, ""},
        {2, 31, 9, 0, 0, 3, 0, BCE_MODULE_TOO_SMALL, ""},
        {2, 31, 9, 0, 1, 0, 0, BCE_MODULE_TOO_SMALL, ""},
        {2, 31, 9, 0, 1, 3, 0, BCE_BAD_ROW_COLUMN, rowsMsg},
        {91, 31, 9, 0, 1, 3, 0, BCE_BAD_ROW_COLUMN, rowsMsg},
        {0, 31, 9, 0, 1, 3, 0, BCE_BAD_ROW_COLUMN, colsMsg},
        {90, -1, 9, 0, 1, 3, 0, BCE_BAD_ROW_COLUMN, colsMsg},
        {0, 0, 9, 0, 1, 3, 0, BCE_BAD_EC_LEVEL, levelMsg},
        {0, 0, -2, 0, 1, 3, 0, BCE_BAD_EC_LEVEL, levelMsg},
        {0, 0, -1, 0, 1, 3, 0, BCE_BAD_LENGTH, kBadLength},
    };
    for (const Case& c : cases) {
        const auto o = Capture([&](std::uint32_t* w) {
            return EncodePdf417("ABC", c.len, c.rows, c.cols, c.level, c.rotation, 0, c.module, c.rowHeight, 0, 0, w) != nullptr;
        });
        EXPECT_EQ(o.code, c.code) << std::hex << c.code;
        EXPECT_EQ(o.caption, "VOVerovo.dllPDF417");
        if (!c.text.empty()) EXPECT_EQ(o.text, c.text);
    }
    // 1852 capitals need 927 codewords with the descriptor.
    const std::string big(1852, 'A');
    const auto o = Capture([&](std::uint32_t* w) {
        return EncodePdf417(big.data(), int(big.size()), 0, 0, 0, 0, 0, 1, 3, 0, 0, w) != nullptr;
    });
    EXPECT_EQ(o.code, BCE_BAD_LENGTH);
}

TEST(Pdf417Entry, QueryReportsTheChoices)
{
    struct Case { std::string data; int rows, cols, level, module, rowHeight, truncated; int expRows, expCols, expLevel; };
    const Case cases[] = {
        // 30 capitals: 16 data codewords, level 0, 18 in all.
        {std::string(30, 'A'), 0, 0, -1, 1, 3, 0, 18, 1, 0},
        // With square modules even one column is wide enough.
        {std::string(30, 'A'), 0, 0, -1, 1, 1, 0, 18, 1, 0},
        // Level given stays as it is; rows 3 and columns 1 too small: automatic.
        // (h(1) = -806 misses by more than 500, so h(2) = 861 is taken.)
        {std::string(30, 'A'), 3, 1, 2, 2, 6, 0, 12, 2, 2},
        // Columns 30 with 31 codewords: at least 3 rows.
        {std::string(58, 'A'), 0, 30, 0, 1, 3, 0, 3, 30, 0},
        // Rows given, columns follow and are kept within 30.
        {std::string(900, 'A'), 3, 0, -1, 1, 3, 0, 17, 30, 4},
    };
    for (const Case& c : cases) {
        int rows = c.rows, cols = c.cols, level = c.level;
        EXPECT_EQ(QueryPdf417(c.data.data(), int(c.data.size()), rows, cols, level, 0, c.module, c.rowHeight, c.truncated, nullptr), 1);
        EXPECT_EQ(rows, c.expRows) << c.data.size() << " " << c.rows << "x" << c.cols;
        EXPECT_EQ(cols, c.expCols) << c.data.size() << " " << c.rows << "x" << c.cols;
        EXPECT_EQ(level, c.expLevel) << c.data.size();
    }
    // A failing check leaves the arguments as they were.
    int rows = 5, cols = 0, level = 12;
    EXPECT_EQ(QueryPdf417("ABC", 3, rows, cols, level, 0, 1, 3, 0, nullptr), 1);
    EXPECT_EQ(rows, 5);
    EXPECT_EQ(cols, 0);
    EXPECT_EQ(level, 12);
}

}  // namespace
