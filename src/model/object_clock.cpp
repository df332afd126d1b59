#include "model/object_clock.h"

#include "data/variable.h"
#include "model/drawobj.h"

namespace {

PrinterFontTest g_printerFontTest = nullptr;

const CVariable* FirstVariable(const CDrawObj& obj) { return obj.m_variables.empty() ? nullptr : obj.m_variables.front(); }

}  // namespace

void SetPrinterFontTest(PrinterFontTest test) { g_printerFontTest = test; }

PrinterFontTest GetPrinterFontTest() { return g_printerFontTest; }

bool TakesPrinterClock(const CVariable& var, CDrawObj* obj)
{
    if (!obj || !obj->UsesPrinterClock()) return false;
    if (obj->m_nType != OBJ_TEXT || !var.m_pDocument) return false;
    return g_printerFontTest && g_printerFontTest(obj);
}

std::string EplClockSetupText(const CDrawObj& obj) { return EplClockSetupText(FirstVariable(obj)); }

std::string EplClockFieldReference(const CDrawObj& obj) { return EplClockFieldReference(FirstVariable(obj)); }
