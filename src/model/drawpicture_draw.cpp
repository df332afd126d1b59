// Drawing a picture on screen, printing it on a page and rendering it into
// a printer bitmap.
#include "model/view.h"
#include "model/drawpicture.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"

void CDrawPicture::DrawCrossedBox(CDC* dc, const CRect& box)
{
    const CRect r = box.Normalized();
    if (r.IsRectEmpty()) return;
    const int saved = dc->SaveDC();
    dc->SelectPen(CPen(PS_SOLID, 0, 0));
    dc->SelectBrush(CBrush::Hollow());
    dc->Rectangle(r);
    dc->MoveTo(CPoint(r.left, r.top));
    dc->LineTo(CPoint(r.right - 1, r.bottom - 1));
    dc->MoveTo(CPoint(r.left, r.bottom - 1));
    dc->LineTo(CPoint(r.right - 1, r.top));
    dc->RestoreDC(saved);
}

void CDrawPicture::Draw(CKVView* view, CDC* dc)
{
    if (!dc) return;
    const CRect r = PositionToView(view, dc);
    if (m_image.IsValid())
        m_image.DrawImage(dc, r.left, r.top, r.Width(), r.Height(), m_nBackground == 1, GetMirror(), m_nRotation);
    else
        DrawCrossedBox(dc, r);
}

void CDrawPicture::Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL flag)
{
    if (!dc) return;
    CRect r;
    GetPrintRect(dc, pos, &r, flag);
    if (labelOrigin) r.OffsetRect(*labelOrigin);
    const BOOL transparent = m_nBackground == 1;
    if (m_nSource == PIC_DATA_SOURCE) {
        CPictureImage image;
        if (LoadLabelPicture(pos, image))
            image.DrawImage(dc, r.left, r.top, r.Width(), r.Height(), transparent, GetMirror(), m_nRotation);
        else if (OnMissingPicture(LabelPictureFile(pos)))
            DrawCrossedBox(dc, r);
        return;
    }
    if (m_image.IsValid())
        m_image.DrawImage(dc, r.left, r.top, r.Width(), r.Height(), transparent, GetMirror(), m_nRotation);
    else if (m_nSource == PIC_LINKED && OnMissingPicture(m_strFileName))
        DrawCrossedBox(dc, r);
}

std::unique_ptr<CMonoBitmap> CDrawPicture::CreatePrintBitmap(CLabelPos* pos, BOOL flag)
{
    CRect area;
    GetPrintRect(nullptr, pos, &area, flag);
    area.NormalizeRect();
    if (area.IsRectEmpty()) return nullptr;
    auto mem = CDC::CreateMonoBitmap(area.Width(), area.Height(), FormatDpiX(), FormatDpiY());
    const CRect all(0, 0, area.Width(), area.Height());
    // Colours are reduced to black and white as the picture is stretched in.
    if (m_nSource == PIC_DATA_SOURCE) {
        CPictureImage image;
        if (LoadLabelPicture(pos, image))
            image.DrawImage(mem.get(), 0, 0, all.right, all.bottom, FALSE, GetMirror(), m_nRotation);
        else if (OnMissingPicture(LabelPictureFile(pos)))
            DrawCrossedBox(mem.get(), all);
        else
            return nullptr;
    } else if (m_image.IsValid()) {
        m_image.DrawImage(mem.get(), 0, 0, all.right, all.bottom, FALSE, GetMirror(), m_nRotation);
    } else if (m_nSource == PIC_LINKED && OnMissingPicture(m_strFileName)) {
        DrawCrossedBox(mem.get(), all);
    } else {
        return nullptr;
    }
    return std::make_unique<CMonoBitmap>(mem->GetMonoBitmap());
}
