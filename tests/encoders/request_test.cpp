// The request entry: the same symbols as the described entries for every
// symbology, failures and warnings handed back instead of shown, data taken
// as bytes, and the text renderer of the request.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "encoders/encoders.h"
#include "encoders/hanxin_entry.h"
#include "encoders/maxicode_entry.h"
#include "encoders/messages.h"
#include "encoders/request.h"
#include "encoders/twod_entries.h"
#include "support/decode.h"
#include "support/kvtest.h"

namespace {

BarcodeRequest Linear(int type, const std::string& data)
{
    BarcodeRequest r;
    r.type = type;
    r.data = data;
    r.module = 2;
    r.wide = 5;
    r.height = 60;
    return r;
}

// Every symbology through EncodeBarcode and through its described entry,
// with options off their defaults where the family has them, turned and
// mirrored: the bitmaps are the same, pixel for pixel.
TEST(BarcodeRequest, SameSymbolsAsTheDescribedEntries)
{
    struct Case {
        BarcodeRequest req;
        std::function<BarBitmap(const BarcodeRequest&)> entry;
    };
    auto general = [](const BarcodeRequest& r) {
        return EncodeLinear(r.type, r.data.c_str(), r.module, r.reduction, r.wide, r.height, r.rotation, r.mirror,
                            r.textFlags, nullptr);
    };
    std::vector<Case> cases;
    for (auto [type, data] : std::vector<std::pair<int, std::string>>{{BS_CODE39, "KORVANE-39"},
                                                                       {BS_ITF25, "123456"},
                                                                       {BS_CODE93, "Code 93"},
                                                                       {BS_CODABAR, "A123456B"},
                                                                       {BS_CODE25, "4711"},
                                                                       {BS_MATRIX25, "4711"},
                                                                       {BS_CHINA_POST, "4711"},
                                                                       {BS_CODE39_ASCII, "a+b"},
                                                                       {BS_EAN128, "AB12"},
                                                                       {BS_CODE128_CARET, "^C1234^BAB"},
                                                                       {BS_ADDON2, "12"},
                                                                       {BS_ADDON5, "52495"}}) {
        BarcodeRequest r = Linear(type, data);
        r.textFlags = BTF_CENTER;
        r.rotation = 90;
        r.mirror = 1;
        r.reduction = 1;
        cases.push_back({r, general});
    }
    {
        BarcodeRequest r = Linear(BS_CODE128, "Shipment 42");
        r.code128.mode = C128_SET_B;
        r.rotation = 180;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             return EncodeCode128(q.code128.mode, q.data.c_str(), q.module, q.reduction, q.height,
                                                  q.rotation, q.mirror, q.textFlags, nullptr);
                         }});
    }
    for (auto [type, data] : std::vector<std::pair<int, std::string>>{
             {BS_EAN13, "40063813339312"}, {BS_UPCA, "0360002914552495"}, {BS_EAN8, "963850712"}, {BS_UPCE, "1234567"}}) {
        BarcodeRequest r = Linear(type, data);
        r.eanUpc.addOn = type == BS_UPCA ? 2 : (type == BS_UPCE ? 0 : 1);
        r.textFlags = BTF_CENTER;
        r.height = 80;
        r.mirror = 2;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             return EncodeEanAddOn(q.type, q.data.c_str(), q.eanUpc.addOn, q.module, q.reduction,
                                                   q.height, q.rotation, q.mirror, q.textFlags, nullptr);
                         }});
    }
    {
        BarcodeRequest r = Linear(BS_ITF14, "15400141288763");
        r.itf14 = {2, 3, 7};
        r.textFlags = BTF_LEFT | BTF_ABOVE;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             return EncodeItf14(q.data.c_str(), q.module, q.reduction, q.wide, q.height,
                                                q.itf14.bearerType, q.itf14.bearerThickness, q.itf14.quietZone,
                                                q.rotation, q.mirror, q.textFlags, nullptr);
                         }});
    }
    {
        BarcodeRequest r = Linear(BS_DATABAR, "(01)98898765432106(3202)012345");
        r.dataBar = {6, 2, 2, true};
        r.rotation = 270;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             const auto& o = q.dataBar;
                             return EncodeDataBar(q.data.c_str(), q.module, q.reduction, q.height,
                                                  DataBarOptions(o.type, o.separator, o.segments, o.hold),
                                                  q.rotation, q.mirror, q.textFlags, nullptr);
                         }});
    }
    {
        BarcodeRequest r = Linear(BS_PDF417, "Pallet 0815, 24 cartons");
        r.pdf417 = {0, 4, 3, true, 7};
        r.mirror = 1;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             const auto& o = q.pdf417;
                             return EncodePdf417(q.data.data(), int(q.data.size()), o.rows, o.columns, o.level,
                                                 q.rotation, q.mirror, q.module, o.rowHeight, o.truncated,
                                                 q.reduction, nullptr);
                         }});
    }
    {
        BarcodeRequest r = Linear(BS_QRCODE, std::string("QR \0 bytes \xE9", 13));
        r.qr.ecLevel = 3;
        r.rotation = 90;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             return EncodeQr(q.data.data(), int(q.data.size()), q.qr.ecLevel, q.module, q.rotation,
                                             q.mirror, q.reduction, nullptr);
                         }});
    }
    {
        BarcodeRequest r = Linear(BS_DATAMATRIX, "Lot 7 / 2026");
        r.mirror = 2;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             return EncodeDataMatrix(q.data.data(), int(q.data.size()), 0, q.module, q.rotation,
                                                     q.mirror, q.reduction, nullptr);
                         }});
    }
    {
        BarcodeRequest r = Linear(BS_MAXICODE, "Korvane parcel 0815");
        r.maxiCode.mode = 4;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             return EncodeMaxiCode(q.data.data(), int(q.data.size()), q.maxiCode.mode, q.module,
                                                   q.rotation, q.mirror, 0, nullptr);
                         }});
    }
    {
        BarcodeRequest r = Linear(BS_HANXIN, "Han Xin 12345");
        r.hanXin = {3, 5};
        r.rotation = 180;
        cases.push_back({r, [](const BarcodeRequest& q) {
                             return EncodeHanXin(q.data.data(), int(q.data.size()), q.hanXin.ecLevel, 0, 0, 0,
                                                 q.hanXin.version, q.module, q.rotation, q.mirror, q.reduction,
                                                 nullptr);
                         }});
    }

    // Every drawable symbology of the table is among the cases.
    for (const SymbologyInfo& s : Symbologies()) {
        if (!s.drawable) continue;
        const bool covered = std::any_of(cases.begin(), cases.end(), [&](const Case& c) { return c.req.type == s.code; });
        EXPECT_TRUE(covered) << s.name;
    }
    for (const Case& c : cases) {
        const BarcodeResult result = EncodeBarcode(c.req);
        const BarBitmap expected = c.entry(c.req);
        ASSERT_TRUE(expected) << c.req.type;
        ASSERT_TRUE(result.bitmap) << c.req.type << " " << BarcodeErrorName(result.error);
        EXPECT_TRUE(result.bitmap->SamePixels(*expected)) << c.req.type;
        EXPECT_EQ(result.error, BCE_OK);
        // Measuring gives the unmirrored size.
        BarcodeRequest unmirrored = c.req;
        unmirrored.mirror = 0;
        const CSize size = MeasureBarcode(c.req);
        const BarcodeResult plain = EncodeBarcode(unmirrored);
        EXPECT_EQ(size, CSize(plain.bitmap->Width(), plain.bitmap->Height())) << c.req.type;
    }
}

// A failure comes back as code, message and caption; nothing is shown, even
// where the described entries would show it.
TEST(BarcodeRequest, FailuresComeBackWithTheirMessage)
{
    kvtest::CaptureMessages shown;
    struct Case {
        BarcodeRequest req;
        std::uint32_t error;
        const char* message;
        const char* caption;
    };
    BarcodeRequest badRatio = Linear(BS_ITF25, "1234");
    badRatio.wide = 3;
    BarcodeRequest badLevel = Linear(BS_QRCODE, "data");
    badLevel.qr.ecLevel = 4;
    const Case cases[] = {
        {Linear(BS_EAN13, "123"), BCE_BAD_LENGTH, kMsgNeed13, "VOVerovo.dll__EAN 13"},
        {Linear(BS_CODABAR, "123A"), BCE_ILLEGAL_CHAR, kMsgCodabarFirst, "VOVerovo.dll__CodaBar"},
        {badRatio, BCE_BAD_RATIO, kMsgBadRatio, "VOVerovo.dll__ITF 25"},
        {Linear(77, "1"), BCE_UNSUPPORTED_TYPE, kMsgUnsupportedType, "VOVerovo.dll"},
        // Text symbologies refuse a NUL byte rather than ending the data there.
        {Linear(BS_CODE128, std::string("AB\0CD", 5)), BCE_ILLEGAL_CHAR, kMsgIllegalChar, "VOVerovo.dll__CODE 128"},
        {Linear(BS_ITF14, std::string("1234\0", 5)), BCE_ILLEGAL_CHAR, kMsgIllegalChar, "VOVerovo.dllITF 14"},
        {badLevel, BCE_BAD_EC_LEVEL, nullptr, "VOVerovo.dllQR Code"},
    };
    for (const Case& c : cases) {
        const BarcodeResult r = EncodeBarcode(c.req);
        EXPECT_FALSE(r) << c.req.type;
        EXPECT_EQ(r.error, c.error) << c.req.type;
        EXPECT_EQ(r.caption, c.caption) << c.req.type;
        if (c.message) {
            EXPECT_EQ(r.message, c.message) << c.req.type;
            ASSERT_EQ(r.notices.size(), 1u) << c.req.type;
            EXPECT_EQ(r.notices[0], (BarcodeNotice{true, c.message, c.caption}));
        }
    }
    EXPECT_TRUE(shown.messages.empty());
}

// Corrections are warnings: the symbol is made and the warnings come back in
// the order they arose.
TEST(BarcodeRequest, WarningsComeBackInOrder)
{
    kvtest::CaptureMessages shown;
    BarcodeRequest upce = Linear(BS_UPCE, "91234560");  // number system 9, wrong check digit
    upce.textFlags = BTF_CENTER;
    const BarcodeResult r = EncodeBarcode(upce);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.error, BCE_OK);
    ASSERT_EQ(r.notices.size(), 2u);
    EXPECT_EQ(r.notices[0], (BarcodeNotice{false, kMsgUpceSystem, "VOVerovo.dll__UPC E"}));
    EXPECT_EQ(r.notices[1], (BarcodeNotice{false, kMsgCheckCorrected, "VOVerovo.dll__UPC E"}));
    // Too low for its text: the symbol comes without it, and says so.
    BarcodeRequest low = Linear(BS_CODE39, "LOW");
    low.textFlags = BTF_CENTER;
    low.height = 24;  // 12 modules: not above
    const BarcodeResult l = EncodeBarcode(low);
    ASSERT_TRUE(l);
    ASSERT_EQ(l.notices.size(), 1u);
    EXPECT_EQ(l.notices[0].text, kMsgTextTooLow);
    EXPECT_TRUE(shown.messages.empty());
}

// The described entries show the same notices as message boxes when their
// error word asks for them.
TEST(BarcodeRequest, WrappersShowWhatTheirWordAsks)
{
    kvtest::CaptureMessages shown;
    std::uint32_t word = BCE_SHOW_WARNINGS;
    ASSERT_TRUE(EncodeEanAddOn(BS_UPCE, "91234560", 0, 2, 0, 80, 0, 0, BTF_CENTER, &word));
    EXPECT_EQ(word, 0u);
    ASSERT_EQ(shown.messages.size(), 2u);
    EXPECT_EQ(shown.messages[0].text, kMsgUpceSystem);
    EXPECT_EQ(shown.messages[1].text, kMsgCheckCorrected);
    word = BCE_SHOW_WARNINGS;  // errors not asked for: none shown, the code stored
    EXPECT_FALSE(EncodeLinear(BS_EAN13, "123", 2, 0, 0, 80, 0, 0, 0, &word));
    EXPECT_EQ(word, BCE_BAD_LENGTH);
    EXPECT_EQ(shown.messages.size(), 2u);
}

// The bytes of the request reach the two-dimensional encoders unchanged, NUL
// and bytes above 127 included.
TEST(BarcodeRequest, MatrixDataIsTakenAsBytes)
{
    const std::string data("\x01\x00\xE9\xFF tail", 9);
    BarcodeRequest r = Linear(BS_QRCODE, data);
    r.module = 3;
    const BarcodeResult q = EncodeBarcode(r);
    ASSERT_TRUE(q);
    EXPECT_EQ(kvtest::DecodeBitmap(*q.bitmap, ZXing::BarcodeFormat::QRCode, 12).bytes, kvtest::Bytes(data));
    r.type = BS_DATAMATRIX;
    const BarcodeResult d = EncodeBarcode(r);
    ASSERT_TRUE(d);
    EXPECT_EQ(kvtest::DecodeBitmap(*d.bitmap, ZXing::BarcodeFormat::DataMatrix, 12).bytes, kvtest::Bytes(data));
}

// A request's own renderer draws its readable lines; the library's stays unused.
TEST(BarcodeRequest, TextGoesThroughTheRequestsRenderer)
{
    class Recorder : public IBarcodeTextRenderer {
    public:
        int TextWidth(const BarcodeFont& f, std::string_view t) override { return int(t.size()) * 4; }
        bool DrawText(CMonoBitmap&, int, int, const BarcodeFont&, std::string_view t) override
        {
            texts.emplace_back(t);
            return true;
        }
        std::vector<std::string> texts;
    };
    class Refuser : public Recorder {
    public:
        bool DrawText(CMonoBitmap&, int, int, const BarcodeFont&, std::string_view) override
        {
            ADD_FAILURE() << "the library's renderer was used";
            return true;
        }
    };
    Refuser global;
    IBarcodeTextRenderer* previous = SetBarcodeTextRenderer(&global);
    Recorder own;
    BarcodeRequest r = Linear(BS_EAN13, "400638133393");
    r.textFlags = BTF_CENTER;
    r.height = 80;
    r.textRenderer = &own;
    EXPECT_TRUE(EncodeBarcode(r));
    SetBarcodeTextRenderer(previous);
    EXPECT_EQ(own.texts, (std::vector<std::string>{"4", "006381", "333931"}));
}

}  // namespace
