#pragma once
// Korvane's own interpreter of the VBScript language, for label scripts.
// Plain C++ without the rest of the program: a text is parsed once into a
// tree, its top-level statements run, and its functions can then be called
// by name. Scripts reach nothing outside the engine: no files, processes or
// network (CreateObject and GetObject are refused), and every run is held
// to a step budget and a call depth so that a faulty script ends with an
// error instead of hanging or overflowing the stack.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vbscript/datetime.h"
#include "vbscript/value.h"

namespace vbs {

struct Limits {
    // Statements, loop rounds and calls one run may take (a run: the
    // top-level statements of one text, or one call of a function).
    std::int64_t maxSteps = 10'000'000;
    // Procedure calls inside one another.
    int maxCallDepth = 256;
    std::size_t maxStringBytes = std::size_t(16) << 20;
    std::size_t maxArrayElements = std::size_t(1) << 20;
    // Native stack a run may use below its start; a guard behind the call depth.
    std::size_t maxStackBytes = std::size_t(4) << 20;

    bool operator==(const Limits&) const = default;
};

struct ScriptError {
    long number = 0;
    std::string description;
    long line = 0;      // 1-based line of the text the failing code came from; 0 when none
    long position = 0;  // 1-based character position in that line
    bool syntax = false;  // found while parsing (nothing of the text was kept)
};

// "Script error in line %ld, position %ld".
std::string ErrorLocationText(const ScriptError& e);

class Interpreter;

class Engine {
public:
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void SetLimits(const Limits& limits);
    const Limits& GetLimits() const;
    // Where Now, Date, Time, Timer and Randomize take the time from (by
    // default the computer's local time).
    void SetClock(std::function<DateTime()> clock);
    // How ChrW and AscW reach Unicode from the byte strings scripts work in
    // (by default bytes are Latin-1).
    void SetWideConversion(std::function<std::u16string(std::string_view)> toWide,
                           std::function<std::string(std::u16string_view)> fromWide);

    // Parses the text and runs its top-level statements. Its procedures are
    // added to those already defined (a later definition replaces an
    // earlier one of the same name); on a syntax error nothing of the text
    // is kept. False with LastError() on any error.
    bool AddCode(std::string_view text);
    // Calls a Function or Sub of the scripts (or a built-in function) with
    // the arguments; result gets a Function's value (Empty for a Sub).
    bool Call(std::string_view name, const std::vector<Value>& args, Value* result);
    bool HasProcedure(std::string_view name) const;
    std::optional<Value> GetGlobal(std::string_view name) const;
    void SetGlobal(std::string_view name, const Value& value);
    const ScriptError& LastError() const;
    // Forgets every procedure and variable.
    void Reset();

private:
    std::unique_ptr<Interpreter> m_impl;
};

}  // namespace vbs
