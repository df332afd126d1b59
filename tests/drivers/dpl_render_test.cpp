// What a DPL job prints against what the label shows when it is rendered
// for printing: the job goes through a small DPL printer (support/
// dpl_interpreter.h) and the picture it draws is laid over the rendered
// label. Outside text (the printer's fonts are its own) every black dot of
// one has a black dot of the other within two dots; every barcode reads
// back alike in both; each text field's cells hold the rendered text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "command_label.h"
#include "model/drawgroup.h"
#include "platform/monobitmap_ops.h"
#include "platform/strutil.h"
#include "support/decode.h"
#include "support/dpl_interpreter.h"
#include "support/kvtest.h"
#include "support/zpl_compare.h"

namespace {

using cmdtest::CommandLabel;

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

CMonoBitmap Crop(const CMonoBitmap& b, const CRect& r)
{
    CMonoBitmap out(std::max(1, r.Width()), std::max(1, r.Height()));
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) {
            const int px = r.left + x, py = r.top + y;
            if (px >= 0 && py >= 0 && px < b.Width() && py < b.Height() && b.IsBlack(px, py)) out.SetPixel(x, y, true);
        }
    return out;
}

ZXing::BarcodeFormat DecoderFormat(char id)
{
    switch (id >= 'a' ? char(id - 'a' + 'A') : id) {
    case 'A': return ZXing::BarcodeFormat::Code39;
    case 'E': return ZXing::BarcodeFormat::Code128;
    case 'F': return ZXing::BarcodeFormat::EAN13;
    case 'D': return ZXing::BarcodeFormat::ITF;
    case 'O': return ZXing::BarcodeFormat::Code93;
    case 'B': return ZXing::BarcodeFormat::UPCA;
    case 'G': return ZXing::BarcodeFormat::EAN8;
    case 'C': return ZXing::BarcodeFormat::UPCE;
    default: return ZXing::BarcodeFormat::Codabar;
    }
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

// Prints one label of l through the DPL printer and lays it over the render.
void ExpectPrintsAsRendered(CommandLabel& l)
{
    const int language = l.doc.m_format.m_nLanguage;
    const std::string job = l.Print();
    // KV_DPL_DUMP=DIR keeps each job, printed label and rendered label there for a look.
    const char* dump = getenv("KV_DPL_DUMP");
    static int dumped = 0;
    if (dump) kvtest::WriteFileBytes(StrFormat("%s/job%d.dpl", dump, dumped), std::vector<std::uint8_t>(job.begin(), job.end()));
    kvtest::DplPrinter printer;
    printer.language = language;
    std::string error;
    ASSERT_TRUE(printer.Run(job, &error)) << error;
    ASSERT_EQ(printer.formats.size(), 1u);
    const CLabelFormat& f = l.doc.m_format;
    const int width = UnitsToDots(f.m_nLabelWidth, f.m_nHDpi), height = UnitsToDots(f.m_nLabelHeight, f.m_nVDpi);

    CLabelPos pos;
    std::vector<CDrawObj*> objects;
    Printable(l.doc.m_objects, objects);
    // The printer's own text is masked, and so is its readable line under
    // bars: its band is taken as high as the label's line.
    std::vector<CRect> masked;
    int band = 0;
    for (CDrawObj* obj : objects) {
        CRect r;
        obj->GetPrintRect(nullptr, &pos, &r, FALSE);
        if (obj->m_nType == OBJ_TEXT && obj->m_nOutputMethod == OM_NATIVE) masked.push_back(Grown(r, 3));
        if (obj->m_nType == OBJ_BARCODE && obj->m_nOutputMethod == OM_NATIVE) {
            auto* b = static_cast<CDrawBarcode*>(obj);
            CRect object, bars, text;
            b->LayoutBarcode(nullptr, &pos, &object, &bars, &text);
            if (!text.IsRectEmpty()) {
                masked.push_back(Grown(text, 3));
                band = (b->m_nRotation & 1) ? text.Normalized().Width() : text.Normalized().Height();
            }
            if (CDrawBarcode::IsEanUpc(b->m_nSymbology) && b->m_nTextPlacement != BTP_NONE) {
                // The printer's digits take 3 narrow bars under the bars (4
                // on the printers of code 4), as the driver shortens them.
                band = (language == 4 ? 4 : 3) * b->ModuleDots();
                // Where the bars end above the digits is the printer's own.
                const int strip = 11 * b->ModuleDots() + 2;
                const CRect n = bars.Normalized();
                switch (b->m_nRotation & 3) {
                case 0: masked.emplace_back(n.left, n.bottom - strip, n.right, n.bottom); break;
                case 1: masked.emplace_back(n.right - strip, n.top, n.right, n.bottom); break;
                case 2: masked.emplace_back(n.left, n.top, n.right, n.top + strip); break;
                default: masked.emplace_back(n.left, n.top, n.left + strip, n.bottom); break;
                }
            }
        }
    }
    kvtest::DplFormat& format = printer.formats[0];
    const CMonoBitmap printed = printer.Draw(format, width, height, f.m_nHDpi, 0, &error, band);
    ASSERT_TRUE(error.empty()) << error;
    const CMonoBitmap rendered = kvtest::RenderLabel(l.doc, pos);
    if (dump) {
        MonoToQImage(printed).save(QString::fromStdString(StrFormat("%s/printed%d.png", dump, dumped)));
        MonoToQImage(rendered).save(QString::fromStdString(StrFormat("%s/rendered%d.png", dump, dumped)));
    }
    ++dumped;

    const std::vector<CPoint> extra = Unmatched(printed, rendered, masked, 2);
    const std::vector<CPoint> missing = Unmatched(rendered, printed, masked, 2);
    EXPECT_TRUE(extra.empty()) << extra.size() << " dots printed where the render has none, first at "
                               << extra.front().x << "," << extra.front().y;
    EXPECT_TRUE(missing.empty()) << missing.size() << " rendered dots the printer leaves white, first at "
                                 << missing.front().x << "," << missing.front().y;

    for (const kvtest::DplField& field : format.fields) {
        if (field.kind == kvtest::DplField::Barcode) {
            const kvtest::Decoded d = kvtest::DecodeBitmap(Crop(printed, field.extent), DecoderFormat(field.id), 40, false, true);
            EXPECT_TRUE(d.ok) << field.record;
            const kvtest::Decoded r =
                kvtest::DecodeBitmap(Crop(rendered, Grown(field.extent, 30)), DecoderFormat(field.id), 40, false, true);
            EXPECT_TRUE(r.ok) << field.record;
            EXPECT_EQ(d.text, r.text) << field.record;
        }
        if (field.kind == kvtest::DplField::Text) {
            // The rendered text lies in the printer's cells.
            const CRect cells = field.extent;
            CRect ink(cells.right, cells.bottom, cells.left, cells.top);
            const CRect look = Grown(cells, 8);
            for (int y = std::max(0, look.top); y < std::min(rendered.Height(), look.bottom); ++y)
                for (int x = std::max(0, look.left); x < std::min(rendered.Width(), look.right); ++x)
                    if (rendered.IsBlack(x, y)) {
                        ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x + 1);
                        ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y + 1);
                    }
            ASSERT_LT(ink.left, ink.right) << "no rendered text at " << field.record;
            const int cx = (ink.left + ink.right) / 2, cy = (ink.top + ink.bottom) / 2;
            EXPECT_TRUE(cx >= cells.left && cx < cells.right && cy >= cells.top && cy < cells.bottom)
                << field.record << StrFormat(": ink %d,%d-%d,%d, cells %d,%d-%d,%d", ink.left, ink.top, ink.right,
                                             ink.bottom, cells.left, cells.top, cells.right, cells.bottom);
        }
    }
}

TEST(DplPrintsAsRendered, ObjectsOfEveryKindOnEachClass)
{
    const struct {
        int code;
        const char* font;
        const char* scalable;
    } classes[] = {{4, "Datamax Font 3", "Datamax Scalable"}, {5, "Argox Font 3", "Argox Scalable"},
                   {8, "BY Font 3", "BY Scalable"}};
    for (const auto& c : classes) {
        SCOPED_TRACE(c.code);
        CommandLabel l(c.code, 8000, 4500);
        l.Text("HELLO 12", CPoint(300, 300), c.font);
        l.Text("Scalable", CPoint(300, 800), c.scalable, 1200);
        l.Text("ARIAL", CPoint(3000, 300), "Arial", 1200);
        l.Picture(CRect(4800, 200, 5800, 1000));
        l.Barcode(BS_CODE128, "KV1234", CPoint(300, 1400), 2, 1000, BTP_NONE);
        l.Barcode(BS_CODE39, "AB-12", CPoint(3600, 1400), 2, 1000, BTP_NONE)->m_nRatio = 300;
        l.Line(CRect(200, 3000, 4000, 3050), LINE_HORIZONTAL);
        l.Line(CRect(7500, 1200, 7560, 2800), LINE_VERTICAL);
        l.Line(CRect(4500, 3300, 5500, 4100), LINE_DIAG_DOWN, 60);
        l.Box(CRect(100, 100, 7900, 4400), 30);
        ExpectPrintsAsRendered(l);
    }
}

TEST(DplPrintsAsRendered, FieldsInEveryRotation)
{
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE("rotation " + std::to_string(rotation));
        CommandLabel l(4, 8000, 8000);
        l.Text("TURN 1", CPoint(2000, 2000), "Datamax Font 2", 0, rotation);
        l.Barcode(BS_CODE128, "R" + std::to_string(rotation), CPoint(4500, 4500), 2, 800, BTP_NONE, rotation);
        ExpectPrintsAsRendered(l);
    }
}

TEST(DplPrintsAsRendered, EveryNativeSymbology)
{
    const struct {
        int symbology;
        const char* data;
    } cases[] = {
        {BS_CODE39, "CODE-39"},  {BS_CODE128, "Ab&12^x"}, {BS_EAN13, "590123412345"}, {BS_ITF25, "123456"},
        {BS_CODE93, "CODE93"},   {BS_UPCA, "03600029145"}, {BS_EAN8, "9638507"},      {BS_UPCE, "0425261"},
        {BS_CODABAR, "A1234B"},
    };
    for (const auto& c : cases) {
        for (const int placement : {BTP_NONE, BTP_DEFAULT}) {
            SCOPED_TRACE(std::string(c.data) + (placement == BTP_NONE ? " without line" : " with line"));
            CommandLabel l(4, 6000, 3000);
            CDrawBarcode* b = l.Barcode(c.symbology, c.data, CPoint(600, 600), 2, 1200, placement);
            b->m_nRatio = 300;
            ExpectPrintsAsRendered(l);
        }
    }
}

}  // namespace
