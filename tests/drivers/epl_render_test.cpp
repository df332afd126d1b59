// What an EPL job prints against what the label shows when it is rendered
// for printing: the job goes through a small EPL2 printer (support/
// epl_interpreter.h) and the picture it draws is laid over the rendered
// label (support/zpl_compare.h), for objects of every kind, every rotation
// and every native symbology, with each of the three driver classes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "model/printer_font_table.h"
#include "platform/monobitmap_ops.h"
#include "platform/strutil.h"
#include "epl_label.h"
#include "support/epl_interpreter.h"
#include "support/kvtest.h"
#include "support/zpl_compare.h"

namespace {

using epltest::EplLabel;

// The barcode command the comparison names a symbology by.
std::string CommandOf(const std::string& selector)
{
    static const std::map<std::string, std::string> commands = {
        {"3", "B3"}, {"2", "B2"},   {"9", "BA"},   {"K", "BK"},   {"E30", "BE"},
        {"UA0", "BU"}, {"E80", "B8"}, {"UE0", "B9"}};
    const auto it = commands.find(selector);
    return it == commands.end() ? "BC" : it->second;
}

// A printed EPL image as the comparison takes it: fields with their
// extents, turned by the same letters, and the band where the printer puts
// a barcode's own digits.
kvtest::ZplFormat AsFormat(const kvtest::EplPrinter& printer, const kvtest::EplImage& image, int k)
{
    kvtest::ZplFormat out;
    for (const kvtest::EplField& f : image.fields) {
        kvtest::ZplField z;
        z.rotation = "NRIB"[f.rotation & 3];
        z.extent = f.extent;
        z.data = printer.FieldText(image, f, k);
        if (f.kind == kvtest::EplField::Text) {
            z.kind = kvtest::ZplField::Text;
            z.font = f.font;
        } else if (f.kind == kvtest::EplField::Barcode) {
            z.kind = kvtest::ZplField::Barcode;
            z.command = CommandOf(f.selector);
            z.module = f.narrow;
            if (f.humanReadable == 'B') {
                // Below the bars as they turn; EAN and UPC also beside them.
                const int band = std::max(30, 12 * f.narrow);
                const int beside = z.command == "BE" || z.command == "BU" || z.command == "B8" || z.command == "B9"
                                       ? 12 * f.narrow
                                       : 0;
                const bool upright = f.rotation == 0 || f.rotation == 2;
                const CRect e(f.extent.left - (upright ? beside : 0), f.extent.top - (upright ? 0 : beside),
                              f.extent.right + (upright ? beside : 0), f.extent.bottom + (upright ? 0 : beside));
                switch (f.rotation & 3) {
                case 0: z.interpretationBand = CRect(e.left, e.bottom, e.right, e.bottom + band); break;
                case 2: z.interpretationBand = CRect(e.left, e.top - band, e.right, e.top); break;
                case 1: z.interpretationBand = CRect(e.left - band, e.top, e.left, e.bottom); break;
                default: z.interpretationBand = CRect(e.right, e.top, e.right + band, e.bottom); break;
                }
            }
        } else {
            z.kind = f.kind == kvtest::EplField::Graphic ? kvtest::ZplField::Graphic : kvtest::ZplField::Box;
        }
        out.fields.push_back(z);
    }
    return out;
}

// Prints labels of l through the EPL printer and lays each over the render.
void ExpectPrintsAsRendered(EplLabel& l, int labels = 1)
{
    const std::string job = l.Print(labels);
    // KV_EPL_DUMP=DIR keeps each job, printed label and rendered label there for a look.
    const char* dump = getenv("KV_EPL_DUMP");
    static int dumped = 0;
    if (dump)
        kvtest::WriteFileBytes(StrFormat("%s/job%d.epl", dump, dumped), std::vector<std::uint8_t>(job.begin(), job.end()));
    kvtest::EplPrinter printer;
    for (const CPrinterFontEntry& e : l.doc.m_fontTable->Entries())
        printer.fontCells[e.m_strCode] = CSize(e.m_nCellWidth + e.m_nGap, e.m_nCellHeight);
    std::string error;
    ASSERT_TRUE(printer.Run(job, &error)) << error;
    const CLabelFormat& f = l.doc.m_format;
    const int width = UnitsToDots(f.m_nLabelWidth, f.m_nHDpi), height = UnitsToDots(f.m_nLabelHeight, f.m_nVDpi);
    int label = 0;
    for (kvtest::EplImage& image : printer.printed) {
        for (int copy = 0; copy < image.quantity && label < labels; ++copy, ++label) {
            SCOPED_TRACE("label " + std::to_string(label));
            const CMonoBitmap printed = printer.Draw(image, width, height, copy, &error);
            ASSERT_TRUE(error.empty()) << error;
            CLabelPos pos;
            pos.m_nLabel = pos.m_nRecord = label;
            const CMonoBitmap rendered = kvtest::RenderLabel(l.doc, pos);
            if (dump) {
                MonoToQImage(printed).save(QString::fromStdString(StrFormat("%s/printed%d.png", dump, dumped)));
                MonoToQImage(rendered).save(QString::fromStdString(StrFormat("%s/rendered%d.png", dump, dumped)));
            }
            kvtest::ExpectPrintsAsRendered(l.doc, pos, AsFormat(printer, image, copy), printed, rendered);
        }
    }
    EXPECT_EQ(label, labels);
    ++dumped;
}

TEST(EplPrintsAsRendered, ObjectsOfEveryKind)
{
    for (const int language : {11, 19, 15}) {
        SCOPED_TRACE(language);
        EplLabel l(language, 8000, 4500);
        l.Text("HELLO 12", CPoint(300, 300), l.Font(3));
        l.Text("ARIAL", CPoint(3000, 300), "Arial", 1200);
        l.Picture(CRect(4800, 200, 5800, 1000));
        l.Barcode(BS_CODE128, "KV1234", CPoint(300, 1300));
        l.Line(CRect(200, 3000, 4000, 3050), LINE_HORIZONTAL);
        l.Line(CRect(7500, 1200, 7560, 2800), LINE_VERTICAL);
        l.Line(CRect(4500, 3300, 5500, 4100), LINE_DIAG_DOWN, 60);
        l.Box(CRect(100, 100, 7900, 4400), 30);
        ExpectPrintsAsRendered(l);
    }
}

TEST(EplPrintsAsRendered, FieldsInEveryRotation)
{
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE("rotation " + std::to_string(rotation));
        EplLabel l(11, 10000, 10000);
        l.Text("ROTATE 7", CPoint(400, 400), l.Font(3), 0, rotation);
        l.Barcode(BS_CODE128, "R0TATE-128", CPoint(4000, 1000), 2, 1000, BTP_NONE, rotation);
        l.Barcode(BS_CODE39, "CODE39", CPoint(4000, 6500), 2, 800, BTP_NONE, rotation);
        ExpectPrintsAsRendered(l);
    }
}

TEST(EplPrintsAsRendered, EveryNativeSymbology)
{
    const struct {
        int symbology;
        const char* data;
    } cases[] = {
        {BS_CODE39, "KV-39"}, {BS_CODE128, "Kv 128>_x"}, {BS_ITF25, "12345678"}, {BS_CODE93, "CODE 93"},
        {BS_CODABAR, "A1234-5B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        EplLabel l(11, 6000, 2500);
        CDrawBarcode* b = l.Barcode(c.symbology, c.data, CPoint(500, 300), 2, 1200, BTP_NONE);
        ASSERT_TRUE(b->GetBitmap() != nullptr);
        ExpectPrintsAsRendered(l);
        EXPECT_EQ(b->m_nOutputMethod, OM_NATIVE);
    }
}

TEST(EplPrintsAsRendered, SerialRunFromAForm)
{
    EplLabel l(11, 6000, 2500);
    CDrawBarcode* b = l.Barcode(BS_CODE128, "", CPoint(500, 300), 2, 1200, BTP_NONE);
    b->m_variables.clear();
    CVariable* serial = l.Var("000998", VK_SERIAL);
    serial->m_nStep = 1;
    b->AddVariable(serial);
    ExpectPrintsAsRendered(l, 4);
    EXPECT_EQ(l.Driver().GetPrintMode(), PM_PRINTER_SERIAL);
}

}  // namespace
