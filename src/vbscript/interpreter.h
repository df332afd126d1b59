#pragma once
// The tree-walking interpreter behind Engine: variables and scopes, calls,
// statements, the Err object and the limits of a run. Internal to the
// library.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "vbscript/ast.h"
#include "vbscript/errors.h"
#include "vbscript/vbscript.h"

namespace vbs {

class Interpreter;

// One variable: its value, or a reference to the caller's variable for a
// ByRef parameter.
struct Slot {
    Value value;
    Value* ref = nullptr;
    bool isConst = false;
    Value& Get() { return ref ? *ref : value; }
};

// The variables of the global level or of one call. Slots never move.
struct Scope {
    std::unordered_map<std::string, size_t> index;
    std::deque<Slot> slots;
    Slot* Find(const std::string& key)
    {
        const auto it = index.find(key);
        return it == index.end() ? nullptr : &slots[it->second];
    }
    Slot& Add(const std::string& key)
    {
        if (Slot* s = Find(key)) return *s;
        index.emplace(key, slots.size());
        return slots.emplace_back();
    }
};

enum class Flow { Normal, ExitDo, ExitFor, ExitProc };

using BuiltinFn = Value (*)(Interpreter& in, std::vector<Value>& args);

struct Builtin {
    int minArgs;
    int maxArgs;
    BuiltinFn fn;
};

using BuiltinTable = std::unordered_map<std::string, Builtin>;
void AddTextBuiltins(BuiltinTable& t);
void AddConvertBuiltins(BuiltinTable& t);
void AddDateBuiltins(BuiltinTable& t);
const BuiltinTable& Builtins();
// Named constants (vbCrLf, vbSunday...); null when there is none.
const Value* BuiltinConstant(const std::string& key);

class Interpreter {
public:
    Interpreter();
    ~Interpreter();

    // ---- used by Engine ----
    bool AddCode(std::string_view text);
    bool Call(std::string_view name, const std::vector<Value>& args, Value* result);
    bool HasProcedure(const std::string& key) const { return m_procs.count(key) != 0; }
    Scope& Globals() { return m_globals; }
    void Reset();

    Limits limits;
    std::function<DateTime()> clock;
    std::function<std::u16string(std::string_view)> toWide;
    std::function<std::string(std::u16string_view)> fromWide;
    ScriptError lastError;

    // ---- used by the built-in functions ----
    DateTime Now() const;
    // Counts work against the step budget (n steps).
    void Charge(std::int64_t n);
    // A text about to be made: "Out of string space" past the limit.
    void CheckStringSize(size_t bytes);
    // An array shape about to be made: its element count, "Out of memory" past the limit.
    long long CheckArraySize(const std::vector<std::int32_t>& upper);
    // Rnd's generator: a 24-bit state.
    std::uint32_t rndSeed = 0x50000;

    // The Err object's state, shared with the object scripts hold.
    struct ErrState {
        long number = 0;
        std::string description;
        std::string source;
    };
    std::shared_ptr<ErrState> err = std::make_shared<ErrState>();
    void ClearErr();
    void SetErr(const ScriptException& e);

private:
    struct Frame {
        Scope* locals = nullptr;  // null at the global level
        const Procedure* proc = nullptr;
        bool resumeNext = false;
        bool optionExplicit = false;
    };
    class FramePush;
    class RunGuard;

    // names
    Slot* FindVar(const std::string& key);
    Slot& SlotForAssign(const std::string& key, const std::string& text);
    const Procedure* FindProc(const std::string& key) const;

    // expressions
    Value Eval(const Expr& e);
    Value EvalName(const Expr& e, bool asStatement);
    Value EvalIndex(const Expr& e, bool asStatement);
    Value EvalMember(const Expr& e, std::vector<Value>* args);
    Value IndexArray(const Value& arr, const std::vector<std::unique_ptr<Expr>>& args, const std::string& name);
    std::vector<std::int32_t> Indices(const std::vector<std::unique_ptr<Expr>>& args);
    Value CallProcedure(const Procedure& p, const std::vector<std::unique_ptr<Expr>>& args);
    Value CallProcedureValues(const Procedure& p, const std::vector<Value>& args);
    Value CallBuiltin(const std::string& key, const std::string& text, const Builtin& b, std::vector<Value>& args);
    bool Condition(const Expr& e, bool valueOnError);
    void CheckResult(const Value& v);

    // statements
    Flow ExecBlock(const Block& b);
    Flow Exec(const Stmt& s);
    void ExecAssign(const AssignStmt& s);
    void ExecReDim(const ReDimStmt& s);
    void ExecErase(const EraseStmt& s);
    Flow ExecIf(const IfStmt& s);
    Flow ExecSelect(const SelectStmt& s);
    Flow ExecFor(const ForStmt& s);
    Flow ExecForEach(const ForEachStmt& s);
    Flow ExecDo(const DoStmt& s);
    void Declare(Scope& scope, const std::vector<DimDecl>& dims, const std::vector<ConstDecl>& consts);
    void StoreElement(Value& arrayValue, const std::vector<std::int32_t>& idx, const Value& v, const std::string& name);

    // a run
    void BeginRun();
    void CheckStack();
    void Report(const ScriptException& e);

    Scope m_globals;
    std::unordered_map<std::string, std::shared_ptr<Procedure>> m_procs;
    std::vector<Frame> m_frames;
    std::shared_ptr<Object> m_err;
    std::int64_t m_steps = 0;
    int m_depth = 0;
    const char* m_stackBase = nullptr;
};

}  // namespace vbs
