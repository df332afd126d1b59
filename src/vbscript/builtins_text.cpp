// String functions: lengths and positions count bytes, positions from 1.
#include "vbscript/builtins.h"

namespace vbs {

namespace {

// The function's text argument, or nothing for Null (the result is Null then).
bool NullIn(const std::vector<Value>& args, size_t i) { return Given(args, i) && args[i].IsNull(); }

std::int32_t Count(const Value& v)
{
    const std::int32_t n = ToLong(v);
    if (n < 0) Throw(kErrInvalidCall);
    return n;
}

// Position (0-based) of needle in hay from start, or npos; text compare ignores ASCII case.
size_t Find(const std::string& hay, const std::string& needle, size_t start, int compare)
{
    if (compare == 0) return hay.find(needle, start);
    return LowerAscii(hay).find(LowerAscii(needle), start);
}

size_t FindLast(const std::string& hay, const std::string& needle, size_t start, int compare)
{
    if (compare == 0) return hay.rfind(needle, start);
    return LowerAscii(hay).rfind(LowerAscii(needle), start);
}

Value Len(Interpreter&, std::vector<Value>& a)
{
    if (a[0].IsNull()) return Value::Null();
    return Value::Long(std::int32_t(ToStr(a[0]).size()));
}

Value Left(Interpreter&, std::vector<Value>& a)
{
    const std::int32_t n = Count(a[1]);
    if (a[0].IsNull()) return Value::Null();
    return Value::String(ToStr(a[0]).substr(0, size_t(n)));
}

Value Right(Interpreter&, std::vector<Value>& a)
{
    const std::int32_t n = Count(a[1]);
    if (a[0].IsNull()) return Value::Null();
    const std::string s = ToStr(a[0]);
    return Value::String(size_t(n) >= s.size() ? s : s.substr(s.size() - size_t(n)));
}

Value Mid(Interpreter&, std::vector<Value>& a)
{
    const std::int32_t start = ToLong(a[1]);
    if (start < 1) Throw(kErrInvalidCall);
    const std::int32_t len = Given(a, 2) ? Count(a[2]) : -1;
    if (a[0].IsNull()) return Value::Null();
    const std::string s = ToStr(a[0]);
    if (size_t(start) > s.size()) return Value::String(std::string());
    return Value::String(len < 0 ? s.substr(size_t(start) - 1) : s.substr(size_t(start) - 1, size_t(len)));
}

Value InStr(Interpreter&, std::vector<Value>& a)
{
    // InStr(s1, s2) or InStr(start, s1, s2[, compare])
    std::int32_t start = 1;
    size_t i = 0;
    int compare = 0;
    if (a.size() >= 3) {
        if (a[0].IsNull()) Throw(kErrInvalidNull);
        start = ToLong(a[0]);
        if (start < 1) Throw(kErrInvalidCall);
        compare = CompareArg(a, 3);
        i = 1;
    }
    if (NullIn(a, i) || NullIn(a, i + 1)) return Value::Null();
    const std::string hay = ToStr(a[i]), needle = ToStr(a[i + 1]);
    if (size_t(start) > hay.size()) return Value::Long(0);
    if (needle.empty()) return Value::Long(start);
    const size_t pos = Find(hay, needle, size_t(start) - 1, compare);
    return Value::Long(pos == std::string::npos ? 0 : std::int32_t(pos + 1));
}

Value InStrRev(Interpreter&, std::vector<Value>& a)
{
    const std::int32_t start = LongArg(a, 2, -1);
    if (start == 0 || start < -1) Throw(kErrInvalidCall);
    const int compare = CompareArg(a, 3);
    if (a[0].IsNull() || a[1].IsNull()) return Value::Null();
    const std::string hay = ToStr(a[0]), needle = ToStr(a[1]);
    const size_t from = start == -1 ? hay.size() : size_t(start);
    if (from > hay.size()) return Value::Long(0);
    if (needle.empty()) return Value::Long(std::int32_t(from));
    if (needle.size() > from) return Value::Long(0);
    const size_t pos = FindLast(hay, needle, from - needle.size(), compare);
    return Value::Long(pos == std::string::npos ? 0 : std::int32_t(pos + 1));
}

Value Replace(Interpreter& in, std::vector<Value>& a)
{
    if (a[0].IsNull() || a[1].IsNull() || a[2].IsNull()) Throw(kErrInvalidNull);
    const std::int32_t start = LongArg(a, 3, 1);
    const std::int32_t count = LongArg(a, 4, -1);
    if (start < 1 || count < -1) Throw(kErrInvalidCall);
    const int compare = CompareArg(a, 5);
    const std::string expr = ToStr(a[0]), find = ToStr(a[1]), with = ToStr(a[2]);
    // The result starts at start: what lies before it is dropped.
    if (size_t(start) > expr.size()) return Value::String(std::string());
    const std::string s = expr.substr(size_t(start) - 1);
    if (find.empty() || count == 0) return Value::String(s);
    const std::string hay = compare ? LowerAscii(s) : s;
    const std::string needle = compare ? LowerAscii(find) : find;
    std::string out;
    size_t pos = 0;
    std::int32_t done = 0;
    while (count < 0 || done < count) {
        const size_t hit = hay.find(needle, pos);
        if (hit == std::string::npos) break;
        out.append(s, pos, hit - pos);
        out += with;
        if (out.size() > in.limits.maxStringBytes) Throw(14);
        pos = hit + needle.size();
        ++done;
    }
    out.append(s, pos, std::string::npos);
    in.CheckStringSize(out.size());
    return Value::String(std::move(out));
}

// Letter case beyond ASCII for the scripts of the languages Korvane speaks:
// Latin-1, Latin Extended-A, Greek and Cyrillic.
char16_t UpperWide(char16_t c)
{
    if (c >= u'a' && c <= u'z') return char16_t(c - 32);
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return char16_t(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpper ? (c % 2 == 0) : (c % 2 == 1)) return char16_t(c - 1);
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return char16_t(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return char16_t(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return char16_t(c - 0x50);
    return c;
}

char16_t LowerWide(char16_t c)
{
    if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return char16_t(c + 0x20);
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x138 && c != 0x149 && c != 0x17F) {
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpper ? (c % 2 == 1) : (c % 2 == 0)) return char16_t(c + 1);
        return c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return char16_t(c + 0x20);
    if (c >= 0x410 && c <= 0x42F) return char16_t(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return char16_t(c + 0x50);
    return c;
}

Value ChangeCase(Interpreter& in, const Value& v, bool upper)
{
    if (v.IsNull()) return Value::Null();
    std::string s = ToStr(v);
    bool ascii = true;
    for (char& c : s) {
        if ((unsigned char)c >= 0x80) ascii = false;
        else if (upper && c >= 'a' && c <= 'z') c = char(c - 32);
        else if (!upper && c >= 'A' && c <= 'Z') c = char(c + 32);
    }
    if (ascii || !in.toWide || !in.fromWide) return Value::String(std::move(s));
    std::u16string w = in.toWide(s);
    for (char16_t& c : w) c = upper ? UpperWide(c) : LowerWide(c);
    return Value::String(in.fromWide(w));
}

Value UCase(Interpreter& in, std::vector<Value>& a) { return ChangeCase(in, a[0], true); }
Value LCase(Interpreter& in, std::vector<Value>& a) { return ChangeCase(in, a[0], false); }

Value TrimSides(const Value& v, bool left, bool right)
{
    if (v.IsNull()) return Value::Null();
    std::string s = ToStr(v);
    size_t b = 0, e = s.size();
    if (left)
        while (b < e && s[b] == ' ') ++b;
    if (right)
        while (e > b && s[e - 1] == ' ') --e;
    return Value::String(s.substr(b, e - b));
}

Value Trim(Interpreter&, std::vector<Value>& a) { return TrimSides(a[0], true, true); }
Value LTrim(Interpreter&, std::vector<Value>& a) { return TrimSides(a[0], true, false); }
Value RTrim(Interpreter&, std::vector<Value>& a) { return TrimSides(a[0], false, true); }

Value Space(Interpreter& in, std::vector<Value>& a)
{
    const std::int32_t n = Count(a[0]);
    in.CheckStringSize(size_t(n));
    return Value::String(std::string(size_t(n), ' '));
}

Value StringOf(Interpreter& in, std::vector<Value>& a)
{
    const std::int32_t n = Count(a[0]);
    if (a[1].IsNull()) return Value::Null();
    char c;
    if (a[1].IsString()) {
        if (a[1].Str().empty()) Throw(kErrInvalidCall);
        c = a[1].Str()[0];
    } else {
        const std::int32_t code = ToLong(a[1]);
        if (code < 0) Throw(kErrInvalidCall);
        c = char(code % 256);
    }
    in.CheckStringSize(size_t(n));
    return Value::String(std::string(size_t(n), c));
}

Value StrReverse(Interpreter&, std::vector<Value>& a)
{
    std::string s = ToStr(a[0]);
    return Value::String(std::string(s.rbegin(), s.rend()));
}

Value Split(Interpreter& in, std::vector<Value>& a)
{
    if (a[0].IsNull()) return Value::Null();
    const std::string s = ToStr(a[0]);
    const std::string delim = Given(a, 1) && !a[1].IsEmpty() ? ToStr(a[1]) : std::string(" ");
    const std::int32_t limit = LongArg(a, 2, -1);
    if (limit < -1) Throw(kErrInvalidCall);
    const int compare = CompareArg(a, 3);
    auto arr = std::make_shared<ArrayData>();
    if (!s.empty() && limit != 0) {
        if (delim.empty()) {
            arr->items.push_back(Value::String(s));
        } else {
            size_t pos = 0;
            for (;;) {
                if (limit > 0 && arr->items.size() + 1 == size_t(limit)) break;
                const size_t hit = Find(s, delim, pos, compare);
                if (hit == std::string::npos) break;
                arr->items.push_back(Value::String(s.substr(pos, hit - pos)));
                if (arr->items.size() >= in.limits.maxArrayElements) Throw(kErrOutOfMemory);
                pos = hit + delim.size();
            }
            arr->items.push_back(Value::String(s.substr(pos)));
        }
    }
    in.Charge(std::int64_t(arr->items.size() / 16));
    arr->upper = {std::int32_t(arr->items.size()) - 1};
    return Value::FromArray(std::move(arr));
}

Value Join(Interpreter& in, std::vector<Value>& a)
{
    if (!a[0].IsArray()) Throw(kErrTypeMismatch);
    const ArrayData& arr = *a[0].Arr();
    if (arr.upper.size() != 1) Throw(kErrSubscript);
    const std::string delim = Given(a, 1) ? ToStr(a[1]) : std::string(" ");
    std::string out;
    for (size_t i = 0; i < arr.items.size(); ++i) {
        if (i) out += delim;
        out += ToText(arr.items[i]);
        if (out.size() > in.limits.maxStringBytes) Throw(14);
    }
    in.CheckStringSize(out.size());
    return Value::String(std::move(out));
}

Value Asc(Interpreter&, std::vector<Value>& a)
{
    const std::string s = ToStr(a[0]);
    if (s.empty()) Throw(kErrInvalidCall);
    return Value::Integer(std::int16_t((unsigned char)s[0]));
}

Value AscW(Interpreter& in, std::vector<Value>& a)
{
    const std::string s = ToStr(a[0]);
    if (s.empty()) Throw(kErrInvalidCall);
    std::uint16_t unit = (unsigned char)s[0];
    if (in.toWide) {
        const std::u16string w = in.toWide(s);
        if (w.empty()) Throw(kErrInvalidCall);
        unit = w[0];
    }
    return Value::Integer(std::int16_t(unit));
}

Value Chr(Interpreter&, std::vector<Value>& a)
{
    const std::int32_t code = ToLong(a[0]);
    if (code < 0 || code > 255) Throw(kErrInvalidCall);
    return Value::String(std::string(1, char(code)));
}

Value ChrW(Interpreter& in, std::vector<Value>& a)
{
    std::int32_t code = ToLong(a[0]);
    if (code < -32768 || code > 65535) Throw(kErrInvalidCall);
    if (code < 0) code += 65536;
    if (in.fromWide) return Value::String(in.fromWide(std::u16string(1, char16_t(code))));
    return Value::String(code <= 255 ? std::string(1, char(code)) : std::string("?"));
}

Value StrComp(Interpreter&, std::vector<Value>& a)
{
    const int compare = CompareArg(a, 2);
    if (a[0].IsNull() || a[1].IsNull()) return Value::Null();
    std::string x = ToStr(a[0]), y = ToStr(a[1]);
    if (compare) {
        x = LowerAscii(std::move(x));
        y = LowerAscii(std::move(y));
    }
    const int c = x.compare(y);
    return Value::Integer(std::int16_t(c < 0 ? -1 : c > 0 ? 1 : 0));
}

}  // namespace

void AddTextBuiltins(BuiltinTable& t)
{
    t["len"] = {1, 1, Len};
    t["left"] = {2, 2, Left};
    t["right"] = {2, 2, Right};
    t["mid"] = {2, 3, Mid};
    t["instr"] = {2, 4, InStr};
    t["instrrev"] = {2, 4, InStrRev};
    t["replace"] = {3, 6, Replace};
    t["ucase"] = {1, 1, UCase};
    t["lcase"] = {1, 1, LCase};
    t["trim"] = {1, 1, Trim};
    t["ltrim"] = {1, 1, LTrim};
    t["rtrim"] = {1, 1, RTrim};
    t["space"] = {1, 1, Space};
    t["string"] = {2, 2, StringOf};
    t["strreverse"] = {1, 1, StrReverse};
    t["split"] = {1, 4, Split};
    t["join"] = {1, 2, Join};
    t["asc"] = {1, 1, Asc};
    t["ascb"] = {1, 1, Asc};
    t["ascw"] = {1, 1, AscW};
    t["chr"] = {1, 1, Chr};
    t["chrb"] = {1, 1, Chr};
    t["chrw"] = {1, 1, ChrW};
    t["strcomp"] = {2, 3, StrComp};
}

}  // namespace vbs
