// Drawing the whole design of a document into a view or onto a printer.
#include "model/view.h"
#include "model/document.h"
#include "model/drawobj.h"
#include "platform/dc.h"

void CKVDoc::Draw(CDC* dc, CKVView* view)
{
    if (!dc) return;
    for (CDrawObj* t : m_templates) t->Draw(view, dc);
    const CDrawObj* master = view ? view->GetMasterObject() : nullptr;
    for (CDrawObj* obj : m_objects) {
        obj->Draw(view, dc);
        int state = 1;
        if (view && !dc->IsPrinting() && view->IsSelected(obj)) state = obj == master ? 3 : 2;
        obj->DrawTracker(view, dc, state);
    }
}
