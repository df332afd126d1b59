#include "print/align_marks.h"

#include <algorithm>

#include "model/labelformat.h"
#include "platform/dc.h"

CPoint CMarkDevice::ToDots(CPoint units) const
{
    return CPoint(MulDiv(units.x, dpiX * 10, 25402) - offsetX, MulDiv(units.y, dpiY * 10, 25402) - offsetY);
}

namespace {

// A line between two points in units.
void Line(const CMarkDevice& d, CPoint a, CPoint b)
{
    d.dc->MoveTo(d.ToDots(a));
    d.dc->LineTo(d.ToDots(b));
}

// Circles of the two radii and a cross of arms of kMarkArm about p.
void Target(const CMarkDevice& d, CPoint p)
{
    for (const int r : {kMarkInnerRadius, kMarkOuterRadius})
        d.dc->Ellipse(CRect(d.ToDots(CPoint(p.x - r, p.y - r)), d.ToDots(CPoint(p.x + r, p.y + r))));
    Line(d, CPoint(p.x - kMarkArm, p.y), CPoint(p.x + kMarkArm, p.y));
    Line(d, CPoint(p.x, p.y - kMarkArm), CPoint(p.x, p.y + kMarkArm));
}

// Two arms of kMarkArm from p, along x by dx (+1/-1) and along y by dy.
void Corner(const CMarkDevice& d, CPoint p, int dx, int dy)
{
    Line(d, p, CPoint(p.x + dx * kMarkArm, p.y));
    Line(d, p, CPoint(p.x, p.y + dy * kMarkArm));
}

// A split mark at a point of the grid of blocks: each line reaches the
// arm's length into the grid and the inner radius out of it, so it is a
// corner at an outer corner, a T on an outer edge and a cross inside.
void Split(const CMarkDevice& d, CPoint p, bool outerLeft, bool outerRight, bool outerTop, bool outerBottom)
{
    const int left = outerLeft ? kMarkInnerRadius : kMarkArm, right = outerRight ? kMarkInnerRadius : kMarkArm;
    const int up = outerTop ? kMarkInnerRadius : kMarkArm, down = outerBottom ? kMarkInnerRadius : kMarkArm;
    Line(d, CPoint(p.x - left, p.y), CPoint(p.x + right, p.y));
    Line(d, CPoint(p.x, p.y - up), CPoint(p.x, p.y + down));
}

class MarkPen {
public:
    explicit MarkPen(CDC* dc) : m_dc(dc), m_saved(dc->SaveDC())
    {
        dc->SelectPen(CPen(PS_SOLID, 1, 0));
        dc->SelectBrush(CBrush::Hollow());
    }
    ~MarkPen() { m_dc->RestoreDC(m_saved); }

private:
    CDC* m_dc;
    int m_saved;
};

}  // namespace

void DrawLabelMarks(const CMarkDevice& d, const CAlignMarks& marks, const CRect& label)
{
    if (!d.dc || !marks.AnyLabelMark()) return;
    MarkPen pen(d.dc);
    if (marks.LabelOutline()) {
        const int o = marks.items[CAlignMarks::OUTLINE_DISTANCE];
        Corner(d, CPoint(label.left - o, label.top - o), 1, 1);
        Corner(d, CPoint(label.right + o, label.top - o), -1, 1);
        Corner(d, CPoint(label.left - o, label.bottom + o), 1, -1);
        Corner(d, CPoint(label.right + o, label.bottom + o), -1, -1);
    }
    const CPoint c((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    if (marks.LabelHCenter()) {
        const int dist = marks.items[CAlignMarks::LABEL_HCENTER_DISTANCE];
        Target(d, CPoint(label.left - dist, c.y));
        Target(d, CPoint(label.right + dist, c.y));
    }
    if (marks.LabelVCenter()) {
        const int dist = marks.items[CAlignMarks::LABEL_VCENTER_DISTANCE];
        Target(d, CPoint(c.x, label.top - dist));
        Target(d, CPoint(c.x, label.bottom + dist));
    }
}

std::vector<CRect> SheetBlocks(const CLabelFormat& f, int* blockRows, int* blockColumns)
{
    const int R = std::max(1, int(f.m_nRows)), C = std::max(1, int(f.m_nColumns));
    const bool blocks = f.m_blocks.enabled != 0;
    const int rb = blocks ? std::clamp(f.m_blocks.rows, 1, R) : R;
    const int cb = blocks ? std::clamp(f.m_blocks.columns, 1, C) : C;
    const int BR = (R - 1) / rb + 1, BC = (C - 1) / cb + 1;
    if (blockRows) *blockRows = BR;
    if (blockColumns) *blockColumns = BC;
    std::vector<CRect> out(size_t(BR) * size_t(BC));
    std::vector<bool> used(out.size(), false);
    for (int n = 0; n < R * C; ++n) {
        // The block of a label is taken in the layout before the start
        // corner mirrors it, as the labels fill their blocks.
        CPoint cell = f.GetLabelCell(n);
        if (f.m_nStartCorner == 1 || f.m_nStartCorner == 2) cell.x = C - 1 - cell.x;
        if (f.m_nStartCorner == 2 || f.m_nStartCorner == 3) cell.y = R - 1 - cell.y;
        int i = cell.y / rb, j = cell.x / cb;
        if (f.m_nStartCorner == 1 || f.m_nStartCorner == 2) j = BC - 1 - j;
        if (f.m_nStartCorner == 2 || f.m_nStartCorner == 3) i = BR - 1 - i;
        const CPoint o = f.GetLabelOrigin(n);
        const CRect r(o.x, o.y, o.x + f.m_nLabelWidth, o.y + f.m_nLabelHeight);
        const size_t k = size_t(i) * size_t(BC) + size_t(j);
        if (!used[k]) {
            out[k] = r;
            used[k] = true;
        } else {
            out[k] = CRect(std::min(out[k].left, r.left), std::min(out[k].top, r.top), std::max(out[k].right, r.right),
                           std::max(out[k].bottom, r.bottom));
        }
    }
    return out;
}

void DrawBlockMarks(const CMarkDevice& d, const CAlignMarks& marks, const CLabelFormat& f)
{
    if (!d.dc || !marks.AnyBlockMark()) return;
    MarkPen pen(d.dc);
    int BR = 1, BC = 1;
    const std::vector<CRect> blocks = SheetBlocks(f, &BR, &BC);
    const int gx = f.m_blocks.hgap / 2, gy = f.m_blocks.vgap / 2;
    for (int i = 0; i < BR; ++i) {
        for (int j = 0; j < BC; ++j) {
            const CRect& b = blocks[size_t(i) * size_t(BC) + size_t(j)];
            if (marks.BlockSplit()) {
                // Grid point (row, column) of the block's corners; each block
                // draws its bottom-right point, the first row its top-right,
                // the first column its top-left and bottom-left.
                auto split = [&](CPoint p, int row, int column) {
                    Split(d, p, column == 0, column == BC, row == 0, row == BR);
                };
                split(CPoint(b.right + gx, b.bottom + gy), i + 1, j + 1);
                if (i == 0) split(CPoint(b.right + gx, b.top - gy), 0, j + 1);
                if (j == 0) {
                    split(CPoint(b.left - gx, b.top - gy), i, 0);
                    split(CPoint(b.left - gx, b.bottom + gy), i + 1, 0);
                }
            }
            const CPoint c((b.left + b.right) / 2, (b.top + b.bottom) / 2);
            if (marks.BlockHCenter()) {
                const int dist = marks.items[CAlignMarks::BLOCK_HCENTER_DISTANCE];
                Target(d, CPoint(b.left - dist, c.y));
                Target(d, CPoint(b.right + dist, c.y));
            }
            if (marks.BlockVCenter()) {
                const int dist = marks.items[CAlignMarks::BLOCK_VCENTER_DISTANCE];
                Target(d, CPoint(c.x, b.top - dist));
                Target(d, CPoint(c.x, b.bottom + dist));
            }
        }
    }
}
