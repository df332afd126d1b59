#include "vbscript/operators.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "vbscript/convert.h"
#include "vbscript/errors.h"

namespace vbs {

namespace {

bool IsIntegral(Type t) { return t == Type::Byte || t == Type::Integer || t == Type::Long || t == Type::Boolean; }

// Rank of an integer type for the result: 0 Byte, 1 Integer (and Boolean), 2 Long.
int IntRank(Type t) { return t == Type::Byte ? 0 : t == Type::Long ? 2 : 1; }

Value IntResult(long long v, int rank)
{
    if (rank == 0 && v >= 0 && v <= 255) return Value::Byte(std::uint8_t(v));
    return IntegerResult(v, rank == 2);
}

Value DoubleResult(double d)
{
    if (!std::isfinite(d)) Throw(kErrOverflow);
    return Value::Double(d);
}

double AsDouble(const Value& n)
{
    switch (n.type()) {
    case Type::Double:
    case Type::Date: return n.Dbl();
    case Type::Currency: return double(n.Int()) / 10000.0;
    default: return double(n.Int());
    }
}

std::int64_t AsCurrency(const Value& n)
{
    if (n.type() == Type::Currency) return n.Int();
    return ToCurrency(n);
}

Value CurrencyResult(long double scaled)
{
    if (!(scaled >= -9.2233720368547e18L && scaled <= 9.2233720368547e18L)) Throw(kErrOverflow);
    return Value::Currency(std::int64_t(std::llround((double)scaled)));
}

Value DateResult(double d)
{
    if (!SerialInRange(d)) Throw(kErrOverflow);
    return Value::Date(d);
}

Value Arithmetic(BinOp op, const Value& a0, const Value& b0)
{
    if (a0.IsNull() || b0.IsNull()) return Value::Null();
    if (op == BinOp::Add && a0.IsString() && b0.IsString()) return Value::String(a0.Str() + b0.Str());
    if (op == BinOp::Add && a0.IsString() && b0.IsEmpty()) return a0;
    if (op == BinOp::Add && a0.IsEmpty() && b0.IsString()) return b0;
    const Value a = ToNumeric(a0), b = ToNumeric(b0);
    if (a.IsNull() || b.IsNull()) return Value::Null();
    const Type ta = a.type(), tb = b.type();

    if (op == BinOp::Div) {
        const double x = AsDouble(a), y = AsDouble(b);
        if (y == 0) Throw(x == 0 ? kErrOverflow : kErrDivisionByZero);
        return DoubleResult(x / y);
    }
    if (op == BinOp::Pow) {
        const double x = AsDouble(a), y = AsDouble(b);
        if (x < 0 && y != std::trunc(y)) Throw(kErrInvalidCall);
        if (x == 0 && y < 0) Throw(kErrInvalidCall);
        return DoubleResult(std::pow(x, y));
    }
    if (op == BinOp::IntDiv || op == BinOp::Mod) {
        const bool narrow = (IsIntegral(ta) && ta != Type::Long) && (IsIntegral(tb) && tb != Type::Long);
        const long long x = narrow ? a.Int() : ToLong(a);
        const long long y = narrow ? b.Int() : ToLong(b);
        if (y == 0) Throw(kErrDivisionByZero);
        const long long r = op == BinOp::IntDiv ? x / y : x % y;
        const int rank = narrow ? std::max(IntRank(ta), IntRank(tb)) == 0 ? 0 : 1 : 2;
        return IntResult(r, rank);
    }

    // + - *
    if (ta == Type::Date || tb == Type::Date) {
        const double x = AsDouble(a), y = AsDouble(b);
        if (op == BinOp::Add) return DateResult(x + y);
        if (op == BinOp::Sub) {
            if (ta == Type::Date && tb == Type::Date) return DoubleResult(x - y);
            return DateResult(x - y);
        }
        return DoubleResult(x * y);
    }
    if (ta == Type::Double || tb == Type::Double) {
        const double x = AsDouble(a), y = AsDouble(b);
        return DoubleResult(op == BinOp::Add ? x + y : op == BinOp::Sub ? x - y : x * y);
    }
    if (ta == Type::Currency || tb == Type::Currency) {
        const long double x = (long double)AsCurrency(a), y = (long double)AsCurrency(b);
        if (op == BinOp::Add) return CurrencyResult(x + y);
        if (op == BinOp::Sub) return CurrencyResult(x - y);
        return CurrencyResult(x * y / 10000.0L);
    }
    // Integers: exact in 64 bits, then the narrowest type at least as wide as both.
    const long long x = a.Int(), y = b.Int();
    const long long r = op == BinOp::Add ? x + y : op == BinOp::Sub ? x - y : x * y;
    return IntResult(r, std::max(IntRank(ta), IntRank(tb)));
}

// An operand of the bitwise operators: its bits and how wide it is.
struct LogicOperand {
    bool null = false;
    bool boolean = false;
    int rank = 1;  // 0 Byte, 1 Integer, 2 Long
    std::int32_t bits = 0;
};

LogicOperand ToLogic(const Value& v0)
{
    LogicOperand o;
    const Value v = Deref(v0);
    switch (v.type()) {
    case Type::Null: o.null = true; return o;
    case Type::Empty: return o;
    case Type::Boolean: o.boolean = true; o.bits = v.Bool() ? -1 : 0; return o;
    case Type::Byte: o.rank = 0; o.bits = std::int32_t(v.Int()); return o;
    case Type::Integer: o.bits = std::int32_t(v.Int()); return o;
    case Type::String:
        if (const auto b = ParseBoolText(v.Str())) {
            o.boolean = true;
            o.bits = *b ? -1 : 0;
            return o;
        }
        [[fallthrough]];
    default: o.rank = 2; o.bits = ToLong(v); return o;
    }
}

Value LogicResult(std::int32_t bits, const LogicOperand& a, const LogicOperand& b)
{
    const bool aBool = a.null || a.boolean, bBool = b.null || b.boolean;
    if (aBool && bBool) return Value::Boolean(bits != 0);
    const int rank = std::max(a.null || a.boolean ? 1 : a.rank, b.null || b.boolean ? 1 : b.rank);
    if (rank == 0) return Value::Byte(std::uint8_t(bits));
    if (rank == 1) return Value::Integer(std::int16_t(bits));
    return Value::Long(bits);
}

Value Logic(BinOp op, const Value& av, const Value& bv)
{
    const LogicOperand a = ToLogic(av), b = ToLogic(bv);
    if (a.null || b.null) {
        if (a.null && b.null) return Value::Null();
        const LogicOperand& other = a.null ? b : a;
        switch (op) {
        case BinOp::And:
            if (other.bits == 0) return LogicResult(0, other, other);
            return Value::Null();
        case BinOp::Or:
            if (other.bits == -1) return LogicResult(-1, other, other);
            return Value::Null();
        case BinOp::Imp:
            if (a.null && b.bits == -1) return LogicResult(-1, b, b);
            if (b.null && a.bits == 0) return LogicResult(-1, a, a);
            return Value::Null();
        default: return Value::Null();
        }
    }
    std::int32_t r = 0;
    switch (op) {
    case BinOp::And: r = a.bits & b.bits; break;
    case BinOp::Or: r = a.bits | b.bits; break;
    case BinOp::Xor: r = a.bits ^ b.bits; break;
    case BinOp::Eqv: r = ~(a.bits ^ b.bits); break;
    case BinOp::Imp: r = ~a.bits | b.bits; break;
    default: break;
    }
    return LogicResult(r, a, b);
}

int CompareNumbers(const Value& a, const Value& b)
{
    const bool exactA = IsIntegral(a.type()) || a.type() == Type::Empty;
    const bool exactB = IsIntegral(b.type()) || b.type() == Type::Empty;
    if (exactA && exactB) return a.Int() < b.Int() ? -1 : a.Int() > b.Int() ? 1 : 0;
    if (a.type() == Type::Currency && b.type() == Type::Currency)
        return a.Int() < b.Int() ? -1 : a.Int() > b.Int() ? 1 : 0;
    const double x = AsDouble(a), y = AsDouble(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

int CompareStrings(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c) return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

Value Compare(BinOp op, const Value& a0, const Value& b0, bool aLiteral, bool bLiteral)
{
    if (op == BinOp::Is) {
        if (!a0.IsObject() || !b0.IsObject()) Throw(kErrObjectRequired);
        return Value::Boolean(a0.Obj() == b0.Obj());
    }
    const Value a = Deref(a0), b = Deref(b0);
    if (a.IsNull() || b.IsNull()) return Value::Null();
    if (a.IsArray() || b.IsArray()) Throw(kErrTypeMismatch);
    int c;
    if (a.IsString() && b.IsString()) {
        c = CompareStrings(a.Str(), b.Str());
    } else if (!a.IsString() && !b.IsString()) {
        c = CompareNumbers(a, b);
    } else {
        const bool aText = a.IsString();
        const Value& text = aText ? a : b;
        const Value& other = aText ? b : a;
        const bool textLiteral = aText ? aLiteral : bLiteral;
        const bool otherLiteral = aText ? bLiteral : aLiteral;
        if (other.IsEmpty()) {
            c = CompareStrings(text.Str(), std::string());
        } else if (otherLiteral) {
            // The text takes the literal's type.
            const Value n = other.type() == Type::Boolean ? Value::Boolean(ToBool(text)) : Value::Double(ToDouble(text));
            c = CompareNumbers(n, other);
        } else if (textLiteral) {
            c = CompareStrings(text.Str(), ToStr(other));
        } else {
            c = 1;  // any number is less than any text
        }
        if (!aText) c = -c;
    }
    switch (op) {
    case BinOp::Eq: return Value::Boolean(c == 0);
    case BinOp::Ne: return Value::Boolean(c != 0);
    case BinOp::Lt: return Value::Boolean(c < 0);
    case BinOp::Gt: return Value::Boolean(c > 0);
    case BinOp::Le: return Value::Boolean(c <= 0);
    default: return Value::Boolean(c >= 0);
    }
}

}  // namespace

Value ApplyBinary(BinOp op, const Value& a, const Value& b, bool aLiteral, bool bLiteral)
{
    switch (op) {
    case BinOp::Add:
    case BinOp::Sub:
    case BinOp::Mul:
    case BinOp::Div:
    case BinOp::IntDiv:
    case BinOp::Mod:
    case BinOp::Pow: return Arithmetic(op, Deref(a), Deref(b));
    case BinOp::Concat: {
        const Value x = Deref(a), y = Deref(b);
        if (x.IsNull() && y.IsNull()) return Value::Null();
        return Value::String(ToText(x) + ToText(y));
    }
    case BinOp::And:
    case BinOp::Or:
    case BinOp::Xor:
    case BinOp::Eqv:
    case BinOp::Imp: return Logic(op, a, b);
    default: return Compare(op, a, b, aLiteral, bLiteral);
    }
}

Value ApplyUnary(UnOp op, const Value& a0)
{
    const Value a = Deref(a0);
    if (a.IsNull()) return a;
    if (op == UnOp::Not) {
        const LogicOperand o = ToLogic(a);
        return LogicResult(~o.bits, o, o);
    }
    const Value n = ToNumeric(a);
    if (op == UnOp::Plus) return a.IsEmpty() ? Value::Integer(0) : n;
    switch (n.type()) {
    case Type::Double: return Value::Double(-n.Dbl());
    case Type::Date: return DateResult(-n.Dbl());
    case Type::Currency:
        if (n.Int() == std::numeric_limits<std::int64_t>::min()) Throw(kErrOverflow);
        return Value::Currency(-n.Int());
    case Type::Long: return IntegerResult(-n.Int(), true);
    default: return IntegerResult(-n.Int(), false);  // Byte, Integer, Boolean become Integer
    }
}

}  // namespace vbs
