// Drawing a rectangle, round rectangle or ellipse on screen, on a printer
// page and into a printer bitmap.
#include "model/view.h"
#include "model/drawrect.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"

void CDrawRect::DrawShape(CDC* dc, const CRect& target, int thickness, CSize corner, bool whiteInside) const
{
    const bool colour = CanPrintColour();
    const int saved = dc->SaveDC();
    dc->SelectPen(CPen(PS_INSIDEFRAME, std::max(1, thickness), colour ? m_crLine : 0));
    if (m_bFill && colour)
        dc->SelectBrush(CBrush(m_crFill));
    else if (whiteInside)
        dc->SelectBrush(CBrush(0xFFFFFF));
    else
        dc->SelectBrush(CBrush::Hollow());
    const CRect r = target.Normalized();
    if (m_nShape == SHAPE_ROUNDRECT && CanDrawRoundShapes())
        dc->RoundRect(r, corner);
    else if (m_nShape == SHAPE_ELLIPSE && CanDrawRoundShapes())
        dc->Ellipse(r);
    else
        dc->Rectangle(r);
    dc->RestoreDC(saved);
}

void CDrawRect::Draw(CKVView* view, CDC* dc)
{
    if (!dc) return;
    int thickness;
    CSize corner;
    if (view) {
        thickness = view->DocToClient(CSize(m_nThickness, m_nThickness)).cx;
        corner = view->DocToClient(CSize(m_roundness.x, m_roundness.y));
    } else {
        const int dpiX = dc->GetDeviceCaps(LOGPIXELSX), dpiY = dc->GetDeviceCaps(LOGPIXELSY);
        thickness = UnitsToDots(m_nThickness, dpiX);
        corner = CSize(UnitsToDots(m_roundness.x, dpiX), UnitsToDots(m_roundness.y, dpiY));
    }
    DrawShape(dc, PositionToView(view, dc), thickness, corner, false);
}

void CDrawRect::Print(CDC* dc, CLabelPos*, const CPoint* labelOrigin, BOOL)
{
    if (!dc) return;
    const int dpiX = dc->GetDeviceCaps(LOGPIXELSX), dpiY = dc->GetDeviceCaps(LOGPIXELSY);
    CRect r = PositionToView(nullptr, dc);
    if (labelOrigin) r.OffsetRect(*labelOrigin);
    DrawShape(dc, r, UnitsToDots(m_nThickness, dpiX),
              CSize(UnitsToDots(m_roundness.x, dpiX), UnitsToDots(m_roundness.y, dpiY)), false);
}

std::unique_ptr<CMonoBitmap> CDrawRect::CreatePrintBitmap(CLabelPos* pos, BOOL flag)
{
    CRect area;
    GetPrintRect(nullptr, pos, &area, flag);
    if (area.IsRectEmpty()) return nullptr;
    const int dpiX = FormatDpiX(), dpiY = FormatDpiY();
    auto mem = CDC::CreateMonoBitmap(area.Width(), area.Height(), dpiX, dpiY);
    DrawShape(mem.get(), CRect(0, 0, area.Width(), area.Height()), UnitsToDots(m_nThickness, dpiX),
              CSize(UnitsToDots(m_roundness.x, dpiX), UnitsToDots(m_roundness.y, dpiY)), true);
    return std::make_unique<CMonoBitmap>(mem->GetMonoBitmap());
}
