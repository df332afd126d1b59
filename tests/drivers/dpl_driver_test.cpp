// The DPL drivers in jobs: the class the language table makes for each
// code, where records stand, barcode and text records, the setup each class
// takes from its settings, printer-counted serial numbers, quantities beyond
// one format, and field data that would start a printer command.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "command_label.h"
#include "drivers/command_helpers.h"
#include "drivers/dpl_driver.h"
#include "platform/devmode.h"
#include "platform/strutil.h"
#include "support/dpl_interpreter.h"
#include "support/cupsd.h"
#include "support/kvtest.h"
#include "support/loopback.h"

namespace {

using cmdtest::CommandLabel;

kvtest::DplPrinter Read(const std::string& job, int language = 4)
{
    kvtest::DplPrinter printer;
    printer.language = language;
    std::string error;
    EXPECT_TRUE(printer.Run(job, &error)) << error;
    return printer;
}

// The bytes before the first image or label format: the setup.
std::string SetupOf(const std::string& job)
{
    size_t end = job.size();
    for (const char* start : {"\x02x", "\x02L"}) end = std::min(end, job.find(start));
    return job.substr(0, end);
}

// The Datamax system driver's settings with its private block filled in.
struct WinBlock {
    char printSpeed = 0, slewSpeed = 0, backupSpeed = 0, feedSpeed = 0;
    int startOffset = 0, tear = 0, peel = 0, batch = 0, darkness = 0, cut = 0;
    DWORD flags = 0;
};
std::vector<std::uint8_t> DatamaxSettings(const WinBlock& w, WORD version = 0x401)
{
    const size_t p = PrivateSettingsOffset(version);
    std::vector<std::uint8_t> dm = MakeDevMode("Datamax", 0x100, WORD(p + DPLW_BLOCK_SIZE - 156), version);
    dm[p + DPLW_PRINT_SPEED] = std::uint8_t(w.printSpeed);
    dm[p + DPLW_SLEW_SPEED] = std::uint8_t(w.slewSpeed);
    dm[p + DPLW_BACKUP_SPEED] = std::uint8_t(w.backupSpeed);
    dm[p + DPLW_FEED_SPEED] = std::uint8_t(w.feedSpeed);
    DevModeSetDword(dm, p + DPLW_START_OFFSET, DWORD(w.startOffset));
    DevModeSetDword(dm, p + DPLW_TEAR_POSITION, DWORD(w.tear));
    DevModeSetDword(dm, p + DPLW_PEEL_POSITION, DWORD(w.peel));
    DevModeSetDword(dm, p + DPLW_BATCH_COUNT, DWORD(w.batch));
    DevModeSetDword(dm, p + DPLW_DARKNESS, DWORD(w.darkness));
    DevModeSetDword(dm, p + DPLW_FLAGS, w.flags);
    DevModeSetDword(dm, p + DPLW_CUT_POSITION, DWORD(w.cut));
    return dm;
}

TEST(DplDrivers, TheLanguageTableMakesEachClass)
{
    for (const int code : {2, 4, 16}) {
        CommandLabel l(code);
        auto* d = dynamic_cast<CDplWinDriver*>(&l.Driver());
        ASSERT_NE(d, nullptr) << code;
        EXPECT_EQ(d->LanguageCode(), code);
    }
    CommandLabel five(5), eight(8);
    EXPECT_NE(dynamic_cast<CDpl5Driver*>(&five.Driver()), nullptr);
    EXPECT_NE(dynamic_cast<CDpl8Driver*>(&eight.Driver()), nullptr);
}

TEST(DplJob, FixedLabelGivesTheStoredStreamOfEachClass)
{
    // A text in a printer font, a Code 128, a line, a box and a picture,
    // printed once: the setup, the picture's download, then one format
    // with the records in object order and the end of the job.
    const struct {
        int code;
        const char* font;
        const char* fixture;
    } cases[] = {
        {4, "Datamax Font 2", "tests/fixtures/dpl/fixed-label-4.dpl"},
        {5, "Argox Font 2", "tests/fixtures/dpl/fixed-label-5.dpl"},
        {8, "BY Font 2", "tests/fixtures/dpl/fixed-label-8.dpl"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        CommandLabel l(c.code, 6000, 4000);
        CLabelFormat& f = l.doc.m_format;
        f.m_nMediaType = 2;
        f.m_nAfterPrintAction = 1;
        f.m_nAfterPrintDistance = 254;
        f.m_nSpeed = 40;
        f.m_nDarkness = 18;
        f.m_nHAdjust = 100;
        f.m_nVAdjust = 50;
        if (c.code == 4) f.m_devMode = DatamaxSettings({'E', 'G', 'C', 'D', 1270, 2540, 0, 0, 12, 0, 0x18421});
        l.Text("LOT 42", CPoint(300, 300), c.font);
        l.Barcode(BS_CODE128, "KV1234", CPoint(300, 900));
        l.Line(CRect(200, 2800, 5000, 2850), LINE_HORIZONTAL);
        l.Box(CRect(100, 100, 5900, 3900), 30);
        l.Picture(CRect(4000, 300, 5000, 1300));
        kvtest::TempDir dir;
        const std::string job = l.PrintToFile(dir.file("job.dpl"));
        ASSERT_FALSE(job.empty()) << l.Driver().LastError();
        EXPECT_EQ(job, kvtest::ReadFileText(kvtest::SourcePath(c.fixture)));
        Read(job, c.code);  // and it is a stream the printer reads
    }
}

TEST(DplJob, RowsCountUpFromTheBottomEdgeInHundredthsOfAnInch)
{
    // 50 x 30 mm labels, two across with a 2 mm gap. A line whose bottom
    // edge is 10 mm above the label's (80 dots at 203 dpi) stands on row
    // 0039; its left edge 2 mm in (16 dots, 7.9 hundredths) is column
    // 0008, and a label and a gap (416 dots) further in the second column.
    CommandLabel l(4, 5000, 3000, 2);
    l.Line(CRect(200, 1950, 2200, 2000), LINE_HORIZONTAL);
    kvtest::DplPrinter printer = Read(l.Print(2));
    ASSERT_EQ(printer.formats.size(), 1u);
    const std::vector<kvtest::DplField>& fields = printer.formats[0].fields;
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].row, 39);
    EXPECT_EQ(fields[0].column, 8);
    EXPECT_EQ(fields[1].row, 39);
    EXPECT_EQ(fields[1].column, MulDiv(16 + 416, 100, 203));
    EXPECT_EQ(fields[0].width, MulDiv(UnitsToDots(2000, 203), 100, 203));
}

TEST(DplJob, BarcodeRecords)
{
    // 2-dot modules; bars 12 mm high are 47 hundredths of an inch.
    const struct {
        int symbology;
        const char* data;
        int placement;
        const char* record;  // identifier to data
    } cases[] = {
        {BS_CODE39, "lot-7", BTP_DEFAULT, "A62047"},          // upper case, the printer's line
        {BS_CODE39, "LOT-7", BTP_NONE, "a62047"},             // no line: lower case
        {BS_CODE128, "R&D", BTP_BELOW, "e62047"},
        {BS_CODE93, "AB12", BTP_ABOVE, "o62047"},
        {BS_ITF25, "1234", BTP_NONE, "d62047"},
        {BS_CODABAR, "A123B", BTP_NONE, "i62047"},
        // EAN/UPC without the check digit; UPC-E also without its number
        // system. The printer's digits take 4 narrow bars on the printers of
        // code 4 (8 dots, 4 hundredths) off the foot of the bars.
        {BS_EAN13, "4012345678901", BTP_DEFAULT, "F62043"},
        {BS_EAN13, "4012345678901", BTP_NONE, "f62047"},
        {BS_UPCA, "036000291452", BTP_NONE, "b62047"},
        {BS_EAN8, "96385074", BTP_NONE, "g62047"},
        {BS_UPCE, "04252614", BTP_NONE, "c62047"},
    };
    const char* data[] = {"LOT-7", "LOT-7", "BR&&D", "AB12", "1234", "A123B",
                          "401234567890", "401234567890", "03600029145", "9638507", "425261"};
    for (size_t k = 0; k < std::size(cases); ++k) {
        const auto& c = cases[k];
        SCOPED_TRACE(std::string(c.record) + " " + c.data);
        CommandLabel l(4);
        CDrawBarcode* b = l.Barcode(c.symbology, c.data, CPoint(500, 500), 2, 1200, c.placement);
        b->m_nRatio = 300;
        kvtest::DplPrinter printer = Read(l.Print());
        ASSERT_EQ(printer.formats.size(), 1u);
        // (A line above or below the bars is the label's own graphic.)
        const std::vector<kvtest::DplField>& fields = printer.formats[0].fields;
        const auto bars = std::find_if(fields.begin(), fields.end(),
                                       [](const kvtest::DplField& f) { return f.kind == kvtest::DplField::Barcode; });
        ASSERT_NE(bars, fields.end());
        const kvtest::DplField& f = *bars;
        EXPECT_EQ(f.record.substr(1, 6), c.record);
        EXPECT_EQ(f.data, data[k]);
    }
    // An EAN/UPC whose digits stand in its symbol (no font of its own)
    // keeps them above or below: the printer's line, not an empty graphic.
    for (const int placement : {BTP_ABOVE, BTP_BELOW}) {
        CommandLabel l(4);
        CDrawBarcode* b = l.Barcode(BS_EAN8, "96385074", CPoint(500, 500), 2, 1200, placement);
        b->m_strFontName.clear();
        kvtest::DplPrinter printer = Read(l.Print());
        ASSERT_EQ(printer.formats.size(), 1u);
        ASSERT_EQ(printer.formats[0].fields.size(), 1u) << placement;
        EXPECT_EQ(printer.formats[0].fields[0].record.substr(1, 1), "G");
        EXPECT_TRUE(printer.images.empty());
    }
}

TEST(DplJob, ScalableTextRecordsOfEachClass)
{
    const struct {
        int language;
        const char* font;
        int points, widthPercent;
        const char* head;  // the record up to its row
        const char* end;
    } cases[] = {
        {4, "Datamax Scalable", 24, 100, "1911A24", "\r\n"},
        {4, "Datamax Scalable", 36, 200, "1921A36", "\r\n"},
        {4, "Datamax Scalable", 42, 100, "1933A14", "\r\n"},
        {16, "Datamax Scalable", 48, 100, "1911A48", "\r\n"},
        {5, "Argox Scalable", 24, 100, "1922004", "\r\n"},    // 12 points, 4th of the short list
        {5, "Argox Scalable", 18, 100, "1911006", "\r\n"},
        {8, "BY Scalable", 24, 100, "1922P12", "\r"},
        {8, "BY Scalable", 10, 200, "1921P10", "\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.font) + " " + std::to_string(c.points));
        CommandLabel l(c.language);
        CDrawText* t = l.Text("Abc", CPoint(500, 500), c.font, c.points * 100);
        t->m_nStretch = c.widthPercent * 100;
        const std::string job = l.Print();
        const std::string record = std::string(c.head) + "0";
        const size_t at = job.find(record);
        ASSERT_NE(at, std::string::npos) << job.substr(job.find("\x02L"));
        const size_t text = job.find("Abc", at);
        ASSERT_NE(text, std::string::npos);
        EXPECT_EQ(job.substr(text + 3, std::string(c.end).size() + 1).substr(0, std::string(c.end).size()), c.end);
        EXPECT_EQ(text - at, 15u);  // head, row, column
        Read(job, c.language);
    }
}

TEST(DplJob, SetupFromTheDatamaxDriverSettings)
{
    // 50 x 30 mm labels with a 3 mm gap: 130 hundredths of an inch with it.
    const struct {
        int code;
        WinBlock block;
        const char* setup;
        const char* endOfJob;
    } cases[] = {
        // Tear-off with back-feed, gap sensing, double buffering: the start
        // offset (10 hundredths) and the stop position (5) on the printer's
        // origin of 110.
        {4, {0, 'G', 0, 0, 2540, 1270, 0, 0, 0, 0, 0x18021},
         "\x02ySW1\x02n\x02O0120\x02V0\x02J\x02" "f115\x02" "c0000\x02" "e\x02SG\x02" "d\x01" "D\x02qA", ""},
        // Code 16 counts from 212; peel with the label presented, mark
        // sensing, single buffering; the end of job presents the last label.
        {16, {0, 'C', 0, 0, 0, 0, 2540, 0, 0, 0, 0x20140},
         "\x02ySW1\x02n\x02O0212\x02V0\x02" "f222\x02" "c0000\x02r\x02SC\x02s\x01" "D\x02qA", "\x02V1\x02o\n"},
        // Code 2: no offset, positions as "Kf", no buffering command; cut,
        // continuous media of label plus gap; module C packed at the end.
        {2, {0, 'E', 0, 0, 2540, 0, 0, 0, 0, 5080, 0x40060},
         "\x02ySW1\x02n\x02V0\x02J\x02Kf0020\x02" "c0130\x02SE\x01" "D\x02qA", "\x02qC\x02zC"},
        // Peel without presenting: the printer waits for its sensor.
        {4, {0, 'E', 0, 0, 0, 0, 0, 0, 0, 0, 0x20000},
         "\x02ySW1\x02n\x02O0110\x02V1\x02" "f110\x02SE\x02s\x01" "D\x02qA", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        CommandLabel l(c.code);
        l.doc.m_format.m_devMode = DatamaxSettings(c.block);
        l.Line(CRect(200, 200, 2200, 250), LINE_HORIZONTAL);
        const std::string job = l.Print();
        EXPECT_EQ(SetupOf(job), c.setup);
        const size_t end = job.rfind("E\r");
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(job.substr(end + 2), c.endOfJob);
        Read(job);
    }
}

TEST(DplJob, FormatSettingsFromTheDatamaxDriverSettings)
{
    // Speeds that are letters, the darkness when the driver sets it, and
    // in peel mode without presenting the batch per row of labels.
    WinBlock w{'E', 'G', 'C', 'D', 0, 0, 0, 6, 12, 0, 0x20400};
    CommandLabel l(4, 4000, 2000, 2);
    l.doc.m_format.m_devMode = DatamaxSettings(w);
    l.Line(CRect(200, 200, 2200, 250), LINE_HORIZONTAL);
    kvtest::DplPrinter printer = Read(l.Print(4));
    ASSERT_EQ(printer.formats.size(), 1u);
    const std::map<std::string, std::string> expected = {{"D", "11"}, {"P", "E"},  {"p", "C"},
                                                         {"S", "D"},  {"H", "12"}, {":", "0003"},
                                                         {"^", "01"}, {"Q", "0002"}};
    EXPECT_EQ(printer.formats[0].settings, expected);

    // A speed byte that is no letter is left out rather than written.
    w.printSpeed = '\r';
    CommandLabel bad(4);
    bad.doc.m_format.m_devMode = DatamaxSettings(w);
    bad.Line(CRect(200, 200, 2200, 250), LINE_HORIZONTAL);
    kvtest::DplPrinter again = Read(bad.Print());
    ASSERT_EQ(again.formats.size(), 1u);
    EXPECT_EQ(again.formats[0].settings.count("P"), 0u);
}

TEST(DplJob, SetupFromTheLabelFormat)
{
    const struct {
        int code;
        int media, action, distance, startOffset;
        DWORD options;
        const char* setup;
    } cases[] = {
        {8, 2, 1, 127, 0, 0, "\x02ySW1\x02n\x02M0500\x02Kf05\x02" "c0000\x02" "e\x02SG\x01" "D\x02qA"},
        {8, 1, 2, -254, 0, 0, "\x02ySW1\x02n\x02M0500\x02J\x02Kf-10\x02" "c0130\x02SG\x01" "D\x02qA"},
        {8, 3, 0, 0, 0, 0, "\x02ySW1\x02n\x02M0500\x02" "c0000\x02r\x02SG\x01" "D\x02qA"},
        {5, 2, 1, 127, 254, 4, "\x02n\x02M0500\x02O0120\x02KI0\x02V0\x02" "f005\x02" "c0000\x02" "e\x02SG\x01" "D\x02qA"},
        {5, 0, 2, 0, 0, 8, "\x02n\x02M0500\x02KI1\x02V0\x02J\x02" "f000\x02SG\x01" "D\x02qA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("code ") + std::to_string(c.code) + " media " + std::to_string(c.media));
        CommandLabel l(c.code);
        CLabelFormat& f = l.doc.m_format;
        f.m_nMediaType = c.media;
        f.m_nAfterPrintAction = c.action;
        f.m_nAfterPrintDistance = c.distance;
        f.m_nStartOffset = c.startOffset;
        f.m_dwOptions = (f.m_dwOptions & ~DWORD(0x0C)) | c.options;
        l.Line(CRect(200, 200, 2200, 250), LINE_HORIZONTAL);
        const std::string job = l.Print();
        EXPECT_EQ(SetupOf(job), c.setup);
        Read(job, c.code);
    }
}

TEST(DplJob, SerialNumbersThePrinterCounts)
{
    for (const int code : {4, 5, 8}) {
        SCOPED_TRACE(code);
        CommandLabel l(code);
        CDrawText* t = l.Text("No ", CPoint(200, 200), code == 4 ? "Datamax Font 2" : code == 5 ? "Argox Font 2" : "BY Font 2");
        CVariable* serial = l.Var("0098", VK_SERIAL);
        serial->m_nStep = 3;
        t->AddVariable(serial);
        CDrawBarcode* b = l.Barcode(BS_CODE128, "", CPoint(200, 800));
        b->m_variables[0]->m_nKind = VK_SERIAL;
        b->m_variables[0]->m_strData = "5000";
        kvtest::DplPrinter printer = Read(l.Print(5), code);
        ASSERT_EQ(l.Driver().GetPrintMode(), PM_PRINTER_SERIAL);
        ASSERT_EQ(printer.formats.size(), 1u);
        const kvtest::DplFormat& f = printer.formats[0];
        EXPECT_EQ(f.quantity, 5);
        ASSERT_EQ(f.fields.size(), 2u);
        EXPECT_TRUE(f.fields[0].counted);
        EXPECT_EQ(f.fields[0].increment, 3);
        EXPECT_EQ(f.fields[0].data, "No 0098");
        EXPECT_TRUE(f.fields[1].counted);
        EXPECT_EQ(f.fields[1].increment, 1);
    }
}

TEST(DplJob, CopiesOfACountedLabelKeepItsNumber)
{
    // With copies the printer is told to step its counted fields once per
    // label, not once per copy ("^" with the copies): every class.
    for (const int code : {4, 5, 8}) {
        SCOPED_TRACE(code);
        CommandLabel l(code);
        CDrawText* t = l.Text("", CPoint(200, 200), code == 4 ? "Datamax Font 2" : code == 5 ? "Argox Font 2" : "BY Font 2");
        l.Serial(t, "0001");
        kvtest::DplPrinter printer = Read(l.Print(3, 2), code);
        ASSERT_EQ(l.Driver().GetPrintMode(), PM_PRINTER_SERIAL);
        ASSERT_EQ(printer.formats.size(), 1u);
        EXPECT_EQ(printer.formats[0].quantity, 6);
        EXPECT_EQ(printer.formats[0].count, 2);
        EXPECT_TRUE(printer.formats[0].fields[0].counted);
    }
}

TEST(DplJob, IncrementRecordSignAndMagnitude)
{
    // The record after a counted field: "+" for an increment of at least 1,
    // else "-", then its magnitude.
    const struct {
        int step;
        const char* line;
    } cases[] = {{1, "+01\r\n"}, {12, "+012\r\n"}, {0, "-00\r\n"}, {-4, "-04\r\n"}};
    for (const auto& c : cases) {
        CommandLabel l(4);
        CDrawText* t = l.Text("7", CPoint(200, 200), "Datamax Font 1");
        CPrintDriver& d = l.Driver();
        ASSERT_TRUE(d.BeginJob(TRUE));
        t->m_nVariability = 1;
        t->m_nSerialStep = c.step;
        std::vector<std::uint8_t> bytes;
        CPrintPort port(&bytes);
        port.Open();
        d.DrawText(&port, 10, 20, t, "7", 1);
        d.DrawText(&port, 10, 20, t, "7", 0);  // a pass that does not count
        d.EndPrint(TRUE);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("1111000002000107\r\n") + c.line + "1111000002000107\r\n")
            << c.step;
    }
}

TEST(DplJob, QuantitiesBeyondFourDigitsGoInSeveralFormats)
{
    // "Q" holds four digits: 12,000 labels are a format of 9,999 and one of
    // 2,001, and 5,000 labels of 3 copies 9,999 and 5,001.
    const struct {
        int labels, copies;
        std::vector<int> quantities;
    } cases[] = {{12000, 1, {9999, 2001}}, {5000, 3, {9999, 5001}}, {9999, 1, {9999}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.labels);
        CommandLabel l(8);
        l.Text("FIXED", CPoint(200, 200), "BY Font 1");
        kvtest::DplPrinter printer = Read(l.Print(c.labels, c.copies), 8);
        std::vector<int> quantities;
        for (const kvtest::DplFormat& f : printer.formats) quantities.push_back(f.quantity);
        EXPECT_EQ(quantities, c.quantities);
    }
    // A serial the printer counts goes on in the next format where the
    // printer stopped.
    CommandLabel l(8);
    CDrawText* t = l.Text("", CPoint(200, 200), "BY Font 1");
    l.Serial(t, "00001", 2);
    kvtest::DplPrinter printer = Read(l.Print(10001), 8);
    ASSERT_EQ(printer.formats.size(), 2u);
    EXPECT_EQ(printer.formats[0].fields[0].data, "00001");
    EXPECT_EQ(printer.formats[1].fields[0].data, "19999");
    EXPECT_EQ(printer.formats[1].quantity, 2);
}

TEST(DplJob, EachFormatOfALongRunIsASpoolerDocumentOfItsOwn)
{
    // 12,000 labels are two formats; on a queue each goes as a job of its
    // own, so the printer never holds more than one in its buffer.
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    kvtest::LoopbackListener listener;
    ASSERT_TRUE(cupsd.AddQueue("datamax", "socket://127.0.0.1:" + std::to_string(listener.port()), "raw"))
        << cupsd.lastOutput();
    CommandLabel l(5);
    l.Text("FIXED", CPoint(200, 200), "Argox Font 1");
    l.doc.m_format.m_nQuantity = 12000;
    CPrintDriver& d = l.Driver();
    d.SetAnswerYes(true);
    ASSERT_TRUE(d.BeginJob(TRUE));
    ASSERT_TRUE(d.PrintJob("datamax", FALSE)) << d.LastError();
    d.EndPrint(TRUE);
    const std::vector<std::uint8_t> sent = listener.Received(2, 30000);
    EXPECT_EQ(listener.FinishedConnections(), 2);
    kvtest::DplPrinter printer = Read(std::string(sent.begin(), sent.end()), 5);
    ASSERT_EQ(printer.formats.size(), 2u);
    EXPECT_EQ(printer.formats[0].quantity, 9999);
    EXPECT_EQ(printer.formats[1].quantity, 2001);
}

TEST(DplJob, DataThatWouldStartACommandIsRefusedNamingTheObject)
{
    const struct {
        std::string data;
        bool barcode;
        const char* shown;
    } cases[] = {
        {std::string("A\x02L"), false, "STX (0x02)"},
        {std::string("\x01#"), false, "SOH (0x01)"},
        {"two\rrecords", false, "CR (0x0D)"},
        {"line\nend", true, "LF (0x0A)"},
        {std::string("X\x02qA"), true, "STX (0x02)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        CommandLabel l(4);
        l.Text("FIRST", CPoint(200, 200), "Datamax Font 1");
        CDrawObj* obj = c.barcode ? static_cast<CDrawObj*>(l.Barcode(BS_CODE128, "x", CPoint(200, 800)))
                                  : l.Text("x", CPoint(200, 800), "Datamax Font 1");
        obj->m_variables[0]->m_strData = c.data;
        obj->m_strComment = "Lot number";
        bool ok = true;
        const std::string job = l.Print(1, 1, &ok);
        EXPECT_FALSE(ok);
        const std::string& error = l.Driver().LastError();
        EXPECT_NE(error.find(StrFormat("#%d \"Lot number\"", int(obj->m_nID))), std::string::npos) << error;
        EXPECT_NE(error.find(c.shown), std::string::npos) << error;
        // Nothing of that label went out: the setup only.
        EXPECT_EQ(job.find("\x02L"), std::string::npos);
        EXPECT_EQ(job.find("FIRST"), std::string::npos);
    }
    // Characters that are only data go as they are.
    CommandLabel plain(4);
    plain.Text("A&B ^~\"'", CPoint(200, 200), "Datamax Font 1");
    kvtest::DplPrinter printer = Read(plain.Print());
    ASSERT_EQ(printer.formats.size(), 1u);
    EXPECT_EQ(printer.formats[0].fields[0].data, "A&B ^~\"'");
}

}  // namespace
