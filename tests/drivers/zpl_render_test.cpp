// What a ZPL job prints against what the label shows when it is rendered
// for printing: the job goes through a small ZPL printer (support/
// zpl_interpreter.h) and the picture it draws is laid over the rendered
// label. Outside the text (the printer's fonts are its own) every black dot
// of one must have a black dot of the other within two dots, barcodes must
// read back with the decoder as the object's data, and each text field's
// cell must hold the ink of the text the label shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "model/drawgroup.h"
#include "platform/dc.h"
#include "platform/monobitmap_ops.h"
#include "platform/strutil.h"
#include "support/decode.h"
#include "support/kvtest.h"
#include "support/zpl_interpreter.h"
#include "zpl_label.h"

namespace {

using zpltest::ZplLabel;

// The label as `korvane render` draws it: every printable object printed
// at the format's resolution for the label position.
CMonoBitmap Render(CKVDoc& doc, int label)
{
    const CLabelFormat& f = doc.m_format;
    auto dc = CDC::CreatePrinterPage(UnitsToDots(f.m_nLabelWidth, f.m_nHDpi), UnitsToDots(f.m_nLabelHeight, f.m_nVDpi),
                                     f.m_nHDpi, f.m_nVDpi);
    CLabelPos pos;
    pos.m_nLabel = label;
    pos.m_nRecord = label;
    const CPoint origin;
    for (CDrawObj* obj : doc.m_objects)
        if (!obj->IsNonPrinting()) obj->Print(dc.get(), &pos, &origin, FALSE);
    return dc->GetMonoBitmap();
}

CRect Grown(const CRect& r, int by)
{
    const CRect n = r.Normalized();
    return CRect(n.left - by, n.top - by, n.right + by, n.bottom + by);
}

bool Inside(const std::vector<CRect>& areas, int x, int y)
{
    for (const CRect& a : areas)
        if (x >= a.left && x < a.right && y >= a.top && y < a.bottom) return true;
    return false;
}

bool BlackNear(const CMonoBitmap& b, int x, int y, int reach)
{
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px >= 0 && py >= 0 && px < b.Width() && py < b.Height() && b.IsBlack(px, py)) return true;
        }
    return false;
}

// Black dots of a with no black dot of b within reach, outside the masked areas.
std::vector<CPoint> Unmatched(const CMonoBitmap& a, const CMonoBitmap& b, const std::vector<CRect>& masked, int reach)
{
    std::vector<CPoint> out;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.IsBlack(x, y) && !Inside(masked, x, y) && !BlackNear(b, x, y, reach)) out.emplace_back(x, y);
    return out;
}

// The black dots' bounding box of b inside r; empty when none.
CRect InkBox(const CMonoBitmap& b, const CRect& r)
{
    CRect ink(r.right, r.bottom, r.left, r.top);
    for (int y = std::max(0, r.top); y < std::min(b.Height(), r.bottom); ++y)
        for (int x = std::max(0, r.left); x < std::min(b.Width(), r.right); ++x)
            if (b.IsBlack(x, y)) {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x + 1);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y + 1);
            }
    return ink.left < ink.right ? ink : CRect();
}

CMonoBitmap Crop(const CMonoBitmap& b, const CRect& r)
{
    CMonoBitmap out(r.Width(), r.Height());
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) {
            const int px = r.left + x, py = r.top + y;
            if (px >= 0 && py >= 0 && px < b.Width() && py < b.Height() && b.IsBlack(px, py)) out.SetPixel(x, y, true);
        }
    return out;
}

// The rendered text of a text field starts where the printer starts it and
// lies in its cells: the ink's middle inside them and, for a text object,
// the ink's leading edge (left for N, top for R, right for I, bottom for B)
// within a few dots of the cells'. (The printer's glyphs are its own, so
// the ink's other edges are left alone.)
void ExpectTextInCells(const CMonoBitmap& rendered, const kvtest::ZplField& field, bool barcodeLine)
{
    const CRect cells = field.extent;
    const CRect ink = InkBox(rendered, Grown(cells, 8));
    ASSERT_FALSE(ink.IsRectEmpty()) << "no rendered text at the field of " << field.data;
    const std::string where = field.data + StrFormat(" ^A%s%c: ink %d,%d-%d,%d, cells %d,%d-%d,%d", field.font.c_str(),
                                                     field.rotation, ink.left, ink.top, ink.right, ink.bottom,
                                                     cells.left, cells.top, cells.right, cells.bottom);
    const int cx = (ink.left + ink.right) / 2, cy = (ink.top + ink.bottom) / 2;
    EXPECT_TRUE(cx >= cells.left && cx < cells.right && cy >= cells.top && cy < cells.bottom) << where;
    if (barcodeLine) {
        // A barcode centres its line in the line's box with the screen's
        // glyphs; the printer fills the box from its start.
        const CRect box = Grown(cells, 3);
        EXPECT_TRUE(ink.left >= box.left && ink.top >= box.top && ink.right <= box.right && ink.bottom <= box.bottom)
            << where;
        return;
    }
    constexpr int kBearing = 4;  // the space a glyph leaves before its ink
    // The scalable font's glyphs are proportional: where a turned line
    // starts depends on them, where it ends (at the field's corner) does not.
    const bool proportional = field.font == "0";
    switch (field.rotation) {
    case 'N': EXPECT_NEAR(ink.left, cells.left, kBearing) << where; break;
    case 'R': EXPECT_NEAR(ink.top, cells.top, kBearing) << where; break;
    case 'I':
        if (proportional)
            EXPECT_NEAR(ink.left, cells.left, kBearing) << where;
        else
            EXPECT_NEAR(ink.right, cells.right, kBearing) << where;
        break;
    default:
        if (proportional)
            EXPECT_NEAR(ink.top, cells.top, kBearing) << where;
        else
            EXPECT_NEAR(ink.bottom, cells.bottom, kBearing) << where;
        break;
    }
}

ZXing::BarcodeFormat DecoderFormat(const std::string& command)
{
    if (command == "BC") return ZXing::BarcodeFormat::Code128;
    if (command == "B3") return ZXing::BarcodeFormat::Code39;
    if (command == "BE") return ZXing::BarcodeFormat::EAN13;
    if (command == "BU") return ZXing::BarcodeFormat::UPCA;
    if (command == "B8") return ZXing::BarcodeFormat::EAN8;
    if (command == "B9") return ZXing::BarcodeFormat::UPCE;
    if (command == "B2") return ZXing::BarcodeFormat::ITF;
    if (command == "BA") return ZXing::BarcodeFormat::Code93;
    return ZXing::BarcodeFormat::Codabar;
}

// Prints labels of l through the ZPL printer and lays each over the render.
void ExpectPrintsAsRendered(ZplLabel& l, int labels = 1)
{
    const std::string job = l.Print(labels);
    // KV_ZPL_DUMP=DIR keeps each job, printed label and rendered label there for a look.
    const char* dump = getenv("KV_ZPL_DUMP");
    static int dumped = 0;
    if (dump) kvtest::WriteFileBytes(StrFormat("%s/job%d.zpl", dump, dumped), std::vector<std::uint8_t>(job.begin(), job.end()));
    kvtest::ZplPrinter printer;
    std::string error;
    ASSERT_TRUE(printer.Run(job, &error)) << error;
    const CLabelFormat& f = l.doc.m_format;
    const int width = UnitsToDots(f.m_nLabelWidth, f.m_nHDpi), height = UnitsToDots(f.m_nLabelHeight, f.m_nVDpi);

    // One format per label or one for all, as the print mode has it.
    int label = 0;
    for (kvtest::ZplFormat& format : printer.formats) {
        if (format.fields.empty()) continue;
        for (int copy = 0; copy < format.quantity && label < labels; ++copy, ++label) {
            SCOPED_TRACE("label " + std::to_string(label));
            const CMonoBitmap printed = printer.Draw(format, width, height, copy, &error);
            ASSERT_TRUE(error.empty()) << error;
            const CMonoBitmap rendered = Render(l.doc, label);
            if (dump) {
                MonoToQImage(printed).save(QString::fromStdString(StrFormat("%s/printed%d.png", dump, dumped)));
                MonoToQImage(rendered).save(QString::fromStdString(StrFormat("%s/rendered%d.png", dump, dumped)));
            }
            CLabelPos pos;
            pos.m_nLabel = pos.m_nRecord = label;

            // Text is the printer's own: masked, then checked by place.
            std::vector<CRect> masked;
            std::set<std::string> lines;  // the barcodes' human-readable lines
            for (CDrawObj* obj : l.doc.m_objects) {
                if (obj->m_nType == OBJ_BARCODE) lines.insert(static_cast<CDrawBarcode*>(obj)->GetHumanReadable(&pos));
                CRect r;
                obj->GetPrintRect(nullptr, &pos, &r, FALSE);
                if (obj->m_nType == OBJ_TEXT && obj->m_nOutputMethod == OM_NATIVE) masked.push_back(Grown(r, 3));
                if (obj->m_nType == OBJ_BARCODE && obj->m_nOutputMethod == OM_NATIVE) {
                    auto* b = static_cast<CDrawBarcode*>(obj);
                    CRect object, bars, text;
                    b->LayoutBarcode(nullptr, &pos, &object, &bars, &text);
                    if (!text.IsRectEmpty()) masked.push_back(Grown(text, 3));
                    if (CDrawBarcode::IsEanUpc(b->m_nSymbology) && b->m_nTextPlacement != BTP_NONE) {
                        // Where the bars end above the digits is the printer's
                        // own (its line is taller or shorter than the label's):
                        // the strip of the bars next to the digits is left out.
                        const int strip = 11 * b->ModuleDots() + 2;
                        bars = bars.Normalized();
                        switch (b->m_nRotation & 3) {
                        case 0: masked.emplace_back(bars.left, bars.bottom - strip, bars.right, bars.bottom); break;
                        case 1: masked.emplace_back(bars.right - strip, bars.top, bars.right, bars.bottom); break;
                        case 2: masked.emplace_back(bars.left, bars.top, bars.right, bars.top + strip); break;
                        default: masked.emplace_back(bars.left, bars.top, bars.left + strip, bars.bottom); break;
                        }
                    }
                }
            }
            for (const kvtest::ZplField& field : format.fields)
                if (field.interpretationBand.Width() > 0) masked.push_back(field.interpretationBand);

            const std::vector<CPoint> extra = Unmatched(printed, rendered, masked, 2);
            const std::vector<CPoint> missing = Unmatched(rendered, printed, masked, 2);
            EXPECT_TRUE(extra.empty()) << extra.size() << " dots printed where the render has none, first at "
                                       << extra.front().x << "," << extra.front().y;
            EXPECT_TRUE(missing.empty()) << missing.size() << " rendered dots the printer leaves white, first at "
                                         << missing.front().x << "," << missing.front().y;

            for (const kvtest::ZplField& field : format.fields) {
                if (field.kind == kvtest::ZplField::Text) ExpectTextInCells(rendered, field, lines.count(field.data) > 0);
                if (field.kind == kvtest::ZplField::Barcode) {
                    // Both read back alike: the printer's bars, and the
                    // label's symbol with its quiet zone and text around it.
                    const kvtest::Decoded d = kvtest::DecodeBitmap(Crop(printed, field.extent),
                                                                   DecoderFormat(field.command), 40, false, true);
                    EXPECT_TRUE(d.ok) << "^" << field.command << " " << field.data;
                    const kvtest::Decoded r = kvtest::DecodeBitmap(Crop(rendered, Grown(field.extent, 30)),
                                                                   DecoderFormat(field.command), 40, false, true);
                    EXPECT_TRUE(r.ok) << "^" << field.command << " " << field.data;
                    EXPECT_EQ(d.text, r.text) << "^" << field.command;
                }
            }
        }
    }
    EXPECT_EQ(label, labels);
    ++dumped;
}

TEST(ZplPrintsAsRendered, ObjectsOfEveryKind)
{
    ZplLabel l(8000, 4500);
    l.Text("HELLO 12", CPoint(300, 300), "Zebra Font F");
    l.Text("Scalable", CPoint(300, 700), "Zebra Scalable", 1400);
    l.Text("ARIAL", CPoint(3000, 300), "Arial", 1200);
    l.Picture(CRect(4800, 200, 5800, 1000));
    l.Barcode(BS_CODE128, "KV1234", CPoint(300, 1300));
    l.Barcode(BS_EAN13, "590123412345", CPoint(3000, 1300));
    l.Line(CRect(200, 3000, 4000, 3050), LINE_HORIZONTAL);
    l.Line(CRect(7500, 1200, 7560, 2800), LINE_VERTICAL);
    l.Line(CRect(4500, 3300, 5500, 4100), LINE_DIAG_DOWN, 60);
    l.Box(CRect(100, 100, 7900, 4400), 30);
    ExpectPrintsAsRendered(l);
}

}  // namespace

TEST(ZplPrintsAsRendered, FieldsInEveryRotation)
{
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE("rotation " + std::to_string(rotation));
        ZplLabel l(10000, 10000);
        l.Text("ROTATE 7", CPoint(400, 400), "Zebra Font F", 0, rotation);
        l.Text("Baseline", CPoint(4000, 400), "Zebra Scalable", 1400, rotation);
        l.Barcode(BS_EAN13, "400638133393", CPoint(400, 4200), 2, 1400, BTP_DEFAULT, rotation);
        l.Barcode(BS_EAN8, "9638507", CPoint(4000, 4200), 2, 1000, BTP_DEFAULT, rotation);
        l.Barcode(BS_UPCE, "0123456", CPoint(7000, 4200), 2, 1000, BTP_DEFAULT, rotation);
        CDrawBarcode* below = l.Barcode(BS_CODE39, "CODE39", CPoint(4000, 6500), 2, 800, BTP_BELOW, rotation);
        below->m_strFontName = "Zebra Font B";
        ZplLabel::MoveTo(below, CPoint(4000, 6500));
        ExpectPrintsAsRendered(l);
    }
}

TEST(ZplPrintsAsRendered, EveryNativeSymbology)
{
    const struct {
        int symbology;
        const char* data;
    } cases[] = {
        {BS_CODE39, "KV-39"},      {BS_CODE128, "Kv 128>_^x"}, {BS_EAN13, "590123412345"}, {BS_ITF25, "12345678"},
        {BS_CODE93, "CODE 93"},    {BS_UPCA, "03600029145"},  {BS_EAN8, "9638507"},       {BS_UPCE, "0123456"},
        {BS_CODABAR, "A1234-5B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        ZplLabel l(6000, 2500);
        CDrawBarcode* b = l.Barcode(c.symbology, c.data, CPoint(500, 300), 2, 1200);
        ASSERT_TRUE(b->GetBitmap() != nullptr);
        ExpectPrintsAsRendered(l);
        EXPECT_EQ(b->m_nOutputMethod, OM_NATIVE);
    }
}

TEST(ZplPrintsAsRendered, BarsStayInPlaceWhateverTheReadableLine)
{
    // The printer prints its own line beside the bars: the bars are placed,
    // with the line above or left of them when turned, or wider than them.
    const struct {
        const char* data;
        int fontHeight;  // of the line, hundredths of a point
    } cases[] = {{"R0TATE-128", 900}, {"W1", 3600}};
    for (const auto& c : cases)
        for (int rotation = 0; rotation < 4; ++rotation) {
            SCOPED_TRACE(std::string(c.data) + " rotation " + std::to_string(rotation));
            ZplLabel l(6000, 6000);
            CDrawBarcode* b = l.Barcode(BS_CODE128, c.data, CPoint(1000, 1000), 2, 1000, BTP_DEFAULT, rotation);
            b->m_nFontHeight = c.fontHeight;
            ZplLabel::MoveTo(b, CPoint(1000, 1000));
            ExpectPrintsAsRendered(l);
        }
}

TEST(ZplPrintsAsRendered, ShippingExample)
{
    ZplLabel l;
    std::string error;
    ASSERT_TRUE(l.doc.OpenDocument(kvtest::SourcePath("examples/shipping.kvd"), &error)) << error;
    CLabelFormat& f = l.doc.m_format;
    f.m_nLanguage = 1;
    f.SetProperty(LFP_WINDOWS_DRIVER, "");
    f.m_nHDpi = f.m_nVDpi = 203;
    l.doc.ReloadPrinterFonts();
    l.doc.OnPrinterChanged();
    for (CDrawObj* obj : l.doc.m_objects) obj->AdaptToPrinter(&l.doc);
    ExpectPrintsAsRendered(l);
}
