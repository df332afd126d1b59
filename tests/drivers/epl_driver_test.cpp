// The EPL drivers in whole jobs: a fixed label of each driver class against
// its stored stream, data that tries to end its field and run commands, a
// serial run sent once as a form with printer counters, the single-number
// driver's expanded runs, the store driver's stored forms with counters,
// typed values and clock fields, labels side by side, the settings a job
// takes, and where barcodes and text fields stand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "drivers/epl_commands.h"
#include "drivers/own_printers.h"
#include "drivers/printer_list.h"
#include "platform/spooler.h"
#include "platform/strutil.h"
#include "platform/vendor_drivers.h"
#include "epl_label.h"
#include "support/cupsd.h"
#include "support/epl_interpreter.h"
#include "support/kvtest.h"
#include "support/loopback.h"

namespace {

using epltest::EplLabel;

kvtest::EplPrinter Read(const std::string& job)
{
    kvtest::EplPrinter printer;
    std::string error;
    EXPECT_TRUE(printer.Run(job, &error)) << error;
    return printer;
}

// The settings of a queue of the Zebra EPL2 system driver.
std::vector<std::uint8_t> Epl2Settings(std::map<std::string, std::string> options)
{
    VendorDriverQueue q;
    q.printerName = "eltron";
    q.driverName = "Zebra EPL2 Label Printer";
    q.options = std::move(options);
    q.dpiX = q.dpiY = 203;
    return MakeQueueDevMode(q);
}

// The one label of the tests' fixed job: a text in a printer font, a
// Code 128, a line, a box and a picture.
void AddFixedObjects(EplLabel& l)
{
    l.Text("LOT 42", CPoint(300, 300), l.Font(3));
    l.Barcode(BS_CODE128, "KV1234", CPoint(300, 900));
    l.Line(CRect(200, 2800, 5000, 2850), LINE_HORIZONTAL);
    l.Box(CRect(100, 100, 5900, 3900), 30);
    l.Picture(CRect(4000, 300, 5000, 1300));
}

TEST(EplJob, FixedLabelOfEachDriverGivesItsStoredStream)
{
    for (const int language : {11, 19, 15}) {
        SCOPED_TRACE(language);
        EplLabel l(language, 6000, 4000);
        l.doc.m_format.m_devMode = Epl2Settings({{"Darkness", "20"}, {"zePrintRate", "4"}, {"MediaType", "Thermal"}});
        AddFixedObjects(l);
        kvtest::TempDir dir;
        CPrintDriver& driver = l.Driver();
        driver.SetOutputFile(dir.file("job.epl"));
        l.doc.m_format.m_nQuantity = 1;
        ASSERT_TRUE(driver.BeginJob(TRUE));
        ASSERT_TRUE(driver.PrintJob("", TRUE)) << driver.LastError();
        driver.EndPrint(TRUE);
        const std::string job = kvtest::ReadFileText(dir.file("job.epl"));
        const std::string fixture = StrFormat("tests/fixtures/epl/fixed-label-%d.epl", language);
        // KV_EPL_WRITE_FIXTURES=1 stores the job as the expected stream (look at it before committing).
        if (getenv("KV_EPL_WRITE_FIXTURES"))
            kvtest::WriteFileBytes(kvtest::SourcePath(fixture), std::vector<std::uint8_t>(job.begin(), job.end()));
        EXPECT_EQ(job, kvtest::ReadFileText(kvtest::SourcePath(fixture))) << fixture;
        kvtest::EplPrinter printer = Read(job);
        ASSERT_EQ(printer.printed.size(), 1u);
        const kvtest::EplImage& image = printer.printed[0];
        // In the label's object order: text, barcode, line, box, picture.
        ASSERT_EQ(image.fields.size(), 5u);
        EXPECT_EQ(image.fields[0].data, "LOT 42");
        EXPECT_EQ(image.fields[1].data, "KV1234");
        EXPECT_EQ(image.fields[2].kind, kvtest::EplField::Line);
        EXPECT_EQ(image.fields[3].kind, kvtest::EplField::Box);
        EXPECT_EQ(image.fields[4].kind, kvtest::EplField::Graphic);
        EXPECT_EQ(printer.graphics.count(image.fields[4].graphic), 1u);
        // The picture is stored before the label starts.
        const std::vector<std::string>& c = printer.commands;
        const auto gm = std::find(c.begin(), c.end(), "GM"), n = std::find(c.begin(), c.end(), "N");
        EXPECT_LT(gm - c.begin(), n - c.begin());
    }
}

TEST(EplJob, DataCannotEndItsField)
{
    const std::vector<std::string> hostile = {"\"\r\nP999\r\n", "C:\\new\\", "5\" pipe, \"x\"", "\\\"\\",
                                              "A10,10,0,1,1,1,N,\"y\""};
    for (const int language : {11, 19, 15}) {
        SCOPED_TRACE(language);
        EplLabel l(language, 8000, 6000);
        int y = 200;
        for (const std::string& data : hostile) {
            l.Text("x", CPoint(200, y))->m_variables[0]->m_strData = data;
            y += 500;
        }
        CDrawBarcode* code = l.Barcode(BS_CODE128, "AB\"C\\D", CPoint(200, 3000));
        code->m_nTextPlacement = BTP_NONE;
        kvtest::EplPrinter printer = Read(l.Print());
        // One label and nothing else: no field ended early, no command run from the data.
        ASSERT_EQ(printer.printed.size(), 1u);
        const std::vector<kvtest::EplField>& fields = printer.printed[0].fields;
        ASSERT_EQ(fields.size(), hostile.size() + 1);
        for (size_t i = 0; i < hostile.size(); ++i)
            EXPECT_EQ(fields[i].data, ReplaceAll(ReplaceAll(hostile[i], "\r", ""), "\n", ""));
        EXPECT_EQ(fields.back().data, "AB\"C\\D");
        for (const std::string& command : printer.commands) EXPECT_NE(command, "A10");
    }
    // Plain data goes as it is, without escapes.
    EplLabel plain;
    plain.Text("LOT_7 >5, 50%", CPoint(200, 200));
    EXPECT_NE(plain.Print().find(",N,\"LOT_7 >5, 50%\"\r\n"), std::string::npos);
}

// A label with a serial text and a serial Code 128 counting by step.
struct SerialLabel {
    EplLabel l;
    CDrawText* text;
    CDrawBarcode* code;
    SerialLabel(int language, const std::string& start, int step) : l(language)
    {
        text = l.Text("", CPoint(200, 200));
        text->m_variables.clear();
        CVariable* serial = l.Var(start, VK_SERIAL);
        serial->m_nStep = step;
        text->AddVariable(serial);
        code = l.Barcode(BS_CODE128, "", CPoint(200, 800));
        code->m_variables.clear();
        CVariable* other = l.Var(start, VK_SERIAL);
        other->m_nStep = step;
        code->AddVariable(other);
    }
    std::string Expected(CDrawObj* obj, int k)
    {
        CLabelPos pos;
        l.Driver().LocateLabel(&pos, k);
        return obj->GetLabelText(&pos);
    }
};

TEST(EplJob, SerialRunIsSentOnceAsAFormWithPrinterCounters)
{
    for (const int language : {11, 15}) {
        SCOPED_TRACE(language);
        SerialLabel s(language, "0001", 1);
        const int labels = 5;
        const std::string job = s.l.Print(labels);
        ASSERT_EQ(s.l.Driver().GetPrintMode(), PM_PRINTER_SERIAL);
        const std::string form = language == 11 ? "KV0000" : "KVFORM";
        // The counter, the field that prints it and, after "?", its start.
        EXPECT_NE(job.find("C0,4,N,+1,\"\"\r\n"), std::string::npos);
        EXPECT_NE(job.find(",N,C0\r\n"), std::string::npos);
        EXPECT_NE(job.find("FR\"" + form + "\"\r\n?\r\n0001\r\n"), std::string::npos);
        kvtest::EplPrinter printer = Read(job);
        ASSERT_EQ(printer.printed.size(), 1u) << "one transmission for the run";
        const kvtest::EplImage& image = printer.printed[0];
        EXPECT_EQ(image.form, form);
        EXPECT_EQ(image.quantity, labels);
        ASSERT_EQ(image.fields.size(), 2u);
        EXPECT_EQ(image.fields[0].source, kvtest::EplField::Counter);
        EXPECT_EQ(image.fields[1].source, kvtest::EplField::Counter);
        for (int k = 0; k < labels; ++k) {
            EXPECT_EQ(printer.FieldText(image, image.fields[0], k), s.Expected(s.text, k)) << "label " << k;
            EXPECT_EQ(printer.FieldText(image, image.fields[1], k), s.Expected(s.code, k)) << "label " << k;
        }
    }
}

TEST(EplJob, SerialRowsOfTwoAcross)
{
    SerialLabel s(11, "0100", 3);
    s.l.doc.m_format.m_nColumns = 2;
    s.l.doc.m_format.m_nLabelWidth = 4000;
    const int labels = 6;
    const std::string job = s.l.Print(labels);
    kvtest::EplPrinter printer = Read(job);
    SCOPED_TRACE(job);
    // Each label of the row counts on from its own value.
    int printedLabels = 0;
    for (const kvtest::EplImage& image : printer.printed) {
        ASSERT_EQ(image.fields.size(), 4u);
        for (int k = 0; k < image.quantity; ++k) {
            for (int column = 0; column < 2; ++column) {
                const int label = printedLabels + 2 * k + column;
                EXPECT_EQ(printer.FieldText(image, image.fields[size_t(2 * column)], k), s.Expected(s.text, label))
                    << label;
            }
        }
        printedLabels += 2 * image.quantity;
    }
    EXPECT_EQ(printedLabels, labels);
    EXPECT_EQ(s.l.Driver().GetPrintMode(), PM_PRINTER_SERIAL);
}

TEST(EplJob, SingleNumberDriverExpandsSerialRuns)
{
    SerialLabel s(19, "A0098", 3);
    const int labels = 4;
    kvtest::EplPrinter printer = Read(s.l.Print(labels, 2));
    EXPECT_NE(s.l.Driver().GetPrintMode(), PM_PRINTER_SERIAL);
    // A label per number, each printed copies times with one number.
    ASSERT_EQ(printer.printed.size(), size_t(labels));
    for (int k = 0; k < labels; ++k) {
        const kvtest::EplImage& image = printer.printed[size_t(k)];
        EXPECT_EQ(image.command, "P");
        EXPECT_EQ(image.quantity, 2);
        EXPECT_EQ(image.copies, -1);
        EXPECT_TRUE(image.counters.empty());
        // LocateLabel counts every copy.
        EXPECT_EQ(image.fields[0].data, s.Expected(s.text, 2 * k));
        EXPECT_EQ(image.fields[1].data, s.Expected(s.code, 2 * k));
    }
}

TEST(EplJob, StoredFormKeepsCountersTypedValuesAndTheClock)
{
    for (const bool autoPrint : {false, true}) {
        SCOPED_TRACE(autoPrint);
        EplLabel l(15);
        CLabelFormat& f = l.doc.m_format;
        f.m_dwOptions |= LFO_DOWNLOAD_FORM;
        if (autoPrint) f.m_dwOptions |= LFO_CHANGE_SERIAL_FORM;
        f.SetProperty(LFP_FORM_NAME, "SHELF");
        CDrawText* lot = l.Text("", CPoint(200, 200));
        lot->m_variables.clear();
        CVariable* typed = l.Var("L-17", VK_KEYBOARD);
        typed->m_strName = "Lot";
        typed->m_strPrompt = "Lot \"number\"?";
        lot->AddVariable(typed);
        CDrawText* again = l.Text("", CPoint(200, 600));  // the same typed value once more
        again->m_variables.clear();
        again->AddVariable(typed);
        CDrawText* serial = l.Text("", CPoint(200, 1000));
        serial->m_variables.clear();
        CVariable* counter = l.Var("0007", VK_SERIAL);
        counter->m_strName = "Box";
        serial->AddVariable(counter);
        l.Text("FIXED", CPoint(200, 1400));
        const std::string job = l.Print(3);
        kvtest::EplPrinter printer = Read(job);
        // The form is stored, not printed.
        EXPECT_TRUE(printer.printed.empty());
        ASSERT_EQ(printer.forms.count("SHELF"), 1u);
        EXPECT_EQ(job.substr(0, 26), "ZS\r\nFK\"SHELF\"\r\nFS\"SHELF\"\r\n");
        const std::vector<std::string>& lines = printer.forms["SHELF"];
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "V0,99,N,\"Lot \\\"number\\\"?\""), 1);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& s) { return StartsWith(s, "WA"); }),
                  autoPrint ? 1 : 0);
        // Recalled with the values the printer asks for, it prints them.
        kvtest::EplPrinter recall = printer;
        ASSERT_TRUE(recall.Run("N\r\nFR\"SHELF\"\r\n?\r\nL-18\r\n0100\r\nP2,1\r\n"));
        const kvtest::EplImage& image = recall.printed.back();
        ASSERT_EQ(image.fields.size(), 4u);
        EXPECT_EQ(recall.FieldText(image, image.fields[0]), "L-18");
        EXPECT_EQ(recall.FieldText(image, image.fields[1]), "L-18");
        EXPECT_EQ(recall.FieldText(image, image.fields[2], 1), "0101");
        EXPECT_EQ(image.counters.at(image.fields[2].reference).prompt, "Box");
        EXPECT_EQ(image.fields[3].data, "FIXED");
    }
}

TEST(EplJob, ClockFieldsAskThePrinterForDateAndTime)
{
    EplLabel l(15);
    CDrawText* date = l.Text("", CPoint(200, 200));
    date->m_variables.clear();
    CVariable* v = l.Var("", VK_DATE);
    v->SetProperty(VP_PRINTER_CLOCK, "1");
    v->m_nOffset = 2 * 86400;
    date->AddVariable(v);
    const std::string job = l.Print();
    kvtest::EplPrinter printer = Read(job);
    ASSERT_EQ(printer.printed.size(), 1u);
    const kvtest::EplImage& image = printer.printed[0];
    ASSERT_EQ(image.fields.size(), 1u);
    EXPECT_EQ(image.fields[0].source, kvtest::EplField::Clock);
    EXPECT_EQ(image.fields[0].data, "TD+2");
    EXPECT_EQ(image.clockSetups.size(), 1u);
}

TEST(EplJob, LabelsSideBySide)
{
    // 50 mm labels, two across with a 3 mm gap and a 1 mm left margin.
    for (const int language : {11, 19, 15}) {
        SCOPED_TRACE(language);
        EplLabel l(language, 5000, 3000, 2);
        l.doc.m_format.m_nHGap = 300;
        l.doc.m_format.m_nLeftMargin = 100;
        l.Text("A", CPoint(500, 500));
        kvtest::EplPrinter printer = Read(l.Print(3));
        EXPECT_EQ(printer.setup["q"], "823");
        ASSERT_EQ(printer.printed.size(), 2u);
        ASSERT_EQ(printer.printed[0].fields.size(), 2u);
        ASSERT_EQ(printer.printed[1].fields.size(), 1u);
        // The plain drivers leave the left margin to the printer; the store
        // driver adds it, as the ZPL driver does.
        const int margin = language == 15 ? 100 : 0;
        const int x = UnitsToDots(500, 203), y = UnitsToDots(500, 203);
        EXPECT_EQ(printer.printed[0].fields[0].at, CPoint(x + UnitsToDots(margin, 203), y));
        EXPECT_EQ(printer.printed[0].fields[1].at, CPoint(x + UnitsToDots(margin + 5300, 203), y));
    }
}

TEST(EplJob, SettingsComeFromTheLabelForOwnPortsElseFromTheSystemDriver)
{
    const struct {
        int language;
        const char* own;     // setup from the label's settings
        const char* driver;  // setup from the system driver's
    } cases[] = {
        {11, "I8,1,001\r\nS3\r\nq400\r\nWN\r\nZB\r\nD15\r\nOD\r\nJB\r\nQ240,24-12\r\n",
         "I8,1,001\r\nS3\r\nq400\r\nWN\r\nZB\r\nD5\r\nO\r\nJB\r\nQ240,24+0\r\n"},
        // The label keeps the single-number driver's speed in tenths.
        {19, "q400\r\nS5\r\nOC,D\r\nJB\r\nWN\r\nD15\r\nZB\r\nQ240,24\r\n",
         "q400\r\nS4\r\nJB\r\nWN\r\nD5\r\nZB\r\nQ240,24\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        EplLabel l(c.language, 5000, 3000);
        l.doc.m_format.m_nVGap = 300;
        SettingsBlock own{};
        own[ES_SPEED] = 50;
        own[ES_DENSITY] = 20;
        own[ES_MEDIA] = 1;
        own[ES_GAP_OFFSET] = -12;
        own[ES_PRINT_MODE] = 4;
        if (c.language == 11) own[ES_PRINT_MODE] = 0;
        l.doc.m_format.SetProperty(LFP_PRINTER_SETTINGS, EncodeSettingsBlock(own));
        l.doc.m_format.m_devMode = Epl2Settings({{"Darkness", "10"}, {"zePrintRate", "4"}, {"MediaType", "Thermal"}});
        CPrintDriver& d = l.Driver();
        d.m_jobDevMode = l.doc.m_format.m_devMode;
        std::vector<std::uint8_t> bytes;
        CPrintPort port(&bytes);
        port.Open();
        d.LoadPrinterSettings(TRUE);
        d.SendSetup(&port);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.own);
        bytes.clear();
        d.LoadPrinterSettings(FALSE);
        d.SendSetup(&port);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.driver);
    }
}

TEST(EplJob, WithoutPrinterSettingsOnlyTheLabelsMediaIsSent)
{
    // Printing to a file: no system-driver settings to read.
    const struct {
        int language;
        int gap;
        const char* setup;
    } cases[] = {
        {11, 300, "I8,1,001\r\nq400\r\nWN\r\nZB\r\nQ240,24+0\r\n"},
        {11, 0, "I8,1,001\r\nq400\r\nWN\r\nZB\r\nQ240,0\r\n"},
        {19, 300, "q400\r\nJB\r\nWN\r\nZB\r\nQ240,24\r\n"},
        {15, 300, "I8,1,001\r\nQ240,24\r\nq400\r\nZB\r\nR0,0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        EplLabel l(c.language, 5000, 3000);
        l.doc.m_format.m_nVGap = c.gap;
        l.doc.m_format.SetDevMode(nullptr);
        l.Text("A", CPoint(300, 300));
        const std::string job = l.Print();
        EXPECT_EQ(job.substr(0, job.find("\r\nN\r\n") + 2), c.setup);
    }
}

TEST(EplJob, EanBarsMoveToWhereTheLabelHasThem)
{
    // EAN-13 at rotation 0 with its digits and a narrow bar of 2 dots:
    // 6 dots to the right of the anchor and 12 dots less bar height.
    EplLabel l;
    CDrawBarcode* b = l.Barcode(BS_EAN13, "400638133393", CPoint(1000, 1000), 2, 1500);
    kvtest::EplPrinter printer = Read(l.Print());
    const kvtest::EplField& f = printer.printed.at(0).fields.at(0);
    CRect box;
    b->GetPrintRect(nullptr, nullptr, &box, FALSE);
    box = box.Normalized();
    EXPECT_EQ(f.selector, "E30");
    EXPECT_EQ(f.humanReadable, 'B');
    EXPECT_EQ(f.narrow, 2);
    EXPECT_EQ(f.at, CPoint(box.left + 6, box.top));
    EXPECT_EQ(f.height, MulDiv(1500 * 203, 10, 25402) - 12);
}

TEST(EplJob, TextFieldsStartAtTheCornerTheirRotationKeeps)
{
    for (const int rotation : {0, 1, 2, 3}) {
        SCOPED_TRACE(rotation);
        EplLabel l;
        CDrawText* t = l.Text("Text", CPoint(1000, 1000), l.Font(2), 0, rotation);
        kvtest::EplPrinter printer = Read(l.Print());
        const kvtest::EplField& f = printer.printed.at(0).fields.at(0);
        CRect box;
        t->GetPrintRect(nullptr, nullptr, &box, FALSE);
        box = box.Normalized();
        EXPECT_EQ(f.at, EplAnchorPoint(box.left, box.top, box.right, box.bottom, rotation));
        EXPECT_EQ(f.rotation, EplRotation(rotation));
        EXPECT_EQ(f.font, "2");
    }
}

TEST(EplJob, PrintsThroughAQueueOfTheSampleEpl2Driver)
{
    // A CUPS queue made with CUPS' own EPL2 driver, its printer a listener
    // on loopback: the label goes raw, its setup from the queue's options.
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    kvtest::LoopbackListener device;
    ASSERT_TRUE(device.ok());
    ASSERT_TRUE(cupsd.AddQueue("eltron", "socket://127.0.0.1:" + std::to_string(device.port()),
                               "drv:///sample.drv/zebraep2.ppd", {"zePrintRate=2", "Darkness=20", "MediaType=Thermal"}))
        << cupsd.lastOutput();
    CPrinterList& list = CPrinterList::Instance();
    list.Build(GetSpooler(), {});
    const CPrinterEntry* entry = list.FindPrinter("eltron");
    ASSERT_NE(entry, nullptr);
    EplLabel l(11, 5000, 3000);
    l.doc.ApplyPrinterEntry(*entry);
    l.doc.m_format.SetDevMode(&entry->m_devMode);  // as opening the label on this printer does
    ASSERT_EQ(l.doc.m_format.m_nLanguage, 11);
    l.Text("QUEUE \"7\"", CPoint(300, 300), l.Font(3));
    l.Barcode(BS_CODE39, "KV-39", CPoint(300, 900));
    CPrintDriver& d = l.Driver();
    l.doc.m_format.m_nQuantity = 2;
    ASSERT_TRUE(d.BeginJob(TRUE));
    const BOOL ok = d.PrintJob("eltron", FALSE);
    d.EndPrint(TRUE);
    ASSERT_TRUE(ok) << d.LastError();
    const std::vector<std::uint8_t> bytes = device.Received(1);
    kvtest::EplPrinter printer = Read(std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(printer.setup["S"], "2");
    EXPECT_EQ(printer.setup["D"], "10");
    EXPECT_EQ(printer.setup["O"], "");  // thermal transfer: no "D" option
    ASSERT_EQ(printer.printed.size(), 1u);
    EXPECT_EQ(printer.printed[0].quantity, 2);
    ASSERT_EQ(printer.printed[0].fields.size(), 2u);
    EXPECT_EQ(printer.printed[0].fields[0].data, "QUEUE \"7\"");
    EXPECT_EQ(printer.printed[0].fields[1].data, "KV-39");
    list.SetEntries({});
}

TEST(EplJob, DriverAnswers)
{
    EplLabel plain(11), single(19), store(15);
    const struct {
        int query, arg;
        int plain, single, store;
    } cases[] = {
        {1, BS_EAN13, 4, 4, 4},   {1, BS_CODE39, 8, 8, 8},  {2, BS_QRCODE, 0, 0, 0}, {2, 301, 0, 0, 0},
        {11, 0, plain.Driver().CPrintDriver::GetCapability(11, 0), single.Driver().CPrintDriver::GetCapability(11, 0), 1},
        {17, 0, plain.Driver().CPrintDriver::GetCapability(17, 0), single.Driver().CPrintDriver::GetCapability(17, 0), 1},
        {13, 0, plain.Driver().CPrintDriver::GetCapability(13, 0), single.Driver().CPrintDriver::GetCapability(13, 0), 16},
        {12, 0, plain.Driver().CPrintDriver::GetCapability(12, 0), 1, store.Driver().CPrintDriver::GetCapability(12, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.query << " " << c.arg);
        EXPECT_EQ(plain.Driver().GetCapability(c.query, c.arg), c.plain);
        EXPECT_EQ(single.Driver().GetCapability(c.query, c.arg), c.single);
        EXPECT_EQ(store.Driver().GetCapability(c.query, c.arg), c.store);
    }
    EXPECT_EQ(plain.Driver().GetDefaultFormatName(), "KVFORM");
    EXPECT_EQ(store.Driver().GetDefaultFormatName(), "TVFORM");
    EXPECT_NE(dynamic_cast<CEpl19Driver*>(&single.Driver()), nullptr);
    EXPECT_NE(dynamic_cast<CEplStoreDriver*>(&store.Driver()), nullptr);
    // A diagonal line goes as a graphic: "LO" would fill its whole box.
    EplLabel diagonal;
    CDrawLine* line = diagonal.Line(CRect(200, 200, 1200, 800), LINE_DIAG_DOWN, 20);
    const std::string job = diagonal.Print();
    EXPECT_EQ(job.find("LO"), std::string::npos);
    EXPECT_NE(job.find("GG"), std::string::npos);
    EXPECT_NE(line->m_nOutputMethod, OM_NATIVE);
}

}  // namespace
