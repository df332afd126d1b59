// The barcode object on the drawing layer: printer bitmaps by output
// method, text blocks wider than the symbol, the placeholder of a refused
// symbol, the selection frame, markers, printer fonts and the text line of
// the export.
#include <gtest/gtest.h>

#include "model/drawbarcode.h"
#include "data/variable.h"
#include "model/printer_font_table.h"
#include "model/view.h"
#include "model/document.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"

namespace {

int BlackIn(const CMonoBitmap& b, const CRect& r)
{
    int n = 0;
    for (int y = std::max(0, r.top); y < std::min(b.Height(), r.bottom); ++y)
        for (int x = std::max(0, r.left); x < std::min(b.Width(), r.right); ++x) n += b.IsBlack(x, y);
    return n;
}

// The part of big at (x, y) equals small.
bool Holds(const CMonoBitmap& big, const CMonoBitmap& small, int x0, int y0, bool inverted = false)
{
    for (int y = 0; y < small.Height(); ++y)
        for (int x = 0; x < small.Width(); ++x)
            if (big.IsBlack(x0 + x, y0 + y) != (small.IsBlack(x, y) != inverted)) return false;
    return true;
}

class BarcodeDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 203;
        doc.ReloadPrinterFonts();
    }
    CDrawBarcode* Make(int symbology, const char* data, const char* font = "Arial")
    {
        auto* b = new CDrawBarcode(CRect(1000, 1000, 1000, 1000));
        doc.AddObject(b);
        b->m_nSymbology = symbology;
        b->m_nModuleWidth = 985;  // 2 dots
        b->m_strFontName = font;
        b->m_nTextGap = 100;
        auto* v = new CVariable;
        v->m_strName = "Part";
        v->m_strData = data;
        doc.AddVariable(v);
        b->AddVariable(v);
        b->RecalcSize();
        return b;
    }
    CKVDoc doc;
    CLabelPos pos;
};

TEST_F(BarcodeDraw, PrintBitmapByOutputMethod)
{
    CDrawBarcode* b = Make(BS_CODE128, "KV-0042");
    const auto symbol = b->MakeBitmap(b->GetLabelText(&pos));
    ASSERT_TRUE(symbol);
    CRect object, bars, text;
    b->LayoutBarcode(nullptr, &pos, &object, &bars, &text);
    EXPECT_EQ(bars.Size(), CSize(symbol->Width(), symbol->Height()));
    EXPECT_GT(text.Height(), 0);

    // 3: the bare symbol, no frame, no text.
    b->m_nOutputMethod = 3;
    auto bare = b->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->SamePixels(*symbol));

    // 1: the whole object, symbol at the bars, text under it.
    b->m_nOutputMethod = 1;
    auto whole = b->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(whole);
    EXPECT_EQ(CSize(whole->Width(), whole->Height()), object.Size());
    EXPECT_TRUE(Holds(*whole, *symbol, bars.left - object.left, bars.top - object.top));
    CRect t = text;
    t.OffsetRect(-object.left, -object.top);
    EXPECT_GT(BlackIn(*whole, t), 0);
    // The gap between bars and text stays white.
    EXPECT_EQ(BlackIn(*whole, CRect(0, bars.bottom - object.top, whole->Width(), t.top)), 0);

    // 2: the text alone, the size of the text rectangle.
    b->m_nOutputMethod = 2;
    auto words = b->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(words);
    EXPECT_EQ(CSize(words->Width(), words->Height()), text.Size());
    EXPECT_TRUE(Holds(*whole, *words, t.left, t.top));

    for (int method : {0, 4}) {
        b->m_nOutputMethod = method;
        EXPECT_FALSE(b->CreatePrintBitmap(&pos, FALSE)) << method;
    }
    // No text, no text bitmap; no data, no bitmap at all.
    b->m_nTextPlacement = BTP_NONE;
    b->m_nOutputMethod = 2;
    EXPECT_FALSE(b->CreatePrintBitmap(&pos, FALSE));
    b->m_variables.front()->m_strData.clear();
    b->m_nOutputMethod = 1;
    EXPECT_FALSE(b->CreatePrintBitmap(&pos, FALSE));
}

TEST_F(BarcodeDraw, PrintBitmapMirroredAndReversed)
{
    CDrawBarcode* b = Make(BS_CODE128, "KV-0042");
    b->m_nOutputMethod = 1;
    CRect object, bars, text;
    b->LayoutBarcode(nullptr, &pos, &object, &bars, &text);

    // Top-bottom mirror: text above, bars below, the symbol itself mirrored.
    b->m_dwFlags |= 0x20;
    const auto symbol = b->MakeBitmap(b->GetLabelText(&pos));
    auto mirrored = b->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(mirrored && symbol);
    EXPECT_TRUE(Holds(*mirrored, *symbol, bars.left - object.left, object.bottom - bars.bottom));
    EXPECT_GT(BlackIn(*mirrored, CRect(0, 0, mirrored->Width(), text.Height())), 0);

    // Reverse: the symbol copied inverted.
    b->m_dwFlags &= ~DWORD(0x30);
    b->m_nFontStyle = BFS_REVERSE;
    const auto plain = b->MakeBitmap(b->GetLabelText(&pos));
    auto reversed = b->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(reversed);
    EXPECT_TRUE(Holds(*reversed, *plain, bars.left - object.left, bars.top - object.top, true));
}

TEST_F(BarcodeDraw, TextWiderThanTheSymbol)
{
    CDrawBarcode* b = Make(BS_CODE39, "1");
    b->m_bUseTemplate = 1;
    b->m_strTemplate = "Item number ?";
    b->m_nFontHeight = 1400;
    b->RecalcSize();
    const int symbolUnits = DotsToUnitsAt(b->GetBitmap()->Width(), 203);
    EXPECT_GT(b->m_position.Width(), symbolUnits);
    EXPECT_NEAR(b->m_nBarOffset, (b->m_position.Width() - symbolUnits) / 2, 1);
    CRect object, bars, text;
    b->LayoutBarcode(nullptr, &pos, &object, &bars, &text);
    // Centred: the bars sit in the middle of the block under the text.
    EXPECT_NEAR(bars.left - object.left, object.right - bars.right, 1);
    EXPECT_EQ(text.Width(), object.Width());

    // Full alignment fits the text to the symbol instead.
    b->m_nTextAlign = BTA_FULL;
    b->RecalcSize();
    EXPECT_EQ(b->m_position.Width(), symbolUnits);
    EXPECT_EQ(b->m_nBarOffset, 0);
    b->LayoutBarcode(nullptr, &pos, &object, &bars, &text);
    EXPECT_EQ(text.left, bars.left);
    EXPECT_EQ(text.right, bars.right);
    // The narrowed text stays inside the symbol's width.
    b->m_nOutputMethod = 2;
    auto words = b->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(words);
    EXPECT_EQ(words->Width(), bars.Width());
    EXPECT_GT(BlackIn(*words, CRect(0, 0, words->Width(), words->Height())), 0);
}

// The design view places bars and text where printing puts them, for
// every rotation, placement and alignment, mirrored or not.
TEST_F(BarcodeDraw, DesignViewAgreesWithThePrintedLayout)
{
    CDrawBarcode* b = Make(BS_CODE128, "AB12");
    b->m_bUseTemplate = 1;
    b->m_strTemplate = "Item ?";
    for (int rotation = 0; rotation < 4; ++rotation)
        for (int placement : {BTP_ABOVE, BTP_BELOW})
            for (int align : {BTA_LEFT, BTA_RIGHT, BTA_CENTER, BTA_FULL})
                for (DWORD mirror : {0x00, 0x20}) {
                    b->m_nRotation = rotation;
                    b->m_nTextPlacement = placement;
                    b->m_nTextAlign = align;
                    b->m_dwFlags = mirror;
                    b->RecalcSize();
                    CRect bars, text;
                    b->LayoutBarcode(nullptr, &pos, nullptr, &bars, &text);
                    if (mirror) {
                        // Printing exchanges the two across the symbol.
                        CRect object;
                        b->LayoutBarcode(nullptr, &pos, &object, nullptr, nullptr);
                        const int sum = (rotation & 1) ? object.left + object.right : object.top + object.bottom;
                        for (CRect* r : {&bars, &text}) {
                            if (rotation & 1)
                                *r = CRect(sum - r->right, r->top, sum - r->left, r->bottom);
                            else
                                *r = CRect(r->left, sum - r->bottom, r->right, sum - r->top);
                        }
                    }
                    const int textWidth = align == BTA_FULL ? 0 : b->MeasureText(b->GetHumanReadable(nullptr),
                                                                                    b->GetFontDescription()).cx;
                    CRect designBars, designText;
                    b->DesignRects(textWidth, &designBars, &designText);
                    auto units = [](const CRect& r) {
                        return CRect(DotsToUnitsAt(r.left, 203), DotsToUnitsAt(r.top, 203),
                                     DotsToUnitsAt(r.right, 203), DotsToUnitsAt(r.bottom, 203));
                    };
                    const CRect pb = units(bars), pt = units(text);
                    const std::string what = "rotation " + std::to_string(rotation) + " placement " +
                                             std::to_string(placement) + " align " + std::to_string(align) +
                                             " mirror " + std::to_string(mirror);
                    // Within a dot of rounding.
                    const int tol = 13;
                    EXPECT_NEAR(designBars.left, pb.left, tol) << what;
                    EXPECT_NEAR(designBars.top, pb.top, tol) << what;
                    EXPECT_NEAR(designBars.right, pb.right, tol) << what;
                    EXPECT_NEAR(designBars.bottom, pb.bottom, tol) << what;
                    // Along the text both agree; across, the design box may
                    // reach to the rectangle's edge.
                    if (rotation & 1) {
                        EXPECT_NEAR(designText.top, pt.top, tol) << what;
                        EXPECT_NEAR(designText.bottom, pt.bottom, tol) << what;
                        EXPECT_TRUE(designText.left < pt.right && pt.left < designText.right) << what;
                    } else {
                        EXPECT_NEAR(designText.left, pt.left, tol) << what;
                        EXPECT_NEAR(designText.right, pt.right, tol) << what;
                        EXPECT_TRUE(designText.top < pt.bottom && pt.top < designText.bottom) << what;
                    }
                }
}

TEST_F(BarcodeDraw, RefusedSymbolShowsItsRectangleCrossed)
{
    CDrawBarcode* b = Make(BS_ITF14, "12345678901A");
    EXPECT_FALSE(b->GetBitmap());
    b->m_position = CRect(0, 0, 2540, 1270);  // 96 x 48 pixels at 100 %
    CFixedView view;
    auto dc = CDC::CreateView(120, 80);
    b->Draw(&view, dc.get());
    // Lines on screen are smoothed: dark means darker than mid-grey.
    auto dark = [&](int x, int y) {
        const COLORREF c = dc->GetPixel(CPoint(x, y));
        return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 3 * 128;
    };
    EXPECT_TRUE(dark(0, 0));
    EXPECT_TRUE(dark(48, 0));  // the top edge
    EXPECT_TRUE(dark(48, 23) || dark(48, 24));  // where the diagonals cross
    EXPECT_FALSE(dark(48, 10));
    EXPECT_FALSE(dark(100, 60));  // outside

    // Printing draws nothing for the symbol.
    auto page = CDC::CreatePrinterPage(200, 200, 203, 203);
    const CPoint origin;
    b->m_nTextPlacement = BTP_NONE;
    b->Print(page.get(), &pos, &origin, FALSE);
    EXPECT_EQ(page->GetMonoBitmap().SamePixels(CMonoBitmap(200, 200)), true);

    // While the barcode tool draws the object out, nothing is shown.
    class ToolView : public CFixedView {
    public:
        int GetCurrentTool() const override { return 3; }
    } tool;
    auto dc2 = CDC::CreateView(120, 80);
    b->Draw(&tool, dc2.get());
    EXPECT_NE(dc2->GetPixel(CPoint(48, 24)), 0u);
}

TEST_F(BarcodeDraw, SelectionFrameColours)
{
    CDrawBarcode* b = Make(BS_CODE128, "12");
    b->m_position = CRect(254, 254, 2540, 1270);  // from pixel 10 to 100 at 100 %
    CFixedView view;
    auto dc = CDC::CreateView(200, 100);
    b->DrawTracker(&view, dc.get(), 1);
    EXPECT_EQ(dc->GetPixel(CPoint(50, 10)), 0xFFFFFFu);
    int red = 0;
    b->DrawTracker(&view, dc.get(), 2);
    for (int x = 20; x < 90; ++x) red += dc->GetPixel(CPoint(x, 10)) == RGBColor(255, 0, 0);
    EXPECT_GT(red, 10);
    EXPECT_LT(red, 70);  // dotted

    auto dc2 = CDC::CreateView(200, 100);
    b->m_dwFlags |= OF_NOPRINT;
    b->DrawTracker(&view, dc2.get(), 4);
    int grey = 0;
    for (int x = 20; x < 90; ++x) grey += dc2->GetPixel(CPoint(x, 10)) == RGBColor(160, 160, 160);
    EXPECT_GT(grey, 10);
}

TEST_F(BarcodeDraw, MarkersAndPrinterFonts)
{
    doc.m_format.m_nLanguage = 1;  // ZPL
    doc.ReloadPrinterFonts();
    ASSERT_TRUE(doc.m_fontTable->FindPrinterFont("Zebra Font A"));
    CDrawBarcode* b = Make(BS_CODE128, "12", "Zebra Font A");
    b->m_nTextPlacement = BTP_BELOW;
    b->m_nTextAlign = BTA_FULL;
    EXPECT_EQ(b->GetDataIcon(), 2);
    b->m_nTextAlign = BTA_CENTER;
    EXPECT_EQ(b->GetDataIcon(), -1);

    // A typed value in a stored form, shown in a Windows font.
    CPrinterFontEntry arial;
    arial.m_strName = "Arial";
    arial.m_nSource = FONT_SOURCE_TRUETYPE;
    doc.m_fontTable->Add(arial);
    b->m_strFontName = "Arial";
    doc.m_format.m_dwOptions |= LFO_DOWNLOAD_FORM;
    b->m_variables.front()->m_nKind = VK_KEYBOARD;
    EXPECT_EQ(b->GetDataIcon(), 6);
    b->m_nTextPlacement = BTP_NONE;
    EXPECT_EQ(b->GetDataIcon(), -1);

    // A printer change snaps a printer font to a size it prints and drops
    // the stretch of a font the printer does not know.
    b->m_nTextPlacement = BTP_ABOVE;
    b->m_strFontName = "Zebra Font A";
    b->m_nFontHeight = 1000;
    b->m_nFontWidth = 5000;
    b->AdaptToPrinter(&doc);
    const CPrinterFontEntry* zebraA = doc.m_fontTable->Find("Zebra Font A");
    EXPECT_EQ(b->m_nFontHeight, doc.m_fontTable->NearestSize(*zebraA, 1000));
    EXPECT_EQ(b->m_nFontWidth, 5000);
    b->m_strFontName = "No Such Face";
    b->AdaptToPrinter(&doc);
    EXPECT_EQ(b->m_nFontWidth, 0);
}

TEST_F(BarcodeDraw, ExportWritesTheTextLineToo)
{
    CDrawBarcode* b = Make(BS_CODE39, "ABC");
    b->m_nFontStyle = BFS_BOLD | BFS_ITALIC;
    b->m_bUnderline = 1;
    std::string out;
    int index = 5;
    ASSERT_TRUE(b->ExportText(out, index));
    EXPECT_EQ(index, 7);
    const size_t nl = out.find('\n');
    ASSERT_NE(nl, std::string::npos);
    const std::string line = out.substr(nl + 1);
    CRect text;
    b->LayoutBarcode(nullptr, nullptr, nullptr, nullptr, &text);
    const std::string head = "String6 =  " + std::to_string(DotsToUnitsAt(text.left, 203) / 10) + "," +
                             std::to_string(DotsToUnitsAt(text.top, 203) / 10) + ",\"Arial\",32,";
    EXPECT_EQ(line.substr(0, head.size()), head) << line;
    EXPECT_NE(line.find(",111,0,\"%Part\"\n"), std::string::npos) << line;

    // Without a variable the lines carry the design data (a space) and its
    // readable text.
    b->m_check.showStartStop = 1;
    CVariable* v = b->m_variables.front();
    b->m_variables.clear();
    out.clear();
    b->ExportText(out, index);
    EXPECT_NE(out.find(",0,0,\" \"\nString"), std::string::npos) << out;
    EXPECT_NE(out.find(",0,\"* *\"\n"), std::string::npos) << out;
    b->m_variables.push_back(v);
}

}  // namespace
