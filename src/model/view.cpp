#include "model/view.h"

#include "model/drawobj.h"

void CKVView::InvalObj(CDrawObj* obj)
{
    if (!obj) return;
    CRect r = obj->m_position.Normalized();
    const int margin = PixelsToUnits(8);
    r.InflateRect(margin, margin);
    InvalidateLabelRect(r);
}

int CKVView::PixelsToUnits(int pixels) const
{
    // units = pixels * 25402 / (dpi * 10) at 100 %, divided by the zoom.
    return MulDiv(pixels, 25402 * 10, GetScreenDpi() * GetZoom());
}

int CKVView::UnitsToPixels(int units) const { return MulDiv(units, GetScreenDpi() * GetZoom(), 25402 * 10); }

CPoint CKVView::DocToClient(CPoint p) const
{
    const CPoint o = GetLabelOffset();
    const int dpi = GetScreenDpi(), z = GetZoom();
    return CPoint(MulDiv(p.x, dpi * z, 254020) + o.x, MulDiv(p.y, dpi * z, 254020) + o.y);
}

CRect CKVView::DocToClient(const CRect& r) const
{
    const CPoint a = DocToClient(r.TopLeft()), b = DocToClient(r.BottomRight());
    return CRect(a, b).Normalized();
}

CSize CKVView::DocToClient(CSize s) const
{
    const int dpi = GetScreenDpi(), z = GetZoom();
    return CSize(MulDiv(s.cx, dpi * z, 254020), MulDiv(s.cy, dpi * z, 254020));
}

CPoint CKVView::ClientToDoc(CPoint p) const
{
    const CPoint o = GetLabelOffset();
    const int dpi = GetScreenDpi(), z = GetZoom();
    return CPoint(MulDiv(p.x - o.x, 254020, dpi * z), MulDiv(p.y - o.y, 254020, dpi * z));
}

bool CFixedView::IsSelected(const CDrawObj* obj) const
{
    for (const CDrawObj* o : m_selection)
        if (o == obj) return true;
    return false;
}
