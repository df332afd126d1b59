// Drawing operations of the label object base. The base draws and prints
// nothing and renders no bitmap; concrete classes override these.
#include "model/document.h"
#include "model/drawobj.h"
#include "platform/monobitmap.h"

std::unique_ptr<CMonoBitmap> CDrawObj::CreatePrintBitmap(CLabelPos*, BOOL) { return nullptr; }

void CDrawObj::Draw(CKVView*, CDC*) {}

void CDrawObj::Print(CDC*, CLabelPos*, const CPoint*, BOOL) {}

void CDrawObj::GetPrintRect(CDC* dc, CLabelPos*, CRect* out, BOOL)
{
    // Device resolutions come from the drawing layer; without a device the
    // label format's printer resolution applies.
    (void)dc;
    *out = CRect(UnitsToDots(m_position.Normalized().left, FormatDpiX()),
                 UnitsToDots(m_position.Normalized().top, FormatDpiY()),
                 UnitsToDots(m_position.Normalized().right, FormatDpiX()),
                 UnitsToDots(m_position.Normalized().bottom, FormatDpiY()));
}

void CDrawObj::DrawTracker(CKVView*, CDC*, int) {}
