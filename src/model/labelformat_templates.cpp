#include "model/drawline.h"
#include "model/drawrect.h"
#include "model/labelformat.h"
#include "platform/strutil.h"

BOOL CLabelFormat::BuildTemplateObjects(std::vector<CDrawObj*>& list) const
{
    for (CDrawObj* obj : list) delete obj;
    list.clear();
    const std::string definitions = GetProperty(LFP_TEMPLATES);
    if (definitions.empty()) return FALSE;
    for (const std::string& def : SplitString(definitions, '|')) {
        const int type = AtoI(def.substr(0, def.find(',')));
        CDrawObj* obj = nullptr;
        if (type == OBJ_LINE)
            obj = new CDrawLine;
        else if (type == OBJ_RECT)
            obj = new CDrawRect;
        else
            continue;
        obj->SetFromDefinition(def);
        obj->m_dwFlags |= OF_TEMPLATE;
        list.push_back(obj);
    }
    return TRUE;
}
