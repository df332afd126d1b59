#include "vbscript/convert.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "vbscript/errors.h"

namespace vbs {

double RoundHalfEven(double x)
{
    const double r = std::round(x);  // half away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// &H and &O numbers as the lexer reads them: up to 16 bits signed, then 32.
std::optional<double> ParseRadix(std::string_view digits, int radix)
{
    if (digits.empty()) return std::nullopt;
    unsigned long long v = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        if (d >= radix) return std::nullopt;
        v = v * unsigned(radix) + unsigned(d);
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    if (v <= 0xFFFF) return double(std::int16_t(std::uint16_t(v)));
    return double(std::int32_t(std::uint32_t(v)));
}
}  // namespace

std::optional<double> ParseNumberText(std::string_view text)
{
    std::string_view s = Trimmed(text);
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'h' || s[1] == 'H')) return ParseRadix(s.substr(2), 16);
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'o' || s[1] == 'O')) return ParseRadix(s.substr(2), 8);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
        s = Trimmed(s);
    }
    // Digits with thousands separators, a point, digits, an exponent.
    std::string clean;
    size_t i = 0;
    int digits = 0;
    while (i < s.size() && ((s[i] >= '0' && s[i] <= '9') || (s[i] == ',' && digits > 0))) {
        if (s[i] != ',') {
            clean += s[i];
            ++digits;
        }
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        clean += '.';
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            clean += s[i++];
            ++digits;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
        const size_t start = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') exp += s[j++];
        if (j == start) return std::nullopt;
        clean += exp;
        i = j;
    }
    if (i != s.size()) return std::nullopt;
    double v = 0;
    const auto res = std::from_chars(clean.data(), clean.data() + clean.size(), v);
    if (res.ec != std::errc() || res.ptr != clean.data() + clean.size() || !std::isfinite(v)) return std::nullopt;
    return negative ? -v : v;
}

std::string FormatDouble(double x)
{
    if (x == 0) return "0";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
    std::string s(buf, res.ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    return s;
}

std::string FormatCurrencyValue(std::int64_t scaled)
{
    const bool negative = scaled < 0;
    const unsigned long long mag = negative ? 0ull - (unsigned long long)scaled : (unsigned long long)scaled;
    std::string s = std::to_string(mag / 10000);
    unsigned long long frac = mag % 10000;
    if (frac) {
        std::string f = std::to_string(frac);
        f = std::string(4 - f.size(), '0') + f;
        while (!f.empty() && f.back() == '0') f.pop_back();
        s += "." + f;
    }
    return negative ? "-" + s : s;
}

Value Deref(const Value& v)
{
    if (!v.IsObject()) return v;
    if (!v.Obj()) Throw(kErrObjectNotSet);
    return v.Obj()->DefaultValue();
}

std::string ToStr(const Value& v)
{
    switch (v.type()) {
    case Type::Empty: return std::string();
    case Type::Null: Throw(kErrInvalidNull);
    case Type::Boolean: return v.Bool() ? "True" : "False";
    case Type::Byte:
    case Type::Integer:
    case Type::Long: return std::to_string(v.Int());
    case Type::Double: return FormatDouble(v.Dbl());
    case Type::Currency: return FormatCurrencyValue(v.Int());
    case Type::Date: return FormatDateSerial(v.Dbl(), 0);
    case Type::String: return v.Str();
    case Type::Object: return ToStr(Deref(v));
    case Type::Array: Throw(kErrTypeMismatch);
    }
    Throw(kErrTypeMismatch);
}

std::string ToText(const Value& v) { return v.IsNull() ? std::string() : ToStr(v); }

Value ToNumeric(const Value& v)
{
    switch (v.type()) {
    case Type::Empty: return Value::Integer(0);
    case Type::String: {
        const auto d = ParseNumberText(v.Str());
        if (!d) Throw(kErrTypeMismatch);
        return Value::Double(*d);
    }
    case Type::Object: return ToNumeric(Deref(v));
    case Type::Array: Throw(kErrTypeMismatch);
    default: return v;
    }
}

double ToDouble(const Value& v)
{
    const Value n = ToNumeric(v);
    switch (n.type()) {
    case Type::Null: Throw(kErrInvalidNull);
    case Type::Double:
    case Type::Date: return n.Dbl();
    case Type::Currency: return double(n.Int()) / 10000.0;
    default: return double(n.Int());
    }
}

namespace {
long long ToWhole(const Value& v)
{
    const Value n = ToNumeric(v);
    switch (n.type()) {
    case Type::Null: Throw(kErrInvalidNull);
    case Type::Double:
    case Type::Date: {
        const double r = RoundHalfEven(n.Dbl());
        if (!(r >= -9.2e18 && r <= 9.2e18)) Throw(kErrOverflow);
        return (long long)r;
    }
    case Type::Currency: {
        const long long q = n.Int() / 10000, rem = n.Int() % 10000;
        if (rem > 5000 || (rem == 5000 && (q & 1))) return q + 1;
        if (rem < -5000 || (rem == -5000 && (q & 1))) return q - 1;
        return q;
    }
    default: return n.Int();
    }
}
}  // namespace

std::int32_t ToLong(const Value& v)
{
    const long long w = ToWhole(v);
    if (w < std::numeric_limits<std::int32_t>::min() || w > std::numeric_limits<std::int32_t>::max()) Throw(kErrOverflow);
    return std::int32_t(w);
}

std::int16_t ToInteger(const Value& v)
{
    const long long w = ToWhole(v);
    if (w < -32768 || w > 32767) Throw(kErrOverflow);
    return std::int16_t(w);
}

std::uint8_t ToByte(const Value& v)
{
    const long long w = ToWhole(v);
    if (w < 0 || w > 255) Throw(kErrOverflow);
    return std::uint8_t(w);
}

std::int64_t ToCurrency(const Value& v)
{
    const Value n = ToNumeric(v);
    switch (n.type()) {
    case Type::Null: Throw(kErrInvalidNull);
    case Type::Currency: return n.Int();
    case Type::Double:
    case Type::Date: {
        const double r = RoundHalfEven(n.Dbl() * 10000.0);
        if (!(r >= -9.2233720368547e18 && r <= 9.2233720368547e18)) Throw(kErrOverflow);
        return (std::int64_t)r;
    }
    default: return n.Int() * 10000;
    }
}

std::optional<bool> ParseBoolText(std::string_view text)
{
    const std::string_view s = Trimmed(text);
    auto eq = [&](const char* w) {
        const std::string_view ws(w);
        if (ws.size() != s.size()) return false;
        for (size_t i = 0; i < s.size(); ++i)
            if ((s[i] | 0x20) != ws[i]) return false;
        return true;
    };
    if (eq("true")) return true;
    if (eq("false")) return false;
    return std::nullopt;
}

bool ToBool(const Value& v)
{
    switch (v.type()) {
    case Type::Empty: return false;
    case Type::Null: Throw(kErrInvalidNull);
    case Type::String: {
        if (const auto b = ParseBoolText(v.Str())) return *b;
        const auto d = ParseNumberText(v.Str());
        if (!d) Throw(kErrTypeMismatch);
        return *d != 0;
    }
    case Type::Double:
    case Type::Date: return v.Dbl() != 0;
    case Type::Object: return ToBool(Deref(v));
    case Type::Array: Throw(kErrTypeMismatch);
    default: return v.Int() != 0;
    }
}

double ToDateSerial(const Value& v, const DateTime& today)
{
    switch (v.type()) {
    case Type::Null: Throw(kErrInvalidNull);
    case Type::Date: return v.Dbl();
    case Type::String: {
        const auto d = ParseDateText(v.Str(), today);
        if (!d) Throw(kErrTypeMismatch);
        return *d;
    }
    case Type::Object: return ToDateSerial(Deref(v), today);
    case Type::Array: Throw(kErrTypeMismatch);
    default: {
        const double d = ToDouble(v);
        if (!SerialInRange(d)) Throw(kErrOverflow);
        return d;
    }
    }
}

Value IntegerResult(long long v, bool atLeastLong)
{
    if (!atLeastLong && v >= -32768 && v <= 32767) return Value::Integer(std::int16_t(v));
    if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max())
        return Value::Long(std::int32_t(v));
    return Value::Double(double(v));
}

}  // namespace vbs
