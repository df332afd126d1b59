// A group draws and prints its children; in the editor a selected group
// shows a dotted outline around them.
#include "model/view.h"
#include "model/drawgroup.h"
#include "platform/dc.h"

void CDrawGroup::Draw(CKVView* view, CDC* dc)
{
    for (CDrawObj* child : m_children) child->Draw(view, dc);
}

void CDrawGroup::Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL flag)
{
    for (CDrawObj* child : m_children) child->Print(dc, pos, labelOrigin, flag);
}

void CDrawGroup::DrawTracker(CKVView* view, CDC* dc, int state)
{
    if (view && dc && !dc->IsPrinting() && state >= 2 && state <= 4) {
        const int saved = dc->SaveDC();
        dc->SelectPen(CPen(PS_DOT, 1, IsNonPrinting() ? 0xA0A0A0 : 0x0000FF));
        dc->SelectBrush(CBrush::Hollow());
        dc->Rectangle(view->DocToClient(m_position));
        dc->RestoreDC(saved);
    }
    CDrawObj::DrawTracker(view, dc, state);
}
