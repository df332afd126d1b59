#include "support/zpl_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawgroup.h"
#include "platform/dc.h"
#include "platform/strutil.h"
#include "print/printdriver.h"
#include "support/decode.h"

namespace kvtest {

namespace {

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
void ExpectTextInCells(const CMonoBitmap& rendered, const ZplField& field, bool barcodeLine)
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


void Printable(const std::vector<CDrawObj*>& list, std::vector<CDrawObj*>& out)
{
    for (CDrawObj* obj : list) {
        if (obj->IsNonPrinting()) continue;
        if (auto* g = dynamic_cast<CDrawGroup*>(obj))
            Printable(g->m_children, out);
        else
            out.push_back(obj);
    }
}

}  // namespace

CMonoBitmap RenderLabel(CKVDoc& doc, const CLabelPos& at)
{
    const CLabelFormat& f = doc.m_format;
    const CSize size = doc.GetOrientation() % 2 ? CSize(f.m_nLabelHeight, f.m_nLabelWidth) : f.GetLabelSize();
    auto dc = CDC::CreatePrinterPage(UnitsToDots(size.cx, f.m_nHDpi), UnitsToDots(size.cy, f.m_nVDpi), f.m_nHDpi,
                                     f.m_nVDpi);
    CLabelPos pos = at;
    const CPoint origin;
    std::vector<CDrawObj*> objects;
    Printable(doc.m_objects, objects);
    for (CDrawObj* obj : objects) obj->Print(dc.get(), &pos, &origin, FALSE);
    return dc->GetMonoBitmap();
}

void ExpectPrintsAsRendered(CKVDoc& doc, const CLabelPos& at, const ZplFormat& format, const CMonoBitmap& printed,
                            const CMonoBitmap& rendered)
{
    CLabelPos pos = at;
    std::vector<CDrawObj*> objects;
    Printable(doc.m_objects, objects);

    // Text is the printer's own: masked, then checked by place.
    std::vector<CRect> masked;
    std::set<std::string> lines;  // the barcodes' human-readable lines
    for (CDrawObj* obj : objects) {
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
                // Where the bars end above the digits is the printer's own
                // (its line is taller or shorter than the label's): the
                // strip of the bars next to the digits is left out.
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
    for (const ZplField& field : format.fields)
        if (field.interpretationBand.Width() > 0) masked.push_back(field.interpretationBand);

    const std::vector<CPoint> extra = Unmatched(printed, rendered, masked, 2);
    const std::vector<CPoint> missing = Unmatched(rendered, printed, masked, 2);
    EXPECT_TRUE(extra.empty()) << extra.size() << " dots printed where the render has none, first at "
                               << extra.front().x << "," << extra.front().y;
    EXPECT_TRUE(missing.empty()) << missing.size() << " rendered dots the printer leaves white, first at "
                                 << missing.front().x << "," << missing.front().y;

    for (const ZplField& field : format.fields) {
        if (field.kind == ZplField::Text) ExpectTextInCells(rendered, field, lines.count(field.data) > 0);
        if (field.kind == ZplField::Barcode) {
            // Both read back alike: the printer's bars, and the label's
            // symbol with its quiet zone and text around it.
            const Decoded d = DecodeBitmap(Crop(printed, field.extent), DecoderFormat(field.command), 40, false, true);
            EXPECT_TRUE(d.ok) << "^" << field.command << " " << field.data;
            const Decoded r =
                DecodeBitmap(Crop(rendered, Grown(field.extent, 30)), DecoderFormat(field.command), 40, false, true);
            EXPECT_TRUE(r.ok) << "^" << field.command << " " << field.data;
            EXPECT_EQ(d.text, r.text) << "^" << field.command;
        }
    }
}

}  // namespace kvtest
