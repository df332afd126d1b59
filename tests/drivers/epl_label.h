#pragma once
// A label for the EPL drivers' tests: a document in one of the EPL2
// languages (11 plain, 19 single-number, 15 stored forms) at 203 dpi whose
// driver the language table made, with helpers that add objects the way
// the designer does and print jobs into memory.
#include <string>
#include <vector>

#include "data/variable.h"
#include "drivers/epl_driver.h"
#include "drivers/epl_store_driver.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawline.h"
#include "model/drawpicture.h"
#include "model/drawrect.h"
#include "model/drawtext.h"
#include "print/print_port.h"

namespace epltest {

struct EplLabel {
    CKVDoc doc;
    int language;

    // width x height in label units, labels across with a gap between them.
    explicit EplLabel(int language = 11, int width = 5000, int height = 3000, int across = 1, int dpi = 203)
        : language(language)
    {
        doc.OnNewDocument();
        CLabelFormat& f = doc.m_format;
        f.m_nLanguage = language;
        f.SetProperty(LFP_WINDOWS_DRIVER, "");
        f.m_nHDpi = f.m_nVDpi = dpi;
        f.m_nColumns = across;
        f.m_nRows = 1;
        f.m_nLabelWidth = width;
        f.m_nLabelHeight = height;
        f.m_nLeftMargin = 0;
        f.m_nTopMargin = 0;
        f.m_nHGap = 200;
        f.m_nVGap = 300;
        doc.ReloadPrinterFonts();
        doc.OnPrinterChanged();
    }

    CPrintDriver& Driver() { return *dynamic_cast<CPrintDriver*>(doc.m_driver.get()); }
    // The resident font n (1 to 5) of the label's language.
    std::string Font(int n) const
    {
        const char* family = language == 19 ? "Argox" : language == 15 ? "Vantrel" : "Intermec";
        return std::string(family) + " Font " + std::to_string(n);
    }

    CVariable* Var(const std::string& data, int kind = VK_FIXED)
    {
        auto* v = new CVariable(kind);
        v->m_strData = data;
        doc.AddVariable(v);
        return v;
    }
    CDrawText* Text(const std::string& data, CPoint at, std::string font = "", int height = 0,
                    int rotation = 0)
    {
        auto* t = new CDrawText(CRect(at.x, at.y, at.x + 100, at.y + 100));
        t->m_strFontName = font.empty() ? Font(2) : font;
        doc.AddObject(t);
        t->AddVariable(Var(data));
        if (height) t->m_nFontHeight = height;
        t->AdaptToPrinter(&doc);
        t->m_nRotation = rotation;
        MoveTo(t, at);
        return t;
    }
    CDrawBarcode* Barcode(int symbology, const std::string& data, CPoint at, int moduleDots = 2, int barHeight = 1200,
                          int placement = BTP_DEFAULT, int rotation = 0)
    {
        auto* b = new CDrawBarcode(CRect(at, at));
        doc.AddObject(b);
        b->m_nSymbology = symbology;
        b->m_nTextPlacement = placement;
        b->ApplyPrinterDefaults(&doc);
        const int dpi = doc.m_format.m_nHDpi;
        b->m_nModuleWidth = MulDiv(moduleDots, 100000, dpi);
        b->m_nBarHeight = barHeight;
        b->AddVariable(Var(data));
        b->m_nRotation = rotation;
        MoveTo(b, at);
        return b;
    }
    // Puts the object's top-left corner at `at` (a turned object grows
    // from the corner its rotation keeps).
    static void MoveTo(CDrawObj* obj, CPoint at)
    {
        obj->RecalcSize();
        const CRect r = obj->m_position.Normalized();
        obj->m_position.left += at.x - r.left;
        obj->m_position.right += at.x - r.left;
        obj->m_position.top += at.y - r.top;
        obj->m_position.bottom += at.y - r.top;
    }
    CDrawLine* Line(CRect at, int direction, int thickness = 0)
    {
        auto* l = new CDrawLine(at);
        l->m_nDirection = direction;
        l->m_nThickness = thickness ? thickness : direction == LINE_HORIZONTAL ? at.bottom - at.top : at.right - at.left;
        doc.AddObject(l);
        return l;
    }
    CDrawRect* Box(CRect at, int thickness)
    {
        auto* r = new CDrawRect(at);
        r->m_nThickness = thickness;
        doc.AddObject(r);
        return r;
    }
    CDrawPicture* Picture(CRect at)
    {
        auto* p = new CDrawPicture(at);
        doc.AddObject(p);
        return p;
    }

    // A job of labels x copies into memory, as the engine runs it: job
    // preparation, settings, setup, the print mode's loop, the job's end.
    std::string Print(int labels = 1, int copies = 1)
    {
        doc.m_format.m_nQuantity = labels;
        doc.m_format.m_nCopies = copies;
        CPrintDriver& d = Driver();
        d.SetAnswerYes(true);
        std::vector<std::uint8_t> bytes;
        if (!d.BeginJob(TRUE)) return std::string();
        CPrintPort port(&bytes);
        port.Open();
        d.m_jobDevMode = doc.m_format.m_devMode;
        d.LoadPrinterSettings(FALSE);
        d.SendSetup(&port);
        d.PrintLabels(&port);
        d.EndJob(&port);
        port.Close();
        d.EndPrint(TRUE);
        return std::string(bytes.begin(), bytes.end());
    }
};

}  // namespace epltest
