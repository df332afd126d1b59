#include "vbscript/builtins.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vbs {

const BuiltinTable& Builtins()
{
    static const BuiltinTable table = [] {
        BuiltinTable t;
        AddTextBuiltins(t);
        AddConvertBuiltins(t);
        AddDateBuiltins(t);
        return t;
    }();
    return table;
}

const Value* BuiltinConstant(const std::string& key)
{
    static const std::unordered_map<std::string, Value> constants = [] {
        std::unordered_map<std::string, Value> c;
        auto num = [&](const char* name, std::int32_t v) { c[name] = Value::Long(v); };
        auto text = [&](const char* name, std::string v) { c[name] = Value::String(std::move(v)); };
        text("vbcr", "\r");
        text("vblf", "\n");
        text("vbcrlf", "\r\n");
        text("vbnewline", "\r\n");
        text("vbtab", "\t");
        text("vbnullchar", std::string(1, '\0'));
        text("vbnullstring", "");
        text("vbformfeed", "\f");
        text("vbverticaltab", "\v");
        num("vbtrue", -1);
        num("vbfalse", 0);
        num("vbusedefault", -2);
        num("vbbinarycompare", 0);
        num("vbtextcompare", 1);
        num("vbdatabasecompare", 2);
        num("vbusesystemdayofweek", 0);
        num("vbsunday", 1);
        num("vbmonday", 2);
        num("vbtuesday", 3);
        num("vbwednesday", 4);
        num("vbthursday", 5);
        num("vbfriday", 6);
        num("vbsaturday", 7);
        num("vbusesystem", 0);
        num("vbfirstjan1", 1);
        num("vbfirstfourdays", 2);
        num("vbfirstfullweek", 3);
        num("vbgeneraldate", 0);
        num("vblongdate", 1);
        num("vbshortdate", 2);
        num("vblongtime", 3);
        num("vbshorttime", 4);
        num("vbobjecterror", -2147221504);
        num("vbempty", 0);
        num("vbnull", 1);
        num("vbinteger", 2);
        num("vblong", 3);
        num("vbsingle", 4);
        num("vbdouble", 5);
        num("vbcurrency", 6);
        num("vbdate", 7);
        num("vbstring", 8);
        num("vbobject", 9);
        num("vberror", 10);
        num("vbboolean", 11);
        num("vbvariant", 12);
        num("vbdataobject", 13);
        num("vbdecimal", 14);
        num("vbbyte", 17);
        num("vbarray", 8192);
        num("vbblack", 0);
        num("vbred", 0xFF);
        num("vbgreen", 0xFF00);
        num("vbyellow", 0xFFFF);
        num("vbblue", 0xFF0000);
        num("vbmagenta", 0xFF00FF);
        num("vbcyan", 0xFFFF00);
        num("vbwhite", 0xFFFFFF);
        return c;
    }();
    const auto it = constants.find(key);
    return it == constants.end() ? nullptr : &it->second;
}

std::string FixedDecimal(double x, int digits, bool halfEven)
{
    x = std::fabs(x);
    std::string d;  // the decimal digits of x times 10^digits, rounded
    if (x != 0) {
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
        const std::string s(buf, res.ptr);
        const size_t e = s.find('e');
        std::string mant = s.substr(0, e);
        mant.erase(1, 1);  // 15 significant digits
        const long exp = std::strtol(s.c_str() + e + 1, nullptr, 10);
        const long keep = exp + 1 + digits;  // digits that stay before rounding
        bool up = false;
        if (keep >= 0 && keep < long(mant.size())) {
            const char next = mant[size_t(keep)];
            bool restZero = true;
            for (size_t i = size_t(keep) + 1; i < mant.size(); ++i)
                if (mant[i] != '0') restZero = false;
            if (next > '5' || (next == '5' && !restZero)) up = true;
            else if (next == '5') up = !halfEven || (keep > 0 && (mant[size_t(keep) - 1] - '0') % 2 == 1);
            d = mant.substr(0, size_t(keep));
        } else if (keep >= long(mant.size())) {
            d = mant + std::string(size_t(keep) - mant.size(), '0');
        }
        if (up) {
            size_t i = d.size();
            for (;;) {
                if (i == 0) {
                    d.insert(d.begin(), '1');
                    break;
                }
                --i;
                if (d[i] == '9') {
                    d[i] = '0';
                } else {
                    ++d[i];
                    break;
                }
            }
        }
    }
    if (long(d.size()) < digits + 1) d = std::string(size_t(digits + 1) - d.size(), '0') + d;
    std::string whole = d.substr(0, d.size() - size_t(digits));
    const std::string frac = d.substr(d.size() - size_t(digits));
    const size_t nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? "0" : whole.substr(nz);
    return digits > 0 ? whole + "." + frac : whole;
}

}  // namespace vbs
