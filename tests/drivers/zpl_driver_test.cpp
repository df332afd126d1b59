// The ZPL driver in whole jobs: a fixed label against its stored stream,
// data that tries to run printer commands, labels side by side with the
// quantity of each row, serial numbers the printer counts, the settings a
// job takes, the end-of-job cut, and where text fields stand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/zpl_commands.h"
#include "platform/vendor_drivers.h"
#include "platform/strutil.h"
#include "support/decode.h"
#include "support/kvtest.h"
#include "support/zpl_interpreter.h"
#include "zpl_label.h"

namespace {

using zpltest::ZplLabel;

kvtest::ZplPrinter Read(const std::string& job)
{
    kvtest::ZplPrinter printer;
    std::string error;
    EXPECT_TRUE(printer.Run(job, &error)) << error;
    return printer;
}

// The Zebra system driver's settings of a queue with these option defaults.
std::vector<std::uint8_t> ZebraSettings(std::map<std::string, std::string> options)
{
    VendorDriverQueue q;
    q.printerName = "zebra";
    q.driverName = "Zebra ZPL Label Printer";
    q.options = std::move(options);
    q.dpiX = q.dpiY = 203;
    return MakeQueueDevMode(q);
}

TEST(ZplJob, FixedLabelGivesTheStoredStream)
{
    // A text in a printer font, a Code 128, a line, a box and a picture,
    // printed once, with the settings of a Zebra queue: the setup, the
    // picture's graphic, then one format with the fields in object order.
    ZplLabel l(6000, 4000);
    l.doc.m_format.m_devMode =
        ZebraSettings({{"Darkness", "12"}, {"zePrintRate", "4"}, {"zeMediaTracking", "Web"}, {"zePrintMode", "Tear"}});
    l.Text("LOT 42", CPoint(300, 300), "Zebra Font F");
    l.Barcode(BS_CODE128, "KV1234", CPoint(300, 900));
    l.Line(CRect(200, 2800, 5000, 2850), LINE_HORIZONTAL);
    l.Box(CRect(100, 100, 5900, 3900), 30);
    l.Picture(CRect(4000, 300, 5000, 1300));

    kvtest::TempDir dir;
    CZplDriver& driver = l.Driver();
    driver.SetOutputFile(dir.file("job.zpl"));
    l.doc.m_format.m_nQuantity = 1;
    ASSERT_TRUE(driver.BeginJob(TRUE));
    ASSERT_TRUE(driver.PrintJob("", TRUE)) << driver.LastError();
    driver.EndPrint(TRUE);
    const std::string job = kvtest::ReadFileText(dir.file("job.zpl"));
    const std::string expected = kvtest::ReadFileText(kvtest::SourcePath("tests/fixtures/zpl/fixed-label.zpl"));
    EXPECT_EQ(job, expected);
    Read(job);  // and it is a stream the printer reads
}

TEST(ZplJob, DataCannotStartAPrinterCommand)
{
    const std::vector<std::string> hostile = {"^XZ^XA^FDinjected", "~JR~JN", "50%_off^FS^XA", std::string("a\0^b", 4)};
    ZplLabel l(8000, 6000);
    int y = 200;
    for (const std::string& data : hostile) {
        l.Text("x", CPoint(200, y), "Zebra Font A")->m_variables[0]->m_strData = data;
        y += 500;
    }
    CDrawBarcode* code = l.Barcode(BS_CODE128, "A~B^C_D>E", CPoint(200, 3000));
    code->m_nTextPlacement = BTP_NONE;
    const std::string job = l.Print();

    kvtest::ZplPrinter printer = Read(job);
    // The setup and one label, nothing else: no format ended early, no
    // command run from the data.
    ASSERT_EQ(printer.formats.size(), 2u);
    const std::vector<const kvtest::ZplFormat*> labels = printer.LabelFormats();
    ASSERT_EQ(labels.size(), 1u);
    const std::vector<kvtest::ZplField>& fields = labels[0]->fields;
    ASSERT_EQ(fields.size(), hostile.size() + 1);
    for (size_t i = 0; i < hostile.size(); ++i) {
        EXPECT_EQ(fields[i].data, hostile[i]);
        EXPECT_TRUE(fields[i].hex);
    }
    EXPECT_EQ(kvtest::ZplCode128ToCaret(fields.back().data), "^BA~B^^C_D>E");
    for (const std::string& command : printer.commands) EXPECT_NE(command, "~JR");
    // Plain data goes as it is, without escapes.
    ZplLabel plain;
    plain.Text("LOT_7 >5", CPoint(200, 200), "Zebra Font A");
    EXPECT_NE(plain.Print().find("^FDLOT_7 >5^FS"), std::string::npos);
}

TEST(ZplJob, LabelsSideBySideWithTheQuantityOfTheirRow)
{
    // 40 x 20 mm labels, two across with a 2 mm gap and a 1 mm left margin.
    const struct {
        int labels;
        std::vector<std::pair<int, std::string>> formats;  // labels in the format, quantity line
    } cases[] = {
        {4, {{2, "2,0,1,Y"}}},
        {5, {{2, "2,0,1,Y"}, {1, "1,0,1,Y"}}},
        {1, {{1, "1,0,1,Y"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.labels);
        ZplLabel l(4000, 2000, 2);
        l.doc.m_format.m_nLeftMargin = 100;
        l.Text("A", CPoint(500, 500), "Zebra Font A");
        kvtest::ZplPrinter printer = Read(l.Print(c.labels));
        const std::vector<const kvtest::ZplFormat*> formats = printer.LabelFormats();
        ASSERT_EQ(formats.size(), c.formats.size());
        for (size_t i = 0; i < formats.size(); ++i) {
            const kvtest::ZplFormat& f = *formats[i];
            ASSERT_EQ(int(f.fields.size()), c.formats[i].first);
            EXPECT_EQ(StrFormat("%d,%d,%d,%s", f.quantity, f.pause, f.replicates, f.override.c_str()),
                      c.formats[i].second);
            // Column 0 after the margin; column 1 a label and a gap further.
            EXPECT_EQ(f.fields[0].origin, CPoint(UnitsToDots(600, 203), UnitsToDots(500, 203)));
            if (f.fields.size() > 1) EXPECT_EQ(f.fields[1].origin, CPoint(UnitsToDots(600 + 4200, 203), 40));
        }
    }
}

TEST(ZplJob, SerialNumbersThePrinterCountsMatchEachLabel)
{
    ZplLabel l;
    CDrawText* t = l.Text("No ", CPoint(200, 200), "Zebra Font B");
    CVariable* serial = l.Var("0098", VK_SERIAL);
    serial->m_nStep = 3;
    t->AddVariable(serial);
    const int labels = 5;
    kvtest::ZplPrinter printer = Read(l.Print(labels));
    ASSERT_EQ(l.Driver().GetPrintMode(), PM_PRINTER_SERIAL);
    const std::vector<const kvtest::ZplFormat*> formats = printer.LabelFormats();
    ASSERT_EQ(formats.size(), 1u);
    kvtest::ZplFormat format = *formats[0];
    ASSERT_EQ(format.quantity, labels);
    ASSERT_TRUE(format.fields[0].serial);
    EXPECT_EQ(format.fields[0].increment, 3);
    for (int k = 0; k < labels; ++k) {
        CLabelPos pos;
        l.Driver().LocateLabel(&pos, k);
        printer.Draw(format, 400, 300, k);
        EXPECT_EQ(kvtest::ZplCountSerial(format.fields[0].data, (long long)k * format.fields[0].increment),
                  t->GetLabelText(&pos))
            << "label " << k;
    }
}

TEST(ZplJob, SettingsComeFromTheLabelForOwnPortsElseFromTheZebraDriver)
{
    ZplLabel l;
    SettingsBlock own{};
    own[ZS_SUPPRESS_RATE] = 1;
    own[ZS_SUPPRESS_DARKNESS] = 1;
    own[ZS_SUPPRESS_TRACKING] = 1;
    own[ZS_SUPPRESS_MEDIA] = 1;
    own[ZS_SUPPRESS_LABEL_TOP] = 1;
    own[ZS_SUPPRESS_TEAR_OFF] = 1;
    own[ZS_SUPPRESS_MEDIA_FEED] = 1;
    own[ZS_HEAD_TEST] = 9;
    own[ZS_REPRINT] = 9;
    own[ZS_PRINT_MODE] = ZPL_CUTTER;
    own[ZS_CUT_MODE] = 2;
    l.doc.m_format.SetProperty(LFP_PRINTER_SETTINGS, EncodeSettingsBlock(own));
    l.doc.m_format.m_devMode = ZebraSettings({{"Darkness", "7"}, {"zePrintMode", "Peel"}});
    CZplDriver& d = l.Driver();
    d.m_jobDevMode = l.doc.m_format.m_devMode;

    d.LoadPrinterSettings(TRUE);
    std::vector<std::uint8_t> bytes;
    CPrintPort port(&bytes);
    port.Open();
    d.SendSetup(&port);
    d.EndJob(&port);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "^XA^SZ2^MCY^MMC^PMN^PON^JMA^LH0,0^LRN^XZ\n^XA^MMC^PH^XZ");

    bytes.clear();
    d.LoadPrinterSettings(FALSE);
    d.SendSetup(&port);
    d.EndJob(&port);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "^XA^SZ2^MCY~JSN^SD7^MD0^MMP^PMN^PON^JMA^LH0,0^LRN^XZ\n");
}

TEST(ZplJob, GraphicsAreCompressedWhenTheSettingsSaySo)
{
    for (const bool compress : {false, true}) {
        ZplLabel l;
        l.Picture(CRect(200, 200, 1200, 1200));
        SettingsBlock s{};
        s[ZS_COMPRESS] = compress;
        l.doc.m_format.SetProperty(LFP_PRINTER_SETTINGS, EncodeSettingsBlock(s));
        CZplDriver& d = l.Driver();
        ASSERT_TRUE(d.BeginJob(TRUE));
        d.LoadPrinterSettings(TRUE);
        std::vector<std::uint8_t> bytes;
        CPrintPort port(&bytes);
        port.Open();
        d.PrintLabels(&port);
        d.EndPrint(TRUE);
        const std::string job(bytes.begin(), bytes.end());
        const size_t at = job.find("~DGGRAPHIC1,");
        ASSERT_NE(at, std::string::npos);
        const std::string data = job.substr(at + 12, job.find("^XA") - at - 12);
        EXPECT_EQ(data.find_first_of(",!:Gghz", data.find(',', data.find(',') + 1) + 1) != std::string::npos,
                  compress);
        kvtest::ZplPrinter printer = Read(job);
        EXPECT_EQ(printer.graphics["GRAPHIC1"].Height(), UnitsToDots(1000, 203));
    }
}

TEST(ZplJob, TextFieldsStandWhereTheirBoxIs)
{
    // The field is placed by the box's top-left corner; only the scalable
    // font moves to its baseline: down (rotation 0) or right (1) by a sixth
    // of its height, up (2) or left (3) by a fifteenth.
    const struct {
        const char* font;
        int rotation;
        int dx, dy;  // field origin less the box's corner, in dots
    } cases[] = {
        {"Zebra Scalable", 0, 0, 39 / 6},  {"Zebra Scalable", 1, 39 / 6, 0},
        {"Zebra Scalable", 2, 0, -39 / 15}, {"Zebra Scalable", 3, -39 / 15, 0},
        {"Zebra Font F", 0, 0, 0},         {"Zebra Font F", 2, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.font) + " " + std::to_string(c.rotation));
        ZplLabel l;
        CDrawText* t = l.Text("Text", CPoint(1000, 1000), c.font, 1400, c.rotation);
        kvtest::ZplPrinter printer = Read(l.Print());
        const kvtest::ZplField& f = printer.LabelFormats().at(0)->fields.at(0);
        CRect box;
        t->GetPrintRect(nullptr, nullptr, &box, FALSE);
        box = box.Normalized();
        EXPECT_EQ(f.origin, CPoint(box.left + c.dx, box.top + c.dy));
        EXPECT_EQ(f.rotation, "NBIR"[c.rotation]);
        if (std::string(c.font) == "Zebra Scalable") EXPECT_EQ(f.height, 39);
    }
}

TEST(ZplJob, EanAndUpcDataGoWithoutTheirCheckDigit)
{
    // The printer adds the check digit: data typed with it is cut, data
    // typed without it goes whole; either way the printed symbol reads
    // back with the right check digit.
    using ZXing::BarcodeFormat;
    const struct {
        int symbology;
        const char* data;
        const char* field;    // between ^FD and ^FS
        const char* command;  // the field's barcode command
        BarcodeFormat format;
        const char* read;     // what the printed symbol reads
    } cases[] = {
        {BS_EAN13, "5901234123457", "590123412345", "BE", BarcodeFormat::EAN13, "5901234123457"},
        {BS_EAN13, "590123412345", "590123412345", "BE", BarcodeFormat::EAN13, "5901234123457"},
        {BS_UPCA, "036000291452", "03600029145", "BU", BarcodeFormat::UPCA, "036000291452"},
        {BS_UPCA, "03600029145", "03600029145", "BU", BarcodeFormat::UPCA, "036000291452"},
        {BS_EAN8, "96385074", "9638507", "B8", BarcodeFormat::EAN8, "96385074"},
        {BS_EAN8, "9638507", "9638507", "B8", BarcodeFormat::EAN8, "96385074"},
        {BS_UPCE, "01234565", "0123456", "B9", BarcodeFormat::UPCE, "01234565"},
        {BS_UPCE, "0123456", "0123456", "B9", BarcodeFormat::UPCE, "01234565"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        ZplLabel l(6000, 4000);
        l.Barcode(c.symbology, c.data, CPoint(500, 500), 2, 1500);
        const std::string job = l.Print();
        EXPECT_NE(job.find(std::string("^FD") + c.field + "^FS"), std::string::npos) << job;
        kvtest::ZplPrinter printer = Read(job);
        ASSERT_EQ(printer.LabelFormats().size(), 1u);
        kvtest::ZplFormat format = *printer.LabelFormats()[0];
        ASSERT_EQ(format.fields.size(), 1u);
        EXPECT_EQ(format.fields[0].command, c.command);
        std::string error;
        const CMonoBitmap printed = printer.Draw(format, 500, 400, 0, &error);
        ASSERT_TRUE(error.empty()) << error;
        EXPECT_EQ(kvtest::DecodeBitmap(printed, c.format).text, c.read);
    }
}

TEST(ZplJob, ModulesWiderThanTenDotsGoAsGraphics)
{
    const struct {
        int module;
        int method;
    } cases[] = {{10, OM_NATIVE}, {11, OM_TEXT_NATIVE}};
    for (const auto& c : cases) {
        ZplLabel l(10000, 4000);
        CDrawBarcode* b = l.Barcode(BS_CODE39, "AB", CPoint(200, 200), c.module, 1500);
        b->m_strFontName = "Zebra Font A";
        l.Print();
        EXPECT_EQ(b->m_nOutputMethod, c.method) << c.module;
    }
    EXPECT_EQ(ZplLabel().Driver().GetCapability(1, BS_CODE128), 10);
}

}  // namespace
