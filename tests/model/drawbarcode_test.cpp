// The barcode object: stored fields, data preparation, human-readable
// text and the symbol bitmaps it asks the encoder for.
#include <gtest/gtest.h>

#include "model/drawbarcode.h"
#include "encoders/encoders.h"
#include "encoders/hanxin_entry.h"
#include "encoders/twod_entries.h"
#include "data/variable.h"
#include "model/document.h"
#include "platform/monobitmap.h"
#include "support/decode.h"


namespace {

using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<CDrawBarcode> RoundTrip(CDrawBarcode& obj)
{
    Bytes bytes;
    {
        CArchive out(&bytes);
        out.WriteObject(&obj);
    }
    CArchive in(bytes.data(), bytes.size());
    std::unique_ptr<CDrawBarcode> copy(static_cast<CDrawBarcode*>(in.ReadObject(CDrawBarcode::StaticClass())));
    EXPECT_EQ(in.Remaining(), 0u);
    return copy;
}

TEST(DrawBarcode, NewObjectDefaults)
{
    CDrawBarcode b;
    EXPECT_EQ(b.m_nType, OBJ_BARCODE);
    EXPECT_EQ(b.m_nSymbology, 1);
    EXPECT_EQ(b.m_nModuleWidth, 1000);
    EXPECT_EQ(b.m_nReserved3, 300);
    EXPECT_EQ(b.m_nRatio, 300);
    EXPECT_EQ(b.m_nBarHeight, 1000);
    EXPECT_EQ(b.m_nTextPlacement, BTP_BELOW);
    EXPECT_EQ(b.m_nTextAlign, BTA_CENTER);
    EXPECT_EQ(b.m_strFontName, "");
    EXPECT_EQ(b.m_nCharSet, 1);
    EXPECT_EQ(b.m_nFontHeight, 900);
    EXPECT_EQ(b.m_crBackColor, 0xFFFFFFu);
    EXPECT_EQ(b.m_itf14.bearerType, 1);
    EXPECT_EQ(b.m_itf14.bearerThickness, 5);
    EXPECT_EQ(b.m_itf14.quietZone, 10);
    EXPECT_EQ(b.m_itf14.check, 1);
    EXPECT_EQ(b.m_dataBar.separator, 1);
    EXPECT_EQ(b.m_dataBar.segments, 11);
    EXPECT_EQ(CRuntimeClass::FromName("CDrawBarcode"), CDrawBarcode::StaticClass());
}

// The stored layout: base fields, then 14 integers, 2 strings, 25 integers.
TEST(DrawBarcode, StoresFieldsInFileOrder)
{
    CDrawBarcode b(CRect(1, 2, 3, 4));
    int v = 100;
    for (std::int32_t* f : {&b.m_nSymbology, &b.m_nModuleWidth, &b.m_nReserved1, &b.m_nReserved2, &b.m_nReserved3,
                            &b.m_nRatio, &b.m_nReserved4, &b.m_nBarHeight, &b.m_nTextPlacement, &b.m_nTextAlign,
                            &b.m_nReserved5, &b.m_nTextGap, &b.m_nTextOffset, &b.m_bUseTemplate})
        *f = v++;
    b.m_strTemplate = "T?";
    b.m_strFontName = "Face";
    v = 200;
    for (std::int32_t* f : {&b.m_nFontStyle, &b.m_nCharSet, &b.m_nFontHeight, &b.m_nFontWidth, &b.m_nReserved6,
                            &b.m_bStrikeOut, &b.m_bUnderline, &b.m_nPitchAndFamily})
        *f = v++;
    b.m_crColor = 208;
    b.m_crBackColor = 209;
    v = 210;
    for (std::int32_t* f : {&b.m_check.checkDigit, &b.m_check.showStartStop, &b.m_nReserved7, &b.m_code128.codeSet, &b.m_code128.ean128,
                            &b.m_codabar.start, &b.m_codabar.stop, &b.m_pdf417.columns, &b.m_pdf417.rows, &b.m_pdf417.ecLevel,
                            &b.m_pdf417.truncated, &b.m_qr.ecLevel, &b.m_nReserved8, &b.m_nReserved9, &b.m_eanUpc.addOn})
        *f = v++;

    Bytes bytes;
    {
        CArchive out(&bytes);
        b.Serialize(out);
    }
    // Read the tail back by hand: after the base come the fields in order.
    CDrawObj base;
    CArchive in(bytes.data(), bytes.size());
    base.Serialize(in);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(in.ReadInt(), 100 + i) << i;
    EXPECT_EQ(in.ReadString(), "T?");
    EXPECT_EQ(in.ReadString(), "Face");
    for (int i = 0; i < 25; ++i) EXPECT_EQ(in.ReadInt(), 200 + i) << i;
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(DrawBarcode, PropertyKeptFieldsTravelInThePropertyTable)
{
    CDrawBarcode b;
    b.m_nSymbology = BS_ITF14;
    b.m_nReserved11 = 7;
    b.m_hanXin.ecLevel = 2;
    b.m_hanXin.key = "secret";
    b.m_hanXin.version = 40;
    b.m_itf14.bearerType = 2;
    b.m_itf14.bearerThickness = 3;
    b.m_itf14.quietZone = 12;
    b.m_itf14.check = 0;
    b.m_dataBar.type = DBT_STACKED;
    b.m_dataBar.separator = 4;
    b.m_dataBar.segments = 6;
    b.m_dataBar.hold = 1;
    auto copy = RoundTrip(b);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetProperty(BP_QUIET_ZONE), "12");
    EXPECT_EQ(copy->GetProperty(BP_HANXIN_KEY), "secret");
    EXPECT_EQ(copy->m_nReserved11, 7);
    EXPECT_EQ(copy->m_hanXin.ecLevel, 2);
    EXPECT_EQ(copy->m_hanXin.key, "secret");
    EXPECT_EQ(copy->m_hanXin.version, 40);
    EXPECT_EQ(copy->m_itf14.bearerType, 2);
    EXPECT_EQ(copy->m_itf14.bearerThickness, 3);
    EXPECT_EQ(copy->m_itf14.quietZone, 12);
    EXPECT_EQ(copy->m_itf14.check, 0);
    EXPECT_EQ(copy->m_dataBar.type, DBT_STACKED);
    EXPECT_EQ(copy->m_dataBar.separator, 4);
    EXPECT_EQ(copy->m_dataBar.segments, 6);
    EXPECT_EQ(copy->m_dataBar.hold, 1);
    EXPECT_TRUE(copy->IsEqual(&b));
}

TEST(DrawBarcode, OlderFilesWithoutPropertyFieldsGetUsableSizes)
{
    // The same record with an empty property table, as files made before
    // those settings existed have it.
    CDrawBarcode b;
    b.SetProperty(999, "kept");
    Bytes stored;
    {
        CArchive out(&stored);
        b.Serialize(out);
    }
    CDrawObj base;
    CArchive in(stored.data(), stored.size());
    base.Serialize(in);
    const size_t tail = stored.size() - in.Remaining();
    base.m_properties.Clear();
    base.SetProperty(999, "kept");
    Bytes old;
    {
        CArchive out(&old);
        base.Serialize(out);
    }
    old.insert(old.end(), stored.begin() + long(tail), stored.end());

    CDrawBarcode loaded;
    CArchive load(old.data(), old.size());
    loaded.Serialize(load);
    EXPECT_EQ(load.Remaining(), 0u);
    EXPECT_EQ(loaded.m_itf14.bearerType, 0);
    EXPECT_EQ(loaded.m_itf14.bearerThickness, 4);
    EXPECT_EQ(loaded.m_itf14.quietZone, 10);
    EXPECT_EQ(loaded.m_itf14.check, 0);
    EXPECT_EQ(loaded.m_dataBar.separator, 1);
    EXPECT_EQ(loaded.m_dataBar.segments, 11);
    EXPECT_EQ(loaded.m_hanXin.version, 0);
    EXPECT_EQ(loaded.GetProperty(999), "kept");
}

TEST(DrawBarcode, CopyCompareAndClone)
{
    CKVDoc doc;
    auto* b = new CDrawBarcode(CRect(100, 100, 2000, 1200));
    doc.AddObject(b);
    b->m_nSymbology = BS_CODE128;
    b->m_strFontName = "Arial";
    b->m_itf14.quietZone = 7;
    b->m_hanXin.key = "k";
    b->RebuildBitmap();
    ASSERT_TRUE(b->GetBitmap());

    CDrawObj* clone = b->Clone(&doc);
    auto* c = dynamic_cast<CDrawBarcode*>(clone);
    ASSERT_TRUE(c);
    EXPECT_NE(c->m_nID, b->m_nID);
    EXPECT_TRUE(c->IsEqual(b));
    EXPECT_FALSE(c->GetBitmap());  // the bitmap is not copied

    // Every barcode field takes part in the comparison, the kept ones too.
    c->m_itf14.quietZone = 8;
    EXPECT_FALSE(c->IsEqual(b));
    c->CopyFrom(b);
    EXPECT_TRUE(c->IsEqual(b));
    c->m_hanXin.key = "other";
    EXPECT_FALSE(c->IsEqual(b));
    c->CopyFrom(b);
    c->m_eanUpc.addOn = 2;
    EXPECT_FALSE(c->IsEqual(b));
    // An object of another class is never equal.
    CDrawObj plain;
    EXPECT_FALSE(b->IsEqual(&plain));
}

// ---- PrepareData ----------------------------------------------------------

struct PrepareCase {
    const char* name;
    int symbology;
    const char* data;
    const char* expect;
    void (*setup)(CDrawBarcode&);
};

void NoSetup(CDrawBarcode&) {}

TEST(DrawBarcode, PrepareDataPerSymbology)
{
    const std::string eighty(80, '7');
    const std::string long39 = std::string(85, 'A');
    const std::string codabarLong = "A" + std::string(85, '1') + "B";
    const PrepareCase cases[] = {
        {"empty stays empty", BS_EAN13, "", "", NoSetup},
        {"Code 39 unchanged", BS_CODE39, "ABC", "ABC", NoSetup},
        {"Code 39 invalid character", BS_CODE39, "A#C", "A0C", NoSetup},
        {"Code 39 mod 10", BS_CODE39, "123", "1236", [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_MOD10; }},
        {"Code 39 mod 43", BS_CODE39, "ABC", "ABCX", [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_MOD43; }},
        {"Code 39 library check", BS_CODE39, "123", "1230", [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_LUHN; }},
        {"Code 39 mod 10 of letters adds nothing", BS_CODE39, "AB", "AB",
         [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_MOD10; }},
        {"Code 128 auto", BS_CODE128, "abc", "abc", NoSetup},
        {"Code 128 set A refuses lower case", BS_CODE128, "aB", "0B", [](CDrawBarcode& b) { b.m_code128.codeSet = 1; }},
        {"Code 128 set C pads", BS_CODE128, "12345", "012345", [](CDrawBarcode& b) { b.m_code128.codeSet = 3; }},
        {"GS1-128 set C without separators", BS_CODE128, "123", "0123",
         [](CDrawBarcode& b) { b.m_code128.codeSet = 3; b.m_code128.ean128 = 1; }},
        {"GS1-128 set C pieces", BS_CODE128, "^11234^1567", "^11234^15670",
         [](CDrawBarcode& b) { b.m_code128.codeSet = 3; b.m_code128.ean128 = 1; }},
        {"EAN-13 short is padded", BS_EAN13, "12345", "000000012345", NoSetup},
        {"EAN-13 drops its check digit", BS_EAN13, "4006381333930", "400638133393", NoSetup},
        {"EAN-13 letter", BS_EAN13, "12A45", "000000012045", NoSetup},
        {"EAN-13 add-on 2 drops the 13th", BS_EAN13, "400638133393212", "40063813339312",
         [](CDrawBarcode& b) { b.m_eanUpc.addOn = 1; }},
        {"EAN-13 add-on 2 short", BS_EAN13, "1234", "00000000001234", [](CDrawBarcode& b) { b.m_eanUpc.addOn = 1; }},
        {"EAN-13 add-on 5", BS_EAN13, "400638133393254321", "40063813339354321",
         [](CDrawBarcode& b) { b.m_eanUpc.addOn = 2; }},
        {"UPC-A", BS_UPCA, "123456789012", "12345678901", NoSetup},
        {"UPC-A add-on 2", BS_UPCA, "12345678901299", "1234567890199", [](CDrawBarcode& b) { b.m_eanUpc.addOn = 1; }},
        {"EAN-8 long", BS_EAN8, "12345670", "1234567", NoSetup},
        {"EAN-8 short", BS_EAN8, "123", "0000123", NoSetup},
        {"EAN-8 add-on 5", BS_EAN8, "1234567012345", "123456712345", [](CDrawBarcode& b) { b.m_eanUpc.addOn = 2; }},
        {"UPC-E number system 0", BS_UPCE, "1234567", "0234567", NoSetup},
        {"Codabar start and stop added", BS_CODABAR, "12345", "A12345A", NoSetup},
        {"Codabar keeps its own", BS_CODABAR, "b123d", "b123d", NoSetup},
        {"Codabar start forced", BS_CODABAR, "12345", "C12345A", [](CDrawBarcode& b) { b.m_codabar.start = 3; }},
        {"Codabar stop forced", BS_CODABAR, "B1D", "B1B", [](CDrawBarcode& b) { b.m_codabar.stop = 2; }},
        {"Codabar inner invalid", BS_CODABAR, "A12X4B", "A1204B", NoSetup},
        {"Codabar mod 10", BS_CODABAR, "12345", "A123457A", [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_MOD10; }},
        {"Codabar library check", BS_CODABAR, "12345", "A123455A",
         [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_LUHN; }},
        {"Interleaved odd", BS_ITF25, "123", "0123", NoSetup},
        {"Interleaved letter", BS_ITF25, "1A3", "0103", NoSetup},
        {"Interleaved check then even", BS_ITF25, "12", "0123", [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_MOD10; }},
        {"Industrial check", BS_CODE25, "123", "1236", [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_MOD10; }},
        {"Matrix check", BS_MATRIX25, "12345", "123457", [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_MOD10; }},
        {"China Post check", BS_CHINA_POST, "12", "123", [](CDrawBarcode& b) { b.m_check.checkDigit = BCD_MOD10; }},
        {"ITF-14 check and pad", BS_ITF14, "123456789012", "01234567890128", NoSetup},
        {"ITF-14 cut to 13", BS_ITF14, "12345678901234567", "12345678901231", NoSetup},
        {"ITF-14 without check", BS_ITF14, "123", "00000000000123", [](CDrawBarcode& b) { b.m_itf14.check = 0; }},
        {"ITF-14 letter kept", BS_ITF14, "12345678901A", "0012345678901A", NoSetup},
        {"DataBar short", BS_DATABAR, "123", "00000000001236", NoSetup},
        {"DataBar 14", BS_DATABAR, "00012345678905", "00012345678905", NoSetup},
        {"DataBar 15", BS_DATABAR, "990001234567890", "0100012345678905", NoSetup},
        {"DataBar 16", BS_DATABAR, "0100012345678999", "0100012345678998", NoSetup},
        {"DataBar cut to 16", BS_DATABAR, "01000123456789059999", "0100012345678905", NoSetup},
        {"DataBar letter", BS_DATABAR, "2001234567A90", "20012345670903", NoSetup},
        {"DataBar Expanded untouched", BS_DATABAR, "(01)00012345678905(10)ABC", "(01)00012345678905(10)ABC",
         [](CDrawBarcode& b) { b.m_dataBar.type = DBT_EXPANDED; }},
        {"QR untouched", BS_QRCODE, "any text #1", "any text #1", NoSetup},
    };
    for (const auto& c : cases) {
        CDrawBarcode b;
        b.m_nSymbology = c.symbology;
        c.setup(b);
        EXPECT_EQ(b.PrepareData(c.data), c.expect) << c.name;
    }
}

TEST(DrawBarcode, PrepareDataAtTheLengthLimits)
{
    CDrawBarcode b;
    b.m_nSymbology = BS_CODE39;
    EXPECT_EQ(b.PrepareData(std::string(85, 'A')), std::string(80, 'A'));
    // 80 characters make room for the check character.
    b.m_check.checkDigit = BCD_MOD43;
    const std::string p = b.PrepareData(std::string(80, '1'));
    ASSERT_EQ(p.size(), 80u);
    EXPECT_EQ(p.substr(0, 79), std::string(79, '1'));

    b.m_check.checkDigit = BCD_NONE;
    b.m_nSymbology = BS_CODABAR;
    const std::string longCodabar = "A" + std::string(85, '1') + "B";
    const std::string cut = b.PrepareData(longCodabar);
    EXPECT_EQ(cut, "A" + std::string(78, '1') + "B");
    // At 80 characters the check takes the place of the last data character.
    b.m_check.checkDigit = BCD_MOD10;
    const std::string checked = b.PrepareData(longCodabar);
    ASSERT_EQ(checked.size(), 80u);
    EXPECT_EQ(checked.back(), 'B');
    EXPECT_EQ(checked.substr(0, 78), "A" + std::string(77, '1'));
}

// ---- human-readable text ----------------------------------------------------

TEST(DrawBarcode, HumanReadableText)
{
    struct Case {
        const char* name;
        int symbology;
        const char* prepared;
        const char* expect;
        void (*setup)(CDrawBarcode&);
    };
    const Case cases[] = {
        {"Code 39 plain", BS_CODE39, "ABC", "ABC", NoSetup},
        {"Code 39 with stars", BS_CODE39, "ABC", "*ABC*", [](CDrawBarcode& b) { b.m_check.showStartStop = 1; }},
        {"Codabar hides start and stop", BS_CODABAR, "A12345A", "12345", NoSetup},
        {"Codabar shows them", BS_CODABAR, "A12345A", "A12345A", [](CDrawBarcode& b) { b.m_check.showStartStop = 1; }},
        {"GS1-128 drops caret pairs", BS_CODE128, "^101^^2", "01^2", [](CDrawBarcode& b) { b.m_code128.ean128 = 1; }},
        {"manual set drops caret pairs", BS_CODE128, "^Aab^Sc", "abc", [](CDrawBarcode& b) { b.m_code128.codeSet = 4; }},
        {"auto set keeps carets", BS_CODE128, "a^b", "a^b", NoSetup},
        {"template", BS_CODE128, "1234", "12-34",
         [](CDrawBarcode& b) { b.m_bUseTemplate = 1; b.m_strTemplate = "\?\?-\?\?"; }},
        {"template kept off", BS_CODE128, "1234", "1234", [](CDrawBarcode& b) { b.m_strTemplate = "\?\?-\?\?"; }},
    };
    for (const auto& c : cases) {
        CDrawBarcode b;
        b.m_nSymbology = c.symbology;
        c.setup(b);
        EXPECT_EQ(b.HumanReadableOf(c.prepared), c.expect) << c.name;
    }
}

TEST(DrawBarcode, HumanReadableFromVariables)
{
    CKVDoc doc;
    auto* b = new CDrawBarcode(CRect(0, 0, 1000, 1000));
    doc.AddObject(b);
    auto* v = new CVariable;
    v->m_strData = "12345";
    doc.AddVariable(v);
    b->AddVariable(v);
    b->m_nSymbology = BS_CODABAR;
    b->m_codabar.start = 3;
    EXPECT_EQ(b->GetText(), "C12345A");
    CLabelPos pos;
    EXPECT_EQ(b->GetLabelText(&pos), "C12345A");
    EXPECT_EQ(b->GetHumanReadable(&pos), "12345");
    EXPECT_EQ(b->GetHumanReadable(nullptr), "12345");
}

TEST(DrawBarcode, OwnTextAndDriverSymbology)
{
    CDrawBarcode b;
    b.m_strFontName = "Arial";
    for (int code : {BS_PDF417, BS_QRCODE, BS_DATAMATRIX, BS_MAXICODE, BS_HANXIN}) {
        b.m_nSymbology = code;
        b.m_nTextPlacement = BTP_BELOW;
        EXPECT_FALSE(b.HasOwnText()) << code;
        EXPECT_FALSE(b.DrawsText()) << code;
        EXPECT_TRUE(b.HeightFollowsSymbol()) << code;
    }
    b.m_nSymbology = BS_CODE128;
    EXPECT_TRUE(b.DrawsText());
    b.m_nTextPlacement = BTP_NONE;
    EXPECT_FALSE(b.DrawsText());
    b.m_nTextPlacement = BTP_ABOVE;
    b.m_strFontName.clear();
    EXPECT_FALSE(b.DrawsText());

    for (int code : {BS_EAN13, BS_UPCA, BS_EAN8, BS_UPCE}) {
        b.m_nSymbology = code;
        b.m_eanUpc.addOn = 0;
        EXPECT_EQ(b.GetDriverSymbology(), code);
        b.m_eanUpc.addOn = 1;
        EXPECT_EQ(b.GetDriverSymbology(), 99);
    }
    b.m_nSymbology = BS_CODE128;
    EXPECT_EQ(b.GetDriverSymbology(), BS_CODE128);
}

TEST(DrawBarcode, DataBarHeightRules)
{
    CDrawBarcode b;
    b.m_nSymbology = BS_DATABAR;
    EXPECT_FALSE(b.HeightFollowsSymbol());
    EXPECT_EQ(b.MinBarHeight(1000), 100);
    b.m_dataBar.type = DBT_STACKED;
    EXPECT_TRUE(b.HeightFollowsSymbol());
    b.m_dataBar.type = DBT_OMNI;
    b.m_dataBar.hold = 1;
    EXPECT_TRUE(b.HeightFollowsSymbol());
    // 1000 / 100000 inch is 25 units (rounded); 33 modules tall.
    const int perModule = MulDiv(1000, 25402, 1000000);
    EXPECT_EQ(perModule, 25);
    const int modules[] = {33, 13, 13, 69, 10, 34, 71};
    for (int t = 0; t <= 6; ++t) {
        b.m_dataBar.type = t;
        EXPECT_EQ(b.MinBarHeight(1000), perModule * modules[t]) << t;
    }
    b.m_nSymbology = BS_CODE128;
    EXPECT_EQ(b.MinBarHeight(1000), 100);
}

// ---- symbol bitmaps -----------------------------------------------------------

TEST(DrawBarcode, MakeBitmapPassesTheObjectsSizes)
{
    CDrawBarcode b;
    b.m_nSymbology = BS_CODE39;
    b.m_nModuleWidth = 1000;  // 6 dots at 600 dpi
    b.m_nRatio = 250;
    b.m_nBarHeight = 1000;
    // Without a document the format resolution is 600 dpi.
    std::uint32_t err = 0;
    CSize direct;
    ASSERT_TRUE(MeasureLinear(direct, BCT_CODE39, "AB1", 6, 0, 15, MulDiv(1000 * 600, 10, 25402), 0, 0, &err));
    EXPECT_EQ(b.MeasureSymbol("AB1"), direct);

    // Resolution, rotation, height and module given instead of the object's.
    ASSERT_TRUE(MeasureLinear(direct, BCT_CODE39, "AB1", 2, 0, 5, MulDiv(500 * 203, 10, 25402), 90, 0, &err));
    EXPECT_EQ(b.MeasureSymbol("AB1", 203, 1, 500, 985), direct);

    b.m_nRotation = 3;
    const CSize turned = b.MeasureSymbol("AB1");
    b.m_nRotation = 0;
    const CSize upright = b.MeasureSymbol("AB1");
    EXPECT_EQ(turned, CSize(upright.cy, upright.cx));

    // The mirror comes from the object.
    auto plain = b.MakeBitmap("AB1");
    b.m_dwFlags |= 0x10;
    auto mirrored = b.MakeBitmap("AB1");
    ASSERT_TRUE(plain && mirrored);
    auto expect = RotateMirrorBitmap(*plain, 0, 1);
    EXPECT_TRUE(mirrored->SamePixels(*expect));
}

TEST(DrawBarcode, SymbologiesWithoutASymbol)
{
    CDrawBarcode b;
    for (int code : {0, 14, 15, 16, 17, 18, 25, 99, -1}) {
        b.m_nSymbology = code;
        EXPECT_FALSE(b.MakeBitmap("123")) << code;
        EXPECT_EQ(b.MeasureSymbol("123"), CSize(0, 0)) << code;
    }
    // Empty data makes nothing either.
    b.m_nSymbology = BS_CODE128;
    EXPECT_FALSE(b.MakeBitmap(""));
    // Damaged settings make no symbol instead of an enormous one.
    b.m_nSymbology = BS_CODE128;
    b.m_nBarHeight = 0x7FFFFFF0;
    EXPECT_FALSE(b.MakeBitmap("12"));
    b.m_nBarHeight = 1000;
    b.m_nModuleWidth = 0x7FFFFFF0;
    EXPECT_FALSE(b.MakeBitmap("12"));
    b.m_nModuleWidth = 200000;  // 1200 dots at 600 dpi
    EXPECT_FALSE(b.MakeBitmap("12"));
    b.m_nModuleWidth = 1000;
    // ITF-14 data with a letter reaches the encoder and is refused there.
    b.m_nSymbology = BS_ITF14;
    EXPECT_FALSE(b.MakeBitmap(b.PrepareData("12345678901A")));
    b.m_nSymbology = BS_ITF25;
    EXPECT_TRUE(b.MakeBitmap(b.PrepareData("12345678901A")));
}

TEST(DrawBarcode, EanDigitsFollowThePlacement)
{
    CDrawBarcode b;
    b.m_nSymbology = BS_EAN13;
    const std::string data = b.PrepareData("590123412345");
    auto withDigits = b.MakeBitmap(data);
    b.m_nTextPlacement = BTP_NONE;
    auto bare = b.MakeBitmap(data);
    ASSERT_TRUE(withDigits && bare);
    std::uint32_t err = 0;
    auto expectBare = EncodeEanAddOn(BCT_EAN13, data.c_str(), 0, 6, 0, MulDiv(1000 * 600, 10, 25402), 0, 0, 0, &err);
    auto expectDigits =
        EncodeEanAddOn(BCT_EAN13, data.c_str(), 0, 6, 0, MulDiv(1000 * 600, 10, 25402), 0, 0, 3, &err);
    EXPECT_TRUE(bare->SamePixels(*expectBare));
    EXPECT_TRUE(withDigits->SamePixels(*expectDigits));
}

std::string Decode(const CMonoBitmap& bmp, ZXing::BarcodeFormat format)
{
    const auto d = kvtest::DecodeBitmap(bmp, format, 40);
    return d.ok ? std::string(d.bytes.begin(), d.bytes.end()) : std::string("<no read>");
}

TEST(DrawBarcode, SymbolsReadBack)
{
    struct Case {
        int symbology;
        const char* data;
        ZXing::BarcodeFormat format;
        const char* expect;
        void (*setup)(CDrawBarcode&);
    };
    const Case cases[] = {
        {BS_CODE39, "KORVANE-39", ZXing::BarcodeFormat::Code39, "KORVANE-39", NoSetup},
        {BS_CODE128, "Shipment 42", ZXing::BarcodeFormat::Code128, "Shipment 42", NoSetup},
        {BS_CODE128, "12345", ZXing::BarcodeFormat::Code128, "012345", [](CDrawBarcode& b) { b.m_code128.codeSet = 3; }},
        {BS_EAN13, "400638133393", ZXing::BarcodeFormat::EAN13, "4006381333931", NoSetup},
        {BS_EAN8, "9638507", ZXing::BarcodeFormat::EAN8, "96385074", NoSetup},
        {BS_UPCA, "03600029145", ZXing::BarcodeFormat::UPCA, "036000291452", NoSetup},
        {BS_ITF25, "1234567", ZXing::BarcodeFormat::ITF, "01234567", NoSetup},
        {BS_ITF14, "1234567890123", ZXing::BarcodeFormat::ITF, "12345678901231",
         [](CDrawBarcode& b) { b.m_itf14.bearerType = 0; }},
        {BS_CODE93, "CODE93", ZXing::BarcodeFormat::Code93, "CODE93", NoSetup},
        {BS_CODABAR, "123456", ZXing::BarcodeFormat::Codabar, "123456", NoSetup},
        {BS_QRCODE, "https://korvane.example/label", ZXing::BarcodeFormat::QRCode, "https://korvane.example/label",
         NoSetup},
        {BS_DATAMATRIX, "Lot 7 / 2026", ZXing::BarcodeFormat::DataMatrix, "Lot 7 / 2026", NoSetup},
        {BS_PDF417, "Pallet 0815, 24 cartons", ZXing::BarcodeFormat::PDF417, "Pallet 0815, 24 cartons", NoSetup},
        {BS_PDF417, "Truncated 4711", ZXing::BarcodeFormat::PDF417, "Truncated 4711",
         [](CDrawBarcode& b) { b.m_pdf417.truncated = 1; b.m_pdf417.ecLevel = 4; }},
        {BS_DATABAR, "0001234567890", ZXing::BarcodeFormat::DataBar, "00012345678905", NoSetup},
        {BS_DATABAR, "0100012345678905", ZXing::BarcodeFormat::DataBar, "00012345678905",
         [](CDrawBarcode& b) { b.m_dataBar.type = DBT_STACKED_OMNI; b.m_dataBar.hold = 1; }},
    };
    for (const auto& c : cases) {
        for (int rotation = 0; rotation < 4; ++rotation) {
            CDrawBarcode b;
            b.m_nSymbology = c.symbology;
            b.m_nModuleWidth = 1000;
            b.m_nRatio = 300;
            b.m_nBarHeight = 1500;
            b.m_nRotation = rotation;
            b.m_nTextPlacement = BTP_NONE;
            c.setup(b);
            auto bmp = b.MakeBitmap(b.PrepareData(c.data), 203);
            ASSERT_TRUE(bmp) << c.data;
            EXPECT_EQ(Decode(*bmp, c.format), c.expect) << c.data << " rotation " << rotation;
        }
    }
}

TEST(DrawBarcode, MaxiCodeHanXinAndDataBarLimitedDraw)
{
    CDrawBarcode b;
    b.m_nModuleWidth = 1000;  // 2 dots at 203 dpi
    b.m_nTextPlacement = BTP_NONE;
    // MaxiCode: the decoder of this machine reads it unrotated only.
    b.m_nSymbology = BS_MAXICODE;
    auto maxi = b.MakeBitmap(b.PrepareData("Korvane parcel 0815"), 203);
    ASSERT_TRUE(maxi);
    EXPECT_EQ(Decode(*maxi, ZXing::BarcodeFormat::MaxiCode), "Korvane parcel 0815");
    // Han Xin: the object's level (stored from 0) and version reach the encoder.
    b.m_nSymbology = BS_HANXIN;
    b.m_hanXin.ecLevel = 3;
    b.m_hanXin.version = 5;
    auto hx = b.MakeBitmap(b.PrepareData("Korvane"), 203);
    auto direct = EncodeHanXin("Korvane", 7, 4, 0, 0, 0, 5, 2, 0, 0, 0, nullptr);
    ASSERT_TRUE(hx && direct);
    EXPECT_TRUE(hx->SamePixels(*direct));
    // GS1 DataBar Limited: 79 modules.
    b.m_nSymbology = BS_DATABAR;
    b.m_dataBar.type = DBT_LIMITED;
    auto ltd = b.MakeBitmap(b.PrepareData("1234567890123"), 203);
    ASSERT_TRUE(ltd);
    EXPECT_EQ(ltd->Width(), 79 * 2);
}

}  // namespace
