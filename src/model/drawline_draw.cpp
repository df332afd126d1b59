// Drawing a line on screen, on a printer page and into a printer bitmap.
#include <cmath>

#include "model/view.h"
#include "model/drawline.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"

void CDrawLine::DrawShape(CDC* dc, const CRect& target, int thickness) const
{
    const CRect r = target.Normalized();
    const COLORREF colour = ((m_dwFlags & OF_TEMPLATE) || CanPrintColour()) ? m_crLine : 0;
    if (m_nDirection != LINE_DIAG_DOWN && m_nDirection != LINE_DIAG_UP) {
        dc->FillSolidRect(r, colour);
        return;
    }
    // A diagonal: the parallelogram through both end points, half the
    // thickness to either side of the line.
    const double ax = r.left, bx = r.right;
    const double ay = m_nDirection == LINE_DIAG_DOWN ? r.top : r.bottom;
    const double by = m_nDirection == LINE_DIAG_DOWN ? r.bottom : r.top;
    const double len = std::hypot(bx - ax, by - ay);
    if (len <= 0) return;
    const double half = std::max(1, thickness) / 2.0;
    const double nx = -(by - ay) / len * half, ny = (bx - ax) / len * half;
    auto pt = [](double x, double y) { return CPoint(int(std::lround(x)), int(std::lround(y))); };
    const CPoint corners[4] = {pt(ax + nx, ay + ny), pt(bx + nx, by + ny), pt(bx - nx, by - ny),
                               pt(ax - nx, ay - ny)};
    const int saved = dc->SaveDC();
    // The one-pixel outline keeps a hair-thin diagonal visible.
    dc->SelectPen(CPen(PS_SOLID, 1, colour));
    dc->SelectBrush(CBrush(colour));
    dc->Polygon(corners, 4);
    dc->RestoreDC(saved);
}

void CDrawLine::GetPrintRect(CDC* dc, CLabelPos* pos, CRect* out, BOOL flag)
{
    CDrawObj::GetPrintRect(dc, pos, out, flag);
    if (m_nDirection == LINE_DIAG_DOWN || m_nDirection == LINE_DIAG_UP) {
        // Room for the ends of a thick diagonal, which stand out of the
        // rectangle of its end points.
        const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : FormatDpiX();
        const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : FormatDpiY();
        out->InflateRect((UnitsToDots(m_nThickness, dpiX) + 1) / 2, (UnitsToDots(m_nThickness, dpiY) + 1) / 2);
    }
}

void CDrawLine::Draw(CKVView* view, CDC* dc)
{
    if (!dc) return;
    const int thickness = view ? view->DocToClient(CSize(m_nThickness, m_nThickness)).cx
                               : UnitsToDots(m_nThickness, dc->GetDeviceCaps(LOGPIXELSX));
    DrawShape(dc, PositionToView(view, dc), thickness);
}

void CDrawLine::Print(CDC* dc, CLabelPos*, const CPoint* labelOrigin, BOOL)
{
    if (!dc) return;
    CRect r = PositionToView(nullptr, dc);
    if (labelOrigin) r.OffsetRect(*labelOrigin);
    DrawShape(dc, r, UnitsToDots(m_nThickness, dc->GetDeviceCaps(LOGPIXELSX)));
}

std::unique_ptr<CMonoBitmap> CDrawLine::CreatePrintBitmap(CLabelPos* pos, BOOL flag)
{
    CRect area;
    GetPrintRect(nullptr, pos, &area, flag);
    if (area.IsRectEmpty()) return nullptr;
    auto mem = CDC::CreateMonoBitmap(area.Width(), area.Height(), FormatDpiX(), FormatDpiY());
    CRect r = PositionToView(nullptr, mem.get());
    r.OffsetRect(-area.left, -area.top);
    DrawShape(mem.get(), r, UnitsToDots(m_nThickness, FormatDpiX()));
    return std::make_unique<CMonoBitmap>(mem->GetMonoBitmap());
}
