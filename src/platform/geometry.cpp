#include "platform/geometry.h"

#include <limits>

int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    const std::int64_t p = std::int64_t(a) * std::int64_t(b);
    std::int64_t q = p / c;
    const std::int64_t r = p % c;
    const std::int64_t ar = r < 0 ? -r : r;
    const std::int64_t ac = c < 0 ? -std::int64_t(c) : std::int64_t(c);
    if (2 * ar >= ac) q += ((p < 0) != (c < 0)) ? -1 : 1;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return int(q);
}

bool CRect::IntersectRect(const CRect& a, const CRect& b)
{
    CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom));
    if (a.IsRectEmpty() || b.IsRectEmpty() || r.IsRectEmpty()) {
        SetRectEmpty();
        return false;
    }
    *this = r;
    return true;
}

bool CRect::UnionRect(const CRect& a, const CRect& b)
{
    if (a.IsRectEmpty()) {
        if (b.IsRectEmpty()) { SetRectEmpty(); return false; }
        *this = b;
        return true;
    }
    if (b.IsRectEmpty()) { *this = a; return true; }
    *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom));
    return true;
}
