// Where the labels sit on a page: label cells (order, start corner, blocks),
// their origins and the size of the page they fill.
#include <algorithm>

#include "model/labelformat.h"

int CLabelFormat::GetOrientation() const
{
    // Quarter turns: any other stored number is taken modulo a full turn.
    const int v = m_properties.GetInt(LFP_ORIENTATION, 0);
    return ((v % 4) + 4) % 4;
}

void CLabelFormat::SetOrientation(int quarterTurns)
{
    m_properties.SetInt(LFP_ORIENTATION, ((quarterTurns % 4) + 4) % 4);
}

namespace {

// Counts that divide: a damaged or hand-made format may hold 0 or less
// (missing fields of the stored texts read as 0), which must not divide.
int AtLeastOne(int v) { return v < 1 ? 1 : v; }

}  // namespace

CPoint CLabelFormat::GetLabelCell(int n) const
{
    // 64-bit arithmetic: the products of rows and columns must not overflow
    // whatever a damaged file holds.
    using ll = long long;
    const ll R = AtLeastOne(m_nRows);
    const ll C = AtLeastOne(m_nColumns);
    const ll i0 = std::clamp<ll>(n, 0, R * C - 1);

    ll column = 0;
    ll row = 0;
    if (!m_blocks.enabled || !m_blocks.first) {
        if (m_nOrder == 1) {
            row = i0 % R;
            column = i0 / R;
        } else {
            column = i0 % C;
            row = i0 / C;
        }
    } else {
        const ll rb = std::min<ll>(AtLeastOne(m_blocks.rows), R);
        const ll cb = std::min<ll>(AtLeastOne(m_blocks.columns), C);
        const ll blockRows = (R - 1) / rb + 1;
        const ll blockCols = (C - 1) / cb + 1;
        // Rows (columns) of block row i (column j): the last one holds what is left.
        auto rowsIn = [&](ll i) { return i == blockRows - 1 ? R - rb * i : rb; };
        auto colsIn = [&](ll j) { return j == blockCols - 1 ? C - cb * j : cb; };
        if (m_nOrder == 1) {
            const ll j = i0 / (R * cb);
            const ll w = colsIn(j);
            const ll m = i0 % (R * cb);
            const ll i = m / (w * rb);
            const ll h = rowsIn(i);
            const ll k = m % (w * rb);
            row = i * rb + k % h;
            column = j * cb + k / h;
        } else {
            const ll i = i0 / (C * rb);
            const ll h = rowsIn(i);
            const ll m = i0 % (C * rb);
            const ll j = m / (h * cb);
            const ll w = colsIn(j);
            const ll k = m % (h * cb);
            column = j * cb + k % w;
            row = i * rb + k / w;
        }
    }

    switch (m_nStartCorner) {
    case 1: column = C - 1 - column; break;
    case 2:
        column = C - 1 - column;
        row = R - 1 - row;
        break;
    case 3: row = R - 1 - row; break;
    default: break;
    }
    return CPoint(int(column), int(row));
}

bool CLabelFormat::HasBlockGaps() const { return m_blocks.enabled && IsWindowsDriverMode(); }

CPoint CLabelFormat::GetLabelOrigin(int n) const
{
    const CPoint cell = GetLabelCell(n);
    int x = cell.x * (m_nLabelWidth + m_nHGap) + m_nHAdjust + m_nLeftMargin;
    int y = cell.y * (m_nLabelHeight + m_nVGap) + m_nVAdjust + m_nTopMargin;
    if (HasBlockGaps()) {
        // Between blocks the block gap takes the place of the label gap;
        // the page size grows by the same amounts.
        x += cell.x / AtLeastOne(m_blocks.columns) * (m_blocks.hgap - m_nHGap);
        y += cell.y / AtLeastOne(m_blocks.rows) * (m_blocks.vgap - m_nVGap);
    }
    return CPoint(x, y);
}

CPoint CLabelFormat::GetLabelOriginDots(int n, int dpiX, int dpiY, int offsetX, int offsetY) const
{
    const CPoint p = GetLabelOrigin(n);
    return CPoint(MulDiv(p.x, dpiX * 10, 25402) - offsetX, MulDiv(p.y, dpiY * 10, 25402) - offsetY);
}

CSize CLabelFormat::GetPageSize() const
{
    const int R = AtLeastOne(m_nRows);
    const int C = AtLeastOne(m_nColumns);
    int cx = C * m_nLabelWidth + (C - 1) * m_nHGap + 2 * m_nLeftMargin;
    int cy = R * m_nLabelHeight + (R - 1) * m_nVGap + 2 * m_nTopMargin;
    if (HasBlockGaps()) {
        cx += (C - 1) / AtLeastOne(m_blocks.columns) * (m_blocks.hgap - m_nHGap);
        cy += (R - 1) / AtLeastOne(m_blocks.rows) * (m_blocks.vgap - m_nVGap);
    }
    return CSize(cx, cy);
}
