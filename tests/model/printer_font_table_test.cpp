// The printer font table: which resident fonts a printer gets, how their
// names follow the brand, and the sizing rules of each font kind.
#include <gtest/gtest.h>

#include "model/printer_font_table.h"
#include "platform/dc.h"

namespace {

CPrinterFontEntry Get(const CPrinterFontTable& t, const char* name)
{
    const CPrinterFontEntry* e = t.Find(name);
    if (!e) {
        ADD_FAILURE() << "no font " << name;
        return CPrinterFontEntry();
    }
    return *e;
}

CPrinterFontTable Table(int language, int dpi, const std::string& brand = "")
{
    CPrinterFontTable t;
    t.Load(language, dpi, brand);
    return t;
}

TEST(PrinterFontTable, ListAndSetFollowLanguageAndResolution)
{
    const struct {
        int language, dpi;
        const char* name;
        int cellHeight, cellWidth, count;
    } cases[] = {
        {1, 150, "Zebra OCR A", 17, 11, 8},   {1, 179, "Zebra OCR A", 17, 11, 8},
        {1, 180, "Zebra OCR A", 21, 13, 8},   {1, 203, "Zebra OCR A", 21, 13, 8},
        {1, 249, "Zebra OCR B", 28, 15, 8},   {1, 250, "Zebra OCR A", 34, 22, 8},
        {1, 300, "Zebra OCR A", 34, 22, 8},   {1, 600, "Zebra OCR B", 42, 20, 8},
        {2, 400, "Datamax Font 1", 13, 7, 10}, {2, 300, "Datamax Font 1", 19, 10, 10},
        {4, 250, "Datamax Font 6", 95, 47, 10}, {16, 351, "Datamax Font 6", 64, 32, 10},
        {3, 203, "TSc Font 2", 20, 12, 5},    {14, 300, "Tsc Font 4", 32, 24, 5},
        {5, 203, "Argox Scalable", 36, 14, 10}, {6, 203, "EZ Font I", 26, 16, 2},
        {7, 203, "Intermec Font 22", 56, 30, 9}, {7, 300, "Intermec Font 22", 6, 4, 9},
        {8, 203, "BY OCR B", 31, 20, 10},     {9, 203, "SATO OCR B", 24, 20, 12},
        {9, 300, "SATO OCR B", 36, 30, 12},   {17, 203, "FARSUN Font WB", 30, 18, 12},
        {10, 203, "TEC Font A", 34, 18, 20},  {10, 300, "TEC Font A", 34, 15, 20},
        {10, 400, "TEC Font A", 34, 18, 20},  {10, 600, "TEC Font B", 43, 20, 20},
        {11, 203, "Intermec Font 5", 68, 35, 5}, {11, 300, "Intermec Font 5", 80, 48, 5},
        {19, 300, "Argox Font 5", 80, 48, 5}, {15, 300, "Vantrel Font 5", 80, 48, 5},
        {15, 203, "Vantrel Font 3", 20, 12, 5},
    };
    for (const auto& c : cases) {
        const CPrinterFontTable t = Table(c.language, c.dpi);
        EXPECT_EQ(t.GetCount(), c.count) << c.language << " " << c.dpi;
        const CPrinterFontEntry& e = Get(t, c.name);
        EXPECT_EQ(e.m_nCellHeight, c.cellHeight) << c.name << " " << c.dpi;
        EXPECT_EQ(e.m_nCellWidth, c.cellWidth) << c.name << " " << c.dpi;
        EXPECT_EQ(e.m_nSource, FONT_SOURCE_PRINTER);
    }
    for (int language : {0, 12, 13, 18, 101}) EXPECT_EQ(Table(language, 203).GetCount(), 0) << language;
}

TEST(PrinterFontTable, EntryFields)
{
    const CPrinterFontTable zebra = Table(1, 203);
    const CPrinterFontEntry& scalable = Get(zebra, "Zebra Scalable");
    EXPECT_EQ(scalable.m_strCode, "0");
    EXPECT_EQ(scalable.m_nKind, PFK_ZEBRA_SCALABLE);
    EXPECT_EQ(scalable.m_nPitchAndFamily, 0x22);
    EXPECT_EQ(scalable.m_nMaxHMag, 1);
    EXPECT_EQ(scalable.m_nMaxVMag, 1);
    EXPECT_EQ(scalable.m_nMinWidth, 10);
    EXPECT_EQ(scalable.m_nMaxHeight, 1500);
    EXPECT_EQ(scalable.m_nWeight, 700);
    EXPECT_EQ(scalable.m_strScript, "Western Language");
    const CPrinterFontEntry& ocr = Get(zebra, "Zebra OCR B");
    EXPECT_EQ(ocr.m_strScreenFace, "OCR-B-10 BT");
    EXPECT_EQ(ocr.m_nCharSet, 2);
    EXPECT_EQ(ocr.m_strScript, "Symbol");
    EXPECT_EQ(ocr.m_nPitchAndFamily, 0x32);
    EXPECT_EQ(ocr.m_nMaxVMag, 10);
    EXPECT_EQ(ocr.m_nGap, 5);
    EXPECT_EQ(Get(zebra, "Zebra Font G").m_nMinWidth, 0);

    EXPECT_EQ(Get(Table(2, 203), "Datamax Font 0").m_nMaxHMag, 24);
    EXPECT_EQ(Get(Table(9, 203), "SATO Font XB").m_nKind, PFK_X_FONT);
    EXPECT_EQ(Get(Table(9, 203), "SATO Font XB").m_strCode, "XB1");
    EXPECT_EQ(Get(Table(7, 203), "Intermec OCR").m_nCharSet, 2);
    // Weights that differ between the sets.
    EXPECT_EQ(Get(Table(11, 203), "Intermec Font 3").m_nWeight, 600);
    EXPECT_EQ(Get(Table(11, 300), "Intermec Font 3").m_nWeight, 400);
    EXPECT_EQ(Get(Table(10, 203), "TEC Font E").m_nWeight, 700);
    EXPECT_EQ(Get(Table(10, 600), "TEC Font E").m_nWeight, 400);
    EXPECT_EQ(Get(Table(10, 600), "TEC Font E").m_nGap, 3);
}

TEST(PrinterFontTable, BrandReplacesTheFirstWord)
{
    const CPrinterFontTable branded = Table(3, 203, "Tsc");
    std::vector<std::string> names;
    for (const auto& e : branded.Entries()) names.push_back(e.m_strName);
    EXPECT_EQ(names, (std::vector<std::string>{"Tsc Font 1", "Tsc Font 2", "Tsc Font 3", "Tsc Font 4", "Tsc Font 5"}));
    EXPECT_EQ(branded.Find("TSc Font 2"), nullptr);

    names.clear();
    const CPrinterFontTable plain = Table(3, 203);
    for (const auto& e : plain.Entries()) names.push_back(e.m_strName);
    EXPECT_EQ(names, (std::vector<std::string>{"Tsc Font 1", "TSc Font 2", "Tsc Font 3", "Tsc Font 4", "TSc Font 5"}));

    EXPECT_NE(Table(1, 203, "Acme").Find("Acme OCR A"), nullptr);
    EXPECT_NE(Table(17, 300).Find("FARSUN OCR B"), nullptr);
}

TEST(PrinterFontTable, IsWindowsFontBySource)
{
    CPrinterFontEntry e;
    EXPECT_FALSE(CPrinterFontTable::IsWindowsFont(nullptr));
    for (int source : {0, 1, 2}) {
        e.m_nSource = source;
        EXPECT_EQ(CPrinterFontTable::IsWindowsFont(&e), source != 1) << source;
    }
    CPrinterFontTable t = Table(1, 203);
    e.m_strName = "Arial";
    e.m_nSource = FONT_SOURCE_TRUETYPE;
    t.Add(e);
    EXPECT_NE(t.Find("Arial"), nullptr);
    EXPECT_EQ(t.FindPrinterFont("Arial"), nullptr);
    EXPECT_NE(t.FindPrinterFont("Zebra Scalable"), nullptr);
}

TEST(PrinterFontTable, OfferedSizes)
{
    const CPrinterFontTable zebra = Table(1, 203);
    const auto bitmap = zebra.GetOfferedSizes(Get(zebra, "Zebra Font A"));
    ASSERT_EQ(bitmap.size(), 10u);
    EXPECT_EQ(bitmap[0].text, "3.2");  // 9 dots at 203 dpi
    EXPECT_EQ(bitmap[0].height, 319);
    EXPECT_EQ(bitmap[9].text, "31.9");
    EXPECT_EQ(bitmap[9].height, 3192);
    const auto scalable = zebra.GetOfferedSizes(Get(zebra, "Zebra Scalable"));
    ASSERT_EQ(scalable.size(), 16u);
    EXPECT_EQ(scalable.front().text, "8");
    EXPECT_EQ(scalable.back().height, 7200);
    const CPrinterFontTable datamax = Table(2, 203);
    EXPECT_EQ(datamax.GetOfferedSizes(Get(datamax, "Datamax Scalable")).size(), 10u);
    EXPECT_EQ(Table(5, 203).GetOfferedSizes(Get(Table(5, 203), "Argox Scalable")).back().height, 1800);
}

TEST(PrinterFontTable, NearestSizeByKind)
{
    const CPrinterFontTable zebra = Table(1, 203);
    const CPrinterFontTable datamax = Table(2, 203);
    const CPrinterFontTable argox = Table(5, 203);
    const struct {
        const CPrinterFontTable* table;
        const char* font;
        int request, expect;
    } cases[] = {
        // Bitmap font, 18-dot cell at 203 dpi: 638, 1277, 1915... hundredths.
        {&zebra, "Zebra Font C", 1000, 638},    // between one and two cells: one
        {&zebra, "Zebra Font C", 1300, 1277},   // just above two cells
        {&zebra, "Zebra Font C", 1277, 1277},   // stable
        {&zebra, "Zebra Font C", 300, 638},     // smaller than one cell
        {&zebra, "Zebra Font C", 10000, 6384},  // above ten cells: the largest
        // Zebra scalable: anything between 10 and 1500 dots is kept.
        {&zebra, "Zebra Scalable", 3000, 3000},
        {&zebra, "Zebra Scalable", 1400, 1400},
        {&zebra, "Zebra Scalable", 1450, 1450},
        {&zebra, "Zebra Scalable", 200, 350},       // raised to 10 dots
        {&zebra, "Zebra Scalable", 600000, 53200},  // lowered to 1500 dots
        // Datamax scalable: offered sizes and their multiples.
        {&datamax, "Datamax Scalable", 1300, 1400},   // 14 and 12 equally near, 14 met first
        {&datamax, "Datamax Scalable", 4200, 4200},   // 3 x 14
        {&datamax, "Datamax Scalable", 1100, 1200},
        {&datamax, "Datamax Scalable", 4900, 4800},
        {&datamax, "Datamax Scalable", 10000, 10000},  // 10 x 10
        {&datamax, "Datamax Scalable", 100, 600},
        // The other scalable fonts.
        {&argox, "Argox Scalable", 2000, 2000},  // 2 x 10
        {&argox, "Argox Scalable", 1500, 1400},
        {&argox, "Argox Scalable", 1800, 1800},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.table->NearestSize(Get(*c.table, c.font), c.request), c.expect) << c.font << " " << c.request;

    CPrinterFontEntry unknown;
    unknown.m_nKind = 9;
    EXPECT_EQ(zebra.NearestSize(unknown, 1000), 0);
}

TEST(PrinterFontTable, CellSizesAndTextWidths)
{
    const CPrinterFontTable zebra = Table(1, 203);
    const CPrinterFontEntry& c = Get(zebra, "Zebra Font C");  // 18 x 10, gap 2
    EXPECT_EQ(zebra.GetCellSize(c, 1277, 0), CSize(20, 36));
    EXPECT_EQ(zebra.GetCellSize(c, 1277, 15000), CSize(30, 36));
    EXPECT_EQ(zebra.GetCellSize(c, 1277, 1000), CSize(10, 36));  // never below one cell width
    EXPECT_EQ(zebra.GetCellSize(c, 100, 0), CSize(10, 18));      // never below one cell
    const CPrinterFontEntry& s = Get(zebra, "Zebra Scalable");
    EXPECT_EQ(zebra.GetCellSize(s, 2000, 0), CSize(56, 56));
    EXPECT_EQ(zebra.GetCellSize(s, 2000, 20000), CSize(112, 56));
    EXPECT_EQ(zebra.GetCellSize(s, 2000, 500), CSize(10, 56));  // the smallest width
    const CPrinterFontTable datamax = Table(2, 203);
    EXPECT_EQ(datamax.GetCellSize(Get(datamax, "Datamax Scalable"), 1200, 0), CSize(10000, 34));
    EXPECT_EQ(datamax.GetCellSize(Get(datamax, "Datamax Scalable"), 1200, 15000), CSize(15000, 34));

    // k characters: k cells plus k - 1 gaps, both magnified.
    EXPECT_EQ(zebra.MeasurePrinterText(c, "ABCD", 1277, 0), CSize(4 * 20 + 3 * 4, 36));
    EXPECT_EQ(zebra.MeasurePrinterText(c, "A", 638, 0), CSize(10, 18));
    EXPECT_EQ(zebra.MeasurePrinterText(s, "ABCD", 2000, 0), CSize(0, 0));
    EXPECT_EQ(Table(9, 203).MeasurePrinterText(Get(Table(9, 203), "SATO Font XB"), "AB", 1000, 0), CSize(0, 0));
}

TEST(PrinterFontTable, StretchStepsByKind)
{
    const CPrinterFontTable zebra = Table(1, 203);
    const CPrinterFontTable datamax = Table(2, 203);
    const struct {
        const CPrinterFontTable* table;
        const char* font;
        int size, stretch, step, expect;
    } cases[] = {
        // Bitmap font at two cells: whole width factors of 1 to 10.
        {&zebra, "Zebra Font C", 1277, 10000, 1, 15000},
        {&zebra, "Zebra Font C", 1277, 10000, -1, 5000},
        {&zebra, "Zebra Font C", 1277, 5000, -1, 5000},    // factor stays at 1
        {&zebra, "Zebra Font C", 1277, 50000, 1, 50000},   // factor stays at 10
        {&zebra, "Zebra Font C", 1277, 12345, 0, 10000},   // snapped
        {&zebra, "Zebra Font C", 1277, 0, 1, 15000},       // none counts as natural
        // Zebra scalable: steps of 1000, 2000, 5000 and 10000.
        {&zebra, "Zebra Scalable", 2800, 10000, 1, 11000},
        {&zebra, "Zebra Scalable", 2800, 15000, 1, 16000},
        {&zebra, "Zebra Scalable", 2800, 16000, 1, 18000},
        {&zebra, "Zebra Scalable", 2800, 19000, 1, 21000},
        {&zebra, "Zebra Scalable", 2800, 20000, 1, 25000},
        {&zebra, "Zebra Scalable", 2800, 30000, 1, 40000},
        {&zebra, "Zebra Scalable", 2800, 40000, -1, 30000},
        {&zebra, "Zebra Scalable", 2800, 30000, -1, 25000},
        {&zebra, "Zebra Scalable", 2800, 20000, -1, 18000},
        {&zebra, "Zebra Scalable", 2800, 16000, -1, 15000},
        {&zebra, "Zebra Scalable", 7200, 1000, -1, 1000},
        {&zebra, "Zebra Scalable", 7200, 500, 0, 1000},
        {&zebra, "Zebra Scalable", 2000, 2000, -1, 1786},    // 56 dots: kept at 10 dots wide
        {&zebra, "Zebra Scalable", 35468, 15000, 1, 15000},  // 1000 dots: kept at 1500 dots wide
        // Datamax scalable at 24 points: the sizes dividing 24 are 6, 8, 12, 24.
        {&datamax, "Datamax Scalable", 2400, 10000, 1, 12500},
        {&datamax, "Datamax Scalable", 2400, 10000, -1, 7500},
        {&datamax, "Datamax Scalable", 2400, 11000, 0, 10000},
        {&datamax, "Datamax Scalable", 2400, 12500, 0, 12500},
        {&datamax, "Datamax Scalable", 1400, 10000, 1, 20000},
        {&datamax, "Datamax Scalable", 1300, 10000, 1, 10000},  // nothing divides 13
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.table->StretchStep(Get(*c.table, c.font), c.size, c.stretch, c.step), c.expect)
            << c.font << " size " << c.size << " stretch " << c.stretch << " step " << c.step;
}

TEST(PrinterFontTable, CreateFontForWindowsAndPrinterFonts)
{
    CPrinterFontTable table = Table(1, 203);
    LOGFONT d;
    d.lfFaceName = "Arial";
    d.lfHeight = 1000;  // 10 points
    auto view = CDC::CreateView(10, 10, 96);
    EXPECT_EQ(table.CreateFont(d, view.get(), 100).GetLogFont().lfHeight, -13);
    EXPECT_EQ(table.CreateFont(d, view.get(), 200).GetLogFont().lfHeight, -27);
    EXPECT_EQ(table.CreateFont(d, nullptr, 100).GetLogFont().lfHeight, -28);  // 203 dots per inch
    // A stretch narrows a Windows font from its own average width.
    const int natural = table.CreateFont(d, nullptr, 100).GetTextMetrics().tmAveCharWidth;
    d.lfWidth = 5000;
    EXPECT_NEAR(table.CreateFont(d, nullptr, 100).GetTextMetrics().tmAveCharWidth, natural / 2, 1);

    // A bitmap printer font: its screen face at the cell's height and width.
    d = LOGFONT();
    d.lfFaceName = "Zebra Font C";
    d.lfHeight = 1277;
    d.lfItalic = 1;
    d.lfWeight = 700;
    CFont c = table.CreateFont(d, nullptr, 100);
    EXPECT_EQ(c.GetFamily(), "Liberation Mono");
    EXPECT_EQ(c.GetLogFont().lfHeight, -36);
    EXPECT_EQ(c.GetLogFont().lfWidth, 20);
    EXPECT_EQ(c.GetLogFont().lfWeight, 400);
    EXPECT_EQ(c.GetLogFont().lfItalic, 0);
    EXPECT_EQ(c.GetTextMetrics().tmAveCharWidth, 20);

    // The scalable Zebra font: the requested height, 90% of the cell's width.
    d.lfFaceName = "Zebra Scalable";
    d.lfHeight = 2000;
    CFont s = table.CreateFont(d, nullptr, 100);
    EXPECT_EQ(s.GetFamily(), "Liberation Sans");
    EXPECT_EQ(s.GetLogFont().lfHeight, -56);
    EXPECT_EQ(s.GetLogFont().lfWidth, 50);
    EXPECT_EQ(s.GetLogFont().lfWeight, 700);

    // On a view at 200%, the same font doubles.
    CFont z = table.CreateFont(d, view.get(), 200);
    EXPECT_EQ(z.GetLogFont().lfHeight, -MulDiv(96, MulDiv(56, 14400, 203), 7200));

    // Other scalable fonts: the height only.
    CPrinterFontTable dm = Table(2, 203);
    d.lfFaceName = "Datamax Scalable";
    d.lfHeight = 1200;
    d.lfWidth = 15000;
    CFont m = dm.CreateFont(d, nullptr, 100);
    EXPECT_EQ(m.GetLogFont().lfHeight, -34);
    EXPECT_EQ(m.GetLogFont().lfWidth, 0);
}

}  // namespace
