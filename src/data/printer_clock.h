#pragma once
// Dates and times printed from the printer's own clock: when an object takes
// its date or time from the printer rather than from the computer, and the
// clock formats and command texts of the EPL printers that have a clock
// (the store driver answers its clock operations with these).
#include <string>
#include <vector>

#include "platform/clock.h"

class CDrawObj;
class CVariable;

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

// Clock format kinds of GetClockFormats.
enum ClockFormatKind : int { CFK_DATE = 0, CFK_TIME = 1 };

// The printer's date for a clock format index (index 0 for any index
// outside 1..11), with "\n" and the format's code after it; t null is now.
std::string EplClockDateText(int index, const CLocalTime* t);
// The printer's time for a clock format index (0 for any outside 1..3).
std::string EplClockTimeText(int index, const CLocalTime* t);
// Empties list and fills it with the date (kind 0, 12 entries) or time
// (kind 1, 4 entries) texts for now; returns the count. Any other kind
// leaves the list empty.
int EplClockFormats(int kind, std::vector<std::string>& list);

// The command that makes the printer format its clock for the object's first
// variable ("TD..." or "TT..." with CR LF); "" for any other kind.
std::string EplClockSetupText(const CDrawObj& obj);
// The field that prints the clock: "TD" or "TD+days", "TT" or "TT+minutes";
// a negative offset is not passed on. "" for any other kind.
std::string EplClockFieldReference(const CDrawObj& obj);
