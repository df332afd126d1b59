#include "vbscript/lexer.h"

#include <unordered_map>

#include "vbscript/convert.h"
#include "vbscript/errors.h"

namespace vbs {

namespace {

const std::unordered_map<std::string, Kw>& Keywords()
{
    static const std::unordered_map<std::string, Kw> table = {
        {"and", Kw::And},         {"byref", Kw::ByRef},       {"byval", Kw::ByVal},   {"call", Kw::Call},
        {"case", Kw::Case},       {"class", Kw::Class},       {"const", Kw::Const},   {"dim", Kw::Dim},
        {"do", Kw::Do},           {"each", Kw::Each},         {"else", Kw::Else},     {"elseif", Kw::ElseIf},
        {"empty", Kw::Empty},     {"end", Kw::End},           {"eqv", Kw::Eqv},       {"erase", Kw::Erase},
        {"error", Kw::Error},     {"exit", Kw::Exit},         {"explicit", Kw::Explicit}, {"false", Kw::False},
        {"for", Kw::For},         {"function", Kw::Function}, {"get", Kw::Get},       {"goto", Kw::GoTo},
        {"if", Kw::If},           {"imp", Kw::Imp},           {"in", Kw::In},         {"is", Kw::Is},
        {"let", Kw::Let},         {"loop", Kw::Loop},         {"me", Kw::Me},         {"mod", Kw::Mod},
        {"new", Kw::New},         {"next", Kw::Next},         {"not", Kw::Not},       {"nothing", Kw::Nothing},
        {"null", Kw::Null},       {"on", Kw::On},             {"option", Kw::Option}, {"or", Kw::Or},
        {"preserve", Kw::Preserve}, {"private", Kw::Private}, {"property", Kw::Property}, {"public", Kw::Public},
        {"redim", Kw::ReDim},     {"resume", Kw::Resume},     {"select", Kw::Select}, {"set", Kw::Set},
        {"step", Kw::Step},       {"stop", Kw::Stop},         {"sub", Kw::Sub},       {"then", Kw::Then},
        {"to", Kw::To},           {"true", Kw::True},         {"until", Kw::Until},   {"wend", Kw::Wend},
        {"while", Kw::While},     {"with", Kw::With},         {"xor", Kw::Xor},
    };
    return table;
}

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

[[noreturn]] void Fail(long number, long line, long col)
{
    ScriptException e{number, ErrorText(number)};
    e.line = line;
    e.position = col;
    throw e;
}

class Lexer {
public:
    Lexer(std::string_view text, const DateTime* today) : m_s(text), m_today(today ? *today : DateTime{}) {}

    std::vector<Token> Run()
    {
        while (m_i < m_s.size()) {
            const char c = m_s[m_i];
            if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\0') {
                ++m_i;
            } else if (c == '\r' || c == '\n') {
                NewlineToken(false);
                if (c == '\r' && m_i + 1 < m_s.size() && m_s[m_i + 1] == '\n') ++m_i;
                ++m_i;
                ++m_line;
                m_lineStart = m_i;
            } else if (c == ':') {
                NewlineToken(true);
                ++m_i;
            } else if (c == '\'') {
                SkipComment();
            } else if (c == '_') {
                Continuation();
            } else if (c == '"') {
                StringLiteral();
            } else if (c == '#') {
                DateLiteral();
            } else if (IsDigit(c) || (c == '.' && m_i + 1 < m_s.size() && IsDigit(m_s[m_i + 1]) && !AfterName())) {
                DecimalNumber();
            } else if (c == '&' && m_i + 2 < m_s.size() && (m_s[m_i + 1] == 'h' || m_s[m_i + 1] == 'H') &&
                       IsHexDigit(m_s[m_i + 2])) {
                RadixNumber(16);
            } else if (c == '&' && m_i + 2 < m_s.size() && (m_s[m_i + 1] == 'o' || m_s[m_i + 1] == 'O') &&
                       m_s[m_i + 2] >= '0' && m_s[m_i + 2] <= '7') {
                RadixNumber(8);
            } else if (IsAlpha(c)) {
                Word();
            } else if (c == '[') {
                BracketName();
            } else {
                Operator();
            }
        }
        Token end;
        end.type = Tok::End;
        end.line = m_line;
        end.col = Col();
        m_out.push_back(end);
        return std::move(m_out);
    }

private:
    long Col() const { return long(m_i - m_lineStart) + 1; }

    Token Start(Tok type)
    {
        Token t;
        t.type = type;
        t.line = m_line;
        t.col = Col();
        return t;
    }

    // A '.' right after a name or ')' is member access, never a number.
    bool AfterName() const
    {
        if (m_out.empty() || m_i == 0) return false;
        const char prev = m_s[m_i - 1];
        const Tok t = m_out.back().type;
        return (t == Tok::Name || t == Tok::Keyword || t == Tok::RParen) && prev != ' ' && prev != '\t';
    }

    void NewlineToken(bool colon)
    {
        Token t = Start(Tok::Newline);
        t.colon = colon;
        m_out.push_back(std::move(t));
    }

    void SkipComment()
    {
        while (m_i < m_s.size() && m_s[m_i] != '\r' && m_s[m_i] != '\n') ++m_i;
    }

    void Continuation()
    {
        // "_" must be the last thing on its line; the line break is dropped.
        size_t j = m_i + 1;
        while (j < m_s.size() && (m_s[j] == ' ' || m_s[j] == '\t')) ++j;
        if (j < m_s.size() && m_s[j] != '\r' && m_s[j] != '\n') Fail(kErrInvalidCharacter, m_line, Col());
        if (j < m_s.size()) {
            if (m_s[j] == '\r' && j + 1 < m_s.size() && m_s[j + 1] == '\n') ++j;
            ++j;
        }
        m_i = j;
        ++m_line;
        m_lineStart = m_i;
    }

    void StringLiteral()
    {
        Token t = Start(Tok::String);
        std::string s;
        ++m_i;
        for (;;) {
            if (m_i >= m_s.size() || m_s[m_i] == '\r' || m_s[m_i] == '\n') Fail(kErrUnterminatedString, t.line, t.col);
            if (m_s[m_i] == '"') {
                if (m_i + 1 < m_s.size() && m_s[m_i + 1] == '"') {
                    s += '"';
                    m_i += 2;
                    continue;
                }
                ++m_i;
                break;
            }
            s += m_s[m_i++];
        }
        t.value = Value::String(std::move(s));
        m_out.push_back(std::move(t));
    }

    void DateLiteral()
    {
        Token t = Start(Tok::DateLit);
        size_t j = m_i + 1;
        while (j < m_s.size() && m_s[j] != '#' && m_s[j] != '\r' && m_s[j] != '\n') ++j;
        if (j >= m_s.size() || m_s[j] != '#') Fail(kErrSyntax, t.line, t.col);
        const auto serial = ParseDateText(m_s.substr(m_i + 1, j - m_i - 1), m_today);
        if (!serial) Fail(kErrSyntax, t.line, t.col);
        t.value = Value::Date(*serial);
        m_i = j + 1;
        m_out.push_back(std::move(t));
    }

    void DecimalNumber()
    {
        Token t = Start(Tok::Number);
        const size_t start = m_i;
        bool isFloat = false;
        while (m_i < m_s.size() && IsDigit(m_s[m_i])) ++m_i;
        if (m_i < m_s.size() && m_s[m_i] == '.') {
            isFloat = true;
            ++m_i;
            while (m_i < m_s.size() && IsDigit(m_s[m_i])) ++m_i;
        }
        if (m_i < m_s.size() && (m_s[m_i] == 'e' || m_s[m_i] == 'E')) {
            size_t j = m_i + 1;
            if (j < m_s.size() && (m_s[j] == '+' || m_s[j] == '-')) ++j;
            if (j < m_s.size() && IsDigit(m_s[j])) {
                isFloat = true;
                while (j < m_s.size() && IsDigit(m_s[j])) ++j;
                m_i = j;
            }
        }
        const std::string_view text = m_s.substr(start, m_i - start);
        const auto d = ParseNumberText(text);
        if (!d) Fail(kErrInvalidNumber, t.line, t.col);
        if (!isFloat && *d <= 2147483647.0) t.value = IntegerResult((long long)*d, false);
        else t.value = Value::Double(*d);
        // The language has no type suffixes on decimal numbers.
        if (m_i < m_s.size() && (m_s[m_i] == '#' || m_s[m_i] == '!' || m_s[m_i] == '@' || m_s[m_i] == '%'))
            Fail(kErrExpectedEndOfStatement, m_line, Col());
        m_out.push_back(std::move(t));
    }

    void RadixNumber(int radix)
    {
        Token t = Start(Tok::Number);
        size_t j = m_i + 2;
        unsigned long long v = 0;
        while (j < m_s.size() && (radix == 16 ? IsHexDigit(m_s[j]) : (m_s[j] >= '0' && m_s[j] <= '7'))) {
            const char c = Lower(m_s[j]);
            v = v * unsigned(radix) + unsigned(IsDigit(c) ? c - '0' : c - 'a' + 10);
            if (v > 0xFFFFFFFFull) Fail(kErrInvalidNumber, t.line, t.col);
            ++j;
        }
        bool forceLong = false;
        if (j < m_s.size() && m_s[j] == '&') {
            forceLong = true;
            ++j;
        }
        m_i = j;
        if (v <= 0xFFFF && !forceLong) t.value = Value::Integer(std::int16_t(std::uint16_t(v)));
        else t.value = Value::Long(std::int32_t(std::uint32_t(v)));
        m_out.push_back(std::move(t));
    }

    void Word()
    {
        Token t = Start(Tok::Name);
        const size_t start = m_i;
        while (m_i < m_s.size() && (IsAlpha(m_s[m_i]) || IsDigit(m_s[m_i]) || m_s[m_i] == '_')) ++m_i;
        t.text = std::string(m_s.substr(start, m_i - start));
        if (t.text.size() > 255) Fail(kErrIdentifierTooLong, t.line, t.col);
        t.key = t.text;
        for (char& c : t.key) c = Lower(c);
        if (t.key == "rem") {
            SkipComment();
            return;
        }
        const auto it = Keywords().find(t.key);
        if (it != Keywords().end()) {
            t.type = Tok::Keyword;
            t.kw = it->second;
        }
        m_out.push_back(std::move(t));
    }

    void BracketName()
    {
        Token t = Start(Tok::Name);
        size_t j = m_i + 1;
        while (j < m_s.size() && m_s[j] != ']' && m_s[j] != '\r' && m_s[j] != '\n') ++j;
        if (j >= m_s.size() || m_s[j] != ']') Fail(kErrInvalidCharacter, t.line, t.col);
        t.text = std::string(m_s.substr(m_i + 1, j - m_i - 1));
        if (t.text.size() > 255) Fail(kErrIdentifierTooLong, t.line, t.col);
        t.key = t.text;
        for (char& c : t.key) c = Lower(c);
        m_i = j + 1;
        m_out.push_back(std::move(t));
    }

    void Operator()
    {
        Token t = Start(Tok::End);
        const char c = m_s[m_i];
        const char n = m_i + 1 < m_s.size() ? m_s[m_i + 1] : '\0';
        size_t len = 1;
        switch (c) {
        case '(': t.type = Tok::LParen; break;
        case ')': t.type = Tok::RParen; break;
        case ',': t.type = Tok::Comma; break;
        case '.': t.type = Tok::Dot; break;
        case '+': t.type = Tok::Plus; break;
        case '-': t.type = Tok::Minus; break;
        case '*': t.type = Tok::Star; break;
        case '/': t.type = Tok::Slash; break;
        case '\\': t.type = Tok::Backslash; break;
        case '^': t.type = Tok::Caret; break;
        case '&': t.type = Tok::Amp; break;
        case '=':
            t.type = Tok::Eq;
            if (n == '<') t.type = Tok::Le, len = 2;
            else if (n == '>') t.type = Tok::Ge, len = 2;
            break;
        case '<':
            t.type = Tok::Lt;
            if (n == '>') t.type = Tok::Ne, len = 2;
            else if (n == '=') t.type = Tok::Le, len = 2;
            break;
        case '>':
            t.type = Tok::Gt;
            if (n == '=') t.type = Tok::Ge, len = 2;
            else if (n == '<') t.type = Tok::Ne, len = 2;
            break;
        default: Fail(kErrInvalidCharacter, m_line, Col());
        }
        m_i += len;
        m_out.push_back(std::move(t));
    }

    std::string_view m_s;
    DateTime m_today;
    size_t m_i = 0;
    size_t m_lineStart = 0;
    long m_line = 1;
    std::vector<Token> m_out;
};

}  // namespace

bool IsSoftKeyword(Kw kw)
{
    return kw == Kw::Error || kw == Kw::Explicit || kw == Kw::Step || kw == Kw::Property || kw == Kw::Get ||
           kw == Kw::Preserve;
}

std::vector<Token> Tokenize(std::string_view text, const DateTime* today) { return Lexer(text, today).Run(); }

}  // namespace vbs
