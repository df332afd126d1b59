#pragma once
// Running small scripts for the engine's tests: an expression's value as
// its type name and text, or a script's error.
#include <gtest/gtest.h>

#include <string>

#include "vbscript/convert.h"
#include "vbscript/vbscript.h"

namespace vbstest {

// The clock every test engine reads: Wednesday 2024-01-31 15:04:05.
inline vbs::DateTime FixedNow() { return vbs::DateTime{2024, 1, 31, 15, 4, 5}; }

struct Outcome {
    bool ok = false;
    std::string type;  // TypeName of the result
    std::string text;  // its text ("" for Null)
    vbs::ScriptError error;
};

inline Outcome Describe(bool ok, const vbs::Value& v, const vbs::Engine& e)
{
    Outcome o;
    o.ok = ok;
    if (!ok) {
        o.error = e.LastError();
        return o;
    }
    o.type = vbs::TypeNameOf(v);
    o.text = v.IsArray() ? std::string() : vbs::ToText(v);
    return o;
}

// Adds the script and calls its function (with no arguments).
inline Outcome RunFunction(const std::string& script, const std::string& function, vbs::Engine* engine = nullptr)
{
    vbs::Engine own;
    vbs::Engine& e = engine ? *engine : own;
    e.SetClock(FixedNow);
    if (!e.AddCode(script)) return Describe(false, vbs::Value(), e);
    vbs::Value r;
    const bool ok = e.Call(function, {}, &r);
    return Describe(ok, r, e);
}

// The value of one expression.
inline Outcome Evaluate(const std::string& expression)
{
    return RunFunction("Function Test_()\r\nTest_ = " + expression + "\r\nEnd Function", "Test_");
}

// A script's first error: its number, line and position.
inline Outcome RunScript(const std::string& script)
{
    vbs::Engine e;
    e.SetClock(FixedNow);
    const bool ok = e.AddCode(script);
    return Describe(ok, vbs::Value(), e);
}

struct ValueCase {
    const char* code;
    const char* type;
    const char* text;
};

inline void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.code; }

}  // namespace vbstest
