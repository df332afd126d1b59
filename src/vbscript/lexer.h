#pragma once
// Splits script text into tokens: names and keywords (any case), numbers
// (decimal, &H hex, &O octal), "strings" with "" for a quote, #dates#,
// operators, and the ends of statements (line breaks and ':'). Comments
// (' and Rem) are dropped; " _" at the end of a line joins the next one.
#include <string>
#include <string_view>
#include <vector>

#include "vbscript/datetime.h"
#include "vbscript/value.h"

namespace vbs {

enum class Tok {
    End,        // end of the text
    Newline,    // a line break or ':'
    Name,       // identifier (text lower case in key)
    Keyword,    // reserved word (kw)
    Number,     // literal in value
    String,     // literal in value
    DateLit,    // literal in value
    LParen, RParen, Comma, Dot,
    Eq, Ne, Lt, Gt, Le, Ge,
    Plus, Minus, Star, Slash, Backslash, Caret, Amp,
};

enum class Kw {
    None,
    And, ByRef, ByVal, Call, Case, Class, Const, Dim, Do, Each, Else, ElseIf, Empty, End, Eqv, Erase, Error,
    Exit, Explicit, False, For, Function, Get, GoTo, If, Imp, In, Is, Let, Loop, Me, Mod, New, Next, Not,
    Nothing, Null, On, Option, Or, Preserve, Private, Property, Public, ReDim, Resume, Select, Set, Step,
    Stop, Sub, Then, To, True, Until, Wend, While, With, Xor,
};

struct Token {
    Tok type = Tok::End;
    Kw kw = Kw::None;
    long line = 1;
    long col = 1;
    std::string key;   // Name: lower case; Keyword: lower case
    std::string text;  // as written (names, for messages)
    Value value;       // literals
    bool colon = false;  // a Newline that was written as ':'
};

// Keywords that may still name a variable or a member (Error, Explicit,
// Step, Property, Get...).
bool IsSoftKeyword(Kw kw);

// The tokens of a text, ending with Tok::End. Throws ScriptException with
// the line and position of a character or literal it cannot read.
std::vector<Token> Tokenize(std::string_view text, const DateTime* today = nullptr);

}  // namespace vbs
