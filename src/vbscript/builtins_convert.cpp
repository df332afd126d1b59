// Conversions, type tests, arrays, arithmetic, number formats and the
// functions a label script may not use.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "vbscript/builtins.h"

namespace vbs {

namespace {

Value CStrFn(Interpreter&, std::vector<Value>& a) { return Value::String(ToStr(a[0])); }
Value CIntFn(Interpreter&, std::vector<Value>& a) { return Value::Integer(ToInteger(a[0])); }
Value CLngFn(Interpreter&, std::vector<Value>& a) { return Value::Long(ToLong(a[0])); }
Value CByteFn(Interpreter&, std::vector<Value>& a) { return Value::Byte(ToByte(a[0])); }
Value CCurFn(Interpreter&, std::vector<Value>& a) { return Value::Currency(ToCurrency(a[0])); }
Value CBoolFn(Interpreter&, std::vector<Value>& a) { return Value::Boolean(ToBool(a[0])); }
Value CDateFn(Interpreter& in, std::vector<Value>& a) { return Value::Date(ToDateSerial(a[0], in.Now())); }

Value CDblFn(Interpreter&, std::vector<Value>& a)
{
    const double d = ToDouble(a[0]);
    return Value::Double(d);
}

// Int and Fix keep the type of their argument (text becomes Double).
Value WholePart(const Value& v0, bool floor)
{
    if (v0.IsNull()) return v0;
    const Value v = ToNumeric(v0);
    auto cut = [&](double d) { return floor ? std::floor(d) : std::trunc(d); };
    switch (v.type()) {
    case Type::Double: return Value::Double(cut(v.Dbl()));
    case Type::Date: return Value::Date(cut(v.Dbl()));
    case Type::Currency: {
        const std::int64_t q = v.Int() / 10000, r = v.Int() % 10000;
        return Value::Currency((floor && r < 0 ? q - 1 : q) * 10000);
    }
    case Type::Boolean: return Value::Integer(std::int16_t(v.Int()));
    default: return v;
    }
}

Value IntFn(Interpreter&, std::vector<Value>& a) { return WholePart(a[0], true); }
Value FixFn(Interpreter&, std::vector<Value>& a) { return WholePart(a[0], false); }

double DecimalValue(const std::string& text)
{
    double d = 0;
    std::from_chars(text.data(), text.data() + text.size(), d);
    return d;
}

// Round rounds half to even on the number as written (Round(2.5) is 2,
// Round(3.5) is 4, Round(2.675, 2) is 2.68).
Value RoundFn(Interpreter&, std::vector<Value>& a)
{
    const std::int32_t digits = LongArg(a, 1, 0);
    if (digits < 0 || digits > 300) Throw(kErrInvalidCall);
    if (a[0].IsNull()) return a[0];
    const Value v = ToNumeric(a[0]);
    switch (v.type()) {
    case Type::Byte:
    case Type::Integer:
    case Type::Long: return v;
    case Type::Boolean: return Value::Integer(std::int16_t(v.Int()));
    case Type::Currency: {
        if (digits >= 4) return v;
        const double d = double(v.Int()) / 10000.0;
        const double r = DecimalValue(FixedDecimal(d, digits, true));
        return Value::Currency(std::llround((d < 0 ? -r : r) * 10000.0));
    }
    default: {
        const double d = v.Dbl();
        const double r = DecimalValue(FixedDecimal(d, digits, true));
        return Value::Double(d < 0 ? -r : r);
    }
    }
}

Value AbsFn(Interpreter&, std::vector<Value>& a)
{
    if (a[0].IsNull()) return a[0];
    const Value v = ToNumeric(a[0]);
    switch (v.type()) {
    case Type::Double:
    case Type::Date: return Value::Double(std::fabs(v.Dbl()));
    case Type::Currency: return Value::Currency(v.Int() < 0 ? -v.Int() : v.Int());
    case Type::Long: return IntegerResult(v.Int() < 0 ? -v.Int() : v.Int(), true);
    case Type::Byte: return v;
    default: return IntegerResult(v.Int() < 0 ? -v.Int() : v.Int(), false);
    }
}

Value SgnFn(Interpreter&, std::vector<Value>& a)
{
    const double d = ToDouble(a[0]);
    return Value::Integer(std::int16_t(d < 0 ? -1 : d > 0 ? 1 : 0));
}

// Hex and Oct: negative Integers show their 16 bits, others their 32.
Value RadixText(const Value& v0, int radix)
{
    if (v0.IsNull()) return v0;
    const Value v = ToNumeric(v0);
    std::uint32_t bits;
    if (v.type() == Type::Integer || v.type() == Type::Byte || v.type() == Type::Boolean)
        bits = std::uint16_t(std::int16_t(v.Int()));
    else
        bits = std::uint32_t(ToLong(v));
    char buf[16];
    std::snprintf(buf, sizeof buf, radix == 16 ? "%X" : "%o", bits);
    return Value::String(buf);
}

Value HexFn(Interpreter&, std::vector<Value>& a) { return RadixText(a[0], 16); }
Value OctFn(Interpreter&, std::vector<Value>& a) { return RadixText(a[0], 8); }

Value IsNumericFn(Interpreter&, std::vector<Value>& a)
{
    const Value& v = a[0];
    switch (v.type()) {
    case Type::Empty:
    case Type::Boolean:
    case Type::Byte:
    case Type::Integer:
    case Type::Long:
    case Type::Double:
    case Type::Currency: return Value::Boolean(true);
    case Type::String: return Value::Boolean(ParseNumberText(v.Str()).has_value());
    default: return Value::Boolean(false);
    }
}

Value IsEmptyFn(Interpreter&, std::vector<Value>& a) { return Value::Boolean(a[0].IsEmpty()); }
Value IsNullFn(Interpreter&, std::vector<Value>& a) { return Value::Boolean(a[0].IsNull()); }
Value IsArrayFn(Interpreter&, std::vector<Value>& a) { return Value::Boolean(a[0].IsArray()); }
Value IsObjectFn(Interpreter&, std::vector<Value>& a) { return Value::Boolean(a[0].IsObject()); }

Value IsDateFn(Interpreter& in, std::vector<Value>& a)
{
    if (a[0].type() == Type::Date) return Value::Boolean(true);
    if (a[0].IsString()) return Value::Boolean(ParseDateText(a[0].Str(), in.Now()).has_value());
    return Value::Boolean(false);
}

Value TypeNameFn(Interpreter&, std::vector<Value>& a) { return Value::String(TypeNameOf(a[0])); }
Value VarTypeFn(Interpreter&, std::vector<Value>& a) { return Value::Integer(std::int16_t(VarTypeOf(a[0]))); }

Value ArrayFn(Interpreter& in, std::vector<Value>& a)
{
    auto arr = std::make_shared<ArrayData>();
    arr->upper = {std::int32_t(a.size()) - 1};
    in.CheckArraySize(arr->upper);
    for (const Value& v : a)
        if (v.IsArray()) arr->nesting = std::max(arr->nesting, v.Arr()->nesting + 1);
    if (arr->nesting > 32) Throw(kErrOutOfMemory);
    arr->items = a;
    return Value::FromArray(std::move(arr));
}

Value Bound(std::vector<Value>& a, bool upper)
{
    if (!a[0].IsArray()) Throw(kErrTypeMismatch);
    const ArrayData& arr = *a[0].Arr();
    const std::int32_t dim = LongArg(a, 1, 1);
    if (arr.upper.empty() || dim < 1 || size_t(dim) > arr.upper.size()) Throw(kErrSubscript);
    return Value::Long(upper ? arr.upper[size_t(dim) - 1] : 0);
}

Value UBoundFn(Interpreter&, std::vector<Value>& a) { return Bound(a, true); }
Value LBoundFn(Interpreter&, std::vector<Value>& a) { return Bound(a, false); }

Value Math(const Value& v, double (*fn)(double))
{
    if (v.IsNull()) return v;
    const double r = fn(ToDouble(v));
    if (!std::isfinite(r)) Throw(kErrOverflow);
    return Value::Double(r);
}

Value SqrFn(Interpreter&, std::vector<Value>& a)
{
    if (!a[0].IsNull() && ToDouble(a[0]) < 0) Throw(kErrInvalidCall);
    return Math(a[0], [](double x) { return std::sqrt(x); });
}
Value ExpFn(Interpreter&, std::vector<Value>& a) { return Math(a[0], [](double x) { return std::exp(x); }); }
Value LogFn(Interpreter&, std::vector<Value>& a)
{
    if (!a[0].IsNull() && ToDouble(a[0]) <= 0) Throw(kErrInvalidCall);
    return Math(a[0], [](double x) { return std::log(x); });
}
Value SinFn(Interpreter&, std::vector<Value>& a) { return Math(a[0], [](double x) { return std::sin(x); }); }
Value CosFn(Interpreter&, std::vector<Value>& a) { return Math(a[0], [](double x) { return std::cos(x); }); }
Value TanFn(Interpreter&, std::vector<Value>& a) { return Math(a[0], [](double x) { return std::tan(x); }); }
Value AtnFn(Interpreter&, std::vector<Value>& a) { return Math(a[0], [](double x) { return std::atan(x); }); }

// Rnd: the classic 24-bit generator, x = (x * 1140671485 + 12820163) mod 2^24.
void RndStep(Interpreter& in) { in.rndSeed = (in.rndSeed * 1140671485u + 12820163u) & 0xFFFFFFu; }

Value RndFn(Interpreter& in, std::vector<Value>& a)
{
    const double x = Given(a, 0) ? ToDouble(a[0]) : 1.0;
    if (x < 0) {
        // The same negative number always restarts the sequence at the same place.
        const float f = float(x);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        in.rndSeed = (bits + (bits >> 24)) & 0xFFFFFFu;
        RndStep(in);
    } else if (x > 0) {
        RndStep(in);
    }
    return Value::Double(double(in.rndSeed) / 16777216.0);
}

Value RandomizeFn(Interpreter& in, std::vector<Value>& a)
{
    double seed;
    if (Given(a, 0) && !a[0].IsEmpty()) {
        seed = ToDouble(a[0]);
    } else {
        const DateTime t = in.Now();
        seed = t.hour * 3600.0 + t.minute * 60.0 + t.second;
    }
    std::uint64_t bits;
    std::memcpy(&bits, &seed, sizeof bits);
    const std::uint32_t hi = std::uint32_t(bits >> 32);
    const std::uint32_t mix = (hi & 0xFFFFu) ^ (hi >> 16);
    in.rndSeed = (in.rndSeed & 0xFFu) | ((mix & 0xFFFFu) << 8);
    return Value();
}

Value CreateObjectFn(Interpreter&, std::vector<Value>& a)
{
    ThrowText(kErrCannotCreate, "Label scripts cannot create objects: '" + ToText(a[0]) + "'");
}

Value GetObjectFn(Interpreter&, std::vector<Value>& a)
{
    const std::string what = a.empty() ? std::string() : Given(a, 1) ? ToText(a[1]) : ToText(a[0]);
    ThrowText(kErrCannotCreate, "Label scripts cannot reach objects: '" + what + "'");
}

Value ScriptEngineFn(Interpreter&, std::vector<Value>&) { return Value::String("VBScript"); }
Value MajorFn(Interpreter&, std::vector<Value>&) { return Value::Long(5); }
Value MinorFn(Interpreter&, std::vector<Value>&) { return Value::Long(8); }
Value BuildFn(Interpreter&, std::vector<Value>&) { return Value::Long(0); }

Value RgbFn(Interpreter&, std::vector<Value>& a)
{
    auto part = [&](size_t i) {
        const std::int32_t v = ToLong(a[i]);
        if (v < 0) Throw(kErrInvalidCall);
        return v > 255 ? 255 : v;
    };
    return Value::Long(part(0) | part(1) << 8 | part(2) << 16);
}

// FormatNumber, FormatPercent, FormatCurrency: digits after the point (-1:
// 2), then three tristates (-1 yes, 0 no, -2 the default): leading zero,
// parentheses for negatives, digit grouping.
struct NumberStyle {
    std::string prefix, suffix;
    bool parensDefault = false;
};

Value FormatWith(Interpreter&, std::vector<Value>& a, double scale, const NumberStyle& style)
{
    const double x = ToDouble(a[0]) * scale;
    std::int32_t digits = LongArg(a, 1, -1);
    if (digits == -1) digits = 2;
    if (digits < 0 || digits > 99) Throw(kErrInvalidCall);
    auto tristate = [&](size_t i, bool def) {
        const std::int32_t t = LongArg(a, i, -2);
        if (t < -2 || t > 0) Throw(kErrInvalidCall);
        return t == -2 ? def : t == -1;
    };
    const bool leading = tristate(2, true);
    const bool parens = tristate(3, style.parensDefault);
    const bool group = tristate(4, true);
    std::string s = FixedDecimal(x, digits, false);
    const size_t point = s.find('.');
    std::string whole = s.substr(0, point);
    const std::string frac = point == std::string::npos ? std::string() : s.substr(point);
    if (group && whole.size() > 3) {
        std::string g;
        for (size_t i = 0; i < whole.size(); ++i) {
            if (i && (whole.size() - i) % 3 == 0) g += ',';
            g += whole[i];
        }
        whole = g;
    }
    if (!leading && whole == "0" && !frac.empty()) whole.clear();
    const bool negative = x < 0 && s.find_first_not_of("0.") != std::string::npos;
    std::string body = style.prefix + whole + frac + style.suffix;
    if (!negative) return Value::String(body);
    return Value::String(parens ? "(" + body + ")" : "-" + body);
}

Value FormatNumberFn(Interpreter& in, std::vector<Value>& a) { return FormatWith(in, a, 1, {}); }
Value FormatPercentFn(Interpreter& in, std::vector<Value>& a) { return FormatWith(in, a, 100, {"", "%", false}); }
Value FormatCurrencyFn(Interpreter& in, std::vector<Value>& a) { return FormatWith(in, a, 1, {"$", "", true}); }

}  // namespace

void AddConvertBuiltins(BuiltinTable& t)
{
    t["cstr"] = {1, 1, CStrFn};
    t["cint"] = {1, 1, CIntFn};
    t["clng"] = {1, 1, CLngFn};
    t["cdbl"] = {1, 1, CDblFn};
    t["cbyte"] = {1, 1, CByteFn};
    t["ccur"] = {1, 1, CCurFn};
    t["cbool"] = {1, 1, CBoolFn};
    t["cdate"] = {1, 1, CDateFn};
    t["int"] = {1, 1, IntFn};
    t["fix"] = {1, 1, FixFn};
    t["round"] = {1, 2, RoundFn};
    t["abs"] = {1, 1, AbsFn};
    t["sgn"] = {1, 1, SgnFn};
    t["hex"] = {1, 1, HexFn};
    t["oct"] = {1, 1, OctFn};
    t["isnumeric"] = {1, 1, IsNumericFn};
    t["isempty"] = {1, 1, IsEmptyFn};
    t["isnull"] = {1, 1, IsNullFn};
    t["isarray"] = {1, 1, IsArrayFn};
    t["isobject"] = {1, 1, IsObjectFn};
    t["isdate"] = {1, 1, IsDateFn};
    t["typename"] = {1, 1, TypeNameFn};
    t["vartype"] = {1, 1, VarTypeFn};
    t["array"] = {0, 4096, ArrayFn};
    t["ubound"] = {1, 2, UBoundFn};
    t["lbound"] = {1, 2, LBoundFn};
    t["sqr"] = {1, 1, SqrFn};
    t["exp"] = {1, 1, ExpFn};
    t["log"] = {1, 1, LogFn};
    t["sin"] = {1, 1, SinFn};
    t["cos"] = {1, 1, CosFn};
    t["tan"] = {1, 1, TanFn};
    t["atn"] = {1, 1, AtnFn};
    t["rnd"] = {0, 1, RndFn};
    t["randomize"] = {0, 1, RandomizeFn};
    t["createobject"] = {1, 2, CreateObjectFn};
    t["getobject"] = {0, 2, GetObjectFn};
    t["scriptengine"] = {0, 0, ScriptEngineFn};
    t["scriptenginemajorversion"] = {0, 0, MajorFn};
    t["scriptengineminorversion"] = {0, 0, MinorFn};
    t["scriptenginebuildversion"] = {0, 0, BuildFn};
    t["rgb"] = {3, 3, RgbFn};
    t["formatnumber"] = {1, 5, FormatNumberFn};
    t["formatpercent"] = {1, 5, FormatPercentFn};
    t["formatcurrency"] = {1, 5, FormatCurrencyFn};
}

}  // namespace vbs
