#pragma once
// Helpers shared by the built-in functions (internal to the library).
#include <string>
#include <vector>

#include "vbscript/convert.h"
#include "vbscript/errors.h"
#include "vbscript/interpreter.h"

namespace vbs {

inline bool Given(const std::vector<Value>& args, size_t i) { return i < args.size(); }

// An optional numeric argument (a Long) or its default.
inline std::int32_t LongArg(const std::vector<Value>& args, size_t i, std::int32_t def)
{
    return Given(args, i) && !args[i].IsEmpty() ? ToLong(args[i]) : def;
}

// The compare argument: 0 binary, 1 text (case-insensitive).
inline int CompareArg(const std::vector<Value>& args, size_t i)
{
    const std::int32_t c = LongArg(args, i, 0);
    if (c < 0 || c > 2) Throw(kErrInvalidCall);
    return c == 0 ? 0 : 1;
}

inline std::string LowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return s;
}

// The decimal text of |x| with digits after the point, rounded half away
// from zero (or half to even) on its 15 significant digits, so that 2.675
// rounds as written rather than as stored in binary.
std::string FixedDecimal(double x, int digits, bool halfEven);

}  // namespace vbs
