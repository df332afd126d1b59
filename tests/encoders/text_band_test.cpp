// The human-readable band: where the bars go, where and how the text is
// drawn, and when the symbol is too low for it.
#include <gtest/gtest.h>

#include "encoders/messages.h"
#include "support/barcode_test_util.h"
#include "support/kvtest.h"

namespace {

// Records what the library draws; characters are half the font height wide
// (or the asked width).
class RecordingRenderer : public IBarcodeTextRenderer {
public:
    RecordingRenderer() : m_previous(SetBarcodeTextRenderer(this)) {}
    ~RecordingRenderer() override { SetBarcodeTextRenderer(m_previous); }
    int TextWidth(const BarcodeFont& font, std::string_view text) override
    {
        measured.push_back(font);
        return CharWidth(font) * int(text.size());
    }
    bool DrawText(CMonoBitmap&, int x, int y, const BarcodeFont& font, std::string_view text) override
    {
        drawn.push_back({x, y, font, std::string(text)});
        return true;
    }
    static int CharWidth(const BarcodeFont& f) { return f.width ? f.width : std::abs(f.height) / 2; }

    struct Call {
        int x, y;
        BarcodeFont font;
        std::string text;
    };
    std::vector<Call> drawn;
    std::vector<BarcodeFont> measured;

private:
    IBarcodeTextRenderer* m_previous;
};

// Rows of bmp (at column x) that are black.
std::string Column(const CMonoBitmap& bmp, int x)
{
    std::string s;
    for (int y = 0; y < bmp.Height(); ++y) s += bmp.IsBlack(x, y) ? '1' : '0';
    return s;
}

TEST(TextBand, GeneralTypesNeedMoreThanTwelveModules)
{
    const int x = 2;  // first column of Code 39 is a bar
    {
        RecordingRenderer rec;
        kvtest::CaptureMessages capture;
        std::uint32_t word = BCE_SHOW_WARNINGS;
        BarBitmap bmp = EncodeLinear(BCT_CODE39, "AB", x, 0, 6, 12 * x, 0, 0, BTF_CENTER, &word);
        ASSERT_TRUE(bmp);
        EXPECT_TRUE(rec.drawn.empty());
        EXPECT_EQ(Column(*bmp, 0), std::string(24, '1'));  // bars over the whole height
        ASSERT_EQ(capture.messages.size(), 1u);
        EXPECT_EQ(capture.messages[0].text, kMsgTextTooLow);
        EXPECT_EQ(capture.messages[0].caption, "VOVerovo.dll");
        EXPECT_EQ(word, 0u);
    }
    {
        RecordingRenderer rec;
        const int H = 12 * x + 5;
        BarBitmap bmp = EncodeLinear(BCT_CODE39, "AB", x, 0, 6, H, 0, 0, BTF_CENTER, nullptr);
        ASSERT_TRUE(bmp);
        EXPECT_EQ(Column(*bmp, 0), std::string(5, '1') + std::string(24, '0'));
        ASSERT_EQ(rec.drawn.size(), 1u);
        EXPECT_EQ(rec.drawn[0].y, H - 11 * x);
        EXPECT_EQ(rec.drawn[0].text, "AB");  // the data as passed
        EXPECT_EQ(rec.drawn[0].font.height, -12 * x);
        EXPECT_EQ(rec.drawn[0].font.face, "OCR-B-10 BT");
        EXPECT_EQ(rec.drawn[0].x, (bmp->Width() - 2 * 12) / 2);
    }
    {
        RecordingRenderer rec;
        const int H = 40;
        BarBitmap bmp = EncodeLinear(BCT_CODE39, "AB", x, 0, 6, H, 0, 0, BTF_RIGHT | BTF_ABOVE, nullptr);
        ASSERT_TRUE(bmp);
        EXPECT_EQ(Column(*bmp, 0), std::string(24, '0') + std::string(16, '1'));
        ASSERT_EQ(rec.drawn.size(), 1u);
        EXPECT_EQ(rec.drawn[0].y, 0);
        EXPECT_EQ(rec.drawn[0].x, bmp->Width() - 24);
    }
}

TEST(TextBand, AlignmentsAndNarrowing)
{
    const int x = 1;
    RecordingRenderer rec;
    // Code 128 "1234": 57 pixels wide; 4 characters of 6 pixels = 24.
    BarBitmap left = EncodeLinear(BCT_CODE128, "1234", x, 0, 0, 30, 0, 0, BTF_LEFT, nullptr);
    ASSERT_TRUE(left);
    const int W = left->Width();
    EXPECT_EQ(rec.drawn.back().x, 0);
    EncodeLinear(BCT_CODE128, "1234", x, 0, 0, 30, 0, 0, BTF_SPREAD, nullptr);
    ASSERT_EQ(rec.drawn.size(), 5u);
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(rec.drawn[size_t(1 + j)].x, j * (W - 24 / 4) / 3);
        EXPECT_EQ(rec.drawn[size_t(1 + j)].text, std::string(1, char('1' + j)));
    }
    rec.drawn.clear();
    BarBitmap one = EncodeLinear(BCT_CODE128, "1", x, 0, 0, 30, 0, 0, 7, nullptr);  // a single character is centred
    ASSERT_TRUE(one);
    ASSERT_EQ(rec.drawn.size(), 1u);
    EXPECT_EQ(rec.drawn[0].x, (one->Width() - 6) / 2);
    // Text wider than the symbol is measured again at 6 modules per character.
    rec.drawn.clear();
    rec.measured.clear();
    // Set C: 11 pixels for two digits, 12 pixels of text for them.
    const std::string digits = "^C" + std::string(80, '7');
    BarBitmap bmp = EncodeLinear(BCT_CODE128_CARET, digits.c_str(), 1, 0, 0, 30, 0, 0, BTF_CENTER, nullptr);
    ASSERT_TRUE(bmp);
    ASSERT_EQ(rec.measured.size(), 2u);
    EXPECT_EQ(rec.measured[1].width, 6);
    EXPECT_EQ(rec.drawn[0].font.width, 6);
}

TEST(TextBand, EanUpcKeepTheirDigitsAtTwelveModules)
{
    const int x = 3, H = 12 * x;
    RecordingRenderer rec;
    kvtest::CaptureMessages capture;
    std::uint32_t word = BCE_SHOW_WARNINGS;
    BarBitmap bmp = EncodeLinear(BCT_EAN13, "590123412345", x, 0, 0, H, 0, 0, BTF_LEFT | BTF_ABOVE, &word);
    ASSERT_TRUE(bmp);
    EXPECT_TRUE(capture.messages.empty());
    // Full pattern, then the guard row, then white for the digits.
    const int full = H - 31 * x / 3, guard = H - 16 * x / 3;
    const int guardX = 9 * x;  // left guard bar
    EXPECT_EQ(Column(*bmp, guardX), std::string(size_t(guard), '1') + std::string(size_t(H - guard), '0'));
    const std::string data = Column(*bmp, 12 * x + 6 * x);  // last module of digit 2 ("9": L, ends in a bar)
    EXPECT_EQ(data, std::string(size_t(full), '1') + std::string(size_t(H - full), '0'));
    ASSERT_EQ(rec.drawn.size(), 3u);
    const int y = H - 31 * x / 3;
    EXPECT_EQ(rec.drawn[0].x, 0);
    EXPECT_EQ(rec.drawn[0].text, "5");
    EXPECT_EQ(rec.drawn[1].x, 12 * x);
    EXPECT_EQ(rec.drawn[1].text, "901234");
    EXPECT_EQ(rec.drawn[2].x, 58 * x);
    EXPECT_EQ(rec.drawn[2].text, "123457");  // corrected check digit
    for (const auto& c : rec.drawn) {
        EXPECT_EQ(c.y, y);
        EXPECT_EQ(c.font.height, 12 * x);  // cell height
    }

    // One row lower: the warning, no digits, full bars.
    rec.drawn.clear();
    word = BCE_SHOW_WARNINGS;
    BarBitmap low = EncodeLinear(BCT_EAN13, "590123412345", x, 0, 0, H - 1, 0, 0, BTF_CENTER, &word);
    ASSERT_TRUE(low);
    EXPECT_TRUE(rec.drawn.empty());
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, kMsgTextTooLow);
    EXPECT_EQ(Column(*low, 18 * x), std::string(size_t(H - 1), '1'));
}

TEST(TextBand, DigitGroupsOfEveryEanUpcType)
{
    struct Groups {
        int type;
        const char* data;
        std::vector<std::pair<int, std::string>> groups;  // module, text
    };
    const Groups cases[] = {
        {BCT_UPCA, "03600029145", {{0, "0"}, {19, "36000"}, {58, "29145"}, {105, "2"}}},
        {BCT_EAN8, "9638507", {{10, "9638"}, {43, "5074"}}},
        {BCT_UPCE, "0123450", {{0, "0"}, {12, "123450"}, {60, "5"}}},
    };
    const int x = 2;
    for (const auto& c : cases) {
        RecordingRenderer rec;
        ASSERT_TRUE(EncodeLinear(c.type, c.data, x, 0, 0, 60, 0, 0, BTF_CENTER, nullptr));
        ASSERT_EQ(rec.drawn.size(), c.groups.size());
        for (size_t i = 0; i < c.groups.size(); ++i) {
            EXPECT_EQ(rec.drawn[i].x, c.groups[i].first * x) << c.type;
            EXPECT_EQ(rec.drawn[i].text, c.groups[i].second) << c.type;
        }
    }
    // UPC-A: the first and last digit bars reach into the guard row.
    BarBitmap upca = EncodeLinear(BCT_UPCA, "03600029145", x, 0, 0, 60, 0, 0, BTF_CENTER, nullptr);
    ASSERT_TRUE(upca);
    const int guardRow = 60 - 31 * x / 3 + 1;
    EXPECT_TRUE(upca->IsBlack(18 * x, guardRow));  // last module of digit 1 ("0": L ends in a bar)
    EXPECT_FALSE(upca->IsBlack(19 * x + 6 * x, guardRow));
    EXPECT_TRUE(upca->IsBlack(19 * x + 6 * x, 0));
}

TEST(TextBand, AddOnBarsSitUnderTheirDigits)
{
    const int x = 3, H = 90;
    RecordingRenderer rec;
    BarBitmap bmp = EncodeLinear(BCT_ADDON2, "12", x, 0, 0, H, 0, 0, BTF_CENTER, nullptr);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(Column(*bmp, 0), std::string(31, '0') + std::string(size_t(H - 16 - 31), '1') + std::string(16, '0'));
    ASSERT_EQ(rec.drawn.size(), 1u);
    EXPECT_EQ(rec.drawn[0].x, 0);
    EXPECT_EQ(rec.drawn[0].y, 0);
    EXPECT_EQ(rec.drawn[0].text, "12");
    BarBitmap noText = EncodeLinear(BCT_ADDON2, "12", x, 0, 0, H, 0, 0, 0, nullptr);
    ASSERT_TRUE(noText);
    EXPECT_EQ(Column(*noText, 0), std::string(size_t(H), '1'));
}

TEST(TextBand, Itf14BearersFrameTheBarArea)
{
    const int x = 2, H = 80;
    RecordingRenderer rec;
    BarBitmap below = EncodeItf14("15400141288763", x, 0, 5, H, 2, 3, 10, 0, 0, BTF_CENTER, nullptr);
    ASSERT_TRUE(below);
    // Quiet zone column: bearer rows only; the first bar: bearers and bars.
    const int bar = H - 12 * x;  // bar area rows [0, 56)
    EXPECT_EQ(Column(*below, 0), std::string(6, '1') + std::string(size_t(bar - 12), '0') + std::string(6, '1') +
                                     std::string(size_t(12 * x), '0'));
    EXPECT_EQ(Column(*below, 10 * x), std::string(size_t(bar), '1') + std::string(size_t(12 * x), '0'));
    ASSERT_EQ(rec.drawn.size(), 1u);
    EXPECT_EQ(rec.drawn[0].y, H - 11 * x);
    BarBitmap above = EncodeItf14("15400141288763", x, 0, 5, H, 2, 3, 10, 0, 0, BTF_CENTER | BTF_ABOVE, nullptr);
    ASSERT_TRUE(above);
    EXPECT_EQ(Column(*above, 0), std::string(size_t(12 * x), '0') + std::string(6, '1') +
                                     std::string(size_t(bar - 12), '0') + std::string(6, '1'));
}

TEST(TextBand, DefaultRendererDrawsInTheBand)
{
    // The real fonts: some black pixels in the band, none outside the text rows.
    const int x = 2, H = 60;
    BarBitmap bmp = EncodeLinear(BCT_CODE128, "OCR 42", x, 0, 0, H, 0, 0, BTF_CENTER, nullptr);
    ASSERT_TRUE(bmp);
    int inBand = 0;
    for (int y = H - 12 * x; y < H; ++y)
        for (int i = 0; i < bmp->Width(); ++i) inBand += bmp->IsBlack(i, y);
    EXPECT_GT(inBand, 20);
    for (int i = 0; i < bmp->Width(); ++i) EXPECT_FALSE(bmp->IsBlack(i, H - 12 * x)) << i;  // gap row above the text
    IBarcodeTextRenderer& r = DefaultBarcodeTextRenderer();
    BarcodeFont f;
    f.height = -24;
    const int natural = r.TextWidth(f, "0000");
    EXPECT_GT(natural, 0);
    f.width = 6;
    EXPECT_NEAR(r.TextWidth(f, "0000"), 24, 4);
}

}  // namespace
