// Date and time functions. "Now" comes from the engine's clock.
#include <cmath>

#include "vbscript/builtins.h"

namespace vbs {

namespace {

DateTime PartsOf(Interpreter& in, const Value& v)
{
    const auto p = SerialToParts(ToDateSerial(v, in.Now()));
    if (!p) Throw(kErrInvalidCall);
    return *p;
}

Value DateOrInvalid(double serial)
{
    if (!SerialInRange(serial)) Throw(kErrInvalidCall);
    return Value::Date(serial);
}

Value NowFn(Interpreter& in, std::vector<Value>&) { return Value::Date(PartsToSerial(in.Now())); }

Value DateFn(Interpreter& in, std::vector<Value>&)
{
    DateTime t = in.Now();
    t.hour = t.minute = t.second = 0;
    return Value::Date(PartsToSerial(t));
}

Value TimeFn(Interpreter& in, std::vector<Value>&)
{
    const DateTime t = in.Now();
    return Value::Date((t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0);
}

Value TimerFn(Interpreter& in, std::vector<Value>&)
{
    const DateTime t = in.Now();
    return Value::Double(t.hour * 3600.0 + t.minute * 60.0 + t.second);
}

template <int DateTime::*Field>
Value PartFn(Interpreter& in, std::vector<Value>& a)
{
    if (a[0].IsNull()) return a[0];
    return Value::Integer(std::int16_t(PartsOf(in, a[0]).*Field));
}

// First day of the week: 1 Sunday .. 7 Saturday; 0 the system's (Sunday).
int FirstDayArg(const std::vector<Value>& a, size_t i)
{
    const std::int32_t f = LongArg(a, i, 1);
    if (f < 0 || f > 7) Throw(kErrInvalidCall);
    return f == 0 ? 1 : f;
}

int FirstWeekArg(const std::vector<Value>& a, size_t i)
{
    const std::int32_t f = LongArg(a, i, 1);
    if (f < 0 || f > 3) Throw(kErrInvalidCall);
    return f == 0 ? 1 : f;
}

// 1..7 counted from the first day of the week.
int WeekdayOf(std::int64_t days, int firstDay) { return (DayOfWeek(days) - (firstDay - 1) + 7) % 7 + 1; }

std::int64_t DaysOf(const DateTime& t) { return DaysFromCivil(t.year, t.month, t.day); }

std::int64_t WeekStart(std::int64_t days, int firstDay) { return days - (WeekdayOf(days, firstDay) - 1); }

// The first day of week 1 of a year.
std::int64_t FirstWeekStart(int year, int firstDay, int firstWeek)
{
    const std::int64_t jan1 = DaysFromCivil(year, 1, 1);
    std::int64_t start = WeekStart(jan1, firstDay);
    if (firstWeek == 2 && jan1 - start >= 4) start += 7;  // week 1 has at least four days of the year
    if (firstWeek == 3 && start < jan1) start += 7;       // week 1 is the first whole week
    return start;
}

int WeekOfYear(const DateTime& t, int firstDay, int firstWeek)
{
    const std::int64_t days = DaysOf(t);
    std::int64_t start = FirstWeekStart(t.year, firstDay, firstWeek);
    if (days < start) start = FirstWeekStart(t.year - 1, firstDay, firstWeek);
    return int((days - start) / 7) + 1;
}

Value WeekdayFn(Interpreter& in, std::vector<Value>& a)
{
    if (a[0].IsNull()) return a[0];
    const int first = FirstDayArg(a, 1);
    return Value::Integer(std::int16_t(WeekdayOf(DaysOf(PartsOf(in, a[0])), first)));
}

Value WeekdayNameFn(Interpreter&, std::vector<Value>& a)
{
    const std::int32_t n = ToLong(a[0]);
    const bool abbreviate = Given(a, 1) && !a[1].IsEmpty() && ToBool(a[1]);
    const int first = FirstDayArg(a, 2);
    if (n < 1 || n > 7) Throw(kErrInvalidCall);
    return Value::String(WeekdayNameOf((n - 1 + first - 1) % 7 + 1, abbreviate));
}

Value MonthNameFn(Interpreter&, std::vector<Value>& a)
{
    const std::int32_t n = ToLong(a[0]);
    if (n < 1 || n > 12) Throw(kErrInvalidCall);
    const bool abbreviate = Given(a, 1) && !a[1].IsEmpty() && ToBool(a[1]);
    return Value::String(MonthNameOf(n, abbreviate));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval IntervalArg(const Value& v)
{
    const std::string s = LowerAscii(ToStr(v));
    if (s == "yyyy") return Interval::Year;
    if (s == "q") return Interval::Quarter;
    if (s == "m") return Interval::Month;
    if (s == "y") return Interval::DayOfYear;
    if (s == "d") return Interval::Day;
    if (s == "w") return Interval::Weekday;
    if (s == "ww") return Interval::Week;
    if (s == "h") return Interval::Hour;
    if (s == "n") return Interval::Minute;
    if (s == "s") return Interval::Second;
    Throw(kErrInvalidCall);
}

Value DateAddFn(Interpreter& in, std::vector<Value>& a)
{
    const Interval iv = IntervalArg(a[0]);
    const std::int64_t n = ToLong(a[1]);
    if (a[2].IsNull()) return a[2];
    const double serial = ToDateSerial(a[2], in.Now());
    const auto p = SerialToParts(serial);
    if (!p) Throw(kErrInvalidCall);
    std::int64_t months = 0, seconds = 0;
    switch (iv) {
    case Interval::Year: months = 12 * n; break;
    case Interval::Quarter: months = 3 * n; break;
    case Interval::Month: months = n; break;
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: seconds = 86400 * n; break;
    case Interval::Week: seconds = 7 * 86400 * n; break;
    case Interval::Hour: seconds = 3600 * n; break;
    case Interval::Minute: seconds = 60 * n; break;
    case Interval::Second: seconds = n; break;
    }
    if (months) {
        // The day stays unless the new month is shorter: then its last day.
        const std::int64_t total = std::int64_t(p->year) * 12 + (p->month - 1) + months;
        const std::int64_t year = total >= 0 ? total / 12 : -((11 - total) / 12);
        if (year < 100 || year > 9999) Throw(kErrInvalidCall);
        DateTime t = *p;
        t.year = int(year);
        t.month = int(total - year * 12) + 1;
        t.day = std::min(t.day, MonthDays(t.year, t.month));
        return DateOrInvalid(PartsToSerial(t));
    }
    return DateOrInvalid(MomentToSerial(SerialToMoment(serial) + seconds));
}

// Floor division for counting boundaries crossed.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

Value DateDiffFn(Interpreter& in, std::vector<Value>& a)
{
    const Interval iv = IntervalArg(a[0]);
    if (a[1].IsNull() || a[2].IsNull()) return Value::Null();
    const double s1 = ToDateSerial(a[1], in.Now()), s2 = ToDateSerial(a[2], in.Now());
    const int firstDay = FirstDayArg(a, 3);
    FirstWeekArg(a, 4);
    const auto p1 = SerialToParts(s1), p2 = SerialToParts(s2);
    if (!p1 || !p2) Throw(kErrInvalidCall);
    const std::int64_t m1 = SerialToMoment(s1), m2 = SerialToMoment(s2);
    const std::int64_t d1 = DaysOf(*p1), d2 = DaysOf(*p2);
    std::int64_t r = 0;
    switch (iv) {
    case Interval::Year: r = p2->year - p1->year; break;
    case Interval::Quarter: r = (p2->year * 4 + (p2->month - 1) / 3) - (p1->year * 4 + (p1->month - 1) / 3); break;
    case Interval::Month: r = (p2->year * 12 + p2->month) - (p1->year * 12 + p1->month); break;
    case Interval::DayOfYear:
    case Interval::Day: r = d2 - d1; break;
    case Interval::Weekday: r = (d2 - d1) / 7; break;
    case Interval::Week: r = (WeekStart(d2, firstDay) - WeekStart(d1, firstDay)) / 7; break;
    case Interval::Hour: r = FloorDiv(m2, 3600) - FloorDiv(m1, 3600); break;
    case Interval::Minute: r = FloorDiv(m2, 60) - FloorDiv(m1, 60); break;
    case Interval::Second: r = m2 - m1; break;
    }
    return IntegerResult(r, true);
}

Value DatePartFn(Interpreter& in, std::vector<Value>& a)
{
    const Interval iv = IntervalArg(a[0]);
    if (a[1].IsNull()) return a[1];
    const DateTime t = PartsOf(in, a[1]);
    const int firstDay = FirstDayArg(a, 2);
    const int firstWeek = FirstWeekArg(a, 3);
    int r = 0;
    switch (iv) {
    case Interval::Year: r = t.year; break;
    case Interval::Quarter: r = (t.month - 1) / 3 + 1; break;
    case Interval::Month: r = t.month; break;
    case Interval::DayOfYear: r = int(DaysOf(t) - DaysFromCivil(t.year, 1, 1)) + 1; break;
    case Interval::Day: r = t.day; break;
    case Interval::Weekday: r = WeekdayOf(DaysOf(t), firstDay); break;
    case Interval::Week: r = WeekOfYear(t, firstDay, firstWeek); break;
    case Interval::Hour: r = t.hour; break;
    case Interval::Minute: r = t.minute; break;
    case Interval::Second: r = t.second; break;
    }
    return Value::Integer(std::int16_t(r));
}

Value DateSerialFn(Interpreter&, std::vector<Value>& a)
{
    std::int64_t year = ToInteger(a[0]);
    const std::int64_t month = ToInteger(a[1]), day = ToInteger(a[2]);
    if (year >= 0 && year < 30) year += 2000;
    else if (year >= 30 && year < 100) year += 1900;
    return DateOrInvalid(double(DaysFromCivil(year, month, day)));
}

Value TimeSerialFn(Interpreter&, std::vector<Value>& a)
{
    const std::int64_t h = ToInteger(a[0]), m = ToInteger(a[1]), s = ToInteger(a[2]);
    return DateOrInvalid(MomentToSerial(h * 3600 + m * 60 + s));
}

Value DateValueFn(Interpreter& in, std::vector<Value>& a)
{
    if (a[0].IsNull()) return a[0];
    const double serial = ToDateSerial(a[0], in.Now());
    return Value::Date(std::trunc(serial));
}

Value TimeValueFn(Interpreter& in, std::vector<Value>& a)
{
    if (a[0].IsNull()) return a[0];
    const double serial = ToDateSerial(a[0], in.Now());
    return Value::Date(std::fabs(serial - std::trunc(serial)));
}

Value FormatDateTimeFn(Interpreter& in, std::vector<Value>& a)
{
    const double serial = ToDateSerial(a[0], in.Now());
    const std::int32_t style = LongArg(a, 1, 0);
    if (style < 0 || style > 4) Throw(kErrInvalidCall);
    return Value::String(FormatDateSerial(serial, style));
}

}  // namespace

void AddDateBuiltins(BuiltinTable& t)
{
    t["now"] = {0, 0, NowFn};
    t["date"] = {0, 0, DateFn};
    t["time"] = {0, 0, TimeFn};
    t["timer"] = {0, 0, TimerFn};
    t["year"] = {1, 1, PartFn<&DateTime::year>};
    t["month"] = {1, 1, PartFn<&DateTime::month>};
    t["day"] = {1, 1, PartFn<&DateTime::day>};
    t["hour"] = {1, 1, PartFn<&DateTime::hour>};
    t["minute"] = {1, 1, PartFn<&DateTime::minute>};
    t["second"] = {1, 1, PartFn<&DateTime::second>};
    t["weekday"] = {1, 2, WeekdayFn};
    t["weekdayname"] = {1, 3, WeekdayNameFn};
    t["monthname"] = {1, 2, MonthNameFn};
    t["dateadd"] = {3, 3, DateAddFn};
    t["datediff"] = {3, 5, DateDiffFn};
    t["datepart"] = {2, 4, DatePartFn};
    t["dateserial"] = {3, 3, DateSerialFn};
    t["timeserial"] = {3, 3, TimeSerialFn};
    t["datevalue"] = {1, 1, DateValueFn};
    t["timevalue"] = {1, 1, TimeValueFn};
    t["formatdatetime"] = {1, 2, FormatDateTimeFn};
}

}  // namespace vbs
