// The printer driver base on a recording driver: print modes chosen from
// what varies, the formats, quantities, downloads and names each mode
// sends, label numbering with copies and per-record quantities, how each
// object is printed, graphic names, the multi-line layout, the objects a
// job takes, the settings block, PCX and BMP files, and the drivers the
// language table makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "data/data_source.h"
#include "data/variable.h"
#include "drivers/printer_languages.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "model/drawtext.h"
#include "print/print_options.h"
#include "print/print_port.h"
#include "platform/strutil.h"
#include "recording_driver.h"
#include "support/kvtest.h"

namespace {

// A label printed through the recording driver in a command language.
struct JobDoc {
    CKVDoc doc;
    CRecordingDriver* driver = nullptr;
    std::vector<std::uint8_t> bytes;

    explicit JobDoc(int across = 1, int language = 1)
    {
        EXPECT_TRUE(doc.OnNewDocument());
        doc.m_format.m_nLanguage = language;
        doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "");
        doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 203;
        doc.m_format.m_nColumns = across;
        doc.m_format.m_nRows = 1;
        doc.m_format.m_nLabelWidth = 5000;
        doc.m_format.m_nLabelHeight = 3000;
        doc.ReloadPrinterFonts();
        auto d = std::make_shared<CRecordingDriver>(&doc);
        driver = d.get();
        doc.m_driver = d;
    }
    CVariable* Var(int kind, const std::string& data)
    {
        auto* v = new CVariable(kind);
        v->m_strData = data;
        doc.AddVariable(v);
        return v;
    }
    CDrawText* Text(const std::string& font, CVariable* v, CRect at = CRect(100, 100, 2000, 500))
    {
        auto* t = new CDrawText(at);
        t->m_strFontName = font;
        doc.AddObject(t);
        t->AddVariable(v);
        return t;
    }
    CDrawRect* Box(CRect at = CRect(50, 50, 4000, 2500))
    {
        auto* r = new CDrawRect(at);
        doc.AddObject(r);
        return r;
    }
    // BeginJob, the mode's loop into memory, EndPrint; the job's result.
    bool Print(int labels, int copies = 1)
    {
        doc.m_format.m_nQuantity = labels;
        doc.m_format.m_nCopies = copies;
        if (!driver->BeginJob(TRUE)) return false;
        CPrintPort port(&bytes);
        EXPECT_EQ(port.Open(), 0);
        const BOOL ok = driver->PrintLabels(&port);
        driver->EndPrint(TRUE);
        return ok != FALSE;
    }
    std::vector<std::string> Formats() const { return driver->Calls("format"); }
};

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A Zebra resident font: drawn by the printer itself.
constexpr const char kPrinterFont[] = "Zebra Font A";

// ---- print modes -------------------------------------------------------------

TEST(DriverBase, PrintModeFollowsWhatVaries)
{
    kvtest::TempDir dir;
    WriteText(dir.file("items.csv"), "Name,Qty\nA,2\nB,1\n");
    struct Case {
        const char* what;
        int expected;
        std::function<void(JobDoc&)> build;
    };
    const std::vector<Case> cases = {
        {"fixed objects", PM_FIXED, [](JobDoc& j) { j.Text(kPrinterFont, j.Var(VK_FIXED, "LOT 7")); j.Box(); }},
        {"a record-counted numeric serial last", PM_PRINTER_SERIAL,
         [](JobDoc& j) {
             CDrawText* t = j.Text(kPrinterFont, j.Var(VK_FIXED, "No "));
             t->AddVariable(j.Var(VK_SERIAL, "0001"));
         }},
        {"a serial before fixed text", PM_VARIABLE,
         [](JobDoc& j) {
             CDrawText* t = j.Text(kPrinterFont, j.Var(VK_SERIAL, "0001"));
             t->AddVariable(j.Var(VK_FIXED, " pcs"));
         }},
        {"a serial in a Windows font", PM_VARIABLE, [](JobDoc& j) { j.Text("Arial", j.Var(VK_SERIAL, "0001")); }},
        {"a label-counted serial", PM_LABEL_SERIAL,
         [](JobDoc& j) {
             CVariable* v = j.Var(VK_SERIAL, "0001");
             v->m_nCountBasis = 1;
             j.Text(kPrinterFont, v);
         }},
        {"a database field", PM_VARIABLE,
         [&](JobDoc& j) {
             CVariable* v = j.Var(VK_DATABASE, "");
             v->m_strField = "Name\n0";
             j.Text(kPrinterFont, v);
         }},
        {"a copy-count field", PM_RECORD_COPIES,
         [&](JobDoc& j) {
             j.Text(kPrinterFont, j.Var(VK_FIXED, "X"));
             j.doc.m_format.SetProperty(LFP_COPY_FIELD, "1,Qty,1,0,0");
         }},
        {"a label-counted serial and a copy-count field", PM_LABEL_SERIAL_RECORD_COPIES,
         [&](JobDoc& j) {
             CVariable* v = j.Var(VK_SERIAL, "0001");
             v->m_nCountBasis = 1;
             j.Text(kPrinterFont, v);
             j.doc.m_format.SetProperty(LFP_COPY_FIELD, "1,Qty,1,0,0");
         }},
    };
    for (const Case& c : cases) {
        JobDoc j;
        CDataSourceSettings s;
        s.kind = DSK_TEXT;
        s.textPath = dir.file("items.csv");
        j.doc.SetDataSourceSettings(s);
        ASSERT_TRUE(j.doc.OpenDataSourceQuietly(FALSE)) << c.what;
        c.build(j);
        j.doc.m_format.m_nQuantity = 2;
        ASSERT_TRUE(j.driver->BeginJob(TRUE)) << c.what;
        EXPECT_EQ(j.driver->GetPrintMode(), c.expected) << c.what;
        j.driver->EndPrint(TRUE);
    }
}

TEST(DriverBase, PrinterThatCannotCountPrintsSerialsLabelByLabel)
{
    JobDoc j;
    j.Text(kPrinterFont, j.Var(VK_SERIAL, "0001"));
    j.driver->SetCapability(12, 1);
    ASSERT_TRUE(j.Print(3));
    EXPECT_EQ(j.driver->GetPrintMode(), PM_VARIABLE);
    EXPECT_EQ(j.Formats().size(), 3u);
}

// The formats each mode sends: first label (number/record.copy), labels
// across, quantity, replicates and pass.
TEST(DriverBase, FormatsOfEachMode)
{
    struct Case {
        const char* what;
        int across, copies, labels;
        std::function<void(JobDoc&)> build;
        std::vector<std::string> formats;
    };
    auto fixed = [](JobDoc& j) { j.Text(kPrinterFont, j.Var(VK_FIXED, "A")); };
    auto counted = [](JobDoc& j) { j.Text(kPrinterFont, j.Var(VK_SERIAL, "0001")); };
    auto perLabel = [](JobDoc& j) { j.Text("Arial", j.Var(VK_SERIAL, "0001")); };
    auto labelSerial = [](JobDoc& j) {
        CVariable* v = j.Var(VK_SERIAL, "0001");
        v->m_nCountBasis = 1;
        j.Text(kPrinterFont, v);
    };
    const std::vector<Case> cases = {
        {"mode 0: two rows of two, then one label", 2, 1, 5, fixed,
         {"format 0/0.0 across=2 quantity=2 replicates=1 pass=0", "format 0/0.0 across=1 quantity=1 replicates=1 pass=0"}},
        {"mode 1: one format of four, then the partial row at label 4 (record 2)", 4, 2, 3, counted,
         {"format 0/0.0 across=4 quantity=1 replicates=1 pass=1", "format 4/2.0 across=2 quantity=1 replicates=1 pass=1"}},
        {"mode 2: copies a multiple of the row, one format per label", 2, 2, 3, perLabel,
         {"format 0/0.0 across=2 quantity=1 replicates=1 pass=3", "format 2/1.0 across=2 quantity=1 replicates=1 pass=3",
          "format 4/2.0 across=2 quantity=1 replicates=1 pass=3"}},
        {"mode 2: three copies on rows of two, full rows only", 2, 3, 2, perLabel,
         {"format 0/0.0 across=2 quantity=1 replicates=1 pass=2", "format 2/0.2 across=2 quantity=1 replicates=1 pass=2",
          "format 4/1.1 across=2 quantity=1 replicates=1 pass=2"}},
        {"mode 2: a partial last row", 3, 1, 4, perLabel,
         {"format 0/0.0 across=3 quantity=1 replicates=1 pass=2", "format 3/3.0 across=1 quantity=1 replicates=1 pass=2"}},
        {"mode 4: label by label in rows, pass 4", 2, 1, 3, labelSerial,
         {"format 0/0.0 across=2 quantity=1 replicates=1 pass=4", "format 2/2.0 across=1 quantity=1 replicates=1 pass=4"}},
    };
    for (const Case& c : cases) {
        JobDoc j(c.across);
        c.build(j);
        ASSERT_TRUE(j.Print(c.labels, c.copies)) << c.what;
        EXPECT_EQ(j.Formats(), c.formats) << c.what;
    }
}

TEST(DriverBase, PerRecordQuantitiesSkipEmptyRecordsAndMixRecordsInARow)
{
    kvtest::TempDir dir;
    WriteText(dir.file("items.csv"), "Name,Qty\nA,3\nB,0\nC,5\nD,-4\n");
    JobDoc j(2);
    CDataSourceSettings s;
    s.kind = DSK_TEXT;
    s.textPath = dir.file("items.csv");
    j.doc.SetDataSourceSettings(s);
    ASSERT_TRUE(j.doc.OpenDataSourceQuietly(FALSE));
    CVariable* name = j.Var(VK_DATABASE, "");
    name->m_strField = "Name\n0";
    j.Text(kPrinterFont, name);
    j.doc.m_format.SetProperty(LFP_COPY_FIELD, "1,Qty,1,0,0");
    ASSERT_TRUE(j.Print(10));
    EXPECT_EQ(j.driver->GetPrintMode(), PM_RECORD_COPIES);
    // Four records (the quantity was limited to the records); D's negative count prints nothing.
    const std::vector<std::pair<int, int>> table = {{3, 0}, {0, 3}, {5, 3}, {0, 8}};
    EXPECT_EQ(j.driver->RecordTable(), table);
    EXPECT_EQ(j.driver->TotalLabels(), 8);
    EXPECT_EQ(j.Formats(), (std::vector<std::string>{"format 0/0.0 across=2 quantity=1 replicates=1 pass=3",
                                                     "format 2/0.2 across=2 quantity=1 replicates=1 pass=2",
                                                     "format 4/2.1 across=2 quantity=2 replicates=1 pass=3"}));
    // The mixed row prints A's last copy beside C's first.
    const std::vector<std::string> texts = j.driver->Calls("text");
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_TRUE(EndsWith(texts[2], " A")) << texts[2];
    EXPECT_TRUE(EndsWith(texts[3], " C")) << texts[3];
}

TEST(DriverBase, LabelNumberingWithCopiesAndPerRecordCounts)
{
    JobDoc j;
    j.Text(kPrinterFont, j.Var(VK_FIXED, "A"));
    j.doc.m_format.m_nQuantity = 4;
    j.doc.m_format.m_nCopies = 3;
    ASSERT_TRUE(j.driver->BeginJob(TRUE));
    struct Want {
        int n, record, copy;
    };
    for (const Want& w : std::vector<Want>{{0, 0, 0}, {2, 0, 2}, {3, 1, 0}, {11, 3, 2}}) {
        CLabelPos pos;
        j.driver->LocateLabel(&pos, w.n);
        EXPECT_EQ(CRecordingDriver::Pos(pos), StrFormat("%d/%d.%d", w.n, w.record, w.copy));
        EXPECT_EQ(j.driver->CopiesOfRecord(pos), 3);
    }
    EXPECT_EQ(j.driver->TotalLabels(), 12);
    j.driver->EndPrint(TRUE);
}

TEST(DriverBase, InputFirstCopyNumberTakesTheDialogCopiesForTheFirstRecord)
{
    kvtest::TempDir dir;
    WriteText(dir.file("items.csv"), "Name,Qty\nA,9\nB,2\n");
    JobDoc j;
    CDataSourceSettings s;
    s.kind = DSK_TEXT;
    s.textPath = dir.file("items.csv");
    j.doc.SetDataSourceSettings(s);
    ASSERT_TRUE(j.doc.OpenDataSourceQuietly(FALSE));
    j.Text(kPrinterFont, j.Var(VK_FIXED, "A"));
    j.doc.m_format.SetProperty(LFP_COPY_FIELD, "1,Qty,1,0,1");
    j.doc.m_format.m_nQuantity = 2;
    j.doc.m_format.m_nCopies = 4;
    ASSERT_TRUE(j.driver->BeginJob(TRUE));
    EXPECT_EQ(j.driver->RecordTable(), (std::vector<std::pair<int, int>>{{4, 0}, {2, 4}}));
    CLabelPos pos;
    j.driver->LocateLabel(&pos, 5);
    EXPECT_EQ(CRecordingDriver::Pos(pos), "5/1.1");
    j.driver->LocateLabel(&pos, 6);
    EXPECT_EQ(CRecordingDriver::Pos(pos), "6/2.0");  // beyond the table
    j.driver->EndPrint(TRUE);
}

// ---- downloads and how objects are placed --------------------------------

TEST(DriverBase, FixedGraphicsGoOnceVariableOnesPerLabelUnderColumnNames)
{
    // The names of the downloads and of the placed graphics, in order.
    auto names = [](const std::vector<std::string>& lines, size_t token) {
        std::vector<std::string> out;
        for (const std::string& l : lines) out.push_back(SplitString(l, ' ')[token]);
        return out;
    };
    struct Case {
        int keep;  // the printer keeps fixed graphics for the job
        std::vector<std::string> downloads, placed;
    };
    for (const Case& c : std::vector<Case>{
             // The logo once; the serial per label, one name per column.
             {1, {"GRAPHIC1", "GRAPHIC2", "GRAPHIC3"}, {"GRAPHIC1", "GRAPHIC2", "GRAPHIC1", "GRAPHIC3"}},
             // Nothing kept: the logo goes with every label too, and the
             // format places the one of column 0.
             {0, {"GRAPHIC1", "GRAPHIC2", "GRAPHIC3", "GRAPHIC4"}, {"GRAPHIC1", "GRAPHIC2", "GRAPHIC1", "GRAPHIC4"}}}) {
        JobDoc j(2);
        j.Text("Arial", j.Var(VK_FIXED, "LOGO"));                                      // a bitmap that never changes
        j.Text("Arial", j.Var(VK_SERIAL, "0001"), CRect(100, 800, 2000, 1200));  // a bitmap per label
        j.driver->SetCapability(8, c.keep);
        ASSERT_TRUE(j.Print(2, 1));
        ASSERT_EQ(j.driver->GetPrintMode(), PM_VARIABLE);
        EXPECT_EQ(names(j.driver->Calls("download"), 1), c.downloads) << "keep " << c.keep;
        EXPECT_EQ(names(j.driver->Calls("graphic"), 2), c.placed) << "keep " << c.keep;
        // Every download comes before the format that places it.
        EXPECT_EQ(j.driver->calls[c.downloads.size()].substr(0, 6), "format");
        // The second column is placed one column further.
        const std::vector<std::string> graphics = j.driver->Calls("graphic");
        EXPECT_TRUE(StartsWith(graphics[3], StrFormat("graphic %d,", 100000 + UnitsToDots(100, 203)))) << graphics[3];
    }
}

TEST(DriverBase, RightToLeftOrderPutsColumnZeroAtTheRight)
{
    JobDoc j(3);
    j.doc.m_format.m_nStartCorner = 1;
    j.Text(kPrinterFont, j.Var(VK_FIXED, "A"));
    ASSERT_TRUE(j.Print(3));
    const std::vector<std::string> texts = j.driver->Calls("text");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(StartsWith(texts[0], StrFormat("text %d,", 200000 + UnitsToDots(100, 203)))) << texts[0];
    EXPECT_TRUE(StartsWith(texts[2], StrFormat("text %d,", UnitsToDots(100, 203)))) << texts[2];
}

TEST(DriverBase, OutputMethodOfEachObject)
{
    struct Case {
        const char* what;
        std::function<CDrawObj*(JobDoc&)> make;
        std::function<void(CRecordingDriver&)> caps;
        int method;
    };
    auto barcode = [](JobDoc& j, int symbology, int placement, const std::string& font) {
        auto* b = new CDrawBarcode(CRect(100, 100, 100, 100));
        j.doc.AddObject(b);
        b->m_nSymbology = symbology;
        b->m_nModuleWidth = MulDiv(2, 100000, 203);
        b->m_nTextPlacement = placement;
        b->m_strFontName = font;
        b->AddVariable(j.Var(VK_FIXED, symbology == BS_PDF417 ? "HELLO" : "12345"));
        return b;
    };
    auto none = [](CRecordingDriver&) {};
    const std::vector<Case> cases = {
        {"native Code 128 in a printer font", [&](JobDoc& j) { return barcode(j, BS_CODE128, BTP_BELOW, kPrinterFont); },
         none, OM_NATIVE},
        {"native bars, TrueType text below", [&](JobDoc& j) { return barcode(j, BS_CODE128, BTP_BELOW, "Arial"); }, none,
         OM_BARS_NATIVE},
        {"module wider than the printer takes", [&](JobDoc& j) { return barcode(j, BS_CODE128, BTP_BELOW, "Arial"); },
         [](CRecordingDriver& d) { d.SetCapability(1, 1); }, OM_BITMAP},
        {"bars as a bitmap, printer-font text", [&](JobDoc& j) { return barcode(j, BS_CODE128, BTP_BELOW, kPrinterFont); },
         [](CRecordingDriver& d) { d.SetCapability(2, 0, BS_CODE128); }, OM_TEXT_NATIVE},
        {"PDF417 without a native command is one bitmap",
         [&](JobDoc& j) { return barcode(j, BS_PDF417, BTP_DEFAULT, kPrinterFont); }, none, OM_BITMAP},
        {"a mirrored barcode", [&](JobDoc& j) {
             CDrawObj* b = barcode(j, BS_CODE128, BTP_NONE, "");
             b->m_dwFlags |= 0x10;
             return b;
         }, none, OM_BITMAP},
        {"text in a printer font", [](JobDoc& j) { return j.Text(kPrinterFont, j.Var(VK_FIXED, "A")); }, none, OM_NATIVE},
        {"text in a Windows font", [](JobDoc& j) { return j.Text("Arial", j.Var(VK_FIXED, "A")); }, none, OM_BITMAP},
        {"a dashed line without native dashes", [](JobDoc& j) {
             auto* l = new CDrawLine(CRect(0, 0, 1000, 30));
             l->m_nLineType = 2;
             j.doc.AddObject(l);
             return l;
         }, none, OM_BITMAP},
        {"a box", [](JobDoc& j) { return j.Box(); }, none, OM_NATIVE},
    };
    for (const Case& c : cases) {
        JobDoc j;
        j.driver->SetCapability(1, 10);
        CDrawObj* obj = c.make(j);
        c.caps(*j.driver);
        j.driver->ClassifyObject(obj);
        EXPECT_EQ(obj->m_nOutputMethod, c.method) << c.what;
    }
}

TEST(DriverBase, SerialsThePrinterCannotCountWithAPrintedCheckCharacterVaryPerLabel)
{
    JobDoc j;
    auto* b = new CDrawBarcode(CRect(100, 100, 100, 100));
    j.doc.AddObject(b);
    b->m_nSymbology = BS_CODE39;
    b->m_nModuleWidth = MulDiv(2, 100000, 203);
    b->m_nTextPlacement = BTP_NONE;
    b->AddVariable(j.Var(VK_SERIAL, "0001"));
    j.driver->SetCapability(1, 10);
    EXPECT_EQ(j.driver->ClassifyObject(b), 1);
    b->m_check.checkDigit = BCD_MOD43;
    EXPECT_EQ(j.driver->ClassifyObject(b), 2);
}

// ---- names, layout, collection, settings -------------------------------------

TEST(DriverBase, GraphicNamesInBase36WithinTheLengthLimit)
{
    JobDoc j;
    auto nameOf = [&](int number) {
        j.driver->m_graphicNumbers.clear();
        for (int i = 1; i < number; ++i) j.driver->MakeGraphicName(100000 + i, 0);
        return j.driver->MakeGraphicName(7, 0);
    };
    EXPECT_EQ(nameOf(1), "GRAPHIC1");
    EXPECT_EQ(nameOf(40), "GRAPHI14");
    EXPECT_EQ(nameOf(2000), "GRAPH1JK");
    // The same key keeps its number; numbers run in order of first use.
    EXPECT_EQ(j.driver->MakeGraphicName(7, 0), "GRAPH1JK");
    j.driver->SetCapability(13, 2);
    EXPECT_EQ(j.driver->MakeGraphicName(7, 0), "JK");  // only the last characters fit
    j.driver->SetCapability(13, 16);
    j.doc.m_format.m_dwOptions |= LFO_DOWNLOAD_FORM;
    j.doc.m_format.SetProperty(LFP_FORM_NAME, "SHIP");
    EXPECT_EQ(j.driver->MakeGraphicName(7, 0), "SHIP1JK");  // stored forms name graphics after the form
}

TEST(DriverBase, MultiLineTextOneCommandPerLineStackedByTheRotation)
{
    JobDoc j;
    // Laid out in lines from the start: a single line would be measured
    // with its line breaks as characters.
    auto* t = new CDrawText(CRect(200, 300, 4000, 2500));
    t->m_strFontName = kPrinterFont;
    t->m_nLayout = TEXT_MULTI_LINE;
    j.doc.AddObject(t);
    t->AddVariable(j.Var(VK_FIXED, "ONE\nTWO\nTHREE"));
    ASSERT_TRUE(j.Print(1));
    const std::vector<std::string> texts = j.driver->Calls("text");
    ASSERT_EQ(texts.size(), 3u);
    CRect r;
    t->GetPrintRect(nullptr, nullptr, &r, FALSE);
    std::vector<CTextLine> lines;
    t->LayoutBox("ONE\nTWO\nTHREE", &lines);
    const int h = UnitsToDots(lines[0].m_nHeight, 203);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(texts[size_t(i)], StrFormat("text %d,%d %s", r.left, r.top + i * h, lines[size_t(i)].m_strText.c_str()));

    // Every rotation and alignment, two lines 40 wide and 10 high with 5 between.
    const CRect box(100, 200, 300, 400);
    const std::vector<CSize> sizes = {CSize(40, 10), CSize(40, 10)};
    struct Case {
        int rotation, align;
        CRect second;
    };
    for (const Case& c : std::vector<Case>{{0, TEXT_ALIGN_LEFT, CRect(100, 215, 140, 225)},
                                           {0, TEXT_ALIGN_RIGHT, CRect(260, 215, 300, 225)},
                                           {0, TEXT_ALIGN_CENTER, CRect(180, 215, 220, 225)},
                                           {1, TEXT_ALIGN_LEFT, CRect(115, 360, 125, 400)},
                                           {1, TEXT_ALIGN_RIGHT, CRect(115, 200, 125, 240)},
                                           {2, TEXT_ALIGN_LEFT, CRect(260, 375, 300, 385)},
                                           {2, TEXT_ALIGN_RIGHT, CRect(100, 375, 140, 385)},
                                           {3, TEXT_ALIGN_LEFT, CRect(275, 200, 285, 240)},
                                           {3, TEXT_ALIGN_CENTER, CRect(275, 280, 285, 320)}}) {
        const std::vector<CRect> boxes = MultiLineBoxes(box, c.rotation, c.align, sizes, 5);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1], c.second) << "rotation " << c.rotation << " align " << c.align;
    }
}

TEST(DriverBase, ObjectsOutsideTheLabelAskOnceAndGroupsAreFlattened)
{
    for (const int answer : {ID_NO, ID_YES}) {
        JobDoc j;
        j.Box(CRect(100, 100, 900, 900));
        j.Box(CRect(4000, 100, 6000, 900));  // beyond the 5000 wide label
        j.Box(CRect(-50, 100, 500, 900));
        auto* group = new CDrawGroup;
        group->AddChild(new CDrawRect(CRect(1000, 1000, 1500, 1500)));
        group->AddChild(new CDrawRect(CRect(1600, 1000, 1900, 1500)));
        group->UnionChildren();
        j.doc.AddObject(group);
        auto* hidden = j.Box(CRect(200, 200, 300, 300));
        hidden->m_dwFlags |= OF_NOPRINT;
        kvtest::CaptureMessages messages;
        messages.answers = {answer};
        j.doc.m_format.m_nQuantity = 1;
        const BOOL begun = j.driver->BeginJob(TRUE);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, kObjectOutsideLabelQuestion);
        if (answer == ID_NO) {
            EXPECT_FALSE(begun);
            continue;
        }
        ASSERT_TRUE(begun);
        EXPECT_EQ(j.driver->JobObjects().size(), 3u);  // the inside box and the group's two boxes
        j.driver->EndPrint(TRUE);
    }
}

TEST(DriverBase, JobTurnsTheDesignToTheStockAndBack)
{
    JobDoc j;
    j.doc.m_format.SetOrientation(1);
    CDrawRect* box = j.Box(CRect(100, 200, 1100, 700));  // in the turned label
    const CRect designed = box->m_position;
    j.doc.m_format.m_nQuantity = 1;
    ASSERT_TRUE(j.driver->BeginJob(TRUE));
    EXPECT_NE(box->m_position, designed);
    j.driver->EndPrint(TRUE);
    EXPECT_EQ(box->m_position, designed);
}

TEST(DriverBase, SettingsBlockFromTheLabelOnlyForOwnPorts)
{
    JobDoc j;
    SettingsBlock block{};
    block[0] = 5;
    block[43] = -7;
    j.doc.m_format.SetProperty(LFP_PRINTER_SETTINGS, EncodeSettingsBlock(block));
    EXPECT_EQ(j.driver->LoadPrinterSettings(TRUE), 1);
    EXPECT_EQ(j.driver->Settings(), block);
    EXPECT_EQ(j.driver->LoadPrinterSettings(FALSE), 0);
    EXPECT_EQ(j.driver->Settings(), SettingsBlock{});
    EXPECT_EQ(DecodeSettingsBlock("1,x,3")[1], 0);
    EXPECT_EQ(DecodeSettingsBlock("1,x,3")[2], 3);
}

// ---- image files -------------------------------------------------------------

TEST(DriverBase, PcxFileRunsEachRowAndEscapesHighBytes)
{
    JobDoc j;
    CMonoBitmap white(9, 2);
    const std::vector<std::uint8_t> pcx = j.driver->GetImageFileData(white, IMAGE_PCX);
    ASSERT_EQ(pcx.size(), 128u + 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(pcx.begin(), pcx.begin() + 4), (std::vector<std::uint8_t>{10, 5, 1, 1}));
    EXPECT_EQ(pcx[8] | pcx[9] << 8, 8);     // x-max
    EXPECT_EQ(pcx[10] | pcx[11] << 8, 1);   // y-max
    EXPECT_EQ(pcx[12] | pcx[13] << 8, 72);
    EXPECT_EQ(pcx[65], 1);
    EXPECT_EQ(pcx[66] | pcx[67] << 8, 2);  // bytes per row: the stride
    EXPECT_EQ(pcx[68], 1);
    EXPECT_EQ(std::vector<std::uint8_t>(pcx.begin() + 16, pcx.begin() + 22),
              (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255}));
    // One run pair per row: the padding bits became white.
    EXPECT_EQ(std::vector<std::uint8_t>(pcx.begin() + 128, pcx.end()), (std::vector<std::uint8_t>{0xC2, 0xFF, 0xC2, 0xFF}));

    // Row 0xC3 0x12 0x12 0x12 (pixels): a single byte of 0xC0 or more is
    // escaped, a run of three is a run.
    CMonoBitmap mixed(32, 1);
    const std::uint8_t row[4] = {0xC3, 0x12, 0x12, 0x12};
    std::copy(row, row + 4, mixed.Row(0));
    const std::vector<std::uint8_t> out = j.driver->GetImageFileData(mixed, IMAGE_PCX);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 128, out.end()), (std::vector<std::uint8_t>{0xC1, 0xC3, 0xC3, 0x12}));
    EXPECT_TRUE(j.driver->GetImageFileData(mixed, 2).empty());
    EXPECT_TRUE(j.driver->GetImageFileData(CMonoBitmap(), IMAGE_PCX).empty());
}

TEST(DriverBase, BmpFileIsBottomUpWithBlackThenWhite)
{
    JobDoc j;
    CMonoBitmap bits(20, 3);
    bits.SetPixel(0, 0, true);   // top-left black
    bits.SetPixel(19, 2, true);  // bottom-right black
    const std::vector<std::uint8_t> bmp = j.driver->GetImageFileData(bits, IMAGE_BMP);
    auto u32 = [&](size_t at) { return bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24; };
    ASSERT_EQ(bmp.size(), 62u + 3u * 4u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32(2), int(bmp.size()));
    EXPECT_EQ(u32(10), 62);
    EXPECT_EQ(u32(18), 20);
    EXPECT_EQ(u32(22), 3);
    EXPECT_EQ(bmp[28], 1);
    EXPECT_EQ(u32(38), 7991);  // 203 dots per inch
    EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 54, bmp.begin() + 62),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
    // The first row stored is the bottom one: its last pixel (19) is black.
    EXPECT_EQ(bmp[62 + 2] & 0x10, 0);
    EXPECT_EQ(bmp[62] & 0x80, 0x80);
    // The last row stored is the top one: its first pixel is black.
    EXPECT_EQ(bmp[62 + 8] & 0x80, 0);
}

// ---- the drivers the language table makes -----------------------------------

TEST(DriverBase, LanguagesWithoutADriverRefuseInsteadOfPrintingGraphics)
{
    // A command language of the table that has no driver class yet.
    const PrinterLanguageRow* unbuilt = nullptr;
    for (const PrinterLanguageRow& row : PrinterLanguageRows())
        if (row.commands && !row.make) unbuilt = &row;
    if (!unbuilt) GTEST_SKIP() << "every command language has its driver";
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.m_format.m_nLanguage = unbuilt->code;
    doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "");
    doc.OnPrinterChanged();
    auto* unsupported = dynamic_cast<CUnsupportedLanguageDriver*>(doc.m_driver.get());
    ASSERT_NE(unsupported, nullptr);
    EXPECT_FALSE(unsupported->PrintJob("any", TRUE));
    EXPECT_EQ(unsupported->LastError(), StrFormat("The printer language %s is not supported yet", unbuilt->title));

    doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "Y");
    doc.OnPrinterChanged();
    auto* graphics = dynamic_cast<CGraphicsDriver*>(doc.m_driver.get());
    ASSERT_NE(graphics, nullptr);
    EXPECT_EQ(graphics->PrintJob("any", FALSE), 0);
    doc.m_format.m_nHDpi = 300;
    EXPECT_EQ(graphics->GetCapability(1, BS_CODE128), 30);
    EXPECT_EQ(graphics->GetCapability(4, 0), 1);
    EXPECT_EQ(graphics->GetCapability(2, BS_QRCODE), 0);
}

// A script that records its events among the driver's calls; its job start
// asks for a length of its own, as a label script setting V_TOTALLABELS does.
class RecordingScript : public IJobScript {
public:
    RecordingScript(std::vector<std::string>& calls, int labels) : m_calls(calls), m_labels(labels) {}
    bool BeginJob(CKVDoc&, int startNo, bool printing, int& labels) override
    {
        m_calls.push_back(StrFormat("script begin start=%d printing=%d labels=%d", startNo, int(printing), labels));
        labels = m_labels;
        return true;
    }
    void BeginLabel(int page, int row, int column, int copies, const CLabelPos& pos) override
    {
        m_calls.push_back(StrFormat("script label %s page=%d row=%d column=%d copies=%d",
                                    CRecordingDriver::Pos(pos).c_str(), page, row, column, copies));
    }
    void EndLabel() override { m_calls.push_back("script end label"); }
    void EndJob() override { m_calls.push_back("script end"); }

private:
    std::vector<std::string>& m_calls;
    int m_labels;
};

TEST(DriverBase, ScriptEventsComeInTheJobsOrderAndTheScriptSetsTheLength)
{
    // Two across, one copy each of three labels the script asks for instead
    // of the label's one: each label's events wrap that label's fields.
    JobDoc j(2);
    j.Text(kPrinterFont, j.Var(VK_SCRIPT, ""));
    j.Text(kPrinterFont, j.Var(VK_SERIAL, "1"), CRect(100, 600, 2000, 1000));
    RecordingScript script(j.driver->calls, 3);
    j.driver->SetScript(&script);
    ASSERT_TRUE(j.Print(1, 2));
    // The script's values change with every label, so the run of three is
    // made label by label, not as one format the printer repeats with the
    // first label's value.
    EXPECT_EQ(j.driver->calls.front(), "script begin start=1 printing=1 labels=1");
    EXPECT_EQ(j.driver->calls.back(), "script end");
    std::vector<std::string> labels;
    int open = 0;
    for (const std::string& c : j.driver->calls) {
        if (StartsWith(c, "script label")) {
            EXPECT_EQ(open++, 0) << "a label began inside another";
            labels.push_back(c.substr(13));
        } else if (c == "script end label") {
            EXPECT_EQ(--open, 0) << "a label ended that had not begun";
        } else if (StartsWith(c, "text")) {
            EXPECT_EQ(open, 1) << c << " printed outside its label's events";
        }
    }
    // A label's events also wrap the download of its graphics, so a label
    // may be announced twice; every one of the six is announced.
    std::sort(labels.begin(), labels.end());
    labels.erase(std::unique(labels.begin(), labels.end()), labels.end());
    EXPECT_EQ(labels, (std::vector<std::string>{"0/0.0 page=1 row=1 column=1 copies=2",
                                                "1/0.1 page=1 row=1 column=2 copies=2",
                                                "2/1.0 page=1 row=1 column=1 copies=2",
                                                "3/1.1 page=1 row=1 column=2 copies=2",
                                                "4/2.0 page=1 row=1 column=1 copies=2",
                                                "5/2.1 page=1 row=1 column=2 copies=2"}));
    EXPECT_EQ(j.driver->Calls("text").size(), 6u);
}

}  // namespace
