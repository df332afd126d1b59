#include "data/printer_clock.h"

#include "data/datetime_format.h"
#include "data/variable.h"
#include "platform/strutil.h"

namespace {

// Date formats of the printer's clock and the codes that select them.
struct ClockDate {
    const char* format;
    const char* setup;
};
const ClockDate kClockDates[12] = {
    {"%Y-%m-%d\n(y4-mn-dd)", "TDy4-mn-dd"}, {"%m-%d-%Y\n(mn-dd-y4)", "TDmn-dd-y4"},
    {"%d-%m-%Y\n(dd-mn-y4)", "TDdd-mn-y4"}, {"%y-%m-%d\n(y2-mn-dd)", "TDy2-mn-dd"},
    {"%m-%d-%y\n(mn-dd-y2)", "TDmn-dd-y2"}, {"%d-%m-%y\n(dd-mn-y2)", "TDdd-mn-y2"},
    {"%Y/%m/%d\n(y4/mn/dd)", "TDy4/mn/dd"}, {"%m/%d/%Y\n(mn/dd/y4)", "TDmn/dd/y4"},
    {"%d/%m/%Y\n(dd/mn/y4)", "TDdd/mn/y4"}, {"%y/%m/%d\n(y2/mn/dd)", "TDy2/mn/dd"},
    {"%m/%d/%y\n(mn/dd/y2)", "TDmn/dd/y2"}, {"%d/%m/%y\n(dd/mn/y2)", "TDdd/mn/y2"},
};

const char* const kClockTimeSetup[4] = {"TTh:m:s", "TTh:m", "TTh:m:s+", "TTh:m+"};

int DateIndex(int index) { return index >= 1 && index <= 11 ? index : 0; }
int TimeIndex(int index) { return index >= 1 && index <= 3 ? index : 0; }

}  // namespace

std::string EplClockDateText(int index, const CLocalTime* t)
{
    const CLocalTime when = t ? *t : CurrentLocalTime();
    // The clock's formats are the printer's, not the interface language's:
    // they hold numbers only, so the locale does not enter.
    return FormatLocalTime(kClockDates[DateIndex(index)].format, when);
}

std::string EplClockTimeText(int index, const CLocalTime* t)
{
    const CLocalTime when = t ? *t : CurrentLocalTime();
    // The printer writes its own AM/PM, whatever the locale.
    const char* half = when.hour >= 12 ? "PM" : "AM";
    switch (TimeIndex(index)) {
    case 1: return FormatLocalTime("%#H:%M", when);
    case 2: return FormatLocalTime("%#I:%M:%S", when) + half;
    case 3: return FormatLocalTime("%#I:%M", when) + half;
    default: return FormatLocalTime("%H:%M:%S", when);
    }
}

int EplClockFormats(int kind, std::vector<std::string>& list)
{
    list.clear();
    const CLocalTime now = CurrentLocalTime();
    if (kind == CFK_DATE)
        for (int i = 0; i < 12; ++i) list.push_back(EplClockDateText(i, &now));
    else if (kind == CFK_TIME)
        for (int i = 0; i < 4; ++i) list.push_back(EplClockTimeText(i, &now));
    return int(list.size());
}

std::string EplClockSetupText(const CVariable* v)
{
    if (!v) return std::string();
    const int index = AtoI(v->GetProperty(VP_CLOCK_FORMAT));
    if (v->m_nKind == VK_DATE) return std::string(kClockDates[DateIndex(index)].setup) + "\r\n";
    if (v->m_nKind == VK_TIME) return std::string(kClockTimeSetup[TimeIndex(index)]) + "\r\n";
    return std::string();
}

std::string EplClockFieldReference(const CVariable* v)
{
    if (!v) return std::string();
    if (v->m_nKind == VK_DATE) return v->m_nOffset <= 0 ? std::string("TD") : StrFormat("TD+%d", v->m_nOffset / 86400);
    if (v->m_nKind == VK_TIME) return v->m_nOffset <= 0 ? std::string("TT") : StrFormat("TT+%d", v->m_nOffset / 60);
    return std::string();
}
