#include "vbscript/parser.h"

#include <unordered_set>

#include "vbscript/errors.h"
#include "vbscript/lexer.h"

namespace vbs {

namespace {

class Parser {
public:
    Parser(std::vector<Token> tokens, const ParseLimits& limits) : m_t(std::move(tokens)), m_limits(limits) {}

    std::unique_ptr<Program> Run()
    {
        m_prog = std::make_unique<Program>();
        for (;;) {
            SkipNewlines();
            if (Is(Tok::End)) break;
            if (IsKw(Kw::Option)) {
                if (m_sawStatement) Fail(kErrMustBeFirst, Peek());
                Next();
                ExpectKw(Kw::Explicit, kErrSyntax);
                m_prog->optionExplicit = true;
                EndStatement();
                continue;
            }
            m_sawStatement = true;
            const bool modifier = IsKw(Kw::Public) || IsKw(Kw::Private);
            const size_t at = modifier ? 1 : 0;
            if (IsKw(Kw::Function, at) || IsKw(Kw::Sub, at)) {
                if (modifier) Next();
                ParseProcedure();
            } else {
                ParseStatement(m_prog->body);
            }
            EndStatement();
        }
        return std::move(m_prog);
    }

private:
    // ---- tokens ----
    const Token& Peek(size_t ahead = 0) const
    {
        const size_t i = m_p + ahead;
        return i < m_t.size() ? m_t[i] : m_t.back();
    }
    bool Is(Tok type, size_t ahead = 0) const { return Peek(ahead).type == type; }
    bool IsKw(Kw kw, size_t ahead = 0) const { return Peek(ahead).type == Tok::Keyword && Peek(ahead).kw == kw; }
    const Token& Next()
    {
        const Token& t = Peek();
        if (m_p < m_t.size() - 1) ++m_p;
        return t;
    }

    [[noreturn]] void Fail(long number, const Token& at)
    {
        ScriptException e{number, ErrorText(number)};
        e.line = at.line;
        e.position = at.col;
        throw e;
    }

    void Expect(Tok type, long number)
    {
        if (!Is(type)) Fail(number, Peek());
        Next();
    }
    void ExpectKw(Kw kw, long number)
    {
        if (!IsKw(kw)) Fail(number, Peek());
        Next();
    }

    bool IsNameToken(size_t ahead = 0) const
    {
        const Token& t = Peek(ahead);
        return t.type == Tok::Name || (t.type == Tok::Keyword && IsSoftKeyword(t.kw));
    }

    const Token& ExpectName()
    {
        if (!IsNameToken()) Fail(kErrExpectedIdentifier, Peek());
        return Next();
    }

    void SkipNewlines()
    {
        while (Is(Tok::Newline)) Next();
    }

    bool AtEndOfStatement() const
    {
        return Is(Tok::Newline) || Is(Tok::End) || (m_singleLine > 0 && IsKw(Kw::Else));
    }
    void EndStatement()
    {
        if (!AtEndOfStatement()) Fail(kErrExpectedEndOfStatement, Peek());
    }

    // Deeper blocks and expressions, up to the limit.
    struct Nest {
        Nest(Parser& p, const Token& at) : parser(p)
        {
            if (++p.m_nesting > p.m_limits.maxNesting) p.Fail(kErrTooComplex, at);
        }
        ~Nest() { --parser.m_nesting; }
        Parser& parser;
    };

    // ---- expressions ----
    std::unique_ptr<Expr> Node(ExprKind kind, const Token& at)
    {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->line = at.line;
        e->col = at.col;
        return e;
    }

    void Measure(Expr& e, const Token& at)
    {
        int d = 0;
        if (e.a) d = std::max(d, e.a->depth);
        if (e.b) d = std::max(d, e.b->depth);
        for (const auto& x : e.args) d = std::max(d, x->depth);
        e.depth = d + 1;
        if (e.depth > m_limits.maxExprDepth) Fail(kErrTooComplex, at);
    }

    std::unique_ptr<Expr> Binary(BinOp op, std::unique_ptr<Expr> a, std::unique_ptr<Expr> b, const Token& at)
    {
        auto e = Node(ExprKind::Binary, at);
        e->bop = op;
        e->a = std::move(a);
        e->b = std::move(b);
        Measure(*e, at);
        return e;
    }

    std::unique_ptr<Expr> ParseExpr()
    {
        Nest nest(*this, Peek());
        return ParseImp();
    }

    std::unique_ptr<Expr> ParseImp()
    {
        auto e = ParseEqv();
        while (IsKw(Kw::Imp)) {
            const Token& op = Next();
            e = Binary(BinOp::Imp, std::move(e), ParseEqv(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseEqv()
    {
        auto e = ParseXor();
        while (IsKw(Kw::Eqv)) {
            const Token& op = Next();
            e = Binary(BinOp::Eqv, std::move(e), ParseXor(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseXor()
    {
        auto e = ParseOr();
        while (IsKw(Kw::Xor)) {
            const Token& op = Next();
            e = Binary(BinOp::Xor, std::move(e), ParseOr(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseOr()
    {
        auto e = ParseAnd();
        while (IsKw(Kw::Or)) {
            const Token& op = Next();
            e = Binary(BinOp::Or, std::move(e), ParseAnd(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseAnd()
    {
        auto e = ParseNot();
        while (IsKw(Kw::And)) {
            const Token& op = Next();
            e = Binary(BinOp::And, std::move(e), ParseNot(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseNot()
    {
        if (IsKw(Kw::Not)) {
            const Token& op = Next();
            Nest nest(*this, op);
            auto e = Node(ExprKind::Unary, op);
            e->uop = UnOp::Not;
            e->a = ParseNot();
            Measure(*e, op);
            return e;
        }
        return ParseCompare();
    }
    std::unique_ptr<Expr> ParseCompare()
    {
        auto e = ParseConcat();
        for (;;) {
            BinOp op;
            if (Is(Tok::Eq)) op = BinOp::Eq;
            else if (Is(Tok::Ne)) op = BinOp::Ne;
            else if (Is(Tok::Lt)) op = BinOp::Lt;
            else if (Is(Tok::Gt)) op = BinOp::Gt;
            else if (Is(Tok::Le)) op = BinOp::Le;
            else if (Is(Tok::Ge)) op = BinOp::Ge;
            else if (IsKw(Kw::Is)) op = BinOp::Is;
            else break;
            const Token& at = Next();
            e = Binary(op, std::move(e), ParseConcat(), at);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseConcat()
    {
        auto e = ParseAdd();
        while (Is(Tok::Amp)) {
            const Token& op = Next();
            e = Binary(BinOp::Concat, std::move(e), ParseAdd(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseAdd()
    {
        auto e = ParseMod();
        while (Is(Tok::Plus) || Is(Tok::Minus)) {
            const Token& op = Next();
            e = Binary(op.type == Tok::Plus ? BinOp::Add : BinOp::Sub, std::move(e), ParseMod(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseMod()
    {
        auto e = ParseIntDiv();
        while (IsKw(Kw::Mod)) {
            const Token& op = Next();
            e = Binary(BinOp::Mod, std::move(e), ParseIntDiv(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseIntDiv()
    {
        auto e = ParseMul();
        while (Is(Tok::Backslash)) {
            const Token& op = Next();
            e = Binary(BinOp::IntDiv, std::move(e), ParseMul(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParseMul()
    {
        auto e = ParseUnary();
        while (Is(Tok::Star) || Is(Tok::Slash)) {
            const Token& op = Next();
            e = Binary(op.type == Tok::Star ? BinOp::Mul : BinOp::Div, std::move(e), ParseUnary(), op);
        }
        return e;
    }
    // Negation binds looser than '^' (-2^2 is -4) and tighter than '*'.
    std::unique_ptr<Expr> ParseUnary()
    {
        if (Is(Tok::Minus) || Is(Tok::Plus) || IsKw(Kw::Not)) {
            const Token& op = Next();
            Nest nest(*this, op);
            auto operand = op.type == Tok::Keyword ? ParseNot() : ParseUnary();
            if (op.type == Tok::Minus && operand->kind == ExprKind::Literal && operand->value.IsNumber()) {
                operand->value = ApplyUnary(UnOp::Neg, operand->value);
                operand->line = op.line;
                operand->col = op.col;
                return operand;
            }
            auto e = Node(ExprKind::Unary, op);
            e->uop = op.type == Tok::Minus ? UnOp::Neg : op.type == Tok::Plus ? UnOp::Plus : UnOp::Not;
            e->a = std::move(operand);
            Measure(*e, op);
            return e;
        }
        return ParsePow();
    }
    std::unique_ptr<Expr> ParsePow()
    {
        auto e = ParsePostfix(nullptr);
        while (Is(Tok::Caret)) {
            const Token& op = Next();
            e = Binary(BinOp::Pow, std::move(e), ParsePowOperand(), op);
        }
        return e;
    }
    std::unique_ptr<Expr> ParsePowOperand()
    {
        if (Is(Tok::Minus) || Is(Tok::Plus)) {
            const Token& op = Next();
            Nest nest(*this, op);
            auto e = Node(ExprKind::Unary, op);
            e->uop = op.type == Tok::Minus ? UnOp::Neg : UnOp::Plus;
            e->a = ParsePowOperand();
            Measure(*e, op);
            return e;
        }
        return ParsePostfix(nullptr);
    }

    // A primary followed by member accesses and argument lists. lastParen
    // receives the token index of the outermost argument list, or 0.
    std::unique_ptr<Expr> ParsePostfix(size_t* lastParen)
    {
        auto e = ParsePrimary();
        if (lastParen) *lastParen = 0;
        for (;;) {
            const bool callable = e->kind == ExprKind::Name || e->kind == ExprKind::Index || e->kind == ExprKind::Member;
            if (callable && Is(Tok::LParen)) {
                const size_t parenAt = m_p;
                const Token& open = Next();
                auto idx = Node(ExprKind::Index, open);
                idx->line = e->line;
                idx->col = e->col;
                if (Is(Tok::RParen)) {
                    idx->emptyParens = true;
                } else {
                    for (;;) {
                        idx->args.push_back(ParseExpr());
                        if (!Is(Tok::Comma)) break;
                        Next();
                    }
                }
                Expect(Tok::RParen, kErrExpectedCloseParen);
                idx->a = std::move(e);
                Measure(*idx, open);
                e = std::move(idx);
                if (lastParen) *lastParen = parenAt;
            } else if (callable && Is(Tok::Dot)) {
                Next();
                const Token& name = Peek();
                if (name.type != Tok::Name && name.type != Tok::Keyword) Fail(kErrExpectedIdentifier, name);
                Next();
                auto m = Node(ExprKind::Member, name);
                m->key = name.key;
                m->text = name.text;
                m->a = std::move(e);
                Measure(*m, name);
                e = std::move(m);
                if (lastParen) *lastParen = 0;
            } else {
                break;
            }
        }
        return e;
    }

    std::unique_ptr<Expr> Literal(const Token& at, Value v)
    {
        auto e = Node(ExprKind::Literal, at);
        e->value = std::move(v);
        return e;
    }

    std::unique_ptr<Expr> ParsePrimary()
    {
        const Token& t = Peek();
        switch (t.type) {
        case Tok::Number:
        case Tok::String:
        case Tok::DateLit: Next(); return Literal(t, t.value);
        case Tok::LParen: {
            Next();
            auto e = Node(ExprKind::Paren, t);
            e->a = ParseExpr();
            Expect(Tok::RParen, kErrExpectedCloseParen);
            Measure(*e, t);
            return e;
        }
        case Tok::Name: {
            Next();
            auto e = Node(ExprKind::Name, t);
            e->key = t.key;
            e->text = t.text;
            return e;
        }
        case Tok::Keyword:
            switch (t.kw) {
            case Kw::True: Next(); return Literal(t, Value::Boolean(true));
            case Kw::False: Next(); return Literal(t, Value::Boolean(false));
            case Kw::Empty: Next(); return Literal(t, Value());
            case Kw::Null: Next(); return Literal(t, Value::Null());
            case Kw::Nothing: Next(); return Literal(t, Value::FromObject(nullptr));
            case Kw::New:
            case Kw::Me: Fail(kErrNotSupported, t);
            default:
                if (IsSoftKeyword(t.kw)) {
                    Next();
                    auto e = Node(ExprKind::Name, t);
                    e->key = t.key;
                    e->text = t.text;
                    return e;
                }
                Fail(kErrExpectedExpression, t);
            }
        default: Fail(kErrExpectedExpression, t);
        }
    }

    // ---- declarations ----
    void Declare(const Token& at, const std::string& key)
    {
        auto& names = m_proc ? m_procNames : m_topNames;
        if (!names.insert(key).second) Fail(kErrNameRedefined, at);
    }

    void ParseDimList()
    {
        for (;;) {
            const Token& name = ExpectName();
            DimDecl d;
            d.key = name.key;
            d.text = name.text;
            d.line = name.line;
            d.col = name.col;
            if (Is(Tok::LParen)) {
                Next();
                d.isArray = true;
                if (!Is(Tok::RParen)) {
                    for (;;) {
                        const Token& n = Peek();
                        if (n.type != Tok::Number || !(n.value.type() == Type::Integer || n.value.type() == Type::Long) ||
                            n.value.Int() < 0)
                            Fail(kErrExpectedInteger, n);
                        Next();
                        d.bounds.push_back(std::int32_t(n.value.Int()));
                        if (!Is(Tok::Comma)) break;
                        Next();
                    }
                    if (d.bounds.size() > 60) Fail(kErrSubscript, name);
                }
                Expect(Tok::RParen, kErrExpectedCloseParen);
            }
            Declare(name, d.key);
            (m_proc ? m_proc->dims : m_prog->dims).push_back(std::move(d));
            if (!Is(Tok::Comma)) break;
            Next();
        }
    }

    void ParseConstList()
    {
        for (;;) {
            const Token& name = ExpectName();
            Expect(Tok::Eq, kErrExpectedEquals);
            bool negative = false;
            if (Is(Tok::Minus) || Is(Tok::Plus)) negative = Next().type == Tok::Minus;
            const Token& lit = Peek();
            Value v;
            if (lit.type == Tok::Number || lit.type == Tok::String || lit.type == Tok::DateLit) v = lit.value;
            else if (IsKw(Kw::True)) v = Value::Boolean(true);
            else if (IsKw(Kw::False)) v = Value::Boolean(false);
            else if (IsKw(Kw::Null)) v = Value::Null();
            else if (IsKw(Kw::Empty)) v = Value();
            else Fail(kErrExpectedLiteral, lit);
            Next();
            if (negative) {
                if (!v.IsNumber()) Fail(kErrExpectedLiteral, lit);
                v = ApplyUnary(UnOp::Neg, v);
            }
            Declare(name, name.key);
            (m_proc ? m_proc->consts : m_prog->consts).push_back({name.key, name.text, std::move(v)});
            if (!Is(Tok::Comma)) break;
            Next();
        }
    }

    void ParseProcedure()
    {
        const Token& kw = Next();
        auto proc = std::make_shared<Procedure>();
        proc->isFunction = kw.kw == Kw::Function;
        proc->optionExplicit = m_prog->optionExplicit;
        const Token& name = ExpectName();
        proc->key = name.key;
        proc->text = name.text;
        proc->line = kw.line;
        proc->col = kw.col;
        if (!m_topNames.insert(proc->key).second) Fail(kErrNameRedefined, name);
        m_proc = proc.get();
        m_procNames.clear();
        m_loops.clear();
        if (Is(Tok::LParen)) {
            Next();
            if (!Is(Tok::RParen)) {
                for (;;) {
                    Param prm;
                    if (IsKw(Kw::ByVal)) prm.byRef = false, Next();
                    else if (IsKw(Kw::ByRef)) Next();
                    const Token& pn = ExpectName();
                    prm.key = pn.key;
                    prm.text = pn.text;
                    if (Is(Tok::LParen)) {
                        Next();
                        Expect(Tok::RParen, kErrExpectedCloseParen);
                    }
                    Declare(pn, prm.key);
                    proc->params.push_back(std::move(prm));
                    if (!Is(Tok::Comma)) break;
                    Next();
                }
            }
            Expect(Tok::RParen, kErrExpectedCloseParen);
        }
        EndStatement();
        ParseBlock(proc->body);
        ExpectKw(Kw::End, kErrExpectedEnd);
        ExpectKw(proc->isFunction ? Kw::Function : Kw::Sub, proc->isFunction ? kErrExpectedFunction : kErrExpectedSub);
        m_proc = nullptr;
        m_prog->procedures.push_back(std::move(proc));
    }

    // ---- statements ----
    bool AtBlockEnd() const
    {
        if (Is(Tok::End)) return true;
        if (Peek().type != Tok::Keyword) return false;
        switch (Peek().kw) {
        case Kw::End:
        case Kw::Else:
        case Kw::ElseIf:
        case Kw::Case:
        case Kw::Loop:
        case Kw::Next:
        case Kw::Wend: return true;
        default: return false;
        }
    }

    // Statements up to the word that closes the block (left for the caller).
    void ParseBlock(Block& out)
    {
        Nest nest(*this, Peek());
        const int singleLine = m_singleLine;
        m_singleLine = 0;
        for (;;) {
            SkipNewlines();
            if (AtBlockEnd()) break;
            ParseStatement(out);
            EndStatement();
        }
        m_singleLine = singleLine;
    }

    template <class T>
    std::unique_ptr<T> At(std::unique_ptr<T> s, const Token& t)
    {
        s->line = t.line;
        s->col = t.col;
        return s;
    }

    void ParseStatement(Block& out)
    {
        const Token& t = Peek();
        if (t.type == Tok::Keyword && !IsSoftKeyword(t.kw)) {
            switch (t.kw) {
            case Kw::Dim: Next(); ParseDimList(); return;
            case Kw::Public:
            case Kw::Private:
                if (m_proc) Fail(kErrSyntax, t);
                Next();
                if (IsKw(Kw::Const)) {
                    Next();
                    ParseConstList();
                } else {
                    ParseDimList();
                }
                return;
            case Kw::Const: Next(); ParseConstList(); return;
            case Kw::ReDim: out.push_back(ParseReDim()); return;
            case Kw::Erase: out.push_back(ParseErase()); return;
            case Kw::If: out.push_back(ParseIf()); return;
            case Kw::Select: out.push_back(ParseSelect()); return;
            case Kw::For: out.push_back(ParseFor()); return;
            case Kw::Do: out.push_back(ParseDo()); return;
            case Kw::While: out.push_back(ParseWhile()); return;
            case Kw::Exit: out.push_back(ParseExit()); return;
            case Kw::On: out.push_back(ParseOnError()); return;
            case Kw::Call: {
                Next();
                auto s = At(std::make_unique<CallStmt>(), t);
                s->call = ParsePostfix(nullptr);
                if (s->call->kind != ExprKind::Name && s->call->kind != ExprKind::Index && s->call->kind != ExprKind::Member)
                    Fail(kErrExpectedIdentifier, t);
                out.push_back(std::move(s));
                return;
            }
            case Kw::Set:
            case Kw::Let: {
                Next();
                out.push_back(ParseAssignment(t, t.kw == Kw::Set));
                return;
            }
            case Kw::Stop: Next(); return;
            case Kw::Option: Fail(kErrMustBeFirst, t);
            case Kw::Function:
            case Kw::Sub: Fail(kErrSyntax, t);
            case Kw::Loop: Fail(kErrLoopWithoutDo, t);
            case Kw::Next: Fail(kErrUnexpectedNext, t);
            case Kw::Class:
            case Kw::With:
            case Kw::GoTo:
            case Kw::Resume:
            case Kw::New:
            case Kw::Me: Fail(kErrNotSupported, t);
            default: Fail(kErrExpectedStatement, t);
            }
        }
        if (!IsNameToken()) Fail(kErrExpectedStatement, t);
        ParseAssignOrCall(out);
    }

    bool IsAssignable(const Expr& e) const
    {
        if (e.kind == ExprKind::Name || e.kind == ExprKind::Member) return true;
        return e.kind == ExprKind::Index && e.a && (e.a->kind == ExprKind::Name || e.a->kind == ExprKind::Member);
    }

    std::unique_ptr<Stmt> ParseAssignment(const Token& start, bool isSet)
    {
        auto s = At(std::make_unique<AssignStmt>(isSet ? StmtKind::Set : StmtKind::Assign), start);
        if (!IsNameToken()) Fail(kErrExpectedIdentifier, Peek());
        s->target = ParsePostfix(nullptr);
        if (!IsAssignable(*s->target)) Fail(kErrSyntax, start);
        Expect(Tok::Eq, kErrExpectedEquals);
        s->value = ParseExpr();
        return s;
    }

    void ParseAssignOrCall(Block& out)
    {
        const Token& start = Peek();
        size_t lastParen = 0;
        auto target = ParsePostfix(&lastParen);
        if (Is(Tok::Eq)) {
            if (!IsAssignable(*target)) Fail(kErrSyntax, start);
            Next();
            auto s = At(std::make_unique<AssignStmt>(StmtKind::Assign), start);
            s->target = std::move(target);
            s->value = ParseExpr();
            out.push_back(std::move(s));
            return;
        }
        auto s = At(std::make_unique<CallStmt>(), start);
        if (AtEndOfStatement()) {
            // name(x) as a statement passes x in parentheses, by value; more
            // than one argument in parentheses needs Call.
            if (target->kind == ExprKind::Index && lastParen) {
                if (target->args.size() > 1) Fail(kErrParenthesesOnSub, m_t[lastParen]);
                if (target->args.size() == 1) {
                    auto paren = Node(ExprKind::Paren, m_t[lastParen]);
                    paren->a = std::move(target->args[0]);
                    Measure(*paren, m_t[lastParen]);
                    target->args[0] = std::move(paren);
                }
            }
            s->call = std::move(target);
            out.push_back(std::move(s));
            return;
        }
        // Arguments without parentheses: a trailing "(...)" belonged to the first one.
        std::unique_ptr<Expr> callee;
        if (target->kind == ExprKind::Index && lastParen) {
            callee = std::move(target->a);
            m_p = lastParen;
        } else {
            callee = std::move(target);
        }
        if (callee->kind != ExprKind::Name && callee->kind != ExprKind::Member && callee->kind != ExprKind::Index)
            Fail(kErrExpectedEndOfStatement, Peek());
        auto call = Node(ExprKind::Index, start);
        call->a = std::move(callee);
        for (;;) {
            call->args.push_back(ParseExpr());
            if (!Is(Tok::Comma)) break;
            Next();
        }
        Measure(*call, start);
        s->call = std::move(call);
        out.push_back(std::move(s));
    }

    std::unique_ptr<Stmt> ParseReDim()
    {
        const Token& t = Next();
        auto s = At(std::make_unique<ReDimStmt>(), t);
        if (IsKw(Kw::Preserve)) {
            Next();
            s->preserve = true;
        }
        for (;;) {
            const Token& name = ExpectName();
            ReDimStmt::Item item;
            item.key = name.key;
            item.text = name.text;
            Expect(Tok::LParen, kErrExpectedOpenParen);
            for (;;) {
                item.bounds.push_back(ParseExpr());
                if (!Is(Tok::Comma)) break;
                Next();
            }
            Expect(Tok::RParen, kErrExpectedCloseParen);
            if (item.bounds.size() > 60) Fail(kErrSubscript, name);
            s->items.push_back(std::move(item));
            if (!Is(Tok::Comma)) break;
            Next();
        }
        return s;
    }

    std::unique_ptr<Stmt> ParseErase()
    {
        const Token& t = Next();
        auto s = At(std::make_unique<EraseStmt>(), t);
        for (;;) {
            const Token& name = ExpectName();
            s->names.emplace_back(name.key, name.text);
            if (!Is(Tok::Comma)) break;
            Next();
        }
        return s;
    }

    // Statements of a one-line If part, separated by ':', up to Else or the line's end.
    void ParseSingleLine(Block& out)
    {
        ++m_singleLine;
        for (;;) {
            ParseStatement(out);
            EndStatement();
            if (Is(Tok::Newline) && Peek().colon) {
                Next();
                while (Is(Tok::Newline) && Peek().colon) Next();
                if (Is(Tok::Newline) || Is(Tok::End) || IsKw(Kw::Else)) break;
                continue;
            }
            break;
        }
        --m_singleLine;
    }

    std::unique_ptr<Stmt> ParseIf()
    {
        const Token& t = Next();
        auto s = At(std::make_unique<IfStmt>(), t);
        IfStmt::Branch first;
        first.cond = ParseExpr();
        ExpectKw(Kw::Then, kErrExpectedThen);
        if (!Is(Tok::Newline) && !Is(Tok::End)) {
            ParseSingleLine(first.body);
            s->branches.push_back(std::move(first));
            if (IsKw(Kw::Else)) {
                Next();
                if (!Is(Tok::Newline) && !Is(Tok::End)) ParseSingleLine(s->elseBody);
            }
            return s;
        }
        ParseBlock(first.body);
        s->branches.push_back(std::move(first));
        for (;;) {
            if (IsKw(Kw::ElseIf)) {
                Next();
                IfStmt::Branch b;
                b.cond = ParseExpr();
                ExpectKw(Kw::Then, kErrExpectedThen);
                ParseBlock(b.body);
                s->branches.push_back(std::move(b));
                continue;
            }
            if (IsKw(Kw::Else)) {
                Next();
                ParseBlock(s->elseBody);
            }
            ExpectKw(Kw::End, kErrExpectedEnd);
            ExpectKw(Kw::If, kErrExpectedIf);
            return s;
        }
    }

    std::unique_ptr<Stmt> ParseSelect()
    {
        const Token& t = Next();
        auto s = At(std::make_unique<SelectStmt>(), t);
        ExpectKw(Kw::Case, kErrExpectedCase);
        s->subject = ParseExpr();
        EndStatement();
        for (;;) {
            SkipNewlines();
            if (IsKw(Kw::End)) {
                Next();
                ExpectKw(Kw::Select, kErrExpectedSelect);
                return s;
            }
            if (!IsKw(Kw::Case) || s->hasElse) Fail(s->hasElse ? kErrExpectedEnd : kErrExpectedCase, Peek());
            Next();
            if (IsKw(Kw::Else)) {
                Next();
                s->hasElse = true;
                EndStatement();
                ParseBlock(s->elseBody);
                continue;
            }
            SelectStmt::Clause clause;
            for (;;) {
                SelectStmt::Item item;
                if (IsKw(Kw::Is)) {
                    Next();
                    item.kind = SelectStmt::Item::Is;
                    const Token& op = Next();
                    switch (op.type) {
                    case Tok::Eq: item.op = BinOp::Eq; break;
                    case Tok::Ne: item.op = BinOp::Ne; break;
                    case Tok::Lt: item.op = BinOp::Lt; break;
                    case Tok::Gt: item.op = BinOp::Gt; break;
                    case Tok::Le: item.op = BinOp::Le; break;
                    case Tok::Ge: item.op = BinOp::Ge; break;
                    default: Fail(kErrSyntax, op);
                    }
                    item.a = ParseExpr();
                } else {
                    item.a = ParseExpr();
                    if (IsKw(Kw::To)) {
                        Next();
                        item.kind = SelectStmt::Item::Range;
                        item.b = ParseExpr();
                    }
                }
                clause.items.push_back(std::move(item));
                if (!Is(Tok::Comma)) break;
                Next();
            }
            EndStatement();
            ParseBlock(clause.body);
            s->clauses.push_back(std::move(clause));
        }
    }

    void ParseNext(const std::string& key)
    {
        ExpectKw(Kw::Next, kErrExpectedNext);
        if (IsNameToken()) {
            const Token& n = Next();
            if (n.key != key) Fail(kErrInvalidForVariable, n);
        }
    }

    std::unique_ptr<Stmt> ParseFor()
    {
        const Token& t = Next();
        if (IsKw(Kw::Each)) {
            Next();
            auto s = At(std::make_unique<ForEachStmt>(), t);
            const Token& name = ExpectName();
            s->key = name.key;
            s->text = name.text;
            ExpectKw(Kw::In, kErrExpectedIn);
            s->collection = ParseExpr();
            EndStatement();
            m_loops.push_back('F');
            ParseBlock(s->body);
            m_loops.pop_back();
            ParseNext(s->key);
            return s;
        }
        auto s = At(std::make_unique<ForStmt>(), t);
        const Token& name = ExpectName();
        s->key = name.key;
        s->text = name.text;
        Expect(Tok::Eq, kErrExpectedEquals);
        s->from = ParseExpr();
        ExpectKw(Kw::To, kErrExpectedTo);
        s->to = ParseExpr();
        if (IsKw(Kw::Step)) {
            Next();
            s->step = ParseExpr();
        }
        EndStatement();
        m_loops.push_back('F');
        ParseBlock(s->body);
        m_loops.pop_back();
        ParseNext(s->key);
        return s;
    }

    std::unique_ptr<Stmt> ParseDo()
    {
        const Token& t = Next();
        auto s = At(std::make_unique<DoStmt>(), t);
        if (IsKw(Kw::While) || IsKw(Kw::Until)) {
            s->until = Next().kw == Kw::Until;
            s->cond = ParseExpr();
        }
        EndStatement();
        m_loops.push_back('D');
        ParseBlock(s->body);
        m_loops.pop_back();
        ExpectKw(Kw::Loop, kErrExpectedLoop);
        if (IsKw(Kw::While) || IsKw(Kw::Until)) {
            if (s->cond) Fail(kErrExpectedEndOfStatement, Peek());
            s->until = Next().kw == Kw::Until;
            s->atTop = false;
            s->cond = ParseExpr();
        }
        return s;
    }

    std::unique_ptr<Stmt> ParseWhile()
    {
        const Token& t = Next();
        auto s = At(std::make_unique<DoStmt>(), t);
        s->isWhile = true;
        s->cond = ParseExpr();
        EndStatement();
        m_loops.push_back('W');
        ParseBlock(s->body);
        m_loops.pop_back();
        ExpectKw(Kw::Wend, kErrExpectedWend);
        return s;
    }

    std::unique_ptr<Stmt> ParseExit()
    {
        const Token& t = Next();
        auto s = At(std::make_unique<ExitStmt>(), t);
        const Token& what = Peek();
        auto inLoop = [&](char kind) {
            for (char c : m_loops)
                if (c == kind) return true;
            return false;
        };
        if (IsKw(Kw::Do) && inLoop('D')) s->what = ExitStmt::Do;
        else if (IsKw(Kw::For) && inLoop('F')) s->what = ExitStmt::For;
        else if (IsKw(Kw::Function) && m_proc && m_proc->isFunction) s->what = ExitStmt::Function;
        else if (IsKw(Kw::Sub) && m_proc && !m_proc->isFunction) s->what = ExitStmt::Sub;
        else Fail(kErrInvalidExit, what.type == Tok::Keyword ? what : t);
        Next();
        return s;
    }

    std::unique_ptr<Stmt> ParseOnError()
    {
        const Token& t = Next();
        auto s = At(std::make_unique<OnErrorStmt>(), t);
        ExpectKw(Kw::Error, kErrSyntax);
        if (IsKw(Kw::Resume)) {
            Next();
            ExpectKw(Kw::Next, kErrSyntax);
            s->resumeNext = true;
        } else {
            ExpectKw(Kw::GoTo, kErrSyntax);
            const Token& zero = Peek();
            if (zero.type != Tok::Number || !zero.value.IsNumber() || zero.value.Int() != 0 ||
                zero.value.type() == Type::Double)
                Fail(kErrSyntax, zero);
            Next();
        }
        return s;
    }

    std::vector<Token> m_t;
    size_t m_p = 0;
    ParseLimits m_limits;
    int m_nesting = 0;
    int m_singleLine = 0;
    bool m_sawStatement = false;
    std::unique_ptr<Program> m_prog;
    Procedure* m_proc = nullptr;
    std::unordered_set<std::string> m_topNames, m_procNames;
    std::vector<char> m_loops;  // D Do, F For, W While, innermost last
};

}  // namespace

std::unique_ptr<Program> ParseProgram(std::string_view text, const DateTime& today, const ParseLimits& limits)
{
    return Parser(Tokenize(text, &today), limits).Run();
}

}  // namespace vbs
