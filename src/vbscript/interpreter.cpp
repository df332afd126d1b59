#include "vbscript/interpreter.h"

#include <cmath>
#include <ctime>

#include "vbscript/convert.h"
#include "vbscript/parser.h"

namespace vbs {

namespace {

const char kRuntimeSource[] = "VBScript runtime error";

// The Err object: Number (its default), Description, Source, Clear, Raise.
class ErrObject : public Object {
public:
    explicit ErrObject(std::shared_ptr<Interpreter::ErrState> state) : m_state(std::move(state)) {}
    const char* TypeName() const override { return "Object"; }
    Value DefaultValue() const override { return Value::Long(std::int32_t(m_state->number)); }

    Value Invoke(std::string_view member, std::vector<Value>& args) override
    {
        auto noArgs = [&] {
            if (!args.empty()) Throw(kErrArgumentCount, member);
        };
        if (member == "number") return noArgs(), DefaultValue();
        if (member == "description") return noArgs(), Value::String(m_state->description);
        if (member == "source") return noArgs(), Value::String(m_state->source);
        if (member == "helpfile") return noArgs(), Value::String(std::string());
        if (member == "helpcontext") return noArgs(), Value::Long(0);
        if (member == "clear") {
            noArgs();
            *m_state = Interpreter::ErrState();
            return Value();
        }
        if (member == "raise") {
            if (args.empty() || args.size() > 5) Throw(kErrArgumentCount, member);
            const long number = ToLong(args[0]);
            ScriptException e{number, ErrorText(number)};
            if (args.size() > 1 && !args[1].IsEmpty()) e.source = ToText(args[1]);
            if (args.size() > 2 && !args[2].IsEmpty()) e.description = ToText(args[2]);
            throw e;
        }
        Throw(kErrNoSuchMember, member);
    }

    void SetMember(std::string_view member, const Value& value) override
    {
        if (member == "number") m_state->number = ToLong(value);
        else if (member == "description") m_state->description = ToText(value);
        else if (member == "source") m_state->source = ToText(value);
        else Throw(kErrNoSuchMember, member);
    }

private:
    std::shared_ptr<Interpreter::ErrState> m_state;
};

DateTime SystemClock()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool IsLiteral(const Expr& e) { return e.kind == ExprKind::Literal; }

}  // namespace

// The frame of a call or a run, popped however the code leaves it.
class Interpreter::FramePush {
public:
    FramePush(Interpreter& in, Frame f) : m_in(in) { in.m_frames.push_back(f); }
    ~FramePush() { m_in.m_frames.pop_back(); }

private:
    Interpreter& m_in;
};

// The budget of one run from the host: steps counted from 0, the native
// stack measured from here. Nested runs (none today) would share it.
class Interpreter::RunGuard {
public:
    explicit RunGuard(Interpreter& in) : m_in(in), m_outer(in.m_stackBase != nullptr)
    {
        if (!m_outer) {
            char here;
            in.m_stackBase = &here;
            in.m_steps = 0;
            in.m_depth = 0;
        }
    }
    ~RunGuard()
    {
        if (!m_outer) m_in.m_stackBase = nullptr;
    }

private:
    Interpreter& m_in;
    bool m_outer;
};

Interpreter::Interpreter() : clock(SystemClock), m_err(std::make_shared<ErrObject>(err)) {}

Interpreter::~Interpreter() = default;

void Interpreter::Reset()
{
    m_globals = Scope();
    m_procs.clear();
    ClearErr();
    rndSeed = 0x50000;
}

DateTime Interpreter::Now() const { return clock ? clock() : SystemClock(); }

void Interpreter::Charge(std::int64_t n)
{
    m_steps += n;
    if (m_steps > limits.maxSteps)
        ThrowText(kErrStepLimit,
                  "The script ran past its limit of " + std::to_string(limits.maxSteps) + " steps", true);
}

void Interpreter::CheckStringSize(size_t bytes)
{
    if (bytes > limits.maxStringBytes) Throw(14);
    Charge(std::int64_t(bytes / 64));
}

long long Interpreter::CheckArraySize(const std::vector<std::int32_t>& upper)
{
    const long long n = ArrayCount(upper, (long long)limits.maxArrayElements);
    if (n < 0) {
        for (std::int32_t u : upper)
            if (u < -1) Throw(kErrSubscript);
        Throw(kErrOutOfMemory);
    }
    Charge(n / 16);
    return n;
}

void Interpreter::CheckStack()
{
    char here;
    if (m_stackBase && size_t(m_stackBase - &here) > limits.maxStackBytes) ThrowText(kErrOutOfStack, ErrorText(kErrOutOfStack), true);
}

void Interpreter::ClearErr() { *err = ErrState(); }

void Interpreter::SetErr(const ScriptException& e)
{
    err->number = e.number;
    err->description = e.description;
    err->source = e.source.empty() ? kRuntimeSource : e.source;
}

void Interpreter::Report(const ScriptException& e)
{
    lastError.number = e.number;
    lastError.description = e.description;
    lastError.line = e.line;
    lastError.position = e.position;
}

void Interpreter::CheckResult(const Value& v)
{
    if (v.IsString() && v.Str().size() > 64) CheckStringSize(v.Str().size());
}

// ---- names ----

Slot* Interpreter::FindVar(const std::string& key)
{
    if (!m_frames.empty() && m_frames.back().locals)
        if (Slot* s = m_frames.back().locals->Find(key)) return s;
    return m_globals.Find(key);
}

const Procedure* Interpreter::FindProc(const std::string& key) const
{
    const auto it = m_procs.find(key);
    return it == m_procs.end() ? nullptr : it->second.get();
}

Slot& Interpreter::SlotForAssign(const std::string& key, const std::string& text)
{
    if (Slot* s = FindVar(key)) {
        if (s->isConst) Throw(kErrIllegalAssignment, text);
        return *s;
    }
    const Frame& f = m_frames.back();
    if (f.optionExplicit) Throw(kErrUndefinedVariable, text);
    if (FindProc(key) || Builtins().count(key) || BuiltinConstant(key) || key == "err")
        Throw(kErrIllegalAssignment, text);
    return f.locals ? f.locals->Add(key) : m_globals.Add(key);
}

// ---- expressions ----

Value Interpreter::Eval(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Literal: return e.value;
    case ExprKind::Name: return EvalName(e, false);
    case ExprKind::Index: return EvalIndex(e, false);
    case ExprKind::Member: return EvalMember(e, nullptr);
    case ExprKind::Paren: return Eval(*e.a);
    case ExprKind::Unary: return ApplyUnary(e.uop, Eval(*e.a));
    case ExprKind::Binary: {
        const Value a = Eval(*e.a);
        const Value b = Eval(*e.b);
        Value r = ApplyBinary(e.bop, a, b, IsLiteral(*e.a), IsLiteral(*e.b));
        CheckResult(r);
        return r;
    }
    }
    return Value();
}

Value Interpreter::EvalName(const Expr& e, bool asStatement)
{
    if (Slot* s = FindVar(e.key)) return s->Get();
    if (const Procedure* p = FindProc(e.key)) {
        static const std::vector<std::unique_ptr<Expr>> none;
        return CallProcedure(*p, none);
    }
    if (e.key == "err") return Value::FromObject(m_err);
    if (const Value* c = BuiltinConstant(e.key)) return *c;
    const auto b = Builtins().find(e.key);
    if (b != Builtins().end()) {
        std::vector<Value> args;
        return CallBuiltin(e.key, e.text, b->second, args);
    }
    if (asStatement) Throw(kErrTypeMismatch, e.text);
    if (m_frames.back().optionExplicit) Throw(kErrUndefinedVariable, e.text);
    return Value();
}

std::vector<std::int32_t> Interpreter::Indices(const std::vector<std::unique_ptr<Expr>>& args)
{
    std::vector<std::int32_t> idx;
    idx.reserve(args.size());
    for (const auto& a : args) idx.push_back(ToLong(Eval(*a)));
    return idx;
}

Value Interpreter::IndexArray(const Value& arr, const std::vector<std::unique_ptr<Expr>>& args, const std::string& name)
{
    const std::shared_ptr<ArrayData> keep = arr.Arr();  // the indices' code may change the variable
    const std::vector<std::int32_t> idx = Indices(args);
    const long long off = ArrayOffset(*keep, idx);
    if (off < 0) Throw(kErrSubscript, name);
    return keep->items[size_t(off)];
}

Value Interpreter::EvalIndex(const Expr& e, bool asStatement)
{
    const Expr& callee = *e.a;
    if (callee.kind == ExprKind::Name) {
        const Frame& f = m_frames.back();
        const bool selfCall = f.proc && f.proc->isFunction && f.proc->key == callee.key;
        if (!selfCall) {
            if (Slot* s = FindVar(callee.key)) {
                const Value v = s->Get();
                if (v.IsArray()) return IndexArray(v, e.args, callee.text);
                if (v.IsObject() && v.Obj()) {
                    std::vector<Value> args;
                    for (const auto& a : e.args) args.push_back(Eval(*a));
                    return v.Obj()->Invoke("", args);
                }
                Throw(kErrTypeMismatch, callee.text);
            }
        }
        if (const Procedure* p = FindProc(callee.key)) return CallProcedure(*p, e.args);
        const auto b = Builtins().find(callee.key);
        if (b != Builtins().end()) {
            std::vector<Value> args;
            args.reserve(e.args.size());
            for (const auto& a : e.args) args.push_back(Eval(*a));
            return CallBuiltin(callee.key, callee.text, b->second, args);
        }
        if (callee.key == "err") Throw(kErrTypeMismatch, callee.text);
        (void)asStatement;
        Throw(kErrTypeMismatch, callee.text);
    }
    if (callee.kind == ExprKind::Member) {
        std::vector<Value> args;
        for (const auto& a : e.args) args.push_back(Eval(*a));
        return EvalMember(callee, &args);
    }
    const Value v = Eval(callee);
    if (v.IsArray()) return IndexArray(v, e.args, std::string());
    Throw(kErrTypeMismatch);
}

Value Interpreter::EvalMember(const Expr& e, std::vector<Value>* args)
{
    const Value obj = Eval(*e.a);
    if (!obj.IsObject()) Throw(kErrObjectRequired, e.a->kind == ExprKind::Name ? e.a->text : std::string());
    if (!obj.Obj()) Throw(kErrObjectNotSet);
    std::vector<Value> none;
    Value r = obj.Obj()->Invoke(e.key, args ? *args : none);
    CheckResult(r);
    return r;
}

Value Interpreter::CallBuiltin(const std::string& key, const std::string& text, const Builtin& b,
                               std::vector<Value>& args)
{
    if (int(args.size()) < b.minArgs || int(args.size()) > b.maxArgs) Throw(kErrArgumentCount, text);
    Charge(1);
    (void)key;
    Value r = b.fn(*this, args);
    CheckResult(r);
    return r;
}

namespace {
// A ByRef argument that names an array element: copied in, and copied back
// after the call when the element still exists.
struct ElementWriteBack {
    Slot* slot;
    std::vector<std::int32_t> indices;
    size_t param;
};
}  // namespace

Value Interpreter::CallProcedure(const Procedure& p, const std::vector<std::unique_ptr<Expr>>& args)
{
    if (args.size() != p.params.size()) Throw(kErrArgumentCount, p.text);
    const std::shared_ptr<Procedure> keep = m_procs.count(p.key) ? m_procs.at(p.key) : nullptr;
    Scope scope;
    std::vector<ElementWriteBack> writeBacks;
    for (size_t i = 0; i < args.size(); ++i) {
        const Param& prm = p.params[i];
        const Expr& a = *args[i];
        Slot& s = scope.Add(prm.key);
        if (prm.byRef && a.kind == ExprKind::Name) {
            Slot* target = FindVar(a.key);
            if (!target && !FindProc(a.key) && !BuiltinConstant(a.key) && !Builtins().count(a.key) && a.key != "err")
                target = &SlotForAssign(a.key, a.text);
            if (target && !target->isConst) {
                s.ref = &target->Get();
                continue;
            }
        } else if (prm.byRef && a.kind == ExprKind::Index && a.a->kind == ExprKind::Name) {
            Slot* target = FindVar(a.a->key);
            if (target && target->Get().IsArray()) {
                std::vector<std::int32_t> idx = Indices(a.args);
                const Value& arr = target->Get();
                const long long off = ArrayOffset(*arr.Arr(), idx);
                if (off < 0) Throw(kErrSubscript, a.a->text);
                s.value = arr.Arr()->items[size_t(off)];
                writeBacks.push_back({target, std::move(idx), i});
                continue;
            }
        }
        s.value = Eval(a);
    }
    Value result;
    {
        // Run the body with the scope filled.
        Slot* ret = nullptr;
        if (p.isFunction) ret = &scope.Add(p.key);
        Declare(scope, p.dims, p.consts);
        if (++m_depth > limits.maxCallDepth) {
            --m_depth;
            ThrowText(kErrOutOfStack, ErrorText(kErrOutOfStack), true);
        }
        struct DepthBack {
            int& d;
            ~DepthBack() { --d; }
        } depthBack{m_depth};
        CheckStack();
        Charge(1);
        FramePush push(*this, Frame{&scope, &p, false, p.optionExplicit});
        ExecBlock(p.body);
        if (ret) result = ret->Get();
    }
    for (const ElementWriteBack& w : writeBacks) {
        Value& arr = w.slot->Get();
        if (!arr.IsArray()) continue;
        const long long off = ArrayOffset(*arr.Arr(), w.indices);
        if (off < 0) continue;
        arr.MutableArr().items[size_t(off)] = scope.slots[w.param].Get();
    }
    return result;
}

Value Interpreter::CallProcedureValues(const Procedure& p, const std::vector<Value>& args)
{
    if (args.size() != p.params.size()) Throw(kErrArgumentCount, p.text);
    Scope scope;
    for (size_t i = 0; i < args.size(); ++i) scope.Add(p.params[i].key).value = args[i];
    Slot* ret = p.isFunction ? &scope.Add(p.key) : nullptr;
    Declare(scope, p.dims, p.consts);
    ++m_depth;
    struct DepthBack {
        int& d;
        ~DepthBack() { --d; }
    } depthBack{m_depth};
    Charge(1);
    FramePush push(*this, Frame{&scope, &p, false, p.optionExplicit});
    ExecBlock(p.body);
    return ret ? ret->Get() : Value();
}

bool Interpreter::Condition(const Expr& e, bool valueOnError)
{
    try {
        const Value v = Eval(e);
        return v.IsNull() ? false : ToBool(v);
    } catch (ScriptException& ex) {
        // On Error Resume Next goes on with the next statement, which for a
        // condition is the code it guards.
        if (ex.fatal || !m_frames.back().resumeNext) throw;
        SetErr(ex);
        return valueOnError;
    }
}

// ---- statements ----

Flow Interpreter::ExecBlock(const Block& b)
{
    for (const auto& st : b) {
        Flow f;
        try {
            f = Exec(*st);
        } catch (ScriptException& e) {
            if (e.line == 0) {
                e.line = st->line;
                e.position = st->col;
            }
            if (e.fatal || !m_frames.back().resumeNext) throw;
            SetErr(e);
            continue;
        }
        if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
}

Flow Interpreter::Exec(const Stmt& s)
{
    Charge(1);
    switch (s.kind) {
    case StmtKind::Assign:
    case StmtKind::Set: ExecAssign(static_cast<const AssignStmt&>(s)); return Flow::Normal;
    case StmtKind::Call: {
        const Expr& c = *static_cast<const CallStmt&>(s).call;
        if (c.kind == ExprKind::Name) EvalName(c, true);
        else if (c.kind == ExprKind::Index) EvalIndex(c, true);
        else Eval(c);
        return Flow::Normal;
    }
    case StmtKind::ReDim: ExecReDim(static_cast<const ReDimStmt&>(s)); return Flow::Normal;
    case StmtKind::Erase: ExecErase(static_cast<const EraseStmt&>(s)); return Flow::Normal;
    case StmtKind::If: return ExecIf(static_cast<const IfStmt&>(s));
    case StmtKind::Select: return ExecSelect(static_cast<const SelectStmt&>(s));
    case StmtKind::For: return ExecFor(static_cast<const ForStmt&>(s));
    case StmtKind::ForEach: return ExecForEach(static_cast<const ForEachStmt&>(s));
    case StmtKind::Do: return ExecDo(static_cast<const DoStmt&>(s));
    case StmtKind::Exit:
        switch (static_cast<const ExitStmt&>(s).what) {
        case ExitStmt::Do: return Flow::ExitDo;
        case ExitStmt::For: return Flow::ExitFor;
        default: return Flow::ExitProc;
        }
    case StmtKind::OnError:
        m_frames.back().resumeNext = static_cast<const OnErrorStmt&>(s).resumeNext;
        ClearErr();
        return Flow::Normal;
    case StmtKind::Nop: return Flow::Normal;
    }
    return Flow::Normal;
}

void Interpreter::StoreElement(Value& arrayValue, const std::vector<std::int32_t>& idx, const Value& v,
                               const std::string& name)
{
    if (!arrayValue.IsArray()) Throw(kErrTypeMismatch, name);
    const long long off = ArrayOffset(*arrayValue.Arr(), idx);
    if (off < 0) Throw(kErrSubscript, name);
    // Arrays inside arrays are values too; their depth is bounded so that
    // copying and freeing them stays shallow.
    int nesting = arrayValue.Arr()->nesting;
    if (v.IsArray()) {
        nesting = std::max(nesting, v.Arr()->nesting + 1);
        if (nesting > 32) Throw(kErrOutOfMemory);
    }
    ArrayData& a = arrayValue.MutableArr();
    a.items[size_t(off)] = v;
    a.nesting = nesting;
}

void Interpreter::ExecAssign(const AssignStmt& s)
{
    Value v = Eval(*s.value);
    if (s.kind == StmtKind::Set) {
        if (!v.IsObject()) Throw(kErrObjectRequired);
    } else if (v.IsObject()) {
        v = Deref(v);
    }
    const Expr& t = *s.target;
    switch (t.kind) {
    case ExprKind::Name: SlotForAssign(t.key, t.text).Get() = std::move(v); return;
    case ExprKind::Member: {
        const Value obj = Eval(*t.a);
        if (!obj.IsObject()) Throw(kErrObjectRequired, t.a->kind == ExprKind::Name ? t.a->text : std::string());
        if (!obj.Obj()) Throw(kErrObjectNotSet);
        obj.Obj()->SetMember(t.key, v);
        return;
    }
    case ExprKind::Index: {
        const Expr& callee = *t.a;
        if (callee.kind != ExprKind::Name) Throw(kErrNoSuchMember);
        const std::vector<std::int32_t> idx = Indices(t.args);
        Slot* slot = FindVar(callee.key);
        if (!slot) {
            if (m_frames.back().optionExplicit) Throw(kErrUndefinedVariable, callee.text);
            Throw(kErrTypeMismatch, callee.text);
        }
        if (slot->isConst) Throw(kErrIllegalAssignment, callee.text);
        StoreElement(slot->Get(), idx, v, callee.text);
        return;
    }
    default: Throw(kErrSyntax);
    }
}

void Interpreter::Declare(Scope& scope, const std::vector<DimDecl>& dims, const std::vector<ConstDecl>& consts)
{
    for (const DimDecl& d : dims) {
        Slot& s = scope.Add(d.key);
        if (!d.isArray) {
            if (s.ref) s.ref = nullptr;
            continue;
        }
        auto a = std::make_shared<ArrayData>();
        if (!d.bounds.empty()) {
            long long n = 0;
            try {
                n = CheckArraySize(d.bounds);
            } catch (ScriptException& e) {
                e.line = d.line;
                e.position = d.col;
                throw;
            }
            a->upper = d.bounds;
            a->items.resize(size_t(n));
            a->fixed = true;
        }
        s.ref = nullptr;
        s.value = Value::FromArray(std::move(a));
    }
    for (const ConstDecl& c : consts) {
        Slot& s = scope.Add(c.key);
        s.ref = nullptr;
        s.value = c.value;
        s.isConst = true;
    }
}

void Interpreter::ExecReDim(const ReDimStmt& s)
{
    for (const ReDimStmt::Item& item : s.items) {
        std::vector<std::int32_t> upper;
        for (const auto& b : item.bounds) upper.push_back(ToLong(Eval(*b)));
        const long long n = CheckArraySize(upper);
        Slot& slot = SlotForAssign(item.key, item.text);
        Value& cur = slot.Get();
        if (cur.IsArray() && cur.Arr()->fixed) Throw(kErrFixedArray, item.text);
        auto a = std::make_shared<ArrayData>();
        a->upper = upper;
        if (s.preserve && cur.IsArray() && !cur.Arr()->upper.empty()) {
            const ArrayData& old = *cur.Arr();
            if (old.upper.size() != upper.size()) Throw(kErrSubscript, item.text);
            for (size_t d = 0; d + 1 < upper.size(); ++d)
                if (old.upper[d] != upper[d]) Throw(kErrSubscript, item.text);
            // The last dimension varies slowest: growing or cutting it keeps every element's place.
            a->items = old.items;
            a->nesting = old.nesting;
        }
        a->items.resize(size_t(n));
        cur = Value::FromArray(std::move(a));
    }
}

void Interpreter::ExecErase(const EraseStmt& s)
{
    for (const auto& [key, text] : s.names) {
        Slot* slot = FindVar(key);
        if (!slot) {
            if (m_frames.back().optionExplicit) Throw(kErrUndefinedVariable, text);
            Throw(kErrTypeMismatch, text);
        }
        Value& v = slot->Get();
        if (!v.IsArray()) Throw(kErrTypeMismatch, text);
        auto a = std::make_shared<ArrayData>();
        if (v.Arr()->fixed) {
            *a = *v.Arr();
            for (Value& item : a->items) item = Value();
            a->nesting = 1;
        }
        v = Value::FromArray(std::move(a));
    }
}

Flow Interpreter::ExecIf(const IfStmt& s)
{
    for (const IfStmt::Branch& b : s.branches)
        if (Condition(*b.cond, true)) return ExecBlock(b.body);
    return ExecBlock(s.elseBody);
}

Flow Interpreter::ExecSelect(const SelectStmt& s)
{
    const Value subject = Eval(*s.subject);
    const bool subjectLiteral = IsLiteral(*s.subject);
    auto isTrue = [](const Value& v) { return v.type() == Type::Boolean && v.Bool(); };
    for (const SelectStmt::Clause& c : s.clauses) {
        for (const SelectStmt::Item& item : c.items) {
            bool match = false;
            const Value a = Eval(*item.a);
            switch (item.kind) {
            case SelectStmt::Item::Equal:
                match = isTrue(ApplyBinary(BinOp::Eq, subject, a, subjectLiteral, IsLiteral(*item.a)));
                break;
            case SelectStmt::Item::Is:
                match = isTrue(ApplyBinary(item.op, subject, a, subjectLiteral, IsLiteral(*item.a)));
                break;
            case SelectStmt::Item::Range: {
                const Value b = Eval(*item.b);
                match = isTrue(ApplyBinary(BinOp::Ge, subject, a, subjectLiteral, IsLiteral(*item.a))) &&
                        isTrue(ApplyBinary(BinOp::Le, subject, b, subjectLiteral, IsLiteral(*item.b)));
                break;
            }
            }
            if (match) return ExecBlock(c.body);
        }
    }
    return s.hasElse ? ExecBlock(s.elseBody) : Flow::Normal;
}

Flow Interpreter::ExecFor(const ForStmt& s)
{
    const Value from = ToNumeric(Eval(*s.from));
    const Value to = ToNumeric(Eval(*s.to));
    const Value step = s.step ? ToNumeric(Eval(*s.step)) : Value::Integer(1);
    if (from.IsNull() || to.IsNull() || step.IsNull()) Throw(kErrInvalidNull);
    const double end = ToDouble(to);
    const bool up = ToDouble(step) >= 0;
    Slot& var = SlotForAssign(s.key, s.text);
    var.Get() = from;
    for (;;) {
        Charge(1);
        const double cur = ToDouble(var.Get());
        if (up ? cur > end : cur < end) break;
        const Flow f = ExecBlock(s.body);
        if (f == Flow::ExitFor) break;
        if (f != Flow::Normal) return f;
        var.Get() = ApplyBinary(BinOp::Add, var.Get(), step);
    }
    return Flow::Normal;
}

Flow Interpreter::ExecForEach(const ForEachStmt& s)
{
    const Value coll = Eval(*s.collection);
    if (!coll.IsArray()) Throw(coll.IsObject() ? kErrNotCollection : kErrTypeMismatch);
    const std::shared_ptr<ArrayData> items = coll.Arr();  // changes to the array inside the loop copy it
    Slot& var = SlotForAssign(s.key, s.text);
    for (const Value& item : items->items) {
        Charge(1);
        var.Get() = item;
        const Flow f = ExecBlock(s.body);
        if (f == Flow::ExitFor) break;
        if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
}

Flow Interpreter::ExecDo(const DoStmt& s)
{
    for (;;) {
        Charge(1);
        // A condition that fails under On Error Resume Next lets the loop go on.
        if (s.cond && s.atTop && Condition(*s.cond, !s.until) == s.until) break;
        const Flow f = ExecBlock(s.body);
        if (f == Flow::ExitDo && !s.isWhile) break;
        if (f != Flow::Normal) return f;
        if (s.cond && !s.atTop && Condition(*s.cond, s.until) == s.until) break;
    }
    return Flow::Normal;
}

// ---- runs ----

bool Interpreter::AddCode(std::string_view text)
{
    lastError = ScriptError();
    std::unique_ptr<Program> prog;
    try {
        ParseProgram(text, Now()).swap(prog);
    } catch (const ScriptException& e) {
        Report(e);
        lastError.syntax = true;
        return false;
    }
    for (const auto& p : prog->procedures) m_procs[p->key] = p;
    RunGuard run(*this);
    try {
        FramePush push(*this, Frame{nullptr, nullptr, false, prog->optionExplicit});
        Declare(m_globals, prog->dims, prog->consts);
        ExecBlock(prog->body);
    } catch (const ScriptException& e) {
        Report(e);
        return false;
    }
    return true;
}

bool Interpreter::Call(std::string_view name, const std::vector<Value>& args, Value* result)
{
    lastError = ScriptError();
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    RunGuard run(*this);
    try {
        FramePush push(*this, Frame{nullptr, nullptr, false, false});
        Value r;
        if (const auto it = m_procs.find(key); it != m_procs.end()) {
            const std::shared_ptr<Procedure> keep = it->second;
            r = CallProcedureValues(*keep, args);
        } else if (const auto b = Builtins().find(key); b != Builtins().end()) {
            std::vector<Value> copy = args;
            r = CallBuiltin(key, std::string(name), b->second, copy);
        } else {
            Throw(kErrNotDefined, name);
        }
        if (result) *result = std::move(r);
    } catch (const ScriptException& e) {
        Report(e);
        return false;
    }
    return true;
}

// ---- Engine ----

std::string ErrorLocationText(const ScriptError& e)
{
    return "Script error in line " + std::to_string(e.line) + ", position " + std::to_string(e.position);
}

Engine::Engine() : m_impl(std::make_unique<Interpreter>()) {}
Engine::~Engine() = default;

void Engine::SetLimits(const Limits& limits) { m_impl->limits = limits; }
const Limits& Engine::GetLimits() const { return m_impl->limits; }
void Engine::SetClock(std::function<DateTime()> clock) { m_impl->clock = std::move(clock); }

void Engine::SetWideConversion(std::function<std::u16string(std::string_view)> toWide,
                               std::function<std::string(std::u16string_view)> fromWide)
{
    m_impl->toWide = std::move(toWide);
    m_impl->fromWide = std::move(fromWide);
}

bool Engine::AddCode(std::string_view text) { return m_impl->AddCode(text); }

bool Engine::Call(std::string_view name, const std::vector<Value>& args, Value* result)
{
    return m_impl->Call(name, args, result);
}

namespace {
std::string LowerKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return key;
}
}  // namespace

bool Engine::HasProcedure(std::string_view name) const { return m_impl->HasProcedure(LowerKey(name)); }

std::optional<Value> Engine::GetGlobal(std::string_view name) const
{
    if (Slot* s = m_impl->Globals().Find(LowerKey(name))) return s->Get();
    return std::nullopt;
}

void Engine::SetGlobal(std::string_view name, const Value& value) { m_impl->Globals().Add(LowerKey(name)).Get() = value; }

const ScriptError& Engine::LastError() const { return m_impl->lastError; }

void Engine::Reset() { m_impl->Reset(); }

}  // namespace vbs
