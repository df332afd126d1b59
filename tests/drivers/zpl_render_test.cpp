// What a ZPL job prints against what the label shows when it is rendered
// for printing: the job goes through a small ZPL printer (support/
// zpl_interpreter.h) and the picture it draws is laid over the rendered
// label (support/zpl_compare.h), for objects of every kind, every rotation,
// every native symbology and the bundled shipping example.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/monobitmap_ops.h"
#include "platform/strutil.h"
#include "support/kvtest.h"
#include "support/zpl_compare.h"
#include "support/zpl_interpreter.h"
#include "zpl_label.h"

namespace {

using zpltest::ZplLabel;

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
            CLabelPos pos;
            pos.m_nLabel = pos.m_nRecord = label;
            const CMonoBitmap rendered = kvtest::RenderLabel(l.doc, pos);
            if (dump) {
                MonoToQImage(printed).save(QString::fromStdString(StrFormat("%s/printed%d.png", dump, dumped)));
                MonoToQImage(rendered).save(QString::fromStdString(StrFormat("%s/rendered%d.png", dump, dumped)));
            }
            kvtest::ExpectPrintsAsRendered(l.doc, pos, format, printed, rendered);
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
