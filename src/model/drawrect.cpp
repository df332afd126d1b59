#include "model/drawrect.h"

#include <algorithm>
#include <cstdlib>

#include "model/document.h"
#include "platform/strutil.h"

KV_IMPLEMENT_SERIAL(CDrawRect, CDrawObj, 0)

CDrawRect::CDrawRect() { m_nType = OBJ_RECT; }

CDrawRect::CDrawRect(const CRect& position) : CDrawObj(position) { m_nType = OBJ_RECT; }

void CDrawRect::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    ar.Exchange(m_nShape);
    ar.Exchange(m_nThickness);
    ar.Exchange(m_nLineType);
    ar.Exchange(m_bSquare);
    ar.Exchange(m_crLine);
    ar.Exchange(m_bFill);
    ar.Exchange(m_nReserved1);
    ar.Exchange(m_nReserved2);
    ar.Exchange(m_crFill);
    // The roundness travels as one 8-byte block: width, then height.
    if (ar.IsStoring()) {
        ar.WriteInt(m_roundness.x);
        ar.WriteInt(m_roundness.y);
    } else {
        m_roundness.x = ar.ReadInt();
        m_roundness.y = ar.ReadInt();
    }
}

CDrawObj* CDrawRect::Clone(CKVDoc* doc) { return CloneInto(new CDrawRect(m_position), doc); }

void CDrawRect::CopyFrom(const CDrawObj* src)
{
    CDrawObj::CopyFrom(src);
    if (const auto* s = dynamic_cast<const CDrawRect*>(src); s && s != this) {
        m_nShape = s->m_nShape;
        m_nThickness = s->m_nThickness;
        m_nLineType = s->m_nLineType;
        m_bSquare = s->m_bSquare;
        m_crLine = s->m_crLine;
        m_bFill = s->m_bFill;
        m_nReserved1 = s->m_nReserved1;
        m_nReserved2 = s->m_nReserved2;
        m_crFill = s->m_crFill;
        m_roundness = s->m_roundness;
    }
}

BOOL CDrawRect::IsEqual(const CDrawObj* other) const
{
    if (other == this) return TRUE;
    const auto* o = dynamic_cast<const CDrawRect*>(other);
    return o && CDrawObj::IsEqual(other) && m_nShape == o->m_nShape && m_nThickness == o->m_nThickness &&
           m_nLineType == o->m_nLineType && m_bSquare == o->m_bSquare && m_crLine == o->m_crLine &&
           m_bFill == o->m_bFill && m_nReserved1 == o->m_nReserved1 && m_nReserved2 == o->m_nReserved2 &&
           m_crFill == o->m_crFill && m_roundness == o->m_roundness;
}

BOOL CDrawRect::Intersects(const CRect& r) const
{
    if (!CDrawObj::Intersects(r)) return FALSE;
    if (m_nShape != SHAPE_ELLIPSE) return TRUE;
    // An ellipse is hit only inside its outline: the point of r nearest to
    // the centre must lie within the ellipse.
    const CRect e = m_position.Normalized();
    const CRect t = r.Normalized();
    const double cx = (e.left + e.right) / 2.0, cy = (e.top + e.bottom) / 2.0;
    const double rx = std::max(1.0, e.Width() / 2.0), ry = std::max(1.0, e.Height() / 2.0);
    const double nx = std::clamp(cx, double(t.left), double(t.right));
    const double ny = std::clamp(cy, double(t.top), double(t.bottom));
    const double dx = (nx - cx) / rx, dy = (ny - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

void CDrawRect::MoveHandleTo(int handle, CPoint pt, CKVView* view)
{
    if (!m_bSquare) {
        CDrawObj::MoveHandleTo(handle, pt, view);
        return;
    }
    // A square keeps width and height equal: the dragged side decides the size.
    CRect r = m_position;
    switch (handle) {
    case 1: r.left = pt.x; r.top = r.bottom - (r.right - r.left); break;
    case 2: r.top = pt.y; r.right = r.left + (r.bottom - r.top); break;
    case 3: r.right = pt.x; r.top = r.bottom - (r.right - r.left); break;
    case 4: r.right = pt.x; r.bottom = r.top + (r.right - r.left); break;
    case 5: r.right = pt.x; r.bottom = r.top + (r.right - r.left); break;
    case 6: r.bottom = pt.y; r.right = r.left + (r.bottom - r.top); break;
    case 7: r.left = pt.x; r.bottom = r.top + (r.right - r.left); break;
    case 8: r.left = pt.x; r.bottom = r.top + (r.right - r.left); break;
    default: return;
    }
    MoveTo(r, view);
}

BOOL CDrawRect::SetFromDefinition(const std::string& definition)
{
    CDrawObj::SetFromDefinition(definition);
    const auto f = SplitString(definition, ',');
    auto at = [&](size_t i) { return i < f.size() ? AtoI(f[i]) : 0; };
    m_nShape = at(5);
    m_nThickness = at(6);
    m_crLine = COLORREF(at(7));
    m_bFill = at(8);
    m_crFill = COLORREF(at(9));
    m_roundness = CPoint(at(10), at(11));
    return TRUE;
}

BOOL CDrawRect::ExportText(std::string& out, int& index)
{
    // Corner, size and outline in tenths of a millimetre, then the shape.
    const CRect r = m_position.Normalized();
    out += StrFormat("Box%d =  %d,%d,%d,%d,%d,%d\n", index, r.left / 10, r.top / 10, r.Width() / 10,
                     r.Height() / 10, m_nThickness / 10, m_nShape);
    ++index;
    return TRUE;
}
