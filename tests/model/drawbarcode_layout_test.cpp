// Where the barcode object puts bars and text, how it sizes itself, how
// handle drags and printer changes act on module and bar height, the
// printer's default fonts and the lists of the property page.
#include <gtest/gtest.h>

#include "model/barcode_options.h"
#include "model/drawbarcode.h"
#include "data/variable.h"
#include "drivers/printer_list.h"
#include "model/view.h"
#include "model/document.h"
#include "platform/monobitmap.h"

namespace {

// ---- bars and text inside the object rectangle -------------------------------

TEST(BarcodeLayout, RectanglesByRotationPlacementAndAlignment)
{
    struct Case {
        int rotation;
        int placement;
        int align;
        CRect bars;
        CRect text;
    };
    // A 100 x 40 symbol (40 x 100 when turned) under a 150 x 20 text with a
    // gap of 5, in the rectangle that exactly holds them.
    const Case cases[] = {
        {0, BTP_BELOW, BTA_CENTER, {35, 10, 135, 50}, {10, 55, 160, 75}},
        {0, BTP_BELOW, BTA_LEFT, {10, 10, 110, 50}, {10, 55, 160, 75}},
        {0, BTP_BELOW, BTA_RIGHT, {60, 10, 160, 50}, {10, 55, 160, 75}},
        {0, BTP_BELOW, BTA_FULL, {10, 10, 110, 50}, {10, 55, 110, 75}},
        {0, BTP_ABOVE, BTA_CENTER, {35, 35, 135, 75}, {10, 10, 160, 30}},
        {1, BTP_BELOW, BTA_CENTER, {10, 35, 50, 135}, {55, 10, 75, 160}},
        {1, BTP_BELOW, BTA_LEFT, {10, 60, 50, 160}, {55, 10, 75, 160}},
        {1, BTP_BELOW, BTA_RIGHT, {10, 10, 50, 110}, {55, 10, 75, 160}},
        {1, BTP_ABOVE, BTA_CENTER, {35, 35, 75, 135}, {10, 10, 30, 160}},
        {2, BTP_BELOW, BTA_CENTER, {35, 35, 135, 75}, {10, 10, 160, 30}},
        {2, BTP_BELOW, BTA_LEFT, {60, 35, 160, 75}, {10, 10, 160, 30}},
        {2, BTP_ABOVE, BTA_RIGHT, {10, 10, 110, 50}, {10, 55, 160, 75}},
        {3, BTP_BELOW, BTA_CENTER, {35, 35, 75, 135}, {10, 10, 30, 160}},
        {3, BTP_BELOW, BTA_LEFT, {35, 10, 75, 110}, {10, 10, 30, 160}},
        {3, BTP_ABOVE, BTA_CENTER, {10, 35, 50, 135}, {55, 10, 75, 160}},
    };
    for (const auto& c : cases) {
        BarcodeLayoutInput in;
        const bool turned = c.rotation & 1;
        in.object = turned ? CRect(10, 10, 75, 160) : CRect(10, 10, 160, 75);
        in.symbol = turned ? CSize(40, 100) : CSize(100, 40);
        in.text = CSize(150, 20);
        in.gap = 5;
        in.rotation = c.rotation;
        in.placement = c.placement;
        in.align = c.align;
        const BarcodeLayout out = ComputeBarcodeLayout(in);
        const std::string what = "rotation " + std::to_string(c.rotation) + " placement " +
                                 std::to_string(c.placement) + " align " + std::to_string(c.align);
        EXPECT_EQ(out.bars, c.bars) << what;
        EXPECT_EQ(out.text, c.text) << what;
        CRect u;
        u.UnionRect(c.bars, c.text);
        EXPECT_EQ(out.object, u) << what;
    }
}

TEST(BarcodeLayout, AnchorsMoveBarsAndTextTogether)
{
    struct Case {
        int anchorH, anchorV;
        CRect bars;
    };
    const Case cases[] = {
        {0, 0, {0, 0, 100, 40}},   {1, 0, {100, 0, 200, 40}}, {2, 0, {50, 0, 150, 40}},
        {0, 1, {0, 30, 100, 70}},  {0, 2, {0, 60, 100, 100}}, {2, 2, {50, 60, 150, 100}},
    };
    for (const auto& c : cases) {
        BarcodeLayoutInput in;
        in.object = CRect(0, 0, 200, 100);
        in.symbol = CSize(100, 40);
        in.anchorH = c.anchorH;
        in.anchorV = c.anchorV;
        const BarcodeLayout out = ComputeBarcodeLayout(in);
        EXPECT_EQ(out.bars, c.bars) << c.anchorH << "," << c.anchorV;
        EXPECT_EQ(out.object, c.bars);
        EXPECT_TRUE(out.text.IsRectNull());
    }
}

// ---- bounds ---------------------------------------------------------------------

TEST(BarcodeSize, GrowsFromTheCornerTheRotationFixes)
{
    // 600 x 300 dots at 600 dpi are 2540 x 1270 units.
    struct Case {
        int rotation;
        CRect expect;
    };
    const Case cases[] = {
        {0, {1000, 1000, 3540, 2270}},
        {1, {1000, 1460, 2270, 4000}},
        {2, {2460, 2730, 5000, 4000}},
        {3, {3730, 1000, 5000, 3540}},
    };
    for (const auto& c : cases) {
        BarcodeSizeInput in;
        in.old = CRect(1000, 1000, 5000, 4000);
        in.symbol = (c.rotation & 1) ? CSize(300, 600) : CSize(600, 300);
        in.rotation = c.rotation;
        in.barHeight = 1270;
        EXPECT_EQ(ComputeBarcodeSize(in).rect, c.expect) << c.rotation;
    }
}

TEST(BarcodeSize, TextBlocksAnchorsAndFollowingHeights)
{
    BarcodeSizeInput in;
    in.old = CRect(1000, 1000, 5000, 4000);
    in.symbol = CSize(600, 300);
    in.barHeight = 1270;
    in.hasText = true;
    in.text = CSize(3000, 300);
    in.gap = 100;

    // Text wider than the symbol: the block takes the text's width and the
    // bars sit inside it by the alignment.
    in.align = BTA_CENTER;
    BarcodeSize s = ComputeBarcodeSize(in);
    EXPECT_EQ(s.rect, CRect(1000, 1000, 4000, 2670));
    EXPECT_EQ(s.barOffset, 230);
    in.align = BTA_RIGHT;
    EXPECT_EQ(ComputeBarcodeSize(in).barOffset, 460);
    in.align = BTA_LEFT;
    EXPECT_EQ(ComputeBarcodeSize(in).barOffset, 0);
    // Full alignment fits the text to the symbol.
    in.align = BTA_FULL;
    in.text.cx = 0;
    s = ComputeBarcodeSize(in);
    EXPECT_EQ(s.rect, CRect(1000, 1000, 3540, 2670));
    EXPECT_EQ(s.barOffset, 0);

    // Anchors keep the right edge and the bottom of the old rectangle.
    in.anchorH = "1";
    in.anchorV = "2";
    s = ComputeBarcodeSize(in);
    EXPECT_EQ(s.rect, CRect(5000 - 2540, 4000 - 1670, 5000, 4000));
    in.anchorH = "2";
    in.anchorV = "1";
    s = ComputeBarcodeSize(in);
    EXPECT_EQ(s.rect.CenterPoint(), CRect(1000, 1000, 5000, 4000).CenterPoint());
    // An explicit 0 keeps the left edge and the top even when turned.
    in.anchorH = "0";
    in.anchorV = "0";
    in.rotation = 2;
    s = ComputeBarcodeSize(in);
    EXPECT_EQ(s.rect.TopLeft(), CPoint(1000, 1000));

    // A symbol whose height follows the bitmap takes its depth.
    BarcodeSizeInput m;
    m.old = CRect(0, 0, 100, 100);
    m.symbol = CSize(600, 600);
    m.barHeight = 500;
    m.heightFollowsSymbol = true;
    s = ComputeBarcodeSize(m);
    EXPECT_EQ(s.barHeight, 2540);
    EXPECT_EQ(s.rect, CRect(0, 0, 2540, 2540));

    // No symbol: the rectangle stays so that the object remains visible.
    m.symbol = CSize(0, 0);
    EXPECT_EQ(ComputeBarcodeSize(m).rect, CRect(0, 0, 100, 100));
}

// ---- objects in a document ---------------------------------------------------

class BarcodeInDoc : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 203;
        var = new CVariable;
        var->m_strName = "Part";
        var->m_strData = "KV-2026-0042";
        doc.AddVariable(var);
    }
    CDrawBarcode* Make(int symbology, const char* data = nullptr)
    {
        auto* b = new CDrawBarcode(CRect(1000, 1000, 1000, 1000));
        doc.AddObject(b);
        b->m_nSymbology = symbology;
        b->m_nModuleWidth = 493;
        b->m_nTextPlacement = BTP_NONE;
        if (data) {
            auto* v = new CVariable;
            v->m_strData = data;
            doc.AddVariable(v);
            b->AddVariable(v);
        } else {
            b->AddVariable(var);
        }
        b->RecalcSize();
        return b;
    }
    CKVDoc doc;
    CVariable* var = nullptr;
};

TEST_F(BarcodeInDoc, RecalcSizeFollowsTheSymbol)
{
    CDrawBarcode* b = Make(BS_CODE128);
    ASSERT_TRUE(b->GetBitmap());
    const int w = b->GetBitmap()->Width();
    EXPECT_EQ(b->m_position, CRect(1000, 1000, 1000 + MulDiv(w, 25402, 2030), 1000 + b->m_nBarHeight));
    // Turned a quarter, the same symbol stands on the bottom-left corner.
    b->m_position = CRect(1000, 1000, 5000, 9000);
    b->m_nRotation = 1;
    b->RecalcSize();
    EXPECT_EQ(b->GetBitmap()->Height(), w);
    EXPECT_EQ(b->m_position, CRect(1000, 9000 - MulDiv(w, 25402, 2030), 1000 + b->m_nBarHeight, 9000));

    // A QR symbol's height is the symbol's.
    CDrawBarcode* q = Make(BS_QRCODE);
    ASSERT_TRUE(q->GetBitmap());
    EXPECT_EQ(q->m_nBarHeight, MulDiv(q->GetBitmap()->Height(), 25402, 2030));
    EXPECT_EQ(q->m_position.Height(), q->m_nBarHeight);
}

TEST_F(BarcodeInDoc, DraggingTheWidthDoublesTheModuleInWholeDots)
{
    CDrawBarcode* b = Make(BS_CODE128);
    const CRect old = b->m_position;
    const int oldWidth = b->GetBitmap()->Width();
    b->MoveHandleTo(4, CPoint(old.left + 2 * old.Width(), old.CenterPoint().y), nullptr);
    EXPECT_EQ(b->m_nModuleWidth, 985);  // 2 dots at 203 dpi
    EXPECT_EQ(b->GetBitmap()->Width(), 2 * oldWidth);
    EXPECT_EQ(b->m_position.left, old.left);
    EXPECT_EQ(b->m_position.bottom, old.bottom);
    EXPECT_EQ(b->m_nBarHeight, 1000);

    // The left handle keeps the top-right corner.
    const CRect r = b->m_position;
    b->MoveHandleTo(8, CPoint(r.right - r.Width() / 2, r.CenterPoint().y), nullptr);
    EXPECT_EQ(b->m_nModuleWidth, 493);
    EXPECT_EQ(b->m_position.right, r.right);
    EXPECT_EQ(b->m_position.top, r.top);

    // Below one dot or above the printer's widest module nothing changes.
    const CRect before = b->m_position;
    b->MoveHandleTo(4, CPoint(before.left + before.Width() / 3, before.top), nullptr);
    EXPECT_EQ(b->m_nModuleWidth, 493);
    b->MoveHandleTo(4, CPoint(before.left + 30 * before.Width(), before.top), nullptr);
    EXPECT_EQ(b->m_nModuleWidth, 493);
    EXPECT_EQ(b->m_position, before);
}

TEST_F(BarcodeInDoc, QrCornerTakesTheSmallerRatio)
{
    CDrawBarcode* q = Make(BS_QRCODE);
    q->m_nModuleWidth = 1000;  // 2 dots
    q->RecalcSize();
    const CRect old = q->m_position;
    // 1.5 times as wide, twice as high: the module grows by half, to 3 dots.
    q->MoveHandleTo(5, CPoint(old.left + old.Width() * 3 / 2, old.top + old.Height() * 2), nullptr);
    EXPECT_EQ(q->m_nModuleWidth, MulDiv(3, 100000, 203));
    EXPECT_EQ(q->m_position.TopLeft(), old.TopLeft());
    // A side handle of a matrix symbol asks for the module too: stretching
    // one side alone leaves the smaller ratio at 100.
    const int module = q->m_nModuleWidth;
    const CRect r = q->m_position;
    q->MoveHandleTo(6, CPoint(r.CenterPoint().x, r.bottom + r.Height()), nullptr);
    EXPECT_EQ(q->m_nModuleWidth, module);
    EXPECT_EQ(q->m_position, r);
}

TEST_F(BarcodeInDoc, TopHandleChangesOnlyTheBarHeight)
{
    CDrawBarcode* b = Make(BS_CODE128);
    const CMonoBitmap* bitmap = b->GetBitmap();
    const int bitmapHeight = bitmap->Height();
    const CRect old = b->m_position;
    b->MoveHandleTo(2, CPoint(old.CenterPoint().x, old.top - 500), nullptr);
    EXPECT_EQ(b->m_nBarHeight, 1500);
    EXPECT_EQ(b->m_nModuleWidth, 493);
    EXPECT_EQ(b->m_position, CRect(old.left, old.top - 500, old.right, old.bottom));
    // The bitmap is kept and stretched when drawn.
    EXPECT_EQ(b->GetBitmap(), bitmap);
    EXPECT_EQ(b->GetBitmap()->Height(), bitmapHeight);

    // Under the smallest height the drag is refused.
    b->MoveHandleTo(2, CPoint(old.CenterPoint().x, old.bottom - 50), nullptr);
    EXPECT_EQ(b->m_nBarHeight, 1500);

    // EAN-13 with its digits is remade at once: the digits depend on the height.
    CDrawBarcode* e = Make(BS_EAN13, "590123412345");
    e->m_nTextPlacement = BTP_DEFAULT;
    e->RecalcSize();
    const CRect er = e->m_position;
    e->MoveHandleTo(6, CPoint(er.CenterPoint().x, er.bottom + 1000), nullptr);
    EXPECT_EQ(e->m_nBarHeight, 2000);
    EXPECT_EQ(e->GetBitmap()->Height(), MulDiv(2000 * 203, 10, 25402));

    // Turned a quarter, the right handle moves across the symbol.
    CDrawBarcode* t = Make(BS_CODE39);
    t->m_nRotation = 1;
    t->RecalcSize();
    const CRect tr = t->m_position;
    t->MoveHandleTo(4, CPoint(tr.right + 200, tr.CenterPoint().y), nullptr);
    EXPECT_EQ(t->m_nBarHeight, 1200);
    EXPECT_EQ(t->m_nModuleWidth, 493);
}

TEST_F(BarcodeInDoc, DataBarHeightsAndDrags)
{
    // Stacked: the symbol's own height becomes the bar height.
    CDrawBarcode* s = Make(BS_DATABAR, "0001234567890");
    s->m_dataBar.type = DBT_STACKED;
    s->m_nModuleWidth = 985;
    s->RecalcSize();
    ASSERT_TRUE(s->GetBitmap());
    EXPECT_EQ(s->m_nBarHeight, MulDiv(s->GetBitmap()->Height(), 25402, 2030));
    // Held to the GS1 sizes, every handle changes the module only.
    s->m_dataBar.hold = 1;
    s->RecalcSize();
    const CRect r = s->m_position;
    s->MoveHandleTo(2, CPoint(r.CenterPoint().x, r.top - r.Height()), nullptr);
    EXPECT_EQ(s->m_nModuleWidth, 985);
    s->MoveHandleTo(4, CPoint(r.left + 2 * r.Width(), r.CenterPoint().y), nullptr);
    EXPECT_EQ(s->m_nModuleWidth, MulDiv(4, 100000, 203));

    // Stacked Omnidirectional draws its rows from the height: a height drag
    // remakes the bitmap at once.
    CDrawBarcode* o = Make(BS_DATABAR, "0001234567890");
    o->m_dataBar.type = DBT_STACKED_OMNI;
    o->m_nModuleWidth = 985;
    o->m_nBarHeight = 3000;
    o->RecalcSize();
    const int before = o->GetBitmap()->Height();
    const CRect orc = o->m_position;
    o->MoveHandleTo(6, CPoint(orc.CenterPoint().x, orc.bottom + 1000), nullptr);
    EXPECT_EQ(o->m_nBarHeight, 4000);
    EXPECT_GT(o->GetBitmap()->Height(), before);
}

class ToolView : public CKVView {
public:
    int GetCurrentTool() const override { return 3; }
};

TEST_F(BarcodeInDoc, LockedObjectsAndTheDrawingTool)
{
    CDrawBarcode* b = Make(BS_CODE128);
    const CRect old = b->m_position;
    b->m_dwFlags |= OF_LOCKED;
    b->MoveHandleTo(5, CPoint(old.right + 1000, old.bottom + 1000), nullptr);
    EXPECT_EQ(b->m_position, old);
    EXPECT_EQ(b->m_nModuleWidth, 493);
    EXPECT_EQ(b->m_nBarHeight, 1000);

    b->m_dwFlags &= ~DWORD(OF_LOCKED);
    ToolView view;
    b->MoveHandleTo(5, CPoint(old.right + 1000, old.bottom + 1000), &view);
    EXPECT_EQ(b->m_position, CRect(old.left, old.top, old.right + 1000, old.bottom + 1000));
    EXPECT_EQ(b->m_nModuleWidth, 493);
}

TEST_F(BarcodeInDoc, PrinterChangeSnapsModuleAndRatio)
{
    struct Case {
        int module, ratio;
        int expectModule, expectRatio;
    };
    const Case cases[] = {
        {1000, 250, 985, 250},    // 2 dots, wide 5 dots
        {1000, 275, 985, 300},    // wide 5.5 dots becomes 6
        {100, 300, 493, 300},     // below a dot: 1 dot
        {50000, 300, 9852, 300},  // wider than 20 dots: 20 dots
    };
    for (const auto& c : cases) {
        CDrawBarcode* b = Make(BS_CODE39);
        b->m_nModuleWidth = c.module;
        b->m_nRatio = c.ratio;
        b->AdaptToPrinter(&doc);
        EXPECT_EQ(b->m_nModuleWidth, c.expectModule) << c.module;
        EXPECT_EQ(b->m_nRatio, c.expectRatio) << c.module;
    }
    // With the Default placement the printer's text defaults come along.
    CDrawBarcode* b = Make(BS_CODE128);
    b->m_nTextPlacement = BTP_DEFAULT;
    b->m_nModuleWidth = 1000;
    b->AdaptToPrinter(&doc);
    EXPECT_EQ(b->m_strFontName, "Arial");
    EXPECT_EQ(b->m_nFontHeight, MulDiv(985, 8, 10));
}

TEST_F(BarcodeInDoc, PrinterDefaultsByLanguage)
{
    struct Case {
        int language;
        const char* face;
        int height;
        int align;
        int gap;
        int startStop;
    };
    const Case cases[] = {
        {0, "Arial", 788, BTA_CENTER, 100, 1},
        {15, "Arial", 788, BTA_CENTER, 100, 0},
        {1, "Zebra Font A", MulDiv(18, 7200, 203), BTA_CENTER, 100, 1},
        {9, "SATO Font U", MulDiv(18, 7200, 203), BTA_CENTER, 100, 1},
        {2, "Datamax Font 1", MulDiv(13, 7200, 203), BTA_CENTER, 70, 0},
        {16, "Datamax Font 1", MulDiv(13, 7200, 203), BTA_CENTER, 0, 0},
        {5, "Argox Font 1", MulDiv(13, 7200, 203), BTA_CENTER, 0, 0},
        {3, "Tsc Font 3", MulDiv(24, 7200, 203), BTA_LEFT, 100, 0},
        {7, "Intermec Font 2", MulDiv(20, 7200, 203), BTA_LEFT, 100, 0},
        {19, "Argox Font 3", MulDiv(20, 7200, 203), BTA_LEFT, 100, 0},
        {6, "EZ CG Triumvirate", 800, BTA_LEFT, 100, 1},
    };
    for (const auto& c : cases) {
        doc.m_format.m_nLanguage = c.language;
        CDrawBarcode b;
        b.m_nSymbology = BS_CODE39;
        b.ApplyPrinterDefaults(&doc);
        EXPECT_EQ(b.m_nModuleWidth, 985) << c.language;
        EXPECT_EQ(b.m_strFontName, c.face) << c.language;
        EXPECT_EQ(b.m_nFontHeight, c.height) << c.language;
        EXPECT_EQ(b.m_nTextAlign, c.align) << c.language;
        EXPECT_EQ(b.m_nTextGap, c.gap) << c.language;
        EXPECT_EQ(b.m_check.showStartStop, c.startStop) << c.language;
        EXPECT_EQ(b.m_nCharSet, 0) << c.language;
    }
    // A language without defaults keeps the font.
    doc.m_format.m_nLanguage = 12;
    CDrawBarcode keep;
    keep.m_strFontName = "Courier New";
    keep.ApplyPrinterDefaults(&doc);
    EXPECT_EQ(keep.m_strFontName, "Courier New");
    EXPECT_EQ(keep.m_nCharSet, 1);
    // Symbols with digits of their own or without text get no font.
    doc.m_format.m_nLanguage = 1;
    for (int code : {BS_EAN13, BS_UPCE, BS_QRCODE, BS_DATAMATRIX}) {
        CDrawBarcode b;
        b.m_nSymbology = code;
        b.m_strFontName = "Arial";
        b.ApplyPrinterDefaults(&doc);
        EXPECT_EQ(b.m_strFontName, "") << code;
    }
    // The Windows-driver switch of the label counts as printing through Windows.
    doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "Y");
    CDrawBarcode w;
    w.ApplyPrinterDefaults(&doc);
    EXPECT_EQ(w.m_strFontName, "Arial");
}

TEST_F(BarcodeInDoc, PrinterFontsTakeTheCataloguesBrandWord)
{
    const std::vector<CPrinterEntry> saved = CPrinterList::Instance().Entries();
    CPrinterEntry p;
    p.m_strName = "Label Printer 1";
    p.m_nLanguage = 1;
    p.m_nHDpi = p.m_nVDpi = 203;
    p.m_strBrand = "Acme";
    CPrinterList::Instance().SetEntries({p});
    doc.m_format.m_strPrinter = "Label Printer 1";
    doc.m_format.m_nLanguage = 1;
    CDrawBarcode b;
    b.ApplyPrinterDefaults(&doc);
    EXPECT_EQ(b.m_strFontName, "Acme Font A");
    doc.m_format.m_nLanguage = 0;
    b.ApplyPrinterDefaults(&doc);
    EXPECT_EQ(b.m_strFontName, "Arial");
    CPrinterList::Instance().SetEntries(saved);
}

TEST_F(BarcodeInDoc, ExportLine)
{
    CDrawBarcode* b = Make(BS_CODE39);
    b->m_position = CRect(1000, 2000, 5000, 3000);
    b->m_nModuleWidth = 1000;
    b->m_nRatio = 250;
    std::string out;
    int index = 1;
    EXPECT_TRUE(b->ExportText(out, index));
    EXPECT_EQ(out, "Barcode1 =  100,200,1,10,25,100,0,0,\"%Part\"\n");
    EXPECT_EQ(index, 2);
    // Turned, the anchor is the corner the symbol starts from.
    b->m_nRotation = 2;
    out.clear();
    b->ExportText(out, index);
    EXPECT_EQ(out, "Barcode2 =  500,300,1,10,25,100,0,2,\"%Part\"\n");
    // Without a variable the design data is written.
    b->RemoveVariable(var);
    b->m_nRotation = 0;
    out.clear();
    b->ExportText(out, index);
    EXPECT_EQ(out, "Barcode3 =  100,200,1,10,25,100,0,0,\" \"\n");

    CDrawBarcode* q = Make(BS_QRCODE, "qr");
    out.clear();
    EXPECT_FALSE(q->ExportText(out, index));
    EXPECT_EQ(out, "");
    EXPECT_EQ(index, 4);
}

// ---- what the property page offers -----------------------------------------

TEST(BarcodeOptions, SymbologyList)
{
    const int codes[] = {1, 2, 3, 4, 23, 24, 5, 6, 7, 8, 9, 10, 11, 12, 13, 19, 20, 21, 22};
    const auto& list = SymbologyList();
    ASSERT_EQ(list.size(), 19u);
    for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].code, codes[i]) << i;
    EXPECT_EQ(SymbologyName(23, true), "ITF 14");
    EXPECT_EQ(SymbologyName(24, false), "GS1 DataBar(RSS)");
    EXPECT_EQ(SymbologyName(22, true), "Chinese-Sensible Code");
    EXPECT_EQ(SymbologyName(22, false), "\xBA\xBA\xD0\xC5\xC2\xEB");
    EXPECT_EQ(SymbologyName(14, true), "");
    EXPECT_EQ(SymbologyListIndex(9), 10);
    EXPECT_EQ(SymbologyListIndex(15), -1);
}

TEST(BarcodeOptions, ModuleWidthsAreWholeDots)
{
    const auto list = ModuleWidthChoices(203, 20);
    ASSERT_EQ(list.size(), 20u);
    EXPECT_EQ(list[0], (BarcodeChoice{"4.93 mil", 493}));
    EXPECT_EQ(list[1], (BarcodeChoice{"9.85 mil", 985}));
    EXPECT_EQ(ModuleWidthChoices(300, 30)[0], (BarcodeChoice{"3.33 mil", 333}));
    EXPECT_EQ(ModuleDotsFor(493, 203), 1);
    EXPECT_EQ(ModuleDotsFor(985, 203), 2);
    // The base driver's widest module is a tenth of the resolution.
    CDrawBarcode b;
    CKVDoc doc;
    doc.m_format.m_nHDpi = 203;
    doc.AddObject(&b);
    EXPECT_EQ(b.MaxModuleDots(), 20);
    EXPECT_EQ(b.OfferedModuleWidths(), ModuleWidthChoices(203, 20));
    b.m_nModuleWidth = 985;
    EXPECT_EQ(b.OfferedRatios(), RatioChoices(2, false));
    b.m_nSymbology = BS_PDF417;
    EXPECT_EQ(b.OfferedRatios().back(), (BarcodeChoice{"4.00", 400}));
    doc.m_objects.clear();
}

TEST(BarcodeOptions, RatiosKeepTheWideElementWhole)
{
    auto texts = [](const std::vector<BarcodeChoice>& l) {
        std::string s;
        for (const auto& c : l) s += c.text + "=" + std::to_string(c.value) + " ";
        return s;
    };
    EXPECT_EQ(texts(RatioChoices(1, false)), "2.00=200 3.00=300 ");
    EXPECT_EQ(texts(RatioChoices(2, false)), "2.00=200 2.50=250 3.00=300 ");
    EXPECT_EQ(texts(RatioChoices(3, false)), "2.00=200 2.33=233 2.67=267 3.00=300 ");
    EXPECT_EQ(texts(RatioChoices(1, true)), "1.00=100 2.00=200 3.00=300 4.00=400 ");
    EXPECT_EQ(RatioChoices(2, true).size(), 7u);
}

TEST(BarcodeOptions, PlacementsAndOptionsPerSymbology)
{
    EXPECT_EQ(PlacementChoices(BS_CODE128).size(), 4u);
    EXPECT_EQ(PlacementChoices(BS_EAN13), (std::vector<BarcodeChoice>{{"Default", 0}, {"None", 1}}));
    EXPECT_EQ(PlacementChoices(BS_QRCODE), (std::vector<BarcodeChoice>{{"None", 1}}));
    EXPECT_EQ(StoredPlacement(BS_UPCA, BTP_ABOVE), BTP_DEFAULT);
    EXPECT_EQ(StoredPlacement(BS_UPCA, BTP_NONE), BTP_NONE);
    EXPECT_EQ(StoredPlacement(BS_CODE39, BTP_ABOVE), BTP_ABOVE);
    EXPECT_FALSE(OffersBarHeight(BS_DATAMATRIX));
    EXPECT_TRUE(OffersBarHeight(BS_DATABAR));
    EXPECT_FALSE(OffersRatio(BS_CODE93));
    EXPECT_EQ(StoredBarHeight(40), 100);

    EXPECT_EQ(CheckDigitChoices(BS_CODABAR),
              (std::vector<BarcodeChoice>{{"None", 0}, {"Module 10", 1}, {"Library Check Code", 3}}));
    EXPECT_EQ(ShownCheckDigit(BS_CODABAR, 2), 1);
    EXPECT_EQ(CheckDigitChoices(BS_CODE39).size(), 4u);
    EXPECT_TRUE(OptionControls(BS_ITF25) & BOC_CHECK_BOX);
    EXPECT_TRUE(OptionControls(BS_CODE39) & BOC_FULL_ASCII_OFF);
    EXPECT_EQ(OptionControls(BS_CODE93), 0u);
    EXPECT_EQ(PdfLevelChoices()[1], (BarcodeChoice{"0", 1}));
    EXPECT_EQ(PdfRowChoices().back(), (BarcodeChoice{"90", 90}));
    EXPECT_EQ(HanXinVersionChoices().size(), 85u);
    EXPECT_EQ(DataBarSegmentChoices().front(), (BarcodeChoice{"2", 1}));
    EXPECT_EQ(DataBarSegmentChoices().back(), (BarcodeChoice{"22", 11}));
    EXPECT_TRUE(DataBarTakesSeparator(DBT_STACKED_OMNI));
    EXPECT_FALSE(DataBarTakesSegments(DBT_STACKED));
    EXPECT_FALSE(ShowsBearerSizes(0));
}

}  // namespace
