// One label of a command-language format: every job object in order, as a
// native command at its anchor point or as a downloaded graphic placed by
// name, with multi-line texts laid out line by line.
#include <algorithm>

#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "model/drawtext.h"
#include "print/print_options.h"
#include "print/printdriver.h"

CPoint CPrintDriver::PlaceBox(const CRect& box, int rotation, int column)
{
    CPoint p = GetAnchorPoint(box.left, box.top, box.right, box.bottom, rotation);
    MapLabelPoint(&p, column);
    return p;
}

std::string CPrintDriver::GraphicNameFor(CDrawObj* obj, int column, int pass)
{
    return MakeGraphicName(obj->m_nID, obj->m_nVariability != 0 && pass != 3 ? column : 0);
}

std::vector<CRect> MultiLineBoxes(const CRect& r, int rotation, int align, const std::vector<CSize>& lines, int spacing)
{
    std::vector<CRect> boxes;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int w = lines[i].cx, h = lines[i].cy, k = w / 2;
        const int step = int(i) * (h + spacing);
        CRect b;
        switch (rotation & 3) {
        case 1:
            b.left = r.left + step;
            b.right = b.left + h;
            b.top = align == TEXT_ALIGN_LEFT ? r.bottom - w : align == TEXT_ALIGN_RIGHT ? r.top : (r.top + r.bottom) / 2 - k;
            b.bottom = b.top + w;
            break;
        case 2:
            b.bottom = r.bottom - step;
            b.top = b.bottom - h;
            b.left = align == TEXT_ALIGN_LEFT ? r.right - w : align == TEXT_ALIGN_RIGHT ? r.left : (r.left + r.right) / 2 - k;
            b.right = b.left + w;
            break;
        case 3:
            b.right = r.right - step;
            b.left = b.right - h;
            b.top = align == TEXT_ALIGN_LEFT ? r.top : align == TEXT_ALIGN_RIGHT ? r.bottom - w : (r.top + r.bottom) / 2 - k;
            b.bottom = b.top + w;
            break;
        default:
            b.top = r.top + step;
            b.bottom = b.top + h;
            b.left = align == TEXT_ALIGN_LEFT ? r.left : align == TEXT_ALIGN_RIGHT ? r.right - w : (r.left + r.right) / 2 - k;
            b.right = b.left + w;
            break;
        }
        boxes.push_back(b);
    }
    return boxes;
}

void CPrintDriver::EmitBarcode(CPrintPort* port, CDrawObj* obj, CLabelPos* pos, int column, int pass, const CRect& r)
{
    auto* b = static_cast<CDrawBarcode*>(obj);
    const int physical = RightToLeftOrder(*m_pFormat) ? Across() - 1 - column : column;
    const int rotation = b->m_nRotation & 3;
    const int placement = b->m_nTextPlacement;
    const bool aboveOrBelow = placement == BTP_ABOVE || placement == BTP_BELOW;
    if (obj->m_nOutputMethod == OM_BITMAP) {
        const CPoint at = PlaceBox(r, 0, physical);
        DrawGraphic(port, obj, at.x, at.y, GraphicNameFor(obj, column, pass));
        return;
    }
    CRect object, bars, text;
    b->LayoutBarcode(nullptr, pos, &object, &bars, &text);
    switch (obj->m_nOutputMethod) {
    case OM_NATIVE: {
        const CPoint at = PlaceBox(placement == BTP_DEFAULT ? r : bars, rotation, physical);
        DrawBarcode(port, obj, at.x, at.y, b, pos, pass);
        const bool ownLine =
            aboveOrBelow || (placement == BTP_DEFAULT && GetCapability(9, 0) == 1 && !b->m_strFontName.empty());
        if (ownLine) {
            const CPoint t = PlaceBox(text, rotation, physical);
            DrawText(port, t.x, t.y, obj, b->GetHumanReadable(pos), pass);
        }
        break;
    }
    case OM_BARS_NATIVE: {
        if (aboveOrBelow) {
            const CPoint t = PlaceBox(text, 0, physical);
            DrawGraphic(port, obj, t.x, t.y, GraphicNameFor(obj, column, pass));
        }
        const CPoint at = PlaceBox(bars, rotation, physical);
        DrawBarcode(port, obj, at.x, at.y, b, pos, pass);
        break;
    }
    case OM_TEXT_NATIVE: {
        if (placement != BTP_NONE) {
            const CPoint t = PlaceBox(text, rotation, physical);
            DrawText(port, t.x, t.y, obj, b->GetHumanReadable(pos), pass);
        }
        const CPoint at = PlaceBox(bars, 0, physical);
        DrawGraphic(port, obj, at.x, at.y, GraphicNameFor(obj, column, pass));
        break;
    }
    default: break;
    }
}

void CPrintDriver::EmitText(CPrintPort* port, CDrawObj* obj, CLabelPos* pos, int column, int pass, const CRect& r)
{
    auto* t = static_cast<CDrawText*>(obj);
    const int physical = RightToLeftOrder(*m_pFormat) ? Across() - 1 - column : column;
    const int rotation = t->m_nRotation & 3;
    if (t->m_nLayout == TEXT_ARC) return;  // nothing the printer can draw natively
    if (t->m_nLayout != TEXT_MULTI_LINE) {
        const CPoint at = PlaceBox(r, rotation, physical);
        DrawText(port, at.x, at.y, obj, t->GetLabelText(pos), pass);
        return;
    }
    std::vector<CTextLine> lines;
    t->LayoutBox(t->GetLabelText(pos), &lines);
    // Line sizes in dots: the width runs along the text, the height across it.
    const int hdpi = m_pFormat->m_nHDpi, vdpi = m_pFormat->m_nVDpi;
    const bool upright = rotation % 2 == 0;
    std::vector<CSize> sizes;
    for (const CTextLine& l : lines)
        sizes.emplace_back(UnitsToDots(l.m_nWidth, upright ? hdpi : vdpi), UnitsToDots(l.m_nHeight, upright ? vdpi : hdpi));
    const int h = sizes.empty() ? 0 : sizes.front().cy;
    int spacing = 0;
    switch (t->m_nLineSpacing) {
    case LINES_ONE_HALF: spacing = h / 2; break;
    case LINES_DOUBLE: spacing = h; break;
    case LINES_CUSTOM: spacing = UnitsToDots(t->m_nLineGap, vdpi); break;
    default: break;
    }
    const std::vector<CRect> boxes = MultiLineBoxes(r, rotation, t->m_nAlign, sizes, spacing);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const CPoint at = PlaceBox(boxes[i], rotation, physical);
        DrawText(port, at.x, at.y, obj, lines[i].m_strText, pass);
    }
}

BOOL CPrintDriver::EmitLabel(CPrintPort* port, CLabelPos* pos, int column, int pass, int)
{
    SetScriptVariables(1, 1, column + 1, *pos);
    const int physical = RightToLeftOrder(*m_pFormat) ? Across() - 1 - column : column;
    for (CDrawObj* obj : m_jobObjects) {
        if ((obj->m_nType == OBJ_BARCODE || obj->m_nType == OBJ_TEXT) && obj->GetLabelText(pos).empty()) continue;
        CRect r;
        obj->GetPrintRect(nullptr, pos, &r, FALSE);
        if (obj->m_nType == OBJ_BARCODE) {
            EmitBarcode(port, obj, pos, column, pass, r);
            continue;
        }
        if (obj->m_nOutputMethod != OM_NATIVE) {
            if (obj->m_nType >= OBJ_BARCODE && obj->m_nType <= OBJ_RECT) {
                const CPoint at = PlaceBox(r, 0, physical);
                DrawGraphic(port, obj, at.x, at.y, GraphicNameFor(obj, column, pass));
            }
            continue;
        }
        switch (obj->m_nType) {
        case OBJ_TEXT: EmitText(port, obj, pos, column, pass, r); break;
        case OBJ_LINE:
        case OBJ_RECT: {
            const CPoint at = PlaceBox(r, 0, physical);
            CPoint size(r.right - r.left, r.bottom - r.top);
            ConvertPoint(&size);
            if (obj->m_nType == OBJ_LINE)
                DrawLine(port, at.x, at.y, size.x, size.y, static_cast<CDrawLine*>(obj)->m_nDirection);
            else
                DrawRect(port, at.x, at.y, size.x, size.y, static_cast<CDrawRect*>(obj)->m_nThickness);
            break;
        }
        default: break;
        }
    }
    EndScriptLabel();
    return TRUE;
}
