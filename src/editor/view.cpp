#include "editor/view.h"

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
