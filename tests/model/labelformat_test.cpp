#include <gtest/gtest.h>

#include "drivers/printer_list.h"
#include "model/labelformat.h"
#include "platform/devmode.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Store(CLabelFormat& f)
{
    Bytes out;
    CArchive ar(&out);
    f.Serialize(ar);
    return out;
}

void Load(CLabelFormat& f, const Bytes& b)
{
    CArchive ar(b.data(), b.size());
    f.Serialize(ar);
    EXPECT_EQ(ar.Remaining(), 0u);
}

// ---- label cells --------------------------------------------------------------

struct CellCase {
    const char* what;
    int rows, columns, order, corner;
    int blocks, first, blockRows, blockCols;  // blocks sub-record
    int n;
    int column, row;
};

TEST(LabelFormatLayout, LabelCells)
{
    const CellCase cases[] = {
        // No blocks: across a row first, or down a column first.
        {"across", 4, 2, 0, 0, 0, 1, 1, 1, 0, 0, 0},
        {"across", 4, 2, 0, 0, 0, 1, 1, 1, 1, 1, 0},
        {"across", 4, 2, 0, 0, 0, 1, 1, 1, 2, 0, 1},
        {"across", 4, 2, 0, 0, 0, 1, 1, 1, 7, 1, 3},
        {"down", 4, 2, 1, 0, 0, 1, 1, 1, 1, 0, 1},
        {"down", 4, 2, 1, 0, 0, 1, 1, 1, 3, 0, 3},
        {"down", 4, 2, 1, 0, 0, 1, 1, 1, 4, 1, 0},
        // Start corners mirror the cell.
        {"corner 1", 4, 2, 0, 1, 0, 1, 1, 1, 0, 1, 0},
        {"corner 2", 4, 2, 0, 2, 0, 1, 1, 1, 0, 1, 3},
        {"corner 3", 4, 2, 0, 3, 0, 1, 1, 1, 0, 0, 3},
        {"corner 2 down", 4, 2, 1, 2, 0, 1, 1, 1, 1, 1, 2},
        {"corner 3 across", 4, 2, 0, 3, 0, 1, 1, 1, 3, 1, 2},
        // Blocks without "block first" keep the plain order.
        {"blocks not first", 4, 4, 0, 0, 1, 0, 2, 2, 2, 2, 0},
        // Blocks of 2 x 2 on 4 x 4, across: each block fills across, then down.
        {"blocks across", 4, 4, 0, 0, 1, 1, 2, 2, 0, 0, 0},
        {"blocks across", 4, 4, 0, 0, 1, 1, 2, 2, 1, 1, 0},
        {"blocks across", 4, 4, 0, 0, 1, 1, 2, 2, 2, 0, 1},
        {"blocks across", 4, 4, 0, 0, 1, 1, 2, 2, 3, 1, 1},
        {"blocks across", 4, 4, 0, 0, 1, 1, 2, 2, 4, 2, 0},
        {"blocks across", 4, 4, 0, 0, 1, 1, 2, 2, 7, 3, 1},
        {"blocks across", 4, 4, 0, 0, 1, 1, 2, 2, 8, 0, 2},
        {"blocks across", 4, 4, 0, 0, 1, 1, 2, 2, 15, 3, 3},
        // The same, down: each block fills down, then across; blocks follow down.
        {"blocks down", 4, 4, 1, 0, 1, 1, 2, 2, 1, 0, 1},
        {"blocks down", 4, 4, 1, 0, 1, 1, 2, 2, 2, 1, 0},
        {"blocks down", 4, 4, 1, 0, 1, 1, 2, 2, 4, 0, 2},
        {"blocks down", 4, 4, 1, 0, 1, 1, 2, 2, 7, 1, 3},
        {"blocks down", 4, 4, 1, 0, 1, 1, 2, 2, 8, 2, 0},
        // Uneven last blocks: 5 rows x 3 columns in 2 x 2 blocks, across.
        {"uneven across", 5, 3, 0, 0, 1, 1, 2, 2, 3, 1, 1},
        {"uneven across", 5, 3, 0, 0, 1, 1, 2, 2, 4, 2, 0},
        {"uneven across", 5, 3, 0, 0, 1, 1, 2, 2, 5, 2, 1},
        {"uneven across", 5, 3, 0, 0, 1, 1, 2, 2, 6, 0, 2},
        {"uneven across", 5, 3, 0, 0, 1, 1, 2, 2, 12, 0, 4},
        {"uneven across", 5, 3, 0, 0, 1, 1, 2, 2, 13, 1, 4},
        {"uneven across", 5, 3, 0, 0, 1, 1, 2, 2, 14, 2, 4},
        // 3 rows x 5 columns in 2 x 2 blocks, down.
        {"uneven down", 3, 5, 1, 0, 1, 1, 2, 2, 3, 1, 1},
        {"uneven down", 3, 5, 1, 0, 1, 1, 2, 2, 4, 0, 2},
        {"uneven down", 3, 5, 1, 0, 1, 1, 2, 2, 5, 1, 2},
        {"uneven down", 3, 5, 1, 0, 1, 1, 2, 2, 6, 2, 0},
        {"uneven down", 3, 5, 1, 0, 1, 1, 2, 2, 12, 4, 0},
        {"uneven down", 3, 5, 1, 0, 1, 1, 2, 2, 13, 4, 1},
        {"uneven down", 3, 5, 1, 0, 1, 1, 2, 2, 14, 4, 2},
        // Blocks larger than the page hold the whole page.
        {"big blocks", 3, 2, 0, 0, 1, 1, 9, 9, 3, 1, 1},
        {"big blocks", 3, 2, 1, 0, 1, 1, 9, 9, 3, 1, 0},
        // Blocks and a start corner.
        {"blocks corner 2", 4, 4, 0, 2, 1, 1, 2, 2, 1, 2, 3},
        // Indexes outside the page are clamped into it.
        {"negative", 4, 2, 0, 0, 0, 1, 1, 1, -5, 0, 0},
        {"too large", 4, 2, 0, 0, 0, 1, 1, 1, 100, 1, 3},
        {"too large down", 4, 2, 1, 0, 0, 1, 1, 1, 8, 1, 3},
        {"too large corner 2", 4, 2, 0, 2, 0, 1, 1, 1, 100, 0, 0},
        {"too large blocks", 5, 3, 0, 0, 1, 1, 2, 2, 1000, 2, 4},
        // Counts of 0 (damaged files) do not divide by zero.
        {"zero blocks", 4, 4, 0, 0, 1, 1, 0, 0, 5, 1, 1},
        {"zero rows", 0, 0, 0, 0, 0, 1, 1, 1, 3, 0, 0},
    };
    for (const auto& c : cases) {
        CLabelFormat f;
        f.m_nRows = c.rows;
        f.m_nColumns = c.columns;
        f.m_nOrder = c.order;
        f.m_nStartCorner = c.corner;
        f.m_blocks.enabled = c.blocks;
        f.m_blocks.first = c.first;
        f.m_blocks.rows = c.blockRows;
        f.m_blocks.columns = c.blockCols;
        EXPECT_EQ(f.GetLabelCell(c.n), CPoint(c.column, c.row)) << c.what << " n=" << c.n;
    }
}

TEST(LabelFormatLayout, EveryCellIsUsedOnceWithBlocks)
{
    for (int order = 0; order < 2; ++order) {
        for (int corner = 0; corner < 4; ++corner) {
            CLabelFormat f;
            f.m_nRows = 7;
            f.m_nColumns = 5;
            f.m_nOrder = order;
            f.m_nStartCorner = corner;
            f.m_blocks.enabled = 1;
            f.m_blocks.rows = 3;
            f.m_blocks.columns = 2;
            std::vector<int> seen(35, 0);
            for (int n = 0; n < 35; ++n) {
                const CPoint p = f.GetLabelCell(n);
                ASSERT_TRUE(p.x >= 0 && p.x < 5 && p.y >= 0 && p.y < 7) << order << corner << " n=" << n;
                ++seen[size_t(p.y * 5 + p.x)];
            }
            EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 35) << "order " << order << " corner " << corner;
        }
    }
}

TEST(LabelFormatLayout, OriginsAndPageSize)
{
    CLabelFormat f;  // 2 x 4 labels of 100 x 70 mm, gaps 2 mm, margins 4 / 5.5 mm
    f.m_nHAdjust = 30;
    f.m_nVAdjust = -20;
    EXPECT_EQ(f.GetLabelOrigin(0), CPoint(430, 530));
    EXPECT_EQ(f.GetLabelOrigin(3), CPoint(10200 + 430, 7200 + 530));
    // Dots: units x dpi x 10 / 25402 rounded, less the printable-area offsets.
    EXPECT_EQ(f.GetLabelOriginDots(3, 300, 600, 20, 30), CPoint(1255 - 20, 1826 - 30));
    EXPECT_EQ(f.GetLabelOriginDots(0, 203, 203, 0, 0), CPoint(34, 42));
    EXPECT_EQ(f.GetPageSize(), CSize(21000, 29700));

    // Blocks of 2 x 2 on 4 x 4, printed through the Windows driver: the block
    // gaps (5 mm) replace the label gaps between blocks.
    f.m_nRows = 4;
    f.m_nColumns = 4;
    f.m_nHAdjust = f.m_nVAdjust = 0;
    f.m_blocks.enabled = 1;
    f.m_blocks.rows = f.m_blocks.columns = 2;
    const CSize plain(4 * 10000 + 3 * 200 + 800, 4 * 7000 + 3 * 200 + 1100);
    EXPECT_EQ(f.GetPageSize(), CSize(plain.cx + 300, plain.cy + 300));
    EXPECT_EQ(f.GetLabelOrigin(0), CPoint(400, 550));
    EXPECT_EQ(f.GetLabelOrigin(5), CPoint(400 + 3 * 10200 + 300, 550));       // column 3, row 0
    EXPECT_EQ(f.GetLabelOrigin(8), CPoint(400, 550 + 2 * 7200 + 300));         // column 0, row 2
    // The last label ends one margin before the page's edge.
    const CPoint last = f.GetLabelOrigin(15);
    EXPECT_EQ(last.x + f.m_nLabelWidth + f.m_nLeftMargin, f.GetPageSize().cx);
    EXPECT_EQ(last.y + f.m_nLabelHeight + f.m_nTopMargin, f.GetPageSize().cy);

    // In command language the page keeps the plain size.
    f.m_nLanguage = 1;
    EXPECT_EQ(f.GetPageSize(), plain);
    EXPECT_EQ(f.GetLabelOrigin(5), CPoint(400 + 3 * 10200, 550));
    f.SetProperty(LFP_WINDOWS_DRIVER, "Y");
    EXPECT_EQ(f.GetPageSize(), CSize(plain.cx + 300, plain.cy + 300));
}

TEST(LabelFormatLayout, OrientationProperty)
{
    CLabelFormat f;
    EXPECT_EQ(f.GetOrientation(), 0);
    f.SetOrientation(3);
    EXPECT_EQ(f.GetProperty(LFP_ORIENTATION), "3");
    EXPECT_EQ(f.GetOrientation(), 3);
    f.SetOrientation(5);
    EXPECT_EQ(f.GetOrientation(), 1);
    f.SetProperty(LFP_ORIENTATION, "-1");
    EXPECT_EQ(f.GetOrientation(), 3);
}

// ---- printing mode and comparison -------------------------------------------

TEST(LabelFormat, PrintingMode)
{
    struct Case {
        int language;
        const char* standard;
        DWORD options;
        BOOL windows, download;
    };
    const Case cases[] = {
        {0, "", LFO_DOWNLOAD_FORM, TRUE, FALSE},
        {1, "", 0, FALSE, FALSE},
        {1, "", LFO_DOWNLOAD_FORM, FALSE, TRUE},
        {1, "Y", LFO_DOWNLOAD_FORM, TRUE, FALSE},
        {3, "N", LFO_DOWNLOAD_FORM | LFO_PRINT_BOX, FALSE, TRUE},
    };
    for (const auto& c : cases) {
        CLabelFormat f;
        f.m_nLanguage = c.language;
        f.SetProperty(LFP_WINDOWS_DRIVER, c.standard);
        f.m_dwOptions = c.options;
        EXPECT_EQ(f.IsWindowsDriverMode(), c.windows) << c.language << c.standard;
        EXPECT_EQ(f.IsFormDownload(), c.download) << c.language << c.standard;
    }
}

TEST(LabelFormat, IsEqualComparesGeometryOptionsAndPrinter)
{
    const CLabelFormat base;
    EXPECT_TRUE(base.IsEqual(CLabelFormat(base)));
    const std::pair<const char*, void (*)(CLabelFormat&)> changes[] = {
        {"name", [](CLabelFormat& f) { f.m_strLabelName = "A4 labels"; }},
        {"paper", [](CLabelFormat& f) { f.m_nPaperHeight += 1; }},
        {"margin", [](CLabelFormat& f) { f.m_nTopMargin += 1; }},
        {"page orientation", [](CLabelFormat& f) { f.m_nPageOrientation = 2; }},
        {"columns", [](CLabelFormat& f) { f.m_nColumns = 3; }},
        {"gap", [](CLabelFormat& f) { f.m_nHGap = 0; }},
        {"label", [](CLabelFormat& f) { f.m_nLabelWidth = 5000; }},
        {"shape", [](CLabelFormat& f) { f.m_nLabelShape = 2; }},
        {"hole", [](CLabelFormat& f) { f.m_nHoleSize = 300; }},
        {"adjust", [](CLabelFormat& f) { f.m_nVAdjust = 10; }},
        {"corner", [](CLabelFormat& f) { f.m_nStartCorner = 1; }},
        {"order", [](CLabelFormat& f) { f.m_nOrder = 1; }},
        {"blocks", [](CLabelFormat& f) { f.m_blocks.hgap = 100; }},
        {"orientation", [](CLabelFormat& f) { f.SetOrientation(1); }},
        {"options", [](CLabelFormat& f) { f.m_dwOptions |= LFO_PRINT_BOX; }},
        {"copies", [](CLabelFormat& f) { f.m_nCopies = 2; }},
        {"printer", [](CLabelFormat& f) { f.m_strPrinter = "Zebra"; }},
        {"dpi", [](CLabelFormat& f) { f.m_nVDpi = 203; }},
        {"language", [](CLabelFormat& f) { f.m_nLanguage = 1; }},
        {"standard", [](CLabelFormat& f) {
             f.m_nLanguage = 1;
             f.SetProperty(LFP_WINDOWS_DRIVER, "Y");
         }},
        {"speed", [](CLabelFormat& f) { f.m_nSpeed = 40; }},
        {"darkness", [](CLabelFormat& f) { f.m_nDarkness = 20; }},
        {"after print", [](CLabelFormat& f) { f.m_nAfterPrintDistance = 100; }},
        {"settings", [](CLabelFormat& f) {
             const Bytes dm = MakeDevMode("P");
             f.SetDevMode(&dm);
         }},
    };
    for (const auto& [what, change] : changes) {
        CLabelFormat f(base);
        change(f);
        EXPECT_FALSE(base.IsEqual(f)) << what;
        EXPECT_FALSE(f.IsEqual(base)) << what;
    }
    // The stamps and the remark are not part of the comparison.
    CLabelFormat f(base);
    f.m_strSaved = "PC,user,2024-01-01 10:00:00";
    EXPECT_TRUE(base.IsEqual(f));
}

TEST(LabelFormat, PrinterSettingsBlock)
{
    CLabelFormat f;
    Bytes dm = MakeDevMode("Label Printer 1", 0x0701, 8);
    dm.resize(dm.size() + 5, 0xEE);  // trailing bytes beyond what the block claims
    f.SetDevMode(&dm);
    ASSERT_EQ(f.m_devMode.size(), devmode::kPublicSize + 8);
    EXPECT_TRUE(std::equal(f.m_devMode.begin(), f.m_devMode.end(), dm.begin()));
    f.SetDevMode(nullptr);
    EXPECT_TRUE(f.m_devMode.empty());

    CPrinterEntry printer;
    printer.m_strName = "Label Printer 1";
    printer.m_devMode = MakeDevMode("Label Printer 1", 0x0701, 8);
    EXPECT_FALSE(f.DevModeMatches(printer));  // nothing stored
    f.SetDevMode(&printer.m_devMode);
    EXPECT_TRUE(f.DevModeMatches(printer));
    // Public fields such as the orientation may differ.
    DevModeSetOrientation(f.m_devMode, devmode::kOrientLandscape);
    EXPECT_TRUE(f.DevModeMatches(printer));

    const std::pair<const char*, Bytes> others[] = {
        {"name", MakeDevMode("Label Printer 2", 0x0701, 8)},
        {"driver version", MakeDevMode("Label Printer 1", 0x0702, 8)},
        {"driver extra", MakeDevMode("Label Printer 1", 0x0701, 12)},
        {"spec version", MakeDevMode("Label Printer 1", 0x0701, 8, 0x400)},
        {"none", Bytes()},
    };
    for (const auto& [what, block] : others) {
        CPrinterEntry other = printer;
        other.m_devMode = block;
        EXPECT_FALSE(f.DevModeMatches(other)) << what;
    }
    CPrinterEntry bigger = printer;
    DevModeSetWord(bigger.m_devMode, devmode::kSize, 220);
    EXPECT_FALSE(f.DevModeMatches(bigger));
}

// ---- label paper definitions ------------------------------------------------

TEST(LabelPaper, RollLine)
{
    CLabelFormat f;
    ASSERT_TRUE(f.ApplyPaperDefinition("Roll=1,50,30,1,2,3,1,0,0,0,0,0"));
    EXPECT_EQ(f.m_strLabelName, "Roll");
    EXPECT_EQ(f.m_nPaperCode, 256);
    EXPECT_EQ(f.m_nLabelWidth, 5000);
    EXPECT_EQ(f.m_nLabelHeight, 3000);
    EXPECT_EQ(f.m_nColumns, 1);
    EXPECT_EQ(f.m_nRows, 1);
    EXPECT_EQ(f.m_nHGap, 200);
    EXPECT_EQ(f.m_nVGap, 300);
    EXPECT_EQ(f.m_nLabelShape, 1);
    EXPECT_EQ(f.m_nPaperWidth, 5000);
    EXPECT_EQ(f.m_nPaperHeight, 3000);
    EXPECT_EQ(f.m_nLeftMargin, 0);
    EXPECT_EQ(f.m_nTopMargin, 0);
    EXPECT_EQ(f.GetLabelsPerPage(), 1);

    // Three across with margins given (dropped) and no paper width: the
    // width is that of the labels and gaps; an explicit width is kept.
    ASSERT_TRUE(f.ApplyPaperDefinition("3 up=2,30.5,20,3,2.5,3,0,4,5,1,3,1"));
    EXPECT_EQ(f.m_nPaperWidth, 3 * 3050 + 2 * 250);
    EXPECT_EQ(f.m_nLeftMargin, 0);
    EXPECT_EQ(f.m_nTopMargin, 0);
    EXPECT_EQ(f.m_nHoleType, 1);
    EXPECT_EQ(f.m_nHoleSize, 300);
    EXPECT_EQ(f.GetOrientation(), 1);
    ASSERT_TRUE(f.ApplyPaperDefinition("3 up=2,30.5,20,3,2.5,3,0,4,5,1,3,1,110"));
    EXPECT_EQ(f.m_nPaperWidth, 11000);
}

TEST(LabelPaper, DefaultLastLabel)
{
    CLabelFormat f;
    f.m_blocks.enabled = 1;
    ASSERT_TRUE(f.ApplyPaperDefinition(kDefaultLastLabel));
    EXPECT_EQ(f.m_strLabelName, "User Define");
    EXPECT_EQ(f.m_nPaperCode, 256);
    EXPECT_EQ(CSize(f.m_nPaperWidth, f.m_nPaperHeight), CSize(10400, 7500));
    EXPECT_EQ(f.GetLabelSize(), CSize(10400, 7500));
    EXPECT_EQ(f.m_nColumns, 1);
    EXPECT_EQ(f.m_nRows, 1);
    EXPECT_EQ(f.m_nHGap, 0);
    EXPECT_EQ(f.m_nVGap, 300);
    EXPECT_EQ(f.m_nLeftMargin, 0);
    EXPECT_EQ(f.m_nTopMargin, 0);
    EXPECT_EQ(f.m_nLabelShape, 1);
    EXPECT_EQ(f.m_nPageOrientation, 1);
    EXPECT_EQ(f.m_blocks, CLabelFormat::Blocks());
    EXPECT_EQ(f.GetProperty(LFP_PAPER_EXTRA), kDefaultPaperExtra);
    EXPECT_EQ(f.GetOrientation(), 0);
    // A Windows-driver format makes the same record back, in "%.2f" form.
    EXPECT_EQ(f.MakePaperDefinition(),
              "User Define=0,256,104.00,75.00,104.00,75.00,1,1,0.00,3.00,0.00,0.00,1,0,0.00,0,0|1|1|1|500|500,"
              "0|0|0|0|0|600|0|600|0|600|0|600|0,0");
}

TEST(LabelPaper, SheetRoundTrip)
{
    CLabelFormat f;
    f.m_strLabelName = "Odd=sizes";
    f.m_nPaperCode = 9;
    f.m_nPaperWidth = 21001;
    f.m_nPaperHeight = 29699;
    f.m_nLabelWidth = 6329;   // values whose hundredths are not exact binary fractions
    f.m_nLabelHeight = 2857;
    f.m_nColumns = 3;
    f.m_nRows = 10;
    f.m_nHGap = 29;
    f.m_nVGap = 0;
    f.m_nLeftMargin = 57;
    f.m_nTopMargin = 1307;
    f.m_nLabelShape = 2;
    f.m_nHoleType = 1;
    f.m_nHoleSize = 415;
    f.m_nPageOrientation = 2;
    f.m_blocks = {1, 0, 5, 3, 700, 800};
    f.SetProperty(LFP_PAPER_EXTRA, "1|2|3|4|5|6|7|8|9|10|11|12|13");
    f.SetOrientation(3);
    f.SetProperty(LFP_TEMPLATES, "4,0,0,100,100|5,10,10,200,50");

    const std::string line = f.MakePaperDefinition();
    EXPECT_EQ(line.substr(0, line.find(',')), "Odd=sizes=0");
    EXPECT_NE(line.find("\n4,0,0,100,100|5,10,10,200,50"), std::string::npos);

    CLabelFormat g;
    ASSERT_TRUE(g.ApplyPaperDefinition(line));
    EXPECT_EQ(g.MakePaperDefinition(), line);
    EXPECT_EQ(g.m_strLabelName, f.m_strLabelName);
    EXPECT_EQ(g.m_nLabelWidth, 6329);
    EXPECT_EQ(g.m_nHGap, 29);
    EXPECT_EQ(g.m_nLeftMargin, 57);
    EXPECT_EQ(g.m_nPageOrientation, 2);
    EXPECT_EQ(g.m_blocks, f.m_blocks);
    EXPECT_EQ(g.GetProperty(LFP_TEMPLATES), f.GetProperty(LFP_TEMPLATES));
    EXPECT_EQ(g.GetProperty(LFP_PAPER_EXTRA), f.GetProperty(LFP_PAPER_EXTRA));
    EXPECT_EQ(g.GetOrientation(), 3);

    // A command-language format writes the roll layout; it reads back.
    f.m_nLanguage = 1;
    const std::string roll = f.MakePaperDefinition();
    EXPECT_EQ(roll.substr(0, roll.find('\n')), "Odd=sizes=1,63.29,28.57,3,0.29,0.00,2,0.57,13.07,1,4.15,3,210.01");
    CLabelFormat r;
    ASSERT_TRUE(r.ApplyPaperDefinition(roll));
    EXPECT_EQ(r.m_nPaperWidth, 21001);
    EXPECT_EQ(r.m_nPaperHeight, 2857);
    EXPECT_EQ(r.m_nRows, 1);
    EXPECT_EQ(r.GetProperty(LFP_TEMPLATES), f.GetProperty(LFP_TEMPLATES));
}

TEST(LabelPaper, MillimetresTruncateAndMissingValuesReadAsZero)
{
    CLabelFormat f;
    ASSERT_TRUE(f.ApplyPaperDefinition("Short=0,9,210,297,50.999,30.456,2,4,0,0,-1.239"));
    EXPECT_EQ(f.m_nLabelWidth, 5099);
    EXPECT_EQ(f.m_nLabelHeight, 3045);
    EXPECT_EQ(f.m_nHGap, 0);
    EXPECT_EQ(f.m_nLeftMargin, -123);
    EXPECT_EQ(f.m_nTopMargin, 0);
    EXPECT_EQ(f.m_nPageOrientation, 1);
    EXPECT_EQ(f.m_blocks, (CLabelFormat::Blocks{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.GetProperty(LFP_PAPER_EXTRA), "0|0|0|0|0|0|0|0|0|0|0|0|0");
    EXPECT_EQ(f.GetProperty(LFP_TEMPLATES), "");
}

TEST(LabelPaper, UnusableDefinitionsLeaveTheFormat)
{
    for (const char* bad : {"", "no equals sign", "Empty=", "Zero=0,9,210,297,0,30,1,1", "NoRows=0,9,210,297,50,30,1,0",
                            "Roll=1,50,30,0"}) {
        CLabelFormat f;
        f.SetProperty(LFP_TEMPLATES, "4,0,0,1,1");
        EXPECT_FALSE(f.ApplyPaperDefinition(bad)) << bad;
        EXPECT_TRUE(f.IsEqual(CLabelFormat())) << bad;
        EXPECT_EQ(f.GetProperty(LFP_TEMPLATES), "4,0,0,1,1") << bad;
    }
}

// ---- stored form --------------------------------------------------------------

// A format with a distinct value in every stored field.
CLabelFormat DistinctFormat()
{
    CLabelFormat f;
    f.m_strReserved2 = "r2";
    f.m_strCreated = "PC,ann,2024-05-01 08:00:00";
    f.m_strSaved = "PC,bob,2024-05-02 09:30:00";
    f.m_strThird = "third";
    f.m_strRemark = "YCheck the ribbon";
    f.m_strLabelName = "Shipping";
    int v = 100;
    for (auto& x : f.m_nReserved8) x = ++v;
    for (std::int32_t* x : {&f.m_nPaperCode, &f.m_nPaperWidth, &f.m_nPaperHeight, &f.m_nLeftMargin, &f.m_nTopMargin})
        *x = ++v;
    for (auto& x : f.m_nReserved12) x = ++v;
    for (std::int32_t* x :
         {&f.m_nPageOrientation, &f.m_nRows, &f.m_nColumns, &f.m_nVGap, &f.m_nHGap, &f.m_nLabelWidth,
          &f.m_nLabelHeight, &f.m_nMediaType, &f.m_nLabelShape, &f.m_nHoleType, &f.m_nHoleSize, &f.m_nHAdjust,
          &f.m_nVAdjust, &f.m_nStartCorner, &f.m_nOrder, &f.m_nReserved23, &f.m_nDbKind})
        *x = ++v;
    for (int i = 0; i < 5; ++i) f.m_strDb[i] = "db" + std::to_string(i);
    f.m_strDbConnect = "DSN=labels;UID=x";
    for (std::int32_t* x : {&f.m_nQuantity, &f.m_nReserved28, &f.m_nCopies, &f.m_nStartRecord}) *x = ++v;
    f.m_strReserved31 = "r31";
    f.m_strPrinter = "Zebra ZT410";
    f.m_strReserved33 = "r33";
    for (std::int32_t* x : {&f.m_nHDpi, &f.m_nVDpi, &f.m_nLanguage, &f.m_nSpeed, &f.m_nDarkness, &f.m_nStartOffset,
                            &f.m_nAfterPrintAction, &f.m_nReserved40})
        *x = ++v;
    f.m_dwOptions = 0x10000026;
    f.m_nAfterPrintDistance = ++v;
    const Bytes dm = MakeDevMode("Zebra ZT410", 0x0701, 6);
    f.SetDevMode(&dm);
    f.m_crLabel = 0x00C0FFEE;
    for (auto& x : f.m_nReserved45) x = ++v;
    f.m_nNextID = 42;
    f.m_blocks = {1, 0, 2, 3, 600, 700};
    f.m_exclusion = {1, {3, 7, 12}};
    f.m_pageNumbering = {1, 1, 100, 200, 1, 1200, 3, 5, "Arial", "Page &P, printed &D"};
    f.m_strDbFile1 = "C:\\data\\a.txt";
    f.m_strDbFile2 = "Sheet1";
    f.SetProperty(LFP_SCRIPT, "Function OnBeginLabel()\r\nEnd Function");
    f.SetProperty(LFP_PASSWORD, "0123456789ABCDEF0123456789ABCDEF");
    f.SetProperty(9999, "unknown=key, kept");
    f.SetProperty(LFP_SIGNATURE, "Korvane Document\r");
    f.SetOrientation(2);
    return f;
}

// The stored form spelled out field by field.
class Expect {
public:
    Bytes bytes;
    void Int(std::int32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes.push_back(std::uint8_t(std::uint32_t(v) >> (8 * i)));
    }
    void Str(const std::string& s)
    {
        ASSERT_LT(s.size(), 255u);
        bytes.push_back(std::uint8_t(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
};

TEST(LabelFormatFile, FieldsAreStoredInFileOrder)
{
    CLabelFormat f = DistinctFormat();
    const Bytes stored = Store(f);

    Expect e;
    e.Int(0x01000001);
    e.Str(f.m_strReserved2);
    e.Str(EncodeText(f.m_strCreated));
    e.Str(EncodeText(f.m_strSaved));
    e.Str(EncodeText(f.m_strThird));
    e.Str(f.m_strRemark);
    e.Str(f.m_strLabelName);
    for (int x : f.m_nReserved8) e.Int(x);
    for (int x : {f.m_nPaperCode, f.m_nPaperWidth, f.m_nPaperHeight, f.m_nLeftMargin, f.m_nTopMargin}) e.Int(x);
    for (int x : f.m_nReserved12) e.Int(x);
    for (int x : {f.m_nPageOrientation, f.m_nRows, f.m_nColumns, f.m_nVGap, f.m_nHGap, f.m_nLabelWidth,
                  f.m_nLabelHeight, f.m_nMediaType, f.m_nLabelShape, f.m_nHoleType, f.m_nHoleSize, f.m_nHAdjust,
                  f.m_nVAdjust, f.m_nStartCorner, f.m_nOrder, f.m_nReserved23, f.m_nDbKind})
        e.Int(x);
    for (const auto& s : f.m_strDb) e.Str(s);
    e.Str(EncodeText(f.m_strDbConnect));
    for (int x : {f.m_nQuantity, f.m_nReserved28, f.m_nCopies, f.m_nStartRecord}) e.Int(x);
    e.Str(f.m_strReserved31);
    e.Str(f.m_strPrinter);
    e.Str(f.m_strReserved33);
    for (int x : {f.m_nHDpi, f.m_nVDpi, f.m_nLanguage, f.m_nSpeed, f.m_nDarkness, f.m_nStartOffset,
                  f.m_nAfterPrintAction, f.m_nReserved40})
        e.Int(x);
    e.Int(std::int32_t(f.m_dwOptions));
    e.Int(f.m_nAfterPrintDistance);
    e.Int(int(devmode::kPublicSize + 6));
    e.bytes.insert(e.bytes.end(), f.m_devMode.begin(), f.m_devMode.end());
    e.Int(std::int32_t(f.m_crLabel));
    for (int x : f.m_nReserved45) e.Int(x);
    e.Int(f.m_nNextID);

    ASSERT_GT(stored.size(), e.bytes.size());
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + std::ptrdiff_t(e.bytes.size())), e.bytes);

    // The property table follows, with the sub-records put into it.
    CArchive in(stored.data() + e.bytes.size(), stored.size() - e.bytes.size());
    CPropertyTable table;
    table.Serialize(in);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(table.Get(LFP_BLOCKS), "1|0|2|3|600|700");
    EXPECT_EQ(table.Get(LFP_EXCLUSION), "1|3,7,12");
    EXPECT_EQ(table.Get(LFP_PAGE_NUMBERING), "1,1,100,200,1,1200,3,5,Arial,Page &P, printed &D");
    EXPECT_EQ(table.Get(LFP_DB_FILE1), "C:\\data\\a.txt");
    EXPECT_EQ(table.Get(LFP_DB_FILE2), "Sheet1");
    EXPECT_EQ(table.Get(9999), "unknown=key, kept");
    EXPECT_EQ(table.Get(LFP_ORIENTATION), "2");
}

TEST(LabelFormatFile, ReloadKeepsEveryFieldAndSavesBackTheSameBytes)
{
    CLabelFormat f = DistinctFormat();
    const Bytes stored = Store(f);

    CLabelFormat g;
    g.m_nRepeat = 9;  // in memory only: not touched by loading
    Load(g, stored);
    EXPECT_EQ(g.m_nRepeat, 9);
    g.m_nRepeat = f.m_nRepeat;
    // Every stored field: the fixed ones through their own bytes, the rest here.
    EXPECT_EQ(Store(g), stored);
    EXPECT_EQ(g.m_strCreated, f.m_strCreated);
    EXPECT_EQ(g.m_strDbConnect, f.m_strDbConnect);
    EXPECT_EQ(g.m_devMode, f.m_devMode);
    EXPECT_EQ(g.m_blocks, f.m_blocks);
    EXPECT_EQ(g.m_exclusion, f.m_exclusion);
    EXPECT_EQ(g.m_pageNumbering, f.m_pageNumbering);
    EXPECT_EQ(g.m_strDbFile1, f.m_strDbFile1);
    EXPECT_EQ(g.m_strDbFile2, f.m_strDbFile2);
    EXPECT_EQ(g.m_nNextID, 42);
    EXPECT_EQ(g.m_properties.Entries(), f.m_properties.Entries());
    EXPECT_TRUE(g.IsEqual(f));

    // A fresh format saves back unchanged too.
    CLabelFormat fresh;
    const Bytes plain = Store(fresh);
    CLabelFormat h;
    Load(h, plain);
    EXPECT_EQ(Store(h), plain);
    EXPECT_TRUE(h.m_devMode.empty());
    EXPECT_EQ(h.GetProperty(LFP_SCRIPT), kDefaultLabelScript);
}

TEST(LabelFormatFile, MissingSubRecordsLoadAsDefaults)
{
    // An older file: the fixed fields, then a table without most sub-records.
    CLabelFormat f;
    const Bytes stored = Store(f);
    Bytes table;
    {
        CArchive ar(&table);
        f.m_properties.Serialize(ar);
    }
    Bytes old(stored.begin(), stored.end() - std::ptrdiff_t(table.size()));
    {
        CPropertyTable only;
        only.Set(LFP_BLOCKS, "1|1|2");  // a short record: the rest reads as 0
        CArchive ar(&old);
        only.Serialize(ar);
    }
    CLabelFormat g;
    g.m_exclusion = {1, {4}};
    g.m_pageNumbering.print = 1;
    Load(g, old);
    EXPECT_EQ(g.m_blocks, (CLabelFormat::Blocks{1, 1, 2, 0, 0, 0}));
    EXPECT_EQ(g.m_exclusion, CLabelFormat::Exclusion());
    EXPECT_EQ(g.m_pageNumbering, CLabelFormat::PageNumbering());
    EXPECT_EQ(g.GetProperty(LFP_SCRIPT), "");
}

TEST(LabelFormatFile, NewerMajorVersionIsRefused)
{
    CLabelFormat f;
    Bytes stored = Store(f);
    for (const std::uint32_t version : {0x02000001u, 0x05000000u, 0xFF000001u}) {
        for (int i = 0; i < 4; ++i) stored[size_t(i)] = std::uint8_t(version >> (8 * i));
        CLabelFormat g;
        CArchive in(stored.data(), stored.size());
        try {
            g.Serialize(in);
            ADD_FAILURE() << std::hex << version << " was accepted";
        } catch (const CNewerFormatException& e) {
            EXPECT_EQ(std::uint32_t(e.m_nMajor), version >> 24);
        }
    }
    // Minor versions of the same major version load.
    for (int i = 0; i < 4; ++i) stored[size_t(i)] = std::uint8_t(0x01000007u >> (8 * i));
    CLabelFormat g;
    Load(g, stored);
    EXPECT_EQ(g.m_nVersion, 0x01000007);
}

TEST(LabelFormatFile, TruncatedFormatsAreEndOfFile)
{
    CLabelFormat f = DistinctFormat();
    const Bytes stored = Store(f);
    for (size_t n = 0; n < stored.size(); ++n) {
        CLabelFormat g;
        CArchive in(stored.data(), n);
        try {
            g.Serialize(in);
            ADD_FAILURE() << "prefix of " << n << " bytes loaded";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << n;
        }
    }
}

TEST(LabelFormatFile, HugeSettingsLengthIsEndOfFile)
{
    CLabelFormat f;
    Bytes stored = Store(f);
    // Find the settings length (0 for a fresh format) by storing a known block.
    const Bytes dm = MakeDevMode("X");
    CLabelFormat w;
    w.SetDevMode(&dm);
    const Bytes withDm = Store(w);
    size_t at = 0;
    while (at < stored.size() && stored[at] == withDm[at]) ++at;
    ASSERT_LT(at + 4, stored.size());
    stored[at] = 0xFF;
    stored[at + 1] = 0xFF;
    stored[at + 2] = 0xFF;
    stored[at + 3] = 0x7F;
    CLabelFormat g;
    CArchive in(stored.data(), stored.size());
    try {
        g.Serialize(in);
        ADD_FAILURE() << "loaded";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
}

}  // namespace
