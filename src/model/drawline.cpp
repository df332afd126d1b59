#include "model/drawline.h"

#include <cmath>
#include <cstdlib>

#include "model/document.h"
#include "platform/strutil.h"

KV_IMPLEMENT_SERIAL(CDrawLine, CDrawObj, 0)

CDrawLine::CDrawLine() { m_nType = OBJ_LINE; }

CDrawLine::CDrawLine(const CRect& position) : CDrawObj(position) { m_nType = OBJ_LINE; }

void CDrawLine::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    ar.Exchange(m_nDirection);
    ar.Exchange(m_nThickness);
    ar.Exchange(m_nLineType);
    ar.Exchange(m_crLine);
    if (ar.IsLoading() && m_nThickness <= 0) {
        // A line must have some width to be seen and printed.
        m_nThickness = 1;
        if (m_nDirection == LINE_HORIZONTAL) m_position.bottom = m_position.top + 1;
        if (m_nDirection == LINE_VERTICAL) m_position.right = m_position.left + 1;
    }
}

CDrawObj* CDrawLine::Clone(CKVDoc* doc) { return CloneInto(new CDrawLine(m_position), doc); }

void CDrawLine::CopyFrom(const CDrawObj* src)
{
    CDrawObj::CopyFrom(src);
    if (const auto* s = dynamic_cast<const CDrawLine*>(src); s && s != this) {
        m_nDirection = s->m_nDirection;
        m_nThickness = s->m_nThickness;
        m_nLineType = s->m_nLineType;
        m_crLine = s->m_crLine;
    }
}

BOOL CDrawLine::IsEqual(const CDrawObj* other) const
{
    if (other == this) return TRUE;
    const auto* o = dynamic_cast<const CDrawLine*>(other);
    return o && CDrawObj::IsEqual(other) && m_nDirection == o->m_nDirection && m_nThickness == o->m_nThickness &&
           m_nLineType == o->m_nLineType && m_crLine == o->m_crLine;
}

CRect CDrawLine::GetDrawRect() const
{
    CRect r = m_position.Normalized();
    if (m_nDirection == LINE_DIAG_DOWN || m_nDirection == LINE_DIAG_UP) {
        // The thickness is drawn across a diagonal, beyond its end points.
        const int half = (m_nThickness + 1) / 2;
        r.InflateRect(half, half);
    }
    return r;
}

int CDrawLine::GetHandleCount() const { return 2; }

int CDrawLine::BaseHandle(int handle) const
{
    const bool start = handle == 1;
    switch (m_nDirection) {
    case LINE_VERTICAL: return start ? 2 : 6;
    case LINE_HORIZONTAL: return start ? 8 : 4;
    case LINE_DIAG_DOWN: return start ? 1 : 5;
    default: return start ? 3 : 7;
    }
}

CPoint CDrawLine::GetHandle(int handle, int dx, int dy) const
{
    return CDrawObj::GetHandle(BaseHandle(handle), dx, dy);
}

int CDrawLine::GetHandleCursor(int handle) const { return CDrawObj::GetHandleCursor(BaseHandle(handle)); }

void CDrawLine::MoveHandleTo(int handle, CPoint pt, CKVView* view)
{
    CDrawObj::MoveHandleTo(BaseHandle(handle), pt, view);
}

CPoint CDrawLine::StartPoint() const { return CDrawObj::GetHandle(BaseHandle(1), 0, 0); }

CPoint CDrawLine::EndPoint() const { return CDrawObj::GetHandle(BaseHandle(2), 0, 0); }

namespace {
// Whether segment p-q meets rectangle r (closed).
bool SegmentMeetsRect(double px, double py, double qx, double qy, const CRect& r)
{
    // Liang-Barsky clipping of the segment against the rectangle.
    double t0 = 0.0, t1 = 1.0;
    const double dx = qx - px, dy = qy - py;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {px - r.left, r.right - px, py - r.top, r.bottom - py};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    return true;
}
}  // namespace

BOOL CDrawLine::Intersects(const CRect& r) const
{
    if (m_nDirection == LINE_VERTICAL || m_nDirection == LINE_HORIZONTAL) return CDrawObj::Intersects(r);
    // A diagonal covers only a band along its axis, not its whole rectangle.
    CRect test = r.Normalized();
    const int half = (m_nThickness + 1) / 2;
    test.InflateRect(half, half);
    const CPoint a = StartPoint(), b = EndPoint();
    return SegmentMeetsRect(a.x, a.y, b.x, b.y, test);
}

void CDrawLine::Rotate(int q, int cx, int cy, const CRect* newLabel)
{
    if (((q % 4) + 4) % 2 == 1) {
        switch (m_nDirection) {
        case LINE_VERTICAL: m_nDirection = LINE_HORIZONTAL; break;
        case LINE_HORIZONTAL: m_nDirection = LINE_VERTICAL; break;
        case LINE_DIAG_DOWN: m_nDirection = LINE_DIAG_UP; break;
        case LINE_DIAG_UP: m_nDirection = LINE_DIAG_DOWN; break;
        default: break;
        }
    }
    CDrawObj::Rotate(q, cx, cy, newLabel);
}

BOOL CDrawLine::SetFromDefinition(const std::string& definition)
{
    CDrawObj::SetFromDefinition(definition);
    const auto f = SplitString(definition, ',');
    auto at = [&](size_t i) { return i < f.size() ? AtoI(f[i]) : 0; };
    m_nDirection = at(5);
    m_nThickness = at(6);
    m_crLine = COLORREF(at(7));
    return TRUE;
}

BOOL CDrawLine::ExportText(std::string& out, int& index)
{
    const CRect r = m_position.Normalized();
    int x1, y1, x2, y2;
    switch (m_nDirection) {
    case LINE_VERTICAL:
        x1 = x2 = r.left + (r.right - r.left) / 2;
        y1 = r.top;
        y2 = r.bottom;
        break;
    case LINE_HORIZONTAL:
        y1 = y2 = r.top + (r.bottom - r.top) / 2;
        x1 = r.left;
        x2 = r.right;
        break;
    default: {
        const CPoint a = StartPoint(), b = EndPoint();
        x1 = a.x;
        y1 = a.y;
        x2 = b.x;
        y2 = b.y;
        break;
    }
    }
    out += StrFormat("Line%d =  %d,%d,%d,%d,%d,%d,%d\n", index, x1 / 10, y1 / 10, x2 / 10, y2 / 10, 0,
                     m_nThickness / 10, 0);
    ++index;
    return TRUE;
}

void CDrawLine::SetLength(int length, int thickness)
{
    if (length < 1) length = 1;
    if (thickness < 1) thickness = 1;
    CRect& p = m_position;
    m_nThickness = thickness;
    switch (m_nDirection) {
    case LINE_VERTICAL:
        p.right = p.left + thickness;
        p.bottom = p.top + length;
        break;
    case LINE_HORIZONTAL:
        p.right = p.left + length;
        p.bottom = p.top + thickness;
        break;
    default: {
        const double w = p.right - p.left, h = p.bottom - p.top;
        const int current = int(std::sqrt(w * w + h * h));
        if (current == length || current == 0) break;
        if (m_nDirection == LINE_DIAG_DOWN)
            p.right = p.left + MulDiv(length, p.right - p.left, current);
        else
            p.left = p.right - MulDiv(length, p.right - p.left, current);
        p.bottom = p.top + MulDiv(length, p.bottom - p.top, current);
        break;
    }
    }
}
