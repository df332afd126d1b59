// Barcode objects as korvane render prints them read back with the test
// decoder: the shipping example at the printer's and at other resolutions,
// turned labels and the designer's picture.
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>

#include "model/drawbarcode.h"
#include "data/variable.h"
#include "model/document.h"
#include "support/decode.h"
#include "support/kvtest.h"


namespace {

QImage Render(const std::string& file, const std::vector<std::string>& args)
{
    kvtest::TempDir dir;
    std::vector<std::string> all = {"render", file, "-o", dir.file("out.png")};
    all.insert(all.end(), args.begin(), args.end());
    const auto r = kvtest::RunKorvane(all);
    EXPECT_EQ(r.status, 0) << r.err;
    return QImage(QString::fromStdString(dir.file("out.png")));
}

// The symbols of these formats found in the picture, as "format:text",
// sorted; one read per format.
std::vector<std::string> ReadAll(const QImage& image)
{
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    std::vector<std::string> out;
    for (auto format : {ZXing::BarcodeFormat::Code128, ZXing::BarcodeFormat::Code39, ZXing::BarcodeFormat::EAN13,
                        ZXing::BarcodeFormat::QRCode, ZXing::BarcodeFormat::DataMatrix}) {
        const auto r = kvtest::DecodeLuminance(gray.constBits(), gray.width(), gray.height(),
                                               int(gray.bytesPerLine()), format);
        if (r.ok)
            out.push_back(std::string(ZXing::ToString(r.format)) + ":" + std::string(r.bytes.begin(), r.bytes.end()));
    }
    std::sort(out.begin(), out.end());
    return out;
}

const std::vector<std::string> kShippingSymbols = {
    "Code128:KV1234567890",
    "EAN-13:5901234123457",
    "QRCode:https://korvane.example/t/KV1234567890",
};

TEST(BarcodeRenderCli, ShippingLabelSymbolsReadBack)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("shipping.kvd");
    ASSERT_EQ(kvtest::RunKorvane({"example", "shipping", path}).status, 0);
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--dpi", "203"}, {"--dpi", "300"}}) {
        const QImage img = Render(path, args);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(ReadAll(img), kShippingSymbols) << (args.empty() ? "printer dpi" : args[1]);
    }
    // On screen at 100 % the EAN-13 modules are too thin to read; the
    // others are not.
    EXPECT_EQ(ReadAll(Render(path, {"--screen"})),
              (std::vector<std::string>{kShippingSymbols[0], kShippingSymbols[2]}));
    // The committed example is the one the program writes.
    EXPECT_EQ(ReadAll(Render(kvtest::SourcePath("examples/shipping.kvd"), {})), kShippingSymbols);
}

CDrawBarcode* AddBarcode(CKVDoc& doc, int symbology, const char* data, const CRect& at, int rotation)
{
    auto* b = new CDrawBarcode(at);
    doc.AddObject(b);
    b->m_nSymbology = symbology;
    b->ApplyPrinterDefaults(&doc);
    b->m_nRotation = rotation;
    auto* v = new CVariable;
    v->m_strData = data;
    doc.AddVariable(v);
    b->AddVariable(v);
    b->RecalcSize();
    return b;
}

std::string Save(CKVDoc& doc, const kvtest::TempDir& dir, const char* name)
{
    const std::string path = dir.file(name);
    std::string error;
    EXPECT_TRUE(doc.SaveDocument(path, &error)) << error;
    return path;
}

// Turned symbols grow from the corner their rotation fixes and print
// readable in their places, opaque or transparent.
TEST(BarcodeRenderCli, TurnedSymbolsReadBack)
{
    kvtest::TempDir dir;
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_TRUE(doc.ApplyPaperDefinition("Roll 100x100=1,100,100,1,2,3,0,0,0,0,0,0,0"));
    AddBarcode(doc, BS_CODE39, "TURN-1", CRect(300, 300, 300, 5000), 1);
    AddBarcode(doc, BS_CODE128, "Upside down", CRect(3000, 300, 9500, 3000), 2)->m_nBackground = 0;
    AddBarcode(doc, BS_DATAMATRIX, "DM 270", CRect(6000, 4000, 9500, 9500), 3);
    const QImage img = Render(Save(doc, dir, "turned.kvd"), {});
    // Each object's area, with a margin, holds its symbol (the decoder
    // looks for matrix symbols in a whole picture less eagerly).
    std::vector<std::string> found;
    for (CDrawObj* obj : doc.m_objects) {
        const CRect r = obj->m_position.Normalized();
        const QImage area = img.copy(UnitsToDots(r.left, 600) - 60, UnitsToDots(r.top, 600) - 60,
                                     UnitsToDots(r.Width(), 600) + 120, UnitsToDots(r.Height(), 600) + 120);
        for (const std::string& s : ReadAll(area)) found.push_back(s);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"Code128:Upside down", "Code39:TURN-1", "DataMatrix:DM 270"}));
}

// The reverse style fills the object with the ink and leaves the bars
// white: inverted inside the filled area, the symbol reads again.
TEST(BarcodeRenderCli, ReversedSymbolReadsInverted)
{
    kvtest::TempDir dir;
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CDrawBarcode* b = AddBarcode(doc, BS_CODE128, "Reverse 42", CRect(1000, 1000, 1000, 1000), 0);
    b->m_nFontStyle = BFS_REVERSE;
    const QImage img = Render(Save(doc, dir, "reverse.kvd"), {}).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(ReadAll(img).empty());
    // The dark area is the object rectangle.
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
    ASSERT_GE(x1, x0);
    const CRect expect(UnitsToDots(b->m_position.left, 600), UnitsToDots(b->m_position.top, 600),
                       UnitsToDots(b->m_position.right, 600), UnitsToDots(b->m_position.bottom, 600));
    EXPECT_NEAR(x0, expect.left, 1);
    EXPECT_NEAR(x1 + 1, expect.right, 1);
    QImage inverted(img.size(), QImage::Format_RGB32);
    inverted.fill(Qt::white);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) inverted.setPixel(x, y, img.pixel(x, y) ^ 0xFFFFFF);
    EXPECT_EQ(ReadAll(inverted), (std::vector<std::string>{"Code128:Reverse 42"}));
}

}  // namespace
