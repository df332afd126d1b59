#pragma once
// Which objects print a date or time from the printer's own clock, and the
// EPL clock commands for an object's first variable.
#include <string>

#include "data/printer_clock.h"

class CDrawObj;

// Whether a text object's font is resident in its document's printer. The
// text object installs the answer; until then no object qualifies.
using PrinterFontTest = bool (*)(const CDrawObj* textObject);
void SetPrinterFontTest(PrinterFontTest test);
PrinterFontTest GetPrinterFontTest();

// Whether var's value, asked by obj, comes from the printer's clock: obj uses
// the printer clock (one Date or Time variable with property 315 = 1, a
// driver that answers capability 17), it is a text object in a printer-
// resident font, and the variable belongs to a document.
bool TakesPrinterClock(const CVariable& var, CDrawObj* obj);

// The command that makes the printer format its clock for the object's first
// variable ("TD..." or "TT..." with CR LF); "" for any other kind.
std::string EplClockSetupText(const CDrawObj& obj);
// The field that prints the clock: "TD" or "TD+days", "TT" or "TT+minutes";
// a negative offset is not passed on. "" for any other kind.
std::string EplClockFieldReference(const CDrawObj& obj);
