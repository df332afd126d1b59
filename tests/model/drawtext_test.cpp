// The text object: stored form, sizing by alignment and rotation, line
// breaking, arc boxes, printer fonts, markers, export line, and the
// bitmaps it renders for a printer.
#include <gtest/gtest.h>

#include "model/object_clock.h"
#include "data/variable.h"
#include "model/printer_font_table.h"
#include "model/document.h"
#include "model/drawtext.h"
#include "print/printdriver.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"
#include "platform/monobitmap_ops.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TextFixture : ::testing::Test {
    CKVDoc doc;
    void SetUp() override
    {
        doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 300;
        doc.ReloadPrinterFonts();
    }
    // A ZPL printer at 300 dpi: the Zebra resident fonts.
    void UseZebraPrinter()
    {
        doc.m_format.m_nLanguage = 1;
        doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "N");
        doc.ReloadPrinterFonts();
    }
    CDrawText* Add(const std::string& data, CRect position = CRect(1000, 1000, 5000, 1500))
    {
        auto* t = new CDrawText(position);
        t->m_nFontHeight = 1200;
        doc.AddObject(t);
        auto* v = new CVariable;
        v->m_strName = "Var" + std::to_string(doc.m_variables.size() + 1);
        v->m_strData = data;
        doc.AddVariable(v);
        t->AddVariable(v);
        return t;
    }
    static void SetData(CDrawText* t, const std::string& data) { t->m_variables.front()->m_strData = data; }
};

CRect InkBox(const QImage& img)
{
    CRect box(1 << 30, 1 << 30, -1, -1);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box.right < 0 ? CRect() : box;
}

TEST_F(TextFixture, StoredFieldsRoundTrip)
{
    CDrawText* t = Add("Hello");
    t->m_nLayout = TEXT_MULTI_LINE;
    t->m_nReserved1 = 11;
    t->m_nAlign = TEXT_ALIGN_CENTER;
    t->m_nCutMode = 2;
    t->m_nLineSpacing = LINES_CUSTOM;
    t->m_nLineGap = 55;
    t->m_nCharGap = 7;
    t->m_bMaskOn = 1;
    t->m_strMask = "??-??";
    t->m_strFontName = "Times New Roman";
    t->m_nStyle = TS_BOLD | TS_WHITE_ON_BLACK;
    t->m_nCharSet = 0;
    t->m_nFontHeight = 1450;
    t->m_nStretch = 8000;
    t->m_nReserved2 = 3;
    t->m_bStrikeOut = 1;
    t->m_bUnderline = 1;
    t->m_nPitchAndFamily = 0x12;
    t->m_crText = 0x123456;
    t->m_crReserved = 0xABCDEF;
    t->SetIntProperty(TP_VERT_ALIGN, 2);

    Bytes bytes;
    {
        CArchive out(&bytes);
        out.m_pDocument = &doc;
        out.WriteObject(t);
    }
    CArchive in(bytes.data(), bytes.size());
    in.m_pDocument = &doc;
    std::unique_ptr<CDrawText> back(static_cast<CDrawText*>(in.ReadObject(CDrawText::StaticClass())));
    EXPECT_EQ(in.Remaining(), 0u);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->IsEqual(t));
    EXPECT_EQ(back->m_strMask, "??-??");
    EXPECT_EQ(back->m_nStretch, 8000);
    EXPECT_EQ(back->m_crReserved, 0xABCDEFu);
    EXPECT_EQ(back->GetVertAlign(), 2);

    // The text fields follow the base fields: layout kind first, the two
    // colours last.
    Bytes plain;
    {
        CArchive out(&plain);
        t->Serialize(out);
    }
    ASSERT_GE(plain.size(), 40u);
    EXPECT_EQ(plain[plain.size() - 4], 0xEF);
    EXPECT_EQ(plain[plain.size() - 8], 0x56);

    std::unique_ptr<CDrawObj> clone(t->Clone(nullptr));
    EXPECT_TRUE(clone->IsEqual(t));
    static_cast<CDrawText*>(clone.get())->m_nCharGap = 8;
    EXPECT_FALSE(clone->IsEqual(t));
}

TEST_F(TextFixture, EachAlignmentKeepsItsEdgeAsTheTextGrows)
{
    for (int rotation = 0; rotation < 4; ++rotation) {
        for (int align = 0; align < 4; ++align) {
            const CRect start = rotation % 2 == 0 ? CRect(2000, 2000, 6000, 2500) : CRect(2000, 2000, 2500, 6000);
            CDrawText* t = Add("A", start);
            t->m_nRotation = rotation;
            t->m_nAlign = align;
            t->RecalcSize();
            const CRect small = t->m_position;
            SetData(t, "ABCDEFGHIJKL");
            t->RecalcSize();
            const CRect large = t->m_position;
            // Along the text: (start edge, end edge) in the text's direction.
            auto edges = [&](const CRect& r) {
                switch (rotation) {
                case 1: return std::pair<int, int>(r.bottom, r.top);
                case 2: return std::pair<int, int>(r.right, r.left);
                case 3: return std::pair<int, int>(r.top, r.bottom);
                default: return std::pair<int, int>(r.left, r.right);
                }
            };
            const auto [s0, e0] = edges(small);
            const auto [s1, e1] = edges(large);
            const std::string what = "rotation " + std::to_string(rotation) + " align " + std::to_string(align);
            switch (align) {
            case TEXT_ALIGN_LEFT: EXPECT_EQ(s0, s1) << what; break;
            case TEXT_ALIGN_RIGHT: EXPECT_EQ(e0, e1) << what; break;
            case TEXT_ALIGN_CENTER: EXPECT_NEAR(s0 + e0, s1 + e1, 2) << what; break;
            default:
                EXPECT_EQ(s0, s1) << what;
                EXPECT_EQ(e0, e1) << what;
                break;
            }
            const int along0 = std::abs(e0 - s0), along1 = std::abs(e1 - s1);
            if (align != TEXT_ALIGN_FULL) {
                EXPECT_GT(along1, 4 * along0) << what;
            }
            // Across the text the box is one text height.
            const CSize h = t->MeasureText("A", t->GetFontDescription());
            EXPECT_EQ(rotation % 2 == 0 ? large.Height() : large.Width(), h.cy) << what;
        }
    }
}

TEST_F(TextFixture, FullAlignmentPrintsInsideItsBox)
{
    for (int rotation : {0, 1}) {
        for (const char* data : {"Hi", "A longer line of text", "An extremely long line of text that cannot fit at all"}) {
            const CRect start = rotation == 0 ? CRect(1000, 1000, 4000, 1500) : CRect(1000, 1000, 1500, 4000);
            CDrawText* t = Add(data, start);
            t->m_nRotation = rotation;
            t->m_nAlign = TEXT_ALIGN_FULL;
            t->RecalcSize();
            auto page = CDC::CreatePrinterPage(600, 600, 300, 300);
            CLabelPos pos;
            t->Print(page.get(), &pos, nullptr, FALSE);
            CRect box;
            t->GetPrintRect(page.get(), &pos, &box, FALSE);
            const CRect ink = InkBox(page->GetImage());
            ASSERT_FALSE(ink.IsRectEmpty()) << data;
            EXPECT_GE(ink.left, box.left) << rotation << " " << data;
            EXPECT_LE(ink.right, box.right) << rotation << " " << data;
            EXPECT_GE(ink.top, box.top) << rotation << " " << data;
            EXPECT_LE(ink.bottom, box.bottom) << rotation << " " << data;
            doc.RemoveObject(t);
            t->Remove();
        }
    }
}

TEST_F(TextFixture, LinesBreakAtExactWidthsAndLineFeeds)
{
    // A monospaced face: every four characters are as wide as "ABCD".
    CDrawText* t = Add("x");
    t->m_strFontName = "Courier New";
    const LOGFONT font = t->GetFontDescription();
    const int abcd = t->MeasureTextDots("ABCD", font).cx;
    const int exact = DotsToUnitsAt(abcd, 300);
    ASSERT_EQ(UnitsToDots(exact, 300), abcd);
    const int abc = DotsToUnitsAt(t->MeasureTextDots("ABC", font).cx, 300);
    auto texts = [&](const std::string& text, int width) {
        std::vector<CTextLine> lines;
        t->BreakLinesInto(text, font, width, lines);
        std::vector<std::string> out;
        for (const auto& l : lines) out.push_back(l.m_strText);
        return out;
    };
    using V = std::vector<std::string>;
    // Reaching the width exactly ends the line after that character...
    EXPECT_EQ(texts("ABCDEFGH", exact), (V{"ABCD", "EFGH"}));
    // ...and swallows a line feed that follows at once.
    EXPECT_EQ(texts("ABCD\nEFGH", exact), (V{"ABCD", "EFGH"}));
    EXPECT_EQ(texts("ABCD\n\nEFGH", exact), (V{"ABCD", "", "EFGH"}));
    // Passing it sends the character to the next line.
    EXPECT_EQ(texts("ABCDEFGH", DotsToUnitsAt(abcd - 1, 300)), (V{"ABC", "DEF", "GH"}));
    EXPECT_EQ(texts("ABCDEFGH", abc + 1), (V{"ABC", "DEF", "GH"}));
    // Line feeds break short lines; carriage returns are dropped.
    EXPECT_EQ(texts("A\nB", 100000), (V{"A", "B"}));
    EXPECT_EQ(texts("A\r\nB\r\n\r\nC", 100000), (V{"A", "B", "", "C"}));
    // A character wider than the line stands alone.
    EXPECT_EQ(texts("WW", 10), (V{"W", "W"}));

    std::vector<CTextLine> lines;
    t->BreakLinesInto("A\n\nB", font, 100000, lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].m_nWidth, 0);
    EXPECT_EQ(lines[1].m_nHeight, lines[0].m_nHeight);
    EXPECT_EQ(lines[0].m_nWidth, t->MeasureText("A", font).cx);
}

TEST_F(TextFixture, MultiLineBoxFollowsTheBlockOfLines)
{
    const struct {
        int spacing, vert;
    } cases[] = {{LINES_SINGLE, 0}, {LINES_ONE_HALF, 0}, {LINES_DOUBLE, 1}, {LINES_CUSTOM, 2}};
    for (const auto& c : cases) {
        CDrawText* t = Add("one\ntwo\nthree", CRect(1000, 1000, 6000, 4000));
        t->m_nLayout = TEXT_MULTI_LINE;
        t->m_nLineSpacing = c.spacing;
        t->m_nLineGap = 77;
        t->SetIntProperty(TP_VERT_ALIGN, c.vert);
        t->RecalcSize();
        ASSERT_EQ(t->m_lines.size(), 3u);
        const int h = t->m_lines[0].m_nHeight;
        const int gap = c.spacing == LINES_SINGLE ? 0 : c.spacing == LINES_ONE_HALF ? h / 2 : c.spacing == LINES_DOUBLE ? h : 77;
        const CRect r = t->m_position;
        EXPECT_EQ(r.Height(), 3 * h + 2 * gap) << c.spacing;
        EXPECT_EQ(r.left, 1000);
        EXPECT_EQ(r.right, 6000);
        switch (c.vert) {
        case 0: EXPECT_EQ(r.top, 1000); break;
        case 1: EXPECT_NEAR(r.top + r.bottom, 5000, 1); break;
        default: EXPECT_EQ(r.bottom, 4000); break;
        }
    }
    // A box narrower than one character is widened to one.
    CDrawText* narrow = Add("abc", CRect(1000, 1000, 1001, 2000));
    narrow->m_nLayout = TEXT_MULTI_LINE;
    narrow->RecalcSize();
    EXPECT_EQ(narrow->m_position.Width(), narrow->MeasureText("W", narrow->GetFontDescription()).cx);
    EXPECT_EQ(narrow->m_lines.size(), 3u);
}

TEST_F(TextFixture, MaskAppliesToSingleLinesOnly)
{
    CDrawText* t = Add("1234");
    t->m_bMaskOn = 1;
    t->m_strMask = "??-??";
    EXPECT_EQ(t->GetText(), "12-34");
    CLabelPos pos;
    EXPECT_EQ(t->GetLabelText(&pos), "12-34");
    t->m_nLayout = TEXT_MULTI_LINE;
    EXPECT_EQ(t->GetText(), "1234");
    EXPECT_EQ(t->GetLabelText(&pos), "1234");
}

TEST_F(TextFixture, ArcBoxAndPrinterFonts)
{
    CDrawText* t = Add("ROUND", CRect(1000, 1000, 3000, 3000));
    t->m_nLayout = TEXT_ARC;
    t->SetIntProperty(TP_ARC_RADIUS, 1500);
    t->RecalcSize();
    const int h = t->MeasureText("ABC", t->GetFontDescription()).cy;
    EXPECT_EQ(t->m_position, CRect(2000 - 1500 - h, 2000 - 1500 - h, 2000 + 1500 + h, 2000 + 1500 + h));
    EXPECT_EQ(t->m_nLayout, TEXT_ARC);

    // A resident font cannot go round an arc.
    UseZebraPrinter();
    t->m_strFontName = "Zebra Font C";
    t->RecalcSize();
    EXPECT_EQ(t->m_nLayout, TEXT_SINGLE_LINE);
}

TEST_F(TextFixture, PrinterFontsSnapAndMeasureInCells)
{
    UseZebraPrinter();
    CDrawText* t = Add("ABCD");
    t->m_strFontName = "Zebra Font C";  // 18 x 10 dots at 300 dpi, gap 2
    t->m_nFontHeight = 1300;            // 54 dots: three cells would be 1296
    t->AdaptToPrinter(&doc);
    EXPECT_EQ(t->m_nFontHeight, 1296);
    // Four cells of 30 dots and three gaps of 6.
    const CSize s = t->MeasureText("ABCD", t->GetFontDescription());
    EXPECT_EQ(s, CSize(DotsToUnitsAt(4 * 30 + 3 * 6, 300), DotsToUnitsAt(54, 300)));
    EXPECT_EQ(t->m_position.Width(), s.cx);

    CDrawText* w = Add("ABCD");
    w->m_nFontHeight = 1300;
    w->AdaptToPrinter(&doc);
    EXPECT_EQ(w->m_nFontHeight, 1300);  // a Windows font keeps its size
}

TEST_F(TextFixture, DataIconMarksWhatThePrinterCannotDo)
{
    CDrawText* t = Add("value");
    EXPECT_EQ(t->GetDataIcon(), -1);
    UseZebraPrinter();
    doc.m_format.m_dwOptions |= LFO_DOWNLOAD_FORM;
    t->m_variables.front()->m_nKind = VK_KEYBOARD;
    EXPECT_EQ(t->GetDataIcon(), 6);  // prompted into a stored form in a Windows font
    t->m_strFontName = "Zebra Font C";
    EXPECT_EQ(t->GetDataIcon(), -1);
    t->m_nAlign = TEXT_ALIGN_FULL;
    EXPECT_EQ(t->GetDataIcon(), 2);  // a printer font cannot be fitted exactly
    t->m_nLayout = TEXT_MULTI_LINE;
    EXPECT_EQ(t->GetDataIcon(), -1);
}

TEST_F(TextFixture, ExportLine)
{
    CDrawText* t = Add("Hello", CRect(1000, 2000, 3000, 2500));
    t->m_nStyle = TS_BOLD | TS_ITALIC;
    t->m_bUnderline = 1;
    t->m_nFontHeight = 1000;
    t->m_nRotation = 1;
    std::string out;
    int index = 3;
    EXPECT_TRUE(t->ExportText(out, index));
    EXPECT_EQ(index, 4);
    const int avg = DotsToUnitsAt(
        doc.m_fontTable->CreateFont([&] {
            LOGFONT lf = t->GetFontDescription();
            lf.lfEscapement = lf.lfOrientation = 0;
            return lf;
        }(), nullptr, 100).GetTextMetrics().tmAveCharWidth, 300) / 10;
    EXPECT_EQ(out, "String3 =  100,250,\"Arial\",35," + std::to_string(avg) + ",111,1,\"%" +
                       t->m_variables.front()->m_strName + "\"\n");
}

TEST_F(TextFixture, PrintBoxFollowsTheLabelsOwnText)
{
    CDrawText* t = Add("12", CRect(1000, 1000, 4000, 1500));
    t->m_nAlign = TEXT_ALIGN_RIGHT;
    t->RecalcSize();
    const CRect design = t->m_position;
    SetData(t, "12345678");  // the label's data is longer than the design's
    CLabelPos pos;
    CRect box;
    t->GetPrintRect(nullptr, &pos, &box, FALSE);
    EXPECT_EQ(box.right, UnitsToDots(design.right, 300));
    EXPECT_GT(box.Width(), 3 * UnitsToDots(design.Width(), 300));
}

TEST_F(TextFixture, WhiteOnBlackAndMirroredBitmaps)
{
    CDrawText* t = Add("Reverse 42", CRect(500, 500, 4000, 1000));
    t->RecalcSize();
    CLabelPos pos;
    const auto plain = t->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(plain);
    CRect box;
    t->GetPrintRect(nullptr, &pos, &box, FALSE);
    EXPECT_EQ(plain->Width(), box.Width());
    EXPECT_EQ(plain->Height(), box.Height());

    t->m_nStyle |= TS_WHITE_ON_BLACK;
    const auto reversed = t->CreatePrintBitmap(&pos, FALSE);
    CMonoBitmap inverted = *plain;
    inverted.Invert();
    EXPECT_TRUE(reversed->SamePixels(inverted));

    t->m_nStyle = 0;
    for (int mirror : {1, 2}) {
        t->m_dwFlags = DWORD(mirror) << 4;
        const auto m = t->CreatePrintBitmap(&pos, FALSE);
        EXPECT_TRUE(m->SamePixels(MirrorMono(*plain, mirror == 1))) << mirror;
    }
    // Turned a quarter, a horizontal mirror reverses the text's own direction: top to bottom.
    t->m_dwFlags = 0;
    t->m_nRotation = 1;
    t->RecalcSize();
    const auto turned = t->CreatePrintBitmap(&pos, FALSE);
    t->m_dwFlags = 0x10;
    const auto turnedMirror = t->CreatePrintBitmap(&pos, FALSE);
    EXPECT_TRUE(turnedMirror->SamePixels(MirrorMono(*turned, false)));
}

}  // namespace

namespace {

// A printer that has a clock it can print from.
class ClockPrinter : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;
    int GetCapability(int what, int) override { return what == 17 ? 1 : 0; }
};

TEST_F(TextFixture, DateTakesThePrinterClockOnlyInAResidentFont)
{
    UseZebraPrinter();
    doc.m_driver = std::make_shared<ClockPrinter>(&doc);
    auto* t = new CDrawText(CRect(1000, 1000, 5000, 1500));
    doc.AddObject(t);
    auto* date = new CVariable(VK_DATE);
    date->SetProperty(VP_PRINTER_CLOCK, "1");
    doc.AddVariable(date);
    t->AddVariable(date);

    t->m_strFontName = "Zebra Font A";
    EXPECT_TRUE(TakesPrinterClock(*date, t));
    t->m_strFontName = "Arial";
    EXPECT_FALSE(TakesPrinterClock(*date, t));
}

}  // namespace
