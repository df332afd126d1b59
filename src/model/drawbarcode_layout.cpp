// Where bars and text go: the object's bounds from symbol plus text, the
// bars and text rectangles inside them for drawing and printing, and
// handle drags that change the module or the bar height instead of
// stretching the symbol.
#include <algorithm>

#include "model/drawbarcode.h"
#include "model/view.h"
#include "model/document.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"

namespace {

// The current tool of a view that is drawing out a new barcode.
constexpr int kBarcodeTool = 3;

int ClampToInt(long long v) { return int(std::clamp<long long>(v, -0x3FFFFFFF, 0x3FFFFFFF)); }

}  // namespace

BarcodeLayout ComputeBarcodeLayout(const BarcodeLayoutInput& in)
{
    const CRect& P = in.object;
    const int W = in.symbol.cx, H = in.symbol.cy;
    const int q = in.rotation & 3;
    const int X = (q & 1) ? H : W;   // along the symbol
    const int Dp = (q & 1) ? W : H;  // across it
    const int Tw = in.text.cx, Th = in.text.cy;
    const int G = in.gap;
    const bool full = in.align == BTA_FULL;
    const int L = (Tw > X && !full) ? Tw : X;
    const bool above = in.placement == BTP_ABOVE;

    CRect text;
    int x0 = P.left, y0 = P.top;
    // Along the symbol: the text's extent and the bars' start, by alignment.
    int t0 = 0, t1 = 0;
    switch (q) {
    case 0:
        switch (in.align) {
        case BTA_LEFT: t0 = P.left; t1 = P.left + Tw; x0 = P.left; break;
        case BTA_RIGHT: t0 = P.right - Tw; t1 = P.right; x0 = P.right - X; break;
        case BTA_FULL: t0 = P.left; t1 = P.left + X; x0 = P.left; break;
        default: t0 = P.left + (L - Tw) / 2; t1 = t0 + Tw; x0 = P.left + (L - X) / 2; break;
        }
        if (above) {
            text = CRect(t0, P.top, t1, P.top + Th);
            y0 = P.bottom - Dp;
        } else {
            text = CRect(t0, P.top + G + Dp, t1, P.bottom);
            y0 = P.top;
        }
        break;
    case 1:
        switch (in.align) {
        case BTA_LEFT: t0 = P.bottom - Tw; t1 = P.bottom; y0 = P.bottom - X; break;
        case BTA_RIGHT: t0 = P.top; t1 = P.top + Tw; y0 = P.top; break;
        case BTA_FULL: t0 = P.bottom - X; t1 = P.bottom; y0 = P.top; break;
        default: t0 = P.top + (L - Tw) / 2; t1 = t0 + Tw; y0 = P.top + (L - X) / 2; break;
        }
        if (above) {
            text = CRect(P.left, t0, P.left + Th, t1);
            x0 = P.right - Dp;
        } else {
            text = CRect(P.left + G + Dp, t0, P.right, t1);
            x0 = P.left;
        }
        break;
    case 2:
        switch (in.align) {
        case BTA_LEFT: t0 = P.right - Tw; t1 = P.right; x0 = P.right - X; break;
        case BTA_RIGHT: t0 = P.left; t1 = P.left + Tw; x0 = P.left; break;
        case BTA_FULL: t0 = P.left; t1 = P.left + X; x0 = P.left; break;
        default: t0 = P.left + (L - Tw) / 2; t1 = t0 + Tw; x0 = P.left + (L - X) / 2; break;
        }
        if (above) {
            text = CRect(t0, P.top + G + Dp, t1, P.bottom);
            y0 = P.top;
        } else {
            text = CRect(t0, P.top, t1, P.top + Th);
            y0 = P.bottom - Dp;
        }
        break;
    default:
        switch (in.align) {
        case BTA_LEFT: t0 = P.top; t1 = P.top + Tw; y0 = P.top; break;
        case BTA_RIGHT: t0 = P.bottom - Tw; t1 = P.bottom; y0 = P.bottom - X; break;
        case BTA_FULL: t0 = P.top; t1 = P.top + X; y0 = P.top; break;
        default: t0 = P.top + (L - Tw) / 2; t1 = t0 + Tw; y0 = P.top + (L - X) / 2; break;
        }
        if (above) {
            text = CRect(P.left + G + Dp, t0, P.right, t1);
            x0 = P.left;
        } else {
            text = CRect(P.left, t0, P.left + Th, t1);
            x0 = P.right - Dp;
        }
        break;
    }
    if (Tw == 0 && Th == 0) text = CRect();

    BarcodeLayout out;
    out.bars = CRect(x0, y0, x0 + W, y0 + H);
    out.text = text;
    CRect u;
    u.UnionRect(out.bars, out.text);
    int dx = 0, dy = 0;
    if (in.anchorH == 1)
        dx = P.right - u.right;
    else if (in.anchorH == 2)
        dx = (P.right + u.left - P.left - u.right) / 2;
    if (in.anchorV == 1)
        dy = (P.bottom + u.top - P.top - u.bottom) / 2;
    else if (in.anchorV == 2)
        dy = P.bottom - u.bottom;
    out.bars.OffsetRect(dx, dy);
    if (!out.text.IsRectNull()) out.text.OffsetRect(dx, dy);
    out.object.UnionRect(out.bars, out.text);
    return out;
}

BarcodeSize ComputeBarcodeSize(const BarcodeSizeInput& in)
{
    BarcodeSize out;
    out.rect = in.old;
    out.barHeight = in.barHeight;
    // A symbol the encoder refused keeps the rectangle it had, so that the
    // object stays visible (with its diagonals) and can be selected.
    if (in.symbol.cx <= 0 || in.symbol.cy <= 0) return out;

    const int q = in.rotation & 3;
    int L, T;
    if (q & 1) {
        L = MulDiv(in.symbol.cy, 25402, in.dpiY * 10);
        T = MulDiv(in.symbol.cx, 25402, in.dpiX * 10);
    } else {
        L = MulDiv(in.symbol.cx, 25402, in.dpiX * 10);
        T = MulDiv(in.symbol.cy, 25402, in.dpiY * 10);
    }
    const int tw = in.hasText && in.align != BTA_FULL ? in.text.cx : 0;
    if (tw > L) {
        out.barOffset = in.align == BTA_RIGHT ? tw - L : in.align == BTA_CENTER ? (tw - L) / 2 : 0;
        L = tw;
    }
    if (in.heightFollowsSymbol) out.barHeight = T;
    // Damaged settings must not wrap around.
    const int across = ClampToInt((long long)out.barHeight + (in.hasText ? (long long)in.text.cy + in.gap : 0));

    const CRect& o = in.old;
    auto at = [](long long a, long long b) { return ClampToInt(a + b); };
    CRect r;
    switch (q) {
    case 1: r = CRect(o.left, at(o.bottom, -L), at(o.left, across), o.bottom); break;
    case 2: r = CRect(at(o.right, -L), at(o.bottom, -across), o.right, o.bottom); break;
    case 3: r = CRect(at(o.right, -across), o.top, o.right, at(o.top, L)); break;
    default: r = CRect(o.left, o.top, at(o.left, L), at(o.top, across)); break;
    }
    // Anchors, when the object has them, decide which part of the old
    // rectangle stays where it was.
    if (!in.anchorH.empty()) {
        switch (AtoI(in.anchorH)) {
        case 1: r.OffsetRect(o.right - r.right, 0); break;
        case 2: r.OffsetRect((o.left + o.right) / 2 - (r.left + r.right) / 2, 0); break;
        default: r.OffsetRect(o.left - r.left, 0); break;
        }
    }
    if (!in.anchorV.empty()) {
        switch (AtoI(in.anchorV)) {
        case 1: r.OffsetRect(0, (o.top + o.bottom) / 2 - (r.top + r.bottom) / 2); break;
        case 2: r.OffsetRect(0, o.bottom - r.bottom); break;
        default: r.OffsetRect(0, o.top - r.top); break;
        }
    }
    out.rect = r;
    return out;
}

void CDrawBarcode::RecalcSize()
{
    BarcodeSizeInput in;
    in.hasText = DrawsText();
    if (in.hasText) {
        const CSize t = MeasureHumanReadable(GetHumanReadable(nullptr));
        in.text = CSize(m_nTextAlign == BTA_FULL ? 0 : t.cx, t.cy);
    }
    RebuildBitmap();
    m_nBarOffset = 0;
    in.old = m_position.Normalized();
    if (m_hBitmap) in.symbol = CSize(m_hBitmap->Width(), m_hBitmap->Height());
    in.dpiX = FormatDpiX();
    in.dpiY = FormatDpiY();
    in.rotation = m_nRotation;
    in.align = m_nTextAlign;
    in.gap = m_nTextGap;
    in.barHeight = m_nBarHeight;
    in.heightFollowsSymbol = HeightFollowsSymbol() != FALSE;
    in.anchorH = GetProperty(OP_ANCHOR_H);
    in.anchorV = GetProperty(OP_ANCHOR_V);
    const BarcodeSize size = ComputeBarcodeSize(in);
    m_position = size.rect;
    m_nBarOffset = size.barOffset;
    m_nBarHeight = size.barHeight;
}

void CDrawBarcode::MoveHandleTo(int handle, CPoint pt, CKVView* view)
{
    // While the object is being drawn out, the dragged rectangle is taken
    // as it is.
    if (view && view->GetCurrentTool() == kBarcodeTool) {
        CDrawObj::MoveHandleTo(handle, pt, view);
        return;
    }
    if (IsLocked() || handle < 1 || handle > 8) return;

    const CRect old = m_position.Normalized();
    CRect dragged = old;
    switch (handle) {
    case 1: dragged.left = pt.x; dragged.top = pt.y; break;
    case 2: dragged.top = pt.y; break;
    case 3: dragged.right = pt.x; dragged.top = pt.y; break;
    case 4: dragged.right = pt.x; break;
    case 5: dragged.right = pt.x; dragged.bottom = pt.y; break;
    case 6: dragged.bottom = pt.y; break;
    case 7: dragged.left = pt.x; dragged.bottom = pt.y; break;
    default: dragged.left = pt.x; break;
    }

    const bool turned = (m_nRotation & 1) != 0;
    const bool horizontalSide = handle == 4 || handle == 8;
    const bool verticalSide = handle == 2 || handle == 6;
    const bool corner = !horizontalSide && !verticalSide;
    const bool moduleOnly = IsMatrixSymbology(m_nSymbology) ||
                            (m_nSymbology == BS_DATABAR && m_dataBar.type == DBT_STACKED && m_dataBar.hold);
    // Sides that move along the symbol change the module, sides across it
    // the bar height, corners both.
    const bool alongSide = turned ? verticalSide : horizontalSide;
    const bool wantModule = moduleOnly || corner || alongSide;
    const bool wantHeight = !moduleOnly && (corner || !alongSide);

    bool heightChanged = false;
    CRect heightRect = old;
    if (wantHeight) {
        // The drag distance across the symbol, measured at the edge moved.
        int delta = 0;
        if (!turned) {
            if (handle <= 3) {
                delta = old.top - dragged.top;
                heightRect.top = dragged.top;
            } else if (handle >= 5 && handle <= 7) {
                delta = dragged.bottom - old.bottom;
                heightRect.bottom = dragged.bottom;
            }
        } else {
            if (handle == 1 || handle == 7 || handle == 8) {
                delta = old.left - dragged.left;
                heightRect.left = dragged.left;
            } else {
                delta = dragged.right - old.right;
                heightRect.right = dragged.right;
            }
        }
        const int height = m_nBarHeight + delta;
        if (height != m_nBarHeight && height >= MinBarHeight(m_nModuleWidth)) {
            m_nBarHeight = height;
            heightChanged = true;
        }
    }

    bool moduleChanged = false;
    if (wantModule) {
        const int oldAlong = turned ? old.Height() : old.Width();
        const int newAlong = turned ? dragged.Normalized().Height() : dragged.Normalized().Width();
        int percent = oldAlong > 0 ? MulDiv(100, newAlong, oldAlong) : 100;
        if (IsMatrixSymbology(m_nSymbology)) {
            const CRect d = dragged.Normalized();
            const int px = old.Width() > 0 ? MulDiv(100, d.Width(), old.Width()) : 100;
            const int py = old.Height() > 0 ? MulDiv(100, d.Height(), old.Height()) : 100;
            percent = std::min(px, py);
        }
        const int dpi = FormatDpiX();
        const int dots = MulDiv(MulDiv(m_nModuleWidth, percent, 100), dpi, 100000);
        const int module = MulDiv(dots, 100000, dpi);
        if (dots >= 1 && dots <= MaxModuleDots() && module != m_nModuleWidth) {
            m_nModuleWidth = module;
            moduleChanged = true;
        }
    }

    if (moduleChanged) {
        Invalidate(view);
        RecalcSize();
        // The corner opposite the dragged handle stays where it was.
        const CRect r = m_position.Normalized();
        int dx = 0, dy = 0;
        switch (handle) {
        case 1: dx = old.right - r.right; dy = old.bottom - r.bottom; break;
        case 2: case 3: case 4: dx = old.left - r.left; dy = old.bottom - r.bottom; break;
        case 5: case 6: dx = old.left - r.left; dy = old.top - r.top; break;
        default: dx = old.right - r.right; dy = old.top - r.top; break;
        }
        m_position = r;
        m_position.OffsetRect(dx, dy);
        Invalidate(view);
        return;
    }
    if (heightChanged) {
        // The rectangle follows the drag across the symbol; the bitmap is
        // stretched when drawn, except where the height changes the symbol.
        MoveTo(heightRect, view);
        const bool digits = IsEanUpc(m_nSymbology) && m_nTextPlacement != BTP_NONE;
        const bool stacked = m_nSymbology == BS_DATABAR &&
                             (m_dataBar.type == DBT_STACKED || m_dataBar.type == DBT_STACKED_OMNI ||
                              m_dataBar.type == DBT_EXPANDED_STACKED);
        if (digits || stacked) RebuildBitmap();
    }
}
