#pragma once
// Points, sizes and rectangles in integer coordinates (label units or device
// dots), and the rounding multiply-divide every unit conversion goes through.
#include <algorithm>
#include <cstdint>

// a * b / c in 64 bits, rounded to nearest (halves away from zero).
// Returns -1 when c is 0 or the result does not fit in 32 bits.
int MulDiv(int a, int b, int c);

struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int x, int y) : cx(x), cy(y) {}
    friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    void Offset(int dx, int dy) { x += dx; y += dy; }
    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
    friend constexpr CPoint operator+(CPoint a, CSize s) { return {a.x + s.cx, a.y + s.cy}; }
    friend constexpr CPoint operator-(CPoint a, CSize s) { return {a.x - s.cx, a.y - s.cy}; }
    friend constexpr CSize operator-(CPoint a, CPoint b) { return {a.x - b.x, a.y - b.y}; }
};

// left/top inclusive, right/bottom exclusive; stored as set, so a rectangle
// may be "inverted" (a line keeps its direction that way).
struct CRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint tl, CSize s) : left(tl.x), top(tl.y), right(tl.x + s.cx), bottom(tl.y + s.cy) {}
    constexpr CRect(CPoint tl, CPoint br) : left(tl.x), top(tl.y), right(br.x), bottom(br.y) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    constexpr CPoint CenterPoint() const { return {left + (right - left) / 2, top + (bottom - top) / 2}; }

    // No area: width or height is zero or negative.
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr bool PtInRect(CPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void NormalizeRect()
    {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }
    constexpr CRect Normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(CPoint p) { OffsetRect(p.x, p.y); }
    void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }

    // Intersection of a and b; an empty result is set to all zeros and gives false.
    bool IntersectRect(const CRect& a, const CRect& b);
    // Smallest rectangle holding both; a rectangle without area does not count.
    bool UnionRect(const CRect& a, const CRect& b);

    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};
