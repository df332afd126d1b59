#include "data/value_format.h"

#include <algorithm>

#include "data/variable.h"
#include "platform/codepage.h"

namespace {

bool IsLead(const std::string& s, size_t i) { return i < s.size() && IsDBCSLeadByte(static_cast<unsigned char>(s[i])); }

// The ideographic space of the double-byte code pages, as its two bytes.
bool IsWideSpace(const std::string& s, size_t i)
{
    if (i + 1 >= s.size()) return false;
    const unsigned char a = static_cast<unsigned char>(s[i]);
    const unsigned char b = static_cast<unsigned char>(s[i + 1]);
    switch (GetAnsiCodePage()) {
    case 932: return a == 0x81 && b == 0x40;
    case 936:
    case 949: return a == 0xA1 && b == 0xA1;
    case 950: return a == 0xA1 && b == 0x40;
    default: return false;
    }
}

bool IsNarrowSpace(unsigned char b) { return b == ' ' || (b >= 0x09 && b <= 0x0D); }

// Length of the white-space character at i, 0 when it is none.
size_t SpaceLengthAt(const std::string& s, size_t i)
{
    if (IsLead(s, i)) return IsWideSpace(s, i) ? 2 : 0;
    return IsNarrowSpace(static_cast<unsigned char>(s[i])) ? 1 : 0;
}

// Position after walking whole characters from 0 while p < limit (a lead
// byte steps over two bytes), never beyond the end.
size_t WalkWhole(const std::string& s, size_t limit)
{
    size_t p = 0;
    while (p < s.size() && p < limit) p += IsLead(s, p) ? 2 : 1;
    return std::min(p, s.size());
}

bool IsPlainNumber(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

}  // namespace

std::string TrimSpacesLeft(const std::string& value)
{
    size_t p = 0;
    while (p < value.size()) {
        const size_t n = SpaceLengthAt(value, p);
        if (n == 0) break;
        p += n;
    }
    return value.substr(p);
}

std::string TrimSpacesRight(const std::string& value)
{
    // Walk forward so that a trail byte is never taken for a space.
    size_t end = 0;
    size_t p = 0;
    while (p < value.size()) {
        const size_t space = SpaceLengthAt(value, p);
        const size_t n = space ? space : CharLengthAt(value, p);
        p += n;
        if (!space) end = p;
    }
    return value.substr(0, end);
}

std::string DiscardLeft(const std::string& value, int count)
{
    const size_t p = WalkWhole(value, count < 0 ? 0 : size_t(count));
    return value.substr(p);
}

std::string DiscardRight(const std::string& value, int count)
{
    if (count < 0) count = 0;
    if (value.size() > size_t(count)) return value.substr(0, value.size() - size_t(count));
    return std::string();
}

std::string KeepLeft(const std::string& value, int count)
{
    if (count <= 0) return std::string();
    return value.substr(0, size_t(count));
}

std::string KeepRight(const std::string& value, int count)
{
    if (count <= 0) return std::string();
    if (size_t(count) >= value.size()) return value;
    const size_t k = value.size() - size_t(count);
    // A double-byte character that straddles the cut is kept whole.
    size_t p = 0;
    while (p + 1 < k) p += IsLead(value, p) ? 2 : 1;
    if (p < k && !IsLead(value, p)) ++p;
    return value.substr(std::min(p, value.size()));
}

std::string KeepDecimalPlaces(const std::string& input, int places)
{
    std::string s = input.empty() ? std::string("0") : input;
    if (!IsPlainNumber(s)) return s;
    // A negative count (not offered by the page) keeps no decimals.
    const size_t n = places < 0 ? 0 : size_t(places);
    size_t e = s.find('.');
    if (e == std::string::npos) {
        if (n == 0) return s;
        s += '.';
        e = s.size() - 1;
    }
    const size_t after = s.size() - e - 1;
    if (after > n) {
        const char r = s[e + n + 1];
        s.resize(e + n + 1);
        if (r >= '5') {
            bool carry = true;
            for (size_t i = e + n + 1; i-- > 0 && carry;) {
                if (s[i] == '.') continue;
                if (s[i] == '9') {
                    s[i] = '0';
                } else {
                    ++s[i];
                    carry = false;
                }
            }
            if (carry) s.insert(s.begin(), '1');
        }
    } else if (after < n) {
        s.append(n - after, '0');
    }
    if (n == 0 && !s.empty() && s.back() == '.') s.pop_back();
    return s;
}

std::string KeepInteger(const std::string& input)
{
    std::string s = input.empty() ? std::string("0") : input;
    if (!IsPlainNumber(s)) return s;
    const size_t e = s.find('.');
    if (e == std::string::npos) return s;
    s.resize(e);
    return s.empty() ? std::string("0") : s;
}

std::string PadToMinimum(const std::string& value, int minimum, int padSide, int padChar)
{
    if (minimum < 0 || value.size() >= size_t(minimum)) return value;
    // A pad byte of 0 cannot stand in a text; the page stores an empty pad
    // character as a space, so that is what it means.
    char pad = char(padChar & 0xFF);
    if (pad == '\0') pad = ' ';
    const size_t missing = size_t(minimum) - value.size();
    if (padSide == 0) return std::string(missing, pad) + value;
    if (padSide == 1) return value + std::string(missing, pad);
    return value;
}

std::string CutToMaximum(const std::string& value, int maximum, int cutSide)
{
    const size_t m = maximum < 0 ? 0 : size_t(maximum);
    if (value.size() <= m) return value;
    if (cutSide == 0) return value.substr(0, m);
    if (cutSide == 1) {
        // Cut on the left; a double-byte character straddling the cut goes whole.
        const size_t k = value.size() - m;
        return value.substr(WalkWhole(value, k));
    }
    return value;
}

std::string ApplyValueFormatting(const CVariable& v, std::string s)
{
    const int flags = v.m_dwFlags;
    if (flags & VF_TRIM_LEFT) s = TrimSpacesLeft(s);
    if (flags & VF_TRIM_RIGHT) s = TrimSpacesRight(s);
    if (flags & VF_DISCARD_LEFT) s = DiscardLeft(s, v.m_nDiscardLeft);
    if (flags & VF_DISCARD_RIGHT) s = DiscardRight(s, v.m_nDiscardRight);
    if (flags & VF_KEEP) {
        switch (v.m_nKeepMode) {
        case 0: s = KeepLeft(s, v.m_nKeepCount); break;
        case 1: s = KeepRight(s, v.m_nKeepCount); break;
        case 2: s = KeepDecimalPlaces(s, v.m_nKeepCount); break;
        case 3: s = KeepInteger(s); break;
        default: break;
        }
    }
    if (flags & VF_TRIM_LEFT) s = TrimSpacesLeft(s);
    if (flags & VF_TRIM_RIGHT) s = TrimSpacesRight(s);
    if (flags & VF_MIN_LENGTH) s = PadToMinimum(s, v.m_nMinLength, v.m_nPadSide, v.m_chPad);
    if (flags & VF_MAX_LENGTH) s = CutToMaximum(s, v.m_nMaxLength, v.m_nCutSide);
    return s;
}
