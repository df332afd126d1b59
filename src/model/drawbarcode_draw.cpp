// Drawing the barcode object on screen, on a printer page and into the
// monochrome bitmaps of command-language printers: the symbol bitmap
// stretched into the bars rectangle (opaque, transparent or reversed), the
// human-readable line through the shared text renderer.
#include "model/drawbarcode.h"
#include "data/variable.h"
#include "model/printer_font_table.h"
#include "model/view.h"
#include "model/document.h"
#include "model/text_render.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"
#include "platform/monobitmap_ops.h"
#include "platform/strutil.h"

namespace {

constexpr int kBarcodeTool = 3;

// The rectangle mirrored across the symbol inside the object rectangle.
CRect FlipAcross(const CRect& r, const CRect& object, int rotation)
{
    if (r.IsRectNull()) return r;
    if (rotation & 1)
        return CRect(object.left + object.right - r.right, r.top, object.left + object.right - r.left, r.bottom);
    return CRect(r.left, object.top + object.bottom - r.bottom, r.right, object.top + object.bottom - r.top);
}

CRect ScaleRect(const CRect& r, int numX, int denX, int numY, int denY)
{
    return CRect(MulDiv(r.left, numX, denX), MulDiv(r.top, numY, denY), MulDiv(r.right, numX, denX),
                 MulDiv(r.bottom, numY, denY));
}

}  // namespace

LOGFONT CDrawBarcode::GetFontDescription() const
{
    return FontDescription({m_strFontName, m_nFontHeight, m_nFontWidth, (m_nFontStyle & BFS_BOLD) != 0,
                            (m_nFontStyle & BFS_ITALIC) != 0, m_bUnderline != 0, m_bStrikeOut != 0, m_nCharSet,
                            m_nPitchAndFamily});
}

CSize CDrawBarcode::MeasureHumanReadable(const std::string& text) { return MeasureText(text, GetFontDescription()); }

bool CDrawBarcode::DrawsReverse() const
{
    if (!IsReverse()) return false;
    const CPrinterFontTable* table = GetFontTable();
    const CPrinterFontEntry* e = table ? table->Find(m_strFontName) : nullptr;
    return !e || CPrinterFontTable::IsWindowsFont(e) || Capability(3, 0) != 0;
}

void CDrawBarcode::LayoutBarcode(CDC* dc, CLabelPos* pos, CRect* object, CRect* bars, CRect* text)
{
    const std::string data = pos ? GetLabelText(pos) : GetText();
    LayoutWithSymbol(dc, data, MeasureSymbol(data), object, bars, text);
}

void CDrawBarcode::LayoutWithSymbol(CDC* dc, const std::string& data, CSize symbol, CRect* object, CRect* bars,
                                    CRect* text)
{
    const int fmtX = FormatDpiX(), fmtY = FormatDpiY();
    const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : fmtX;
    const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : fmtY;

    BarcodeLayoutInput in;
    const CRect p = m_position.Normalized();
    in.object = CRect(UnitsToDots(p.left, dpiX), UnitsToDots(p.top, dpiY), UnitsToDots(p.right, dpiX),
                      UnitsToDots(p.bottom, dpiY));
    in.symbol = CSize(MulDiv(symbol.cx, dpiX, fmtX), MulDiv(symbol.cy, dpiY, fmtY));
    if (DrawsText()) {
        const CSize t = MeasureTextDots(HumanReadableOf(data), GetFontDescription());
        // Measured along and across the text, which turns with the object.
        const bool turned = (m_nRotation & 1) != 0;
        const int along = MulDiv(t.cx, turned ? dpiY : dpiX, fmtX);
        const int across = MulDiv(t.cy, turned ? dpiX : dpiY, fmtY);
        in.text = CSize(along, across);
    }
    in.gap = UnitsToDots(m_nTextGap, (m_nRotation & 1) ? dpiX : dpiY);
    in.rotation = m_nRotation;
    in.placement = m_nTextPlacement;
    in.align = m_nTextAlign;
    in.anchorH = AtoI(GetProperty(OP_ANCHOR_H));
    in.anchorV = AtoI(GetProperty(OP_ANCHOR_V));
    const BarcodeLayout out = ComputeBarcodeLayout(in);
    if (object) *object = out.object;
    if (bars) *bars = out.bars;
    if (text) *text = out.text;
}

void CDrawBarcode::DesignRects(int textWidth, CRect* bars, CRect* text) const
{
    // In label units, from the bounds the last recalculation gave: the bars
    // keep their offset inside a wider text block and the stored height,
    // so that a height drag stretches the kept bitmap.
    const CRect p = m_position.Normalized();
    const int q = m_nRotation & 3;
    int length = 0;
    if (m_hBitmap)
        length = (q & 1) ? DotsToUnitsAt(m_hBitmap->Height(), FormatDpiY())
                         : DotsToUnitsAt(m_hBitmap->Width(), FormatDpiX());
    const int bh = m_nBarHeight;
    const int gap = m_nTextGap;
    const bool above = m_nTextPlacement == BTP_ABOVE;
    // Along the symbol in reading direction: s runs from 0 at the start
    // edge of the rectangle (left, bottom, right, top by rotation).
    const int extent = (q & 1) ? p.Height() : p.Width();
    int t0 = 0, t1 = extent;
    switch (m_nTextAlign) {
    case BTA_LEFT: t1 = textWidth; break;
    case BTA_RIGHT: t0 = extent - textWidth; break;
    case BTA_FULL: t0 = m_nBarOffset; t1 = m_nBarOffset + length; break;
    default: t0 = (extent - textWidth) / 2; t1 = t0 + textWidth; break;
    }
    const int b0 = m_nBarOffset, b1 = m_nBarOffset + length;
    CRect b, t;
    switch (q) {
    case 1:  // reading upward; "below" is to the right
        b = CRect(above ? p.right - bh : p.left, p.bottom - b1, above ? p.right : p.left + bh, p.bottom - b0);
        t = above ? CRect(p.left, p.bottom - t1, b.left - gap, p.bottom - t0)
                  : CRect(b.right + gap, p.bottom - t1, p.right, p.bottom - t0);
        break;
    case 2:  // upside down; "below" is above
        b = CRect(p.right - b1, above ? p.top : p.bottom - bh, p.right - b0, above ? p.top + bh : p.bottom);
        t = above ? CRect(p.right - t1, b.bottom + gap, p.right - t0, p.bottom)
                  : CRect(p.right - t1, p.top, p.right - t0, b.top - gap);
        break;
    case 3:  // reading downward; "below" is to the left
        b = CRect(above ? p.left : p.right - bh, p.top + b0, above ? p.left + bh : p.right, p.top + b1);
        t = above ? CRect(b.right + gap, p.top + t0, p.right, p.top + t1)
                  : CRect(p.left, p.top + t0, b.left - gap, p.top + t1);
        break;
    default:
        b = CRect(p.left + b0, above ? p.bottom - bh : p.top, p.left + b1, above ? p.bottom : p.top + bh);
        t = above ? CRect(p.left + t0, p.top, p.left + t1, b.top - gap)
                  : CRect(p.left + t0, b.bottom + gap, p.left + t1, p.bottom);
        break;
    }
    if (GetMirror() == 2) {
        b = FlipAcross(b, p, q);
        t = FlipAcross(t, p, q);
    }
    if (bars) *bars = b;
    if (text) *text = t;
}

void CDrawBarcode::DrawSymbolAndText(CKVView* view, CDC* dc, const CMonoBitmap* symbol, const CRect& object,
                                     const CRect& bars, const CRect& textBox, const std::string& text)
{
    const COLORREF ink = CanPrintColour() ? m_crColor : 0;
    const bool reverse = DrawsReverse();
    const int saved = dc->SaveDC();
    if (reverse) {
        // The whole object in the ink, the bars white on it.
        dc->FillSolidRect(object, ink);
        dc->SetTextColor(0xFFFFFF);
        dc->SetBkColor(ink);
        if (symbol)
            dc->StretchMono(bars.left, bars.top, bars.Width(), bars.Height(), *symbol, 0, 0, symbol->Width(),
                            symbol->Height(), RasterOp::Copy);
    } else if (m_nBackground == 0) {
        dc->FillSolidRect(object, 0xFFFFFF);
        dc->SetTextColor(ink);
        dc->SetBkColor(0xFFFFFF);
        if (symbol)
            dc->StretchMono(bars.left, bars.top, bars.Width(), bars.Height(), *symbol, 0, 0, symbol->Width(),
                            symbol->Height(), RasterOp::Copy);
    } else if (symbol) {
        dc->SetTextColor(ink);
        dc->StretchMonoTransparent(bars.left, bars.top, bars.Width(), bars.Height(), *symbol, 0, 0, symbol->Width(),
                                   symbol->Height());
    }
    if (DrawsText() && !text.empty() && !textBox.IsRectEmpty()) {
        dc->SetTextColor(reverse ? 0xFFFFFF : ink);
        DrawTextString(view, dc, text, GetFontDescription(), textBox, m_nTextAlign == BTA_FULL ? 3 : m_nTextAlign,
                       TEXT_DOCK_ADJUST);
    }
    dc->RestoreDC(saved);
}

void CDrawBarcode::Draw(CKVView* view, CDC* dc)
{
    if (!dc) return;
    auto toTarget = [&](const CRect& units) {
        if (view) return view->DocToClient(units);
        const int dx = dc->GetDeviceCaps(LOGPIXELSX), dy = dc->GetDeviceCaps(LOGPIXELSY);
        return CRect(UnitsToDots(units.left, dx), UnitsToDots(units.top, dy), UnitsToDots(units.right, dx),
                     UnitsToDots(units.bottom, dy))
            .Normalized();
    };
    const CRect object = toTarget(m_position.Normalized());
    if (!m_hBitmap) {
        // No symbol: the rectangle with both diagonals, unless the object is
        // still being drawn out.
        if (view && view->GetCurrentTool() == kBarcodeTool) return;
        const int saved = dc->SaveDC();
        dc->SelectPen(CPen(PS_SOLID, 1, 0));
        dc->SelectBrush(CBrush::Hollow());
        dc->Rectangle(object);
        dc->MoveTo(object.TopLeft());
        dc->LineTo(CPoint(object.right - 1, object.bottom - 1));
        dc->MoveTo(CPoint(object.left, object.bottom - 1));
        dc->LineTo(CPoint(object.right - 1, object.top));
        dc->RestoreDC(saved);
        return;
    }
    const std::string text = GetHumanReadable(nullptr);
    const int textWidth = DrawsText() && m_nTextAlign != BTA_FULL ? MeasureHumanReadable(text).cx : 0;
    CRect bars, box;
    DesignRects(textWidth, &bars, &box);
    DrawSymbolAndText(view, dc, m_hBitmap.get(), object, toTarget(bars), toTarget(box), text);
}

void CDrawBarcode::Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL)
{
    if (!dc) return;
    const std::string data = GetLabelText(pos);
    if (data.empty()) return;
    CRect object, bars, text;
    LayoutBarcode(dc, pos, &object, &bars, &text);
    if (GetMirror() == 2) {
        bars = FlipAcross(bars, object, m_nRotation);
        text = FlipAcross(text, object, m_nRotation);
    }
    const CPoint o = labelOrigin ? *labelOrigin : CPoint();
    object.OffsetRect(o);
    bars.OffsetRect(o);
    if (!text.IsRectNull()) text.OffsetRect(o);
    // At the label format's resolution, whatever the device's.
    // Nothing is drawn for a symbol the encoder refused.
    const auto symbol = MakeBitmap(data);
    DrawSymbolAndText(nullptr, dc, symbol.get(), object, bars, text, HumanReadableOf(data));
}

std::unique_ptr<CMonoBitmap> CDrawBarcode::MakeTextBitmap(CLabelPos* pos, const CSize& size)
{
    if (!DrawsText() || size.cx <= 0 || size.cy <= 0) return nullptr;
    const int hdpi = FormatDpiX(), vdpi = FormatDpiY();
    auto mem = CDC::CreateMonoBitmap(size.cx, size.cy, hdpi, vdpi);
    LOGFONT font = GetFontDescription();
    // The memory context stands for the vertical resolution; the text was
    // measured at the horizontal one.
    font.lfHeight = MulDiv(font.lfHeight, hdpi, mem->GetDeviceCaps(LOGPIXELSY));
    mem->SetTextColor(0);
    mem->SetBkColor(0xFFFFFF);
    DrawTextString(nullptr, mem.get(), GetHumanReadable(pos), font, CRect(0, 0, size.cx, size.cy),
                   m_nTextAlign == BTA_FULL ? 3 : 0, TEXT_DOCK_ADJUST);
    return std::make_unique<CMonoBitmap>(mem->GetMonoBitmap());
}

std::unique_ptr<CMonoBitmap> CDrawBarcode::CreatePrintBitmap(CLabelPos* pos, BOOL)
{
    const std::string data = GetLabelText(pos);
    if (data.empty()) return nullptr;
    switch (m_nOutputMethod) {
    case 1: {
        // The symbol is made once and laid out at its own size.
        const auto symbol = MakeBitmap(data);
        CRect object, bars, text;
        LayoutWithSymbol(nullptr, pos ? data : GetText(), symbol ? CSize(symbol->Width(), symbol->Height()) : CSize(0, 0), &object, &bars,
                         &text);
        if (object.IsRectEmpty()) return nullptr;
        if (GetMirror() == 2) {
            bars = FlipAcross(bars, object, m_nRotation);
            text = FlipAcross(text, object, m_nRotation);
        }
        auto out = std::make_unique<CMonoBitmap>(object.Width(), object.Height());
        const RasterOp op = IsReverse() ? RasterOp::NotCopy : m_nBackground == 1 ? RasterOp::And : RasterOp::Copy;
        if (symbol)
            StretchMonoBits(*out, bars.left - object.left, bars.top - object.top, symbol->Width(), symbol->Height(),
                            *symbol, 0, 0, symbol->Width(), symbol->Height(), op);
        if (const auto words = MakeTextBitmap(pos, text.Size()))
            StretchMonoBits(*out, text.left - object.left, text.top - object.top, words->Width(), words->Height(),
                            *words, 0, 0, words->Width(), words->Height(), op);
        return out;
    }
    case 2: {
        CRect text;
        LayoutBarcode(nullptr, pos, nullptr, nullptr, &text);
        return MakeTextBitmap(pos, text.Size());
    }
    case 3:
        return MakeBitmap(data);
    default:
        return nullptr;
    }
}

void CDrawBarcode::DrawTracker(CKVView* view, CDC* dc, int state)
{
    if (view && dc && !dc->IsPrinting() && state >= 2 && state <= 4) {
        const int saved = dc->SaveDC();
        dc->SelectPen(CPen(PS_DOT, 1, IsNonPrinting() ? RGBColor(160, 160, 160) : RGBColor(255, 0, 0)));
        dc->SelectBrush(CBrush::Hollow());
        dc->Rectangle(view->DocToClient(m_position));
        dc->RestoreDC(saved);
    }
    CDrawObj::DrawTracker(view, dc, state);
}

int CDrawBarcode::GetDataIcon()
{
    if (!m_pDocument) return -1;
    const CLabelFormat& format = m_pDocument->m_format;
    const CPrinterFontTable* table = GetFontTable();
    const CPrinterFontEntry* e = table ? table->Find(m_strFontName) : nullptr;
    // A value typed at print time into a stored form must be printed by the
    // printer; it cannot in a Windows font.
    if (format.IsFormDownload() && m_variables.size() == 1 && m_variables.front()->NeedsInput() &&
        m_nTextPlacement != BTP_NONE && e && CPrinterFontTable::IsWindowsFont(e))
        return 6;
    if ((m_nTextPlacement == BTP_ABOVE || m_nTextPlacement == BTP_BELOW) && m_nTextAlign == BTA_FULL &&
        !format.IsWindowsDriverMode() && e && !CPrinterFontTable::IsWindowsFont(e))
        return 2;
    return -1;
}

void CDrawBarcode::AdaptFontToPrinter(CKVDoc* doc)
{
    const CPrinterFontTable* table = doc && doc->m_fontTable ? doc->m_fontTable.get() : GetFontTable();
    const CPrinterFontEntry* e = table ? table->Find(m_strFontName) : nullptr;
    if (!e) {
        m_nFontWidth = 0;
    } else if (!CPrinterFontTable::IsWindowsFont(e)) {
        const int nearest = table->NearestSize(*e, m_nFontHeight);
        if (nearest > 0) m_nFontHeight = nearest;
    }
}

void CDrawBarcode::ExportTextLine(std::string& out, int& index, const std::string& text)
{
    CRect box;
    LayoutBarcode(nullptr, nullptr, nullptr, nullptr, &box);
    const CRect t(DotsToUnitsAt(box.left, FormatDpiX()), DotsToUnitsAt(box.top, FormatDpiY()),
                  DotsToUnitsAt(box.right, FormatDpiX()), DotsToUnitsAt(box.bottom, FormatDpiY()));
    // A width of 0 is the font's natural width.
    ExportStringLine(out, index, t, GetFontDescription(), m_nFontWidth ? m_nFontWidth : 10000, text);
}
