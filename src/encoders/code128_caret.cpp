// Code 128 data to caret strings: the fixed code sets, the manual form, the
// automatic optimiser and GS1-128.
#include <cstring>
#include <string_view>
#include <vector>

#include "encoders/linear_entries.h"

namespace {

enum class CharClass { Control, BOnly, Digit, Shared };

CharClass Classify(unsigned char c)
{
    if (c < 32 || c >= 128) return CharClass::Control;
    if (c >= 96) return CharClass::BOnly;
    if (c >= '0' && c <= '9') return CharClass::Digit;
    return CharClass::Shared;
}

struct Optimised {
    std::string text;  // start selector first
    char startSet = 0;
    char endSet = 0;   // set of the last selector
};

// The automatic choice of code sets for data (not empty).
class Code128Optimiser {
public:
    explicit Code128Optimiser(std::string_view d) : m_d(d), m_n(d.size()), m_digitRun(d.size() + 1, 0)
    {
        for (size_t i = m_n; i-- > 0;)
            m_digitRun[i] = Cls(i) == CharClass::Digit ? m_digitRun[i + 1] + 1 : 0;
    }

    Optimised Run()
    {
        Optimised out;
        char set = StartSet();
        out.startSet = set;
        out.text.reserve(m_n * 2 + 4);
        Select(out.text, set);
        size_t i = 0;
        while (i < m_n) {
            const CharClass c = Cls(i);
            if (set == 'C') {
                if (c == CharClass::Control) {
                    set = 'A';
                } else if (c == CharClass::BOnly) {
                    set = 'B';
                } else if (c == CharClass::Digit && m_digitRun[i] >= 4) {
                    const size_t k = m_digitRun[i] & ~size_t(1);
                    out.text.append(m_d.substr(i, k));
                    i += k;
                    continue;
                } else {
                    const size_t r = c == CharClass::Digit ? m_digitRun[i] : SharedRun(i);
                    set = (i + r < m_n && Cls(i + r) == CharClass::Control) ? 'A' : 'B';
                }
                Select(out.text, set);
                continue;  // the same character again, in the new set
            }
            if (c == CharClass::Digit) {
                const size_t r = m_digitRun[i];
                if (r > 3 && r % 2 == 0) {
                    set = 'C';
                    Select(out.text, set);
                    continue;
                }
                Put(out.text, i++);
                continue;
            }
            if (set == 'B' && c == CharClass::Control) {
                if (i + 1 < m_n && Cls(i + 1) == CharClass::Control) {
                    set = 'A';
                    Select(out.text, set);
                    continue;
                }
                out.text += "^S";
                Put(out.text, i++);
                continue;
            }
            if (set == 'A' && c == CharClass::BOnly) {
                if (i + 1 < m_n && Cls(i + 1) == CharClass::BOnly) {
                    set = 'B';
                    Select(out.text, set);
                    continue;
                }
                out.text += "^S";
                Put(out.text, i++);
                continue;
            }
            Put(out.text, i++);
        }
        out.endSet = set;
        return out;
    }

private:
    CharClass Cls(size_t i) const { return Classify(static_cast<unsigned char>(m_d[i])); }

    // Shared characters and digits from i on, up to a control or B-only
    // character or a digit run longer than 3 and even.
    size_t SharedRun(size_t i) const
    {
        size_t j = i;
        while (j < m_n) {
            const CharClass c = Cls(j);
            if (c == CharClass::Control || c == CharClass::BOnly) break;
            if (c == CharClass::Digit && m_digitRun[j] > 3 && m_digitRun[j] % 2 == 0) break;
            ++j;
        }
        return j - i;
    }

    // Set for the run of r characters starting at 0 that ends before a
    // control character (A), before anything else (B) or at the end (B).
    char SetAfterRun(size_t r) const { return (r < m_n && Cls(r) == CharClass::Control) ? 'A' : 'B'; }

    char StartSet() const
    {
        switch (Cls(0)) {
        case CharClass::Digit: {
            const size_t r = m_digitRun[0];
            if (r > 3) return (r % 2 == 1 && r == m_n) ? 'B' : 'C';
            return SetAfterRun(r);
        }
        case CharClass::BOnly: return 'B';
        case CharClass::Control: return 'A';
        case CharClass::Shared: return SetAfterRun(SharedRun(0));
        }
        return 'B';
    }

    static void Select(std::string& out, char set)
    {
        out += '^';
        out += set;
    }

    void Put(std::string& out, size_t i) const
    {
        if (m_d[i] == '^') out += '^';
        out += m_d[i];
    }

    std::string_view m_d;
    size_t m_n;
    std::vector<size_t> m_digitRun;
};

Optimised Optimise(std::string_view d) { return Code128Optimiser(d).Run(); }

std::string Gs1Automatic(std::string_view d)
{
    std::string result;
    char inForce = 0;
    bool first = true;
    size_t pos = 0;
    while (pos <= d.size()) {
        size_t cut = d.find("^1", pos);
        if (cut == std::string_view::npos) cut = d.size();
        const std::string_view piece = d.substr(pos, cut - pos);
        if (!piece.empty()) {
            const Optimised o = Optimise(piece);
            const std::string_view body = std::string_view(o.text).substr(2);
            if (first) {
                result += '^';
                result += o.startSet;
                result += "^1";
                first = false;
            } else {
                result += "^1";
                if (o.startSet != inForce) {
                    result += '^';
                    result += o.startSet;
                }
            }
            result.append(body);
            inForce = o.endSet;
        }
        pos = cut + 2;
    }
    if (d.size() >= 2 && d.substr(d.size() - 2) == "^1") result += "^1";
    return result;
}

}  // namespace

std::string Code128ToCaret(const char* data, int mode)
{
    if (!data || !*data) return std::string();
    const std::string_view d(data);
    switch (mode) {
    case C128_AUTO: return Optimise(d).text;
    case C128_SET_A: return "^A" + std::string(d);
    case C128_SET_B: return "^B" + std::string(d);
    case C128_SET_C: return "^C" + std::string(d);
    case C128_MANUAL:
    case GS1_128_MANUAL: return std::string(d);
    case GS1_128_SET_A:
    case GS1_128_SET_B:
    case GS1_128_SET_C: {
        std::string out = mode == GS1_128_SET_A ? "^A^1" : mode == GS1_128_SET_B ? "^B^1" : "^C^1";
        out.append(d.substr(d.substr(0, 2) == "^1" ? 2 : 0));
        return out;
    }
    default: return Gs1Automatic(d);
    }
}
