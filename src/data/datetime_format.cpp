#include "data/datetime_format.h"

#include <QString>

#include "platform/time_locale.h"
#include "data/variable.h"
#include "platform/codepage.h"
#include "platform/strutil.h"
#include "resources/strings.h"

namespace {

int FirstId(int kind)
{
    if (kind == VK_DATE) return IDS_DATE_FORMAT_FIRST;
    if (kind == VK_TIME) return IDS_TIME_FORMAT_FIRST;
    return 0;
}

std::string ToAnsi(const QString& s) { return Utf16ToAnsi(s.toStdU16String()); }

std::string Number(int value, int width, bool noLeadingZeros)
{
    if (noLeadingZeros) return StrFormat("%d", value);
    return StrFormat("%0*d", width, value);
}

// Formats number with the first "%d"-style conversion of entry ("%d",
// "%02d", with optional "0" flag and width); "%%" gives "%", everything else
// is copied. The entry is table text, so it is never handed to printf.
std::string FormatNumberEntry(const std::string& entry, int number)
{
    std::string out;
    bool done = false;
    for (size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] != '%') {
            out += entry[i];
            continue;
        }
        if (i + 1 < entry.size() && entry[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool zero = false;
        if (j < entry.size() && entry[j] == '0') {
            zero = true;
            ++j;
        }
        int width = 0;
        while (j < entry.size() && entry[j] >= '0' && entry[j] <= '9' && width < 100) width = width * 10 + (entry[j++] - '0');
        if (!done && j < entry.size() && entry[j] == 'd') {
            std::string digits = StrFormat("%d", number);
            if (int(digits.size()) < width) digits.insert(0, size_t(width) - digits.size(), zero ? '0' : ' ');
            out += digits;
            done = true;
            i = j;
            continue;
        }
        out += entry[i];
    }
    return out;
}

}  // namespace

std::vector<std::string> GetDateTimeFormats(int kind)
{
    std::vector<std::string> list;
    const int first = FirstId(kind);
    if (first == 0) return list;
    // Bounded by the range of ids the list may use.
    for (int id = first; id < first + 100 && HasKvString(id); ++id) list.push_back(LoadKvString(id));
    return list;
}

std::string GetDateTimeFormat(int kind, int index)
{
    const int first = FirstId(kind);
    if (first == 0 || index < 0 || index >= 100) return std::string();
    // The list ends at its first missing entry.
    for (int id = first; id <= first + index; ++id)
        if (!HasKvString(id)) return std::string();
    return LoadKvString(first + index);
}

int WeekOfYearSundayFirst(const CLocalTime& t) { return (t.DayOfYear() - 1 + 7 - t.DayOfWeek()) / 7; }

int WeekOfYearMondayFirst(const CLocalTime& t) { return (t.DayOfYear() - 1 + 7 - (t.DayOfWeek() + 6) % 7) / 7; }

std::string FormatLocalTime(std::string_view format, const CLocalTime& t)
{
    const QLocale& locale = GetTimeLocale();
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        size_t j = i + 1;
        const bool hash = format[j] == '#';
        if (hash) ++j;
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        // Qt numbers weekdays 1 (Monday) to 7 (Sunday).
        const int qtDay = t.DayOfWeek() == 0 ? 7 : t.DayOfWeek();
        switch (format[j]) {
        case 'Y': out += Number(t.year, 4, hash); break;
        case 'y': out += Number(t.year % 100, 2, hash); break;
        case 'm': out += Number(t.month, 2, hash); break;
        case 'd': out += Number(t.day, 2, hash); break;
        case 'j': out += Number(t.DayOfYear(), 3, hash); break;
        case 'H': out += Number(t.hour, 2, hash); break;
        case 'I': out += Number(hour12, 2, hash); break;
        case 'M': out += Number(t.minute, 2, hash); break;
        case 'S': out += Number(t.second, 2, hash); break;
        case 'w': out += Number(t.DayOfWeek(), 1, hash); break;
        case 'U': out += Number(WeekOfYearSundayFirst(t), 2, hash); break;
        case 'W': out += Number(WeekOfYearMondayFirst(t), 2, hash); break;
        case 'B': out += ToAnsi(locale.standaloneMonthName(t.month, QLocale::LongFormat)); break;
        case 'b': out += ToAnsi(locale.standaloneMonthName(t.month, QLocale::ShortFormat)); break;
        case 'A': out += ToAnsi(locale.standaloneDayName(qtDay, QLocale::LongFormat)); break;
        case 'a': out += ToAnsi(locale.standaloneDayName(qtDay, QLocale::ShortFormat)); break;
        case 'p': out += ToAnsi(t.hour < 12 ? locale.amText() : locale.pmText()); break;
        case '%': out += '%'; break;
        default: out.append(format.substr(i, j - i + 1)); break;
        }
        i = j;
    }
    return out;
}

std::string DateTimeEntryText(int kind, int index, const CLocalTime& t)
{
    std::string entry = GetDateTimeFormat(kind, index);
    if (entry.empty() || kind != VK_DATE) return FormatLocalTime(entry, t);
    switch (index) {
    case DF_WEEK_2_DIGITS:
    case DF_WEEK_1_2_DIGITS: return FormatNumberEntry(entry, WeekOfYearSundayFirst(t) + 1);
    case DF_WEEK_MONDAY_FIRST: return FormatNumberEntry(entry, WeekOfYearMondayFirst(t) + 1);
    case DF_WEEKDAY_SUNDAY_7: return FormatNumberEntry(entry, t.DayOfWeek() == 0 ? 7 : t.DayOfWeek());
    // These two say "%Y" but describe a shortened year: print what they describe.
    case DF_YEAR_1_DIGIT: entry = ReplaceAll(entry, "%Y", StrFormat("%d", t.year % 10)); break;
    case DF_YEAR_3_DIGITS: entry = ReplaceAll(entry, "%Y", StrFormat("%03d", t.year % 1000)); break;
    default: break;
    }
    return FormatLocalTime(entry, t);
}

std::string DateTimeListText(int kind, int index, const CLocalTime& t)
{
    std::string s = DateTimeEntryText(kind, index, t);
    const size_t nl = s.find('\n');
    if (nl != std::string::npos) s[nl] = ' ';
    return s;
}

std::string CutAtLineBreak(const std::string& text)
{
    const size_t nl = text.find('\n');
    if (nl != std::string::npos && nl > 0) return text.substr(0, nl);
    return text;
}

CLocalTime MovedTime(const CVariable& var, const CLocalTime& now)
{
    if (var.m_nKind == VK_DATE) return now.AddDays(var.m_nOffset / 86400);
    if (var.m_nKind == VK_TIME) return now.AddSeconds(var.m_nOffset);
    return now;
}

std::string EvaluateDateTime(CVariable& var, CVariableUser* obj)
{
    const CLocalTime moved = MovedTime(var, CurrentLocalTime());
    std::string text;
    if (!var.m_pDocument || !var.m_pDocument->GetPrinterClockText(var, obj, moved, text))
        text = DateTimeEntryText(var.m_nKind, var.m_nFormat, moved);
    text = CutAtLineBreak(text);
    if (text != var.m_strData) {
        var.m_strData = text;
        const std::vector<CVariableUser*> users = var.m_users;
        for (CVariableUser* user : users) user->RecalcSize();
    }
    return text;
}

std::string InitialDateTimeValue(int kind)
{
    return CutAtLineBreak(DateTimeEntryText(kind, 0, CurrentLocalTime()));
}
