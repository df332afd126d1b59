#pragma once
// Conversions between the variant's types, by the language's rules: numbers
// round half to even when they become integers, strings become numbers
// when they read as one ("12", " -1.5E3 ", "1,000.25", "&HFF"), Empty is 0
// or "", Null refuses every conversion but to text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vbscript/datetime.h"
#include "vbscript/value.h"

namespace vbs {

double RoundHalfEven(double x);

// A text as a number; nothing when it does not read as one.
std::optional<double> ParseNumberText(std::string_view text);
// Doubles as CStr writes them: up to 15 significant digits, E notation
// ("1E+15", "1.5E-05") outside 1E-4 .. 1E15.
std::string FormatDouble(double x);
std::string FormatCurrencyValue(std::int64_t scaled);

// An object's default value; any other value as it is.
Value Deref(const Value& v);

// CStr: Null is "Invalid use of Null", an array a type mismatch.
std::string ToStr(const Value& v);
// The text of a value where Null is allowed and reads as "" (the & operator,
// a function result handed to the host).
std::string ToText(const Value& v);
// CDbl.
double ToDouble(const Value& v);
// A number kept in its own numeric type; strings become Double, Empty
// Integer 0, Null stays Null.
Value ToNumeric(const Value& v);
// CLng, CInt, CByte: rounded half to even, "Overflow" outside the range.
std::int32_t ToLong(const Value& v);
std::int16_t ToInteger(const Value& v);
std::uint8_t ToByte(const Value& v);
// CCur, in ten-thousandths.
std::int64_t ToCurrency(const Value& v);
// CBool: numbers are True when not 0; "True" and "False" in any case.
bool ToBool(const Value& v);
// CDate.
double ToDateSerial(const Value& v, const DateTime& today);
// A text as a Boolean: "True" / "False" in any case; nothing otherwise.
std::optional<bool> ParseBoolText(std::string_view text);

// The narrowest integer type that holds v (Integer, Long), else a Double.
Value IntegerResult(long long v, bool atLeastLong);

}  // namespace vbs
