#include "example_shipping.h"

#include <string>

#include "model/drawbarcode.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "model/drawtext.h"

namespace {

CVariable* AddFixed(CKVDoc& doc, const std::string& name, const std::string& data)
{
    auto* v = new CVariable;
    v->m_strName = name;
    v->m_strData = data;
    doc.AddVariable(v);
    return v;
}

CDrawText* AddText(CKVDoc& doc, const std::string& data, CRect position, int height, int style = 0)
{
    auto* t = new CDrawText(position);
    t->m_nFontHeight = height;
    t->m_nStyle = style;
    doc.AddObject(t);
    t->AddVariable(AddFixed(doc, "Text" + std::to_string(t->m_nID), data));
    return t;
}

// A barcode placed at a corner, set up for the label's printer the way the
// designer does when one is drawn, with a module near `module` (1/100000
// inch) in whole printer dots.
CDrawBarcode* AddBarcode(CKVDoc& doc, int symbology, const std::string& name, const std::string& data, CPoint at,
                         int module, int barHeight)
{
    auto* b = new CDrawBarcode(CRect(at, at));
    doc.AddObject(b);
    b->m_nSymbology = symbology;
    b->ApplyPrinterDefaults(&doc);
    const int dpi = doc.m_format.m_nHDpi;
    b->m_nModuleWidth = MulDiv(MulDiv(module, dpi, 100000), 100000, dpi);
    b->m_nBarHeight = barHeight;
    b->AddVariable(AddFixed(doc, name, data));
    return b;
}

}  // namespace

bool BuildShippingExample(CKVDoc& doc)
{
    if (!doc.ApplyPaperDefinition("Roll 100x150=1,100,150,1,2,3,0,0,0,0,0,0,0")) return false;
    doc.m_format.m_nQuantity = 1;

    auto* frame = new CDrawRect(CRect(200, 200, 9800, 14800));
    frame->m_nThickness = 50;
    doc.AddObject(frame);

    AddText(doc, "FROM: Korvane Labs, 12 Dock Road, Harbour City", CRect(500, 450, 9500, 900), 1000);
    AddText(doc, "SHIP TO:", CRect(500, 1300, 4000, 1900), 1400, TS_BOLD);
    CDrawText* address =
        AddText(doc, "Ada Fernhill\nUnit 4, Millbrook Estate\nNorth Quay 2204", CRect(500, 2000, 9500, 3600), 1300);
    address->m_nLayout = TEXT_MULTI_LINE;

    auto* rule = new CDrawLine(CRect(400, 4000, 9600, 4050));
    rule->m_nThickness = 50;
    doc.AddObject(rule);

    AddText(doc, "TRACKING", CRect(500, 4300, 4000, 4800), 1000, TS_BOLD);
    // The parcel number counts on from label to label and from run to run:
    // a fixed prefix and a serial number the tracking code and its link share.
    CDrawBarcode* tracking = AddBarcode(doc, BS_CODE128, "Prefix", "KV", CPoint(900, 5000), 1500, 2200);
    auto* parcel = new CVariable(VK_SERIAL);
    parcel->m_strName = "Parcel";
    parcel->m_strData = "1234567890";
    doc.AddVariable(parcel);
    tracking->AddVariable(parcel);
    tracking->m_nTextGap = 150;
    tracking->m_nFontHeight = 1200;

    auto* rule2 = new CDrawLine(CRect(400, 8600, 9600, 8650));
    rule2->m_nThickness = 50;
    doc.AddObject(rule2);

    AddText(doc, "ARTICLE", CRect(500, 8900, 4000, 9400), 1000, TS_BOLD);
    AddBarcode(doc, BS_EAN13, "Article", "590123412345", CPoint(700, 9700), 1300, 2500);
    AddText(doc, "Track online:", CRect(6200, 8900, 9500, 9400), 1000);
    AddBarcode(doc, BS_QRCODE, "Link", "https://korvane.example/t/KV", CPoint(6600, 9600), 2500, 0)->AddVariable(parcel);

    auto* box = new CDrawRect(CRect(500, 13000, 9500, 14500));
    box->m_nThickness = 30;
    doc.AddObject(box);
    AddText(doc, "HANDLE WITH CARE", CRect(700, 13300, 9300, 14200), 2000, TS_BOLD)->m_nAlign = TEXT_ALIGN_FULL;

    for (CDrawObj* obj : doc.m_objects) obj->RecalcSize();
    return true;
}
