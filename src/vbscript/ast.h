#pragma once
// The tree a script text is parsed into once; the interpreter walks it.
// Every node keeps the line and position it was written at, for errors.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vbscript/operators.h"
#include "vbscript/value.h"

namespace vbs {

enum class ExprKind {
    Literal,  // value
    Name,     // key / text
    Index,    // a(args): an array element or a call
    Member,   // a.key
    Unary,    // uop a
    Binary,   // a bop b
    Paren,    // (a): passes an argument by value
};

struct Expr {
    ExprKind kind = ExprKind::Literal;
    long line = 0, col = 0;
    int depth = 1;  // height of the subtree
    Value value;
    std::string key;   // lower case
    std::string text;  // as written
    BinOp bop = BinOp::Add;
    UnOp uop = UnOp::Neg;
    std::unique_ptr<Expr> a, b;
    std::vector<std::unique_ptr<Expr>> args;
    bool emptyParens = false;  // Index written as name()
};

enum class StmtKind { Assign, Set, Call, ReDim, Erase, If, Select, For, ForEach, Do, Exit, OnError, Nop };

struct Stmt {
    explicit Stmt(StmtKind k) : kind(k) {}
    virtual ~Stmt() = default;
    StmtKind kind;
    long line = 0, col = 0;
};
using Block = std::vector<std::unique_ptr<Stmt>>;

struct AssignStmt : Stmt {  // Assign and Set
    using Stmt::Stmt;
    std::unique_ptr<Expr> target, value;
};

struct CallStmt : Stmt {
    CallStmt() : Stmt(StmtKind::Call) {}
    std::unique_ptr<Expr> call;  // Name, Member or Index
};

struct ReDimStmt : Stmt {
    ReDimStmt() : Stmt(StmtKind::ReDim) {}
    struct Item {
        std::string key, text;
        std::vector<std::unique_ptr<Expr>> bounds;
    };
    bool preserve = false;
    std::vector<Item> items;
};

struct EraseStmt : Stmt {
    EraseStmt() : Stmt(StmtKind::Erase) {}
    std::vector<std::pair<std::string, std::string>> names;  // key, text
};

struct IfStmt : Stmt {
    IfStmt() : Stmt(StmtKind::If) {}
    struct Branch {
        std::unique_ptr<Expr> cond;
        Block body;
    };
    std::vector<Branch> branches;
    Block elseBody;
};

struct SelectStmt : Stmt {
    SelectStmt() : Stmt(StmtKind::Select) {}
    struct Item {
        enum Kind { Equal, Range, Is } kind = Equal;
        BinOp op = BinOp::Eq;
        std::unique_ptr<Expr> a, b;
    };
    struct Clause {
        std::vector<Item> items;
        Block body;
    };
    std::unique_ptr<Expr> subject;
    std::vector<Clause> clauses;
    bool hasElse = false;
    Block elseBody;
};

struct ForStmt : Stmt {
    ForStmt() : Stmt(StmtKind::For) {}
    std::string key, text;
    std::unique_ptr<Expr> from, to, step;
    Block body;
};

struct ForEachStmt : Stmt {
    ForEachStmt() : Stmt(StmtKind::ForEach) {}
    std::string key, text;
    std::unique_ptr<Expr> collection;
    Block body;
};

struct DoStmt : Stmt {  // Do ... Loop and While ... Wend
    DoStmt() : Stmt(StmtKind::Do) {}
    std::unique_ptr<Expr> cond;  // null: loop until Exit Do
    bool atTop = true;
    bool until = false;
    bool isWhile = false;  // While ... Wend: Exit Do passes through it
    Block body;
};

struct ExitStmt : Stmt {
    ExitStmt() : Stmt(StmtKind::Exit) {}
    enum What { Do, For, Function, Sub } what = Do;
};

struct OnErrorStmt : Stmt {
    OnErrorStmt() : Stmt(StmtKind::OnError) {}
    bool resumeNext = false;
};

// Declarations are made when their scope starts (Dim and Const anywhere in a
// procedure exist from its first statement).
struct DimDecl {
    std::string key, text;
    long line = 0, col = 0;
    bool isArray = false;
    std::vector<std::int32_t> bounds;  // empty for a dynamic array
};

struct ConstDecl {
    std::string key, text;
    Value value;
};

struct Param {
    std::string key, text;
    bool byRef = true;
};

struct Procedure {
    std::string key, text;
    bool isFunction = false;
    bool optionExplicit = false;
    long line = 0, col = 0;
    std::vector<Param> params;
    std::vector<DimDecl> dims;
    std::vector<ConstDecl> consts;
    Block body;
};

struct Program {
    bool optionExplicit = false;
    std::vector<DimDecl> dims;
    std::vector<ConstDecl> consts;
    std::vector<std::shared_ptr<Procedure>> procedures;
    Block body;
};

}  // namespace vbs
