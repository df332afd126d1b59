#pragma once
// The operators of the language with its coercions: integer arithmetic that
// widens on overflow (Integer to Long to Double), strings that become
// numbers for arithmetic and stay text for '+' between two strings, Null
// that spreads, Empty that counts as 0 or "", bitwise logic that is Boolean
// between Booleans, and comparisons where a number is less than any text
// unless one side is a literal.
#include "vbscript/value.h"

namespace vbs {

enum class BinOp {
    Add, Sub, Mul, Div, IntDiv, Mod, Pow, Concat,
    Eq, Ne, Lt, Gt, Le, Ge, Is,
    And, Or, Xor, Eqv, Imp,
};
enum class UnOp { Neg, Plus, Not };

// aLiteral / bLiteral: the operand is a constant written in the script,
// which decides how a number meets a text in a comparison.
Value ApplyBinary(BinOp op, const Value& a, const Value& b, bool aLiteral = false, bool bLiteral = false);
Value ApplyUnary(UnOp op, const Value& a);

// The comparison of two values for Select Case and the like: a Boolean, or
// Null when one side is Null.
inline Value CompareEqual(const Value& a, const Value& b, bool aLiteral, bool bLiteral)
{
    return ApplyBinary(BinOp::Eq, a, b, aLiteral, bLiteral);
}

}  // namespace vbs
