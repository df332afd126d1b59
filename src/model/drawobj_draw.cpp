// Drawing operations of the label object base: print rectangles, text
// measurement, the shared text renderer and the selection tracker. The
// base draws and prints nothing and renders no bitmap of its own.
#include "model/printer_font_table.h"
#include "model/marker_strip.h"
#include "model/view.h"
#include "model/document.h"
#include "model/drawobj.h"
#include "model/text_render.h"
#include "platform/codepage.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"
#include "model/printer_capabilities.h"

namespace {

// The face of the comment tag: the interface's small dialog font.
CFont TagFont()
{
    LOGFONT lf;
    lf.lfFaceName = "MS Shell Dlg";
    lf.lfHeight = -11;
    return CFont(lf);
}

}  // namespace

std::unique_ptr<CMonoBitmap> CDrawObj::CreatePrintBitmap(CLabelPos*, BOOL) { return nullptr; }

void CDrawObj::Draw(CKVView*, CDC*) {}

void CDrawObj::Print(CDC*, CLabelPos*, const CPoint*, BOOL) {}

void CDrawObj::GetPrintRect(CDC* dc, CLabelPos*, CRect* out, BOOL)
{
    const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : FormatDpiX();
    const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : FormatDpiY();
    const CRect p = m_position.Normalized();
    *out = CRect(UnitsToDots(p.left, dpiX), UnitsToDots(p.top, dpiY), UnitsToDots(p.right, dpiX),
                 UnitsToDots(p.bottom, dpiY));
}

const CPrinterFontTable* CDrawObj::GetFontTable() const
{
    return m_pDocument ? m_pDocument->m_fontTable.get() : nullptr;
}

bool CDrawObj::CanPrintColour() const
{
    return m_pDocument && m_pDocument->m_driver && m_pDocument->m_driver->GetCapability(4, 0) == 1;
}

bool CDrawObj::CanDrawRoundShapes() const
{
    return !m_pDocument || !m_pDocument->m_driver || m_pDocument->m_driver->GetCapability(5, 0) == 1;
}

CRect CDrawObj::PositionToView(CKVView* view, CDC* dc) const
{
    if (view) return view->DocToClient(m_position);
    const CRect p = m_position.Normalized();
    const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : FormatDpiX();
    const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : FormatDpiY();
    return CRect(UnitsToDots(p.left, dpiX), UnitsToDots(p.top, dpiY), UnitsToDots(p.right, dpiX),
                 UnitsToDots(p.bottom, dpiY));
}

CSize CDrawObj::MeasureTextDots(const std::string& text, const LOGFONT& font, int charGap)
{
    static const CPrinterFontTable none;
    const CPrinterFontTable& fonts = GetFontTable() ? *GetFontTable() : none;
    const CPrinterFontEntry* entry = fonts.FindPrinterFont(font.lfFaceName);
    if (entry) {
        // The printer's own cells, when the font has them, are exact.
        const CSize cells = fonts.MeasurePrinterText(*entry, text, font.lfHeight, font.lfWidth);
        if (cells.cx > 0 || cells.cy > 0) return cells;
    }
    // Measured at the printer's resolution: a font made without a device
    // has its height in the label format's dots.
    LOGFONT upright = font;
    upright.lfEscapement = upright.lfOrientation = 0;
    const CFont f = fonts.CreateFont(upright, nullptr, 100);
    const std::vector<CharAdvance> chars = f.GetCharAdvances(text);
    int width = 0;
    for (const auto& c : chars) width += c.width;
    if (entry && charGap) width += int(chars.size()) * UnitsToDots(charGap, FormatDpiX());
    return CSize(width, f.GetTextMetrics().tmHeight);
}

CSize CDrawObj::MeasureText(const std::string& text, const LOGFONT& font, int charGap)
{
    const CSize dots = MeasureTextDots(text, font, charGap);
    return CSize(DotsToUnitsAt(dots.cx, FormatDpiX()), DotsToUnitsAt(dots.cy, FormatDpiY()));
}

void CDrawObj::DrawTextString(CKVView* view, CDC* dc, const std::string& text, const LOGFONT& font,
                              const CRect& box, int mode, int dock, int charExtra)
{
    if (!dc) return;
    TextDrawContext ctx;
    ctx.fonts = GetFontTable();
    ctx.scale = view ? view->GetZoom() : 100;
    ctx.rotation = m_nRotation;
    ctx.mirror = GetMirror();
    ctx.transparent = m_nBackground == 1;
    ctx.charExtra = charExtra;
    ::DrawTextString(dc, text, font, box, mode, dock, ctx);
}

void CDrawObj::DrawTracker(CKVView* view, CDC* dc, int state)
{
    if (!view || !dc || dc->IsPrinting()) return;
    if (state == 2 || state == 3 || state == 4) {
        for (int h = 1; h <= GetHandleCount(); ++h) {
            const CPoint p = view->DocToClient(GetHandle(h, 0, 0));
            if (state == 3)
                dc->FillSolidRect(CRect(p.x - 3, p.y - 3, p.x + 3, p.y + 3), 0xFF0000);
            else
                dc->InvertRect(CRect(p.x - 3, p.y - 3, p.x + 4, p.y + 4));
        }
    }
    if (!m_pDocument || !m_pDocument->m_bShowRemarks) return;

    const CRect r = view->DocToClient(m_position);
    int x = r.left;
    const int icon = GetDataIcon();
    if (icon >= 0 && icon < kMarkerCount) {
        dc->StretchImage(r.left, r.top, kMarkerWidth, kMarkerHeight, MarkerStrip(), icon * kMarkerWidth, 0,
                         kMarkerWidth, kMarkerHeight, RasterOp::Copy);
        x += kMarkerWidth;
    }
    const std::string comment = CommentFirstLine();
    if (state < 2 || comment.empty()) return;
    const int saved = dc->SaveDC();
    dc->SelectFont(TagFont());
    dc->SetTextColor(0);
    dc->SetBkMode(TRANSPARENT);
    const CSize ext = dc->GetTextExtent(comment);
    const int full = ext.cx + 6;
    const bool fits = r.Width() >= full || DecodeAnsiChars(comment).size() <= 8;
    const CRect tag(x, r.top, x + (fits ? full : r.Width()), r.top + ext.cy + 6);
    dc->FillSolidRect(tag, 0xB4FFFF);
    dc->DrawTextEllipsis(comment, CRect(tag.left + 3, tag.top + 3, tag.right - 3, tag.bottom - 3));
    dc->RestoreDC(saved);
}

LOGFONT CDrawObj::FontDescription(const FontFields& f) const
{
    LOGFONT lf;
    lf.lfHeight = f.height;
    lf.lfWidth = f.width;
    lf.lfEscapement = lf.lfOrientation = (m_nRotation & 3) * 900;
    lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.italic ? 1 : 0;
    lf.lfUnderline = f.underline ? 1 : 0;
    lf.lfStrikeOut = f.strikeOut ? 1 : 0;
    lf.lfCharSet = BYTE(f.charSet);
    lf.lfPitchAndFamily = BYTE(f.pitchAndFamily);
    lf.lfFaceName = f.face;
    return lf;
}

CPoint CDrawObj::AnchorCorner(const CRect& r) const
{
    switch (m_nRotation & 3) {
    case 1: return CPoint(r.left, r.bottom);
    case 2: return CPoint(r.right, r.bottom);
    case 3: return CPoint(r.right, r.top);
    default: return CPoint(r.left, r.top);
    }
}

void CDrawObj::ExportStringLine(std::string& out, int& index, const CRect& box, const LOGFONT& font, int scale,
                                const std::string& text)
{
    // Positions and sizes in tenths of a millimetre.
    const CPoint anchor = AnchorCorner(box);
    static const CPrinterFontTable none;
    const CPrinterFontTable& table = GetFontTable() ? *GetFontTable() : none;
    LOGFONT upright = font;
    upright.lfEscapement = upright.lfOrientation = 0;
    const CFont measured = table.CreateFont(upright, nullptr, 100);
    const int natural = DotsToUnitsAt(measured.GetTextMetrics().tmAveCharWidth, FormatDpiX()) / 10;
    const int width = MulDiv(natural, scale, 10000);
    const int style = (font.lfStrikeOut ? 1000 : 0) + (font.lfUnderline ? 100 : 0) + (font.lfItalic ? 10 : 0) +
                      (font.lfWeight == FW_BOLD ? 1 : 0);
    out += StrFormat("String%d =  %d,%d,\"%s\",%d,%d,%d,%d,\"%s\"\n", index, anchor.x / 10, anchor.y / 10,
                     font.lfFaceName.c_str(), MulDiv(font.lfHeight, 254, 7200), width, style, m_nRotation & 3,
                     text.c_str());
    ++index;
}
