// The "text" example label: an 80 x 50 mm roll label with text in every
// layout (single line aligned left, right and fitted, several lines, an
// arc, turned, white on black, mirrored) beside a few shapes.
#include <string>

#include "data/variable.h"
#include "example_text.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "model/drawtext.h"

namespace {

CDrawText* AddText(CKVDoc& doc, const std::string& data, CRect position, int height)
{
    auto* t = new CDrawText(position);
    t->m_nFontHeight = height;
    doc.AddObject(t);
    auto* v = new CVariable;
    v->m_strName = "Text" + std::to_string(t->m_nID);
    v->m_strData = data;
    doc.AddVariable(v);
    t->AddVariable(v);
    return t;
}

}  // namespace

bool BuildTextExample(CKVDoc& doc)
{
    if (!doc.ApplyPaperDefinition("Roll 80x50=1,80,50,1,2,3,0,0,0,0,0,0,0")) return false;
    doc.m_format.m_nQuantity = 1;
    auto* frame = new CDrawRect(CRect(100, 100, 7900, 4900));
    frame->m_nShape = SHAPE_ROUNDRECT;
    frame->m_nThickness = 40;
    doc.AddObject(frame);

    CDrawText* title = AddText(doc, "Korvane 0123", CRect(400, 300, 4000, 800), 1600);
    title->m_nStyle = TS_BOLD;
    CDrawText* right = AddText(doc, "right edge", CRect(4500, 300, 7600, 700), 1000);
    right->m_nAlign = TEXT_ALIGN_RIGHT;
    right->m_strFontName = "Times New Roman";
    CDrawText* full = AddText(doc, "Fitted into a narrow box whatever its length", CRect(400, 1000, 3800, 1400), 1000);
    full->m_nAlign = TEXT_ALIGN_FULL;
    CDrawText* spread = AddText(doc, "SPREAD", CRect(400, 1500, 3800, 1900), 1000);
    spread->m_nAlign = TEXT_ALIGN_FULL;
    CDrawText* multi = AddText(doc, "Lines wrap in the box\nand break at feeds", CRect(400, 2100, 3200, 3000), 900);
    multi->m_nLayout = TEXT_MULTI_LINE;
    multi->m_nAlign = TEXT_ALIGN_CENTER;
    multi->m_strFontName = "Courier New";
    CDrawText* reverse = AddText(doc, "WHITE ON BLACK", CRect(400, 3900, 3500, 4400), 1100);
    reverse->m_nStyle = TS_WHITE_ON_BLACK | TS_BOLD;
    reverse->m_nBackground = 0;
    CDrawText* mirrored = AddText(doc, "Mirrored", CRect(400, 4400, 3000, 4800), 1000);
    mirrored->m_dwFlags = 0x10;
    CDrawText* up = AddText(doc, "Upward", CRect(3900, 2000, 4300, 4700), 1100);
    up->m_nRotation = 1;
    CDrawText* arc = AddText(doc, "ROUND AND ROUND", CRect(5200, 2000, 7200, 4000), 900);
    arc->m_nLayout = TEXT_ARC;
    arc->SetIntProperty(TP_ARC_RADIUS, 700);
    arc->SetIntProperty(TP_ARC_START, 330);
    arc->SetIntProperty(TP_ARC_SWEEP, 300);
    arc->SetIntProperty(TP_ARC_ORIENTATION, 1);
    CDrawText* ocr = AddText(doc, "OCR-B 123", CRect(4300, 1000, 7600, 1500), 1200);
    ocr->m_strFontName = "OCR-B-10 BT";
    ocr->m_nAlign = TEXT_ALIGN_RIGHT;

    auto* circle = new CDrawRect(CRect(5700, 2500, 6700, 3500));
    circle->m_nShape = SHAPE_ELLIPSE;
    circle->m_nThickness = 60;
    auto* cross = new CDrawLine(CRect(5700, 2500, 6700, 3500));
    cross->m_nDirection = LINE_DIAG_UP;
    cross->m_nThickness = 50;
    auto* group = new CDrawGroup;
    group->AddChild(circle);
    group->AddChild(cross);
    group->UnionChildren();
    doc.AddObject(group);
    for (CDrawObj* child : group->m_children) {
        child->m_pDocument = &doc;
        child->m_nID = doc.TakeNextId();
    }
    auto* rule = new CDrawLine(CRect(4300, 1700, 7600, 1740));
    rule->m_nThickness = 40;
    doc.AddObject(rule);
    auto* hidden = new CDrawRect(CRect(4300, 1800, 7600, 1900));
    hidden->m_dwFlags = OF_NOPRINT;  // shown in the designer, never printed
    doc.AddObject(hidden);
    for (CDrawObj* obj : doc.m_objects) obj->RecalcSize();
    return true;
}
