// Drawing a text object on screen, on a printer page and into a printer
// bitmap: the same layout in all three, in the box converted to the target.
#include "model/printer_font_table.h"
#include "model/view.h"
#include "model/document.h"
#include "model/drawtext.h"
#include "model/text_render.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"

namespace {

CRect UnitsToTarget(const CRect& r, int dpiX, int dpiY, CPoint offset)
{
    CRect d(UnitsToDots(r.left, dpiX), UnitsToDots(r.top, dpiY), UnitsToDots(r.right, dpiX),
            UnitsToDots(r.bottom, dpiY));
    d.NormalizeRect();
    d.OffsetRect(offset);
    return d;
}

}  // namespace

int CDrawText::CharExtraFor(CKVView* view, CDC* dc) const
{
    const CPrinterFontEntry* e = GetPrinterFont();
    if (!e) return 0;
    int units = 0;
    if (e->m_nKind == PFK_BITMAP && e->m_nCellWidth > 0) {
        // The printer's own gap between cells, magnified with the cell.
        const CSize cell = GetFontTable()->GetCellSize(*e, m_nFontHeight, m_nStretch);
        units = DotsToUnitsAt(MulDiv(e->m_nGap, cell.cx, e->m_nCellWidth), FormatDpiX());
    } else {
        units = m_nCharGap;
    }
    if (units == 0) return 0;
    return view ? view->DocToClient(CSize(units, 0)).cx : UnitsToDots(units, dc->GetDeviceCaps(LOGPIXELSX));
}

void CDrawText::DrawLayout(CKVView* view, CDC* dc, const std::string& text, const std::vector<CTextLine>& lines,
                           const CRect& unitBox, const CRect& box, bool forBitmap)
{
    const LOGFONT font = GetFontDescription();
    const bool printerFont = GetPrinterFont() != nullptr;
    const bool nativeFonts =
        m_pDocument && !m_pDocument->m_format.IsWindowsDriverMode() && m_pDocument->m_format.m_nLanguage != 0;
    const COLORREF ink = (!forBitmap && CanPrintColour()) ? m_crText : 0;
    const int saved = dc->SaveDC();
    // White on black is drawn here unless the printer reverses its own font.
    if (IsWhiteOnBlack() && (forBitmap || !printerFont || !nativeFonts)) {
        dc->FillSolidRect(box, ink);
        dc->SetTextColor(0xFFFFFF);
        dc->SetBkColor(ink);
    } else {
        if (m_nBackground == 0) dc->FillSolidRect(box, 0xFFFFFF);
        dc->SetTextColor(ink);
        dc->SetBkColor(0xFFFFFF);
    }
    const int extra = CharExtraFor(view, dc);

    if (m_nLayout == TEXT_ARC && !printerFont) {
        TextDrawContext ctx;
        ctx.fonts = GetFontTable();
        ctx.scale = view ? view->GetZoom() : 100;
        ctx.rotation = m_nRotation;
        ctx.mirror = GetMirror();
        ctx.transparent = m_nBackground == 1;
        const int radiusUnits = AtoI(GetProperty(TP_ARC_RADIUS));
        const int radius = unitBox.Width() > 0 ? MulDiv(radiusUnits, box.Width(), unitBox.Width()) : 0;
        DrawArcText(dc, text, font, box, radius, AtoI(GetProperty(TP_ARC_START)), AtoI(GetProperty(TP_ARC_SWEEP)),
                    AtoI(GetProperty(TP_ARC_DIRECTION)), AtoI(GetProperty(TP_ARC_ORIENTATION)), ctx);
    } else if (m_nLayout == TEXT_MULTI_LINE) {
        // Line i starts after the lines before it and their gaps, from the
        // text's top edge; each line is aligned along the whole box.
        const int rotation = m_nRotation & 3;
        const CRect unitNorm = unitBox.Normalized();
        int offset = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            const int h = lines[i].m_nHeight;
            // The line's strip in label units, then in the target.
            CRect strip;
            switch (rotation) {
            case 1: strip = CRect(unitNorm.left + offset, unitNorm.top, unitNorm.left + offset + h, unitNorm.bottom); break;
            case 2: strip = CRect(unitNorm.left, unitNorm.bottom - offset - h, unitNorm.right, unitNorm.bottom - offset); break;
            case 3: strip = CRect(unitNorm.right - offset - h, unitNorm.top, unitNorm.right - offset, unitNorm.bottom); break;
            default: strip = CRect(unitNorm.left, unitNorm.top + offset, unitNorm.right, unitNorm.top + offset + h); break;
            }
            // Map the strip into the target box proportionally, so that the
            // lines fill the box exactly whatever the target's resolution.
            auto mapX = [&](int x) {
                return unitNorm.Width() ? box.left + MulDiv(x - unitNorm.left, box.Width(), unitNorm.Width()) : box.left;
            };
            auto mapY = [&](int y) {
                return unitNorm.Height() ? box.top + MulDiv(y - unitNorm.top, box.Height(), unitNorm.Height()) : box.top;
            };
            const CRect target(mapX(strip.left), mapY(strip.top), mapX(strip.right), mapY(strip.bottom));
            DrawTextString(view, dc, lines[i].m_strText, font, target, m_nAlign == TEXT_ALIGN_FULL ? 3 : m_nAlign,
                           TEXT_DOCK_ADJUST, extra);
            offset += h + LineGap(h);
        }
    } else {
        DrawTextString(view, dc, text, font, box, m_nAlign == TEXT_ALIGN_FULL ? 3 : m_nAlign, GetDock(), extra);
    }
    dc->RestoreDC(saved);
}

void CDrawText::Draw(CKVView* view, CDC* dc)
{
    if (!dc) return;
    const std::string text = GetText();
    std::vector<CTextLine> lines = m_lines;
    if (m_nLayout == TEXT_MULTI_LINE && lines.empty()) LayoutBox(text, &lines);
    DrawLayout(view, dc, text, lines, m_position.Normalized(), PositionToView(view, dc), false);
}

void CDrawText::Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL)
{
    if (!dc) return;
    const std::string text = GetLabelText(pos);
    std::vector<CTextLine> lines;
    const CRect unitBox = LayoutBox(text, &lines);
    const CRect box = UnitsToTarget(unitBox, dc->GetDeviceCaps(LOGPIXELSX), dc->GetDeviceCaps(LOGPIXELSY),
                                    labelOrigin ? *labelOrigin : CPoint());
    DrawLayout(nullptr, dc, text, lines, unitBox, box, false);
}

std::unique_ptr<CMonoBitmap> CDrawText::CreatePrintBitmap(CLabelPos* pos, BOOL)
{
    const std::string text = GetLabelText(pos);
    std::vector<CTextLine> lines;
    const CRect unitBox = LayoutBox(text, &lines);
    const CRect area = UnitsToTarget(unitBox, FormatDpiX(), FormatDpiY(), CPoint());
    if (area.IsRectEmpty()) return nullptr;
    auto mem = CDC::CreateMonoBitmap(area.Width(), area.Height(), FormatDpiX(), FormatDpiY());
    DrawLayout(nullptr, mem.get(), text, lines, unitBox, CRect(0, 0, area.Width(), area.Height()), true);
    return std::make_unique<CMonoBitmap>(mem->GetMonoBitmap());
}

void CDrawText::DrawTracker(CKVView* view, CDC* dc, int state) { CDrawObj::DrawTracker(view, dc, state); }
