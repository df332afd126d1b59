#pragma once
// Dates and times printed from the printer's own clock: the clock formats
// and command texts of the EPL printers that have a clock (the store driver
// answers its clock operations with these). Which objects print from the
// clock is the model's question (model/object_clock.h).
#include <string>
#include <vector>

#include "platform/clock.h"

class CVariable;

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

// The command that makes the printer format its clock for a variable ("TD..."
// or "TT..." with CR LF); "" for any other kind or no variable.
std::string EplClockSetupText(const CVariable* var);
// The field that prints the clock: "TD" or "TD+days", "TT" or "TT+minutes";
// a negative offset is not passed on. "" for any other kind.
std::string EplClockFieldReference(const CVariable* var);
