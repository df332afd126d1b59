// From the variables' data to what the encoder and the drivers receive:
// length and shape per symbology, invalid characters, check characters and
// the even digit counts of Code 128 set C; and from there to the
// human-readable line.
#include <string>
#include <vector>

#include "model/drawbarcode.h"
#include "encoders/linear_entries.h"

namespace {

std::string PadLeft(const std::string& s, size_t n)
{
    return s.size() >= n ? s : std::string(n - s.size(), '0') + s;
}

// EAN/UPC main number of `digits` characters (without its check digit)
// followed by the add-on: longer data drops the old check digit, shorter
// data is padded in front.
std::string ShapeEanUpc(const std::string& data, size_t digits, int addOn)
{
    const size_t extra = addOn == 1 ? 2 : addOn == 2 ? 5 : 0;
    const size_t full = digits + extra;
    if (extra == 0) return data.size() > digits - 1 ? data.substr(0, digits) : PadLeft(data, digits);
    if (data.size() > full) return data.substr(0, digits) + data.substr(digits + 1, extra);
    return PadLeft(data, full);
}

int Code128Mode(int codeSet, bool gs1) { return codeSet + (gs1 ? GS1_128_AUTO : C128_AUTO); }

// Appends a check character; a character the check cannot weigh leaves
// the data as it is rather than putting a NUL into it.
void AppendCheck(std::string& s, char check)
{
    if (check) s += check;
}

}  // namespace

std::string CDrawBarcode::PrepareData(const std::string& input) const
{
    std::string d = input;
    if (d.empty()) return d;
    const int code = m_nSymbology;

    // 1. Length and shape.
    const SymbologyInfo* row = FindSymbology(code);
    if (IsEanUpcSymbology(code)) {
        // Without the check digit, which the encoder adds.
        d = ShapeEanUpc(d, size_t(row->fixedLength - 1), m_eanUpc.addOn);
    } else if (code == BS_CODABAR) {
        if (!IsCodabarStartStop(static_cast<unsigned char>(d.front()))) d.insert(d.begin(), 'A');
        if (!IsCodabarStartStop(static_cast<unsigned char>(d.back()))) d += 'A';
        if (d.size() >= 81) d = d.substr(0, 79) + d.back();
    } else if (row && row->maxLength > 0 && d.size() > size_t(row->maxLength)) {
        // GS1 DataBar Expanded takes an element string of any length.
        if (code != BS_DATABAR || (m_dataBar.type != DBT_EXPANDED && m_dataBar.type != DBT_EXPANDED_STACKED))
            d.resize(size_t(row->maxLength));
    }

    // 2. Invalid characters become "0".
    auto clean = [&d](int typeOrMode, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            if (!IsValidBarcodeChar(typeOrMode, static_cast<unsigned char>(d[i]))) d[i] = '0';
    };
    if (code == BS_CODE128) {
        clean(Code128Mode(m_code128.codeSet, m_code128.ean128 != 0), 0, d.size());
    } else if (code == BS_CODABAR) {
        if (m_codabar.start >= 1 && m_codabar.start <= 4) d.front() = char('A' + m_codabar.start - 1);
        if (m_codabar.stop >= 1 && m_codabar.stop <= 4) d.back() = char('A' + m_codabar.stop - 1);
        if (d.size() > 2) clean(BS_CODABAR, 1, d.size() - 1);
    } else if (code == BS_DATABAR) {
        clean(120 + m_dataBar.type, 0, d.size());
    } else {
        clean(code, 0, d.size());
    }

    // 3. Check characters. A "Check Code" box appends the modulo 10 digit
    // (Interleaved 2 of 5 then makes the length even).
    if (row && (row->options & BOC_CHECK_BOX) && m_check.checkDigit == BCD_MOD10) {
        if (d.size() == 80) d.pop_back();
        AppendCheck(d, EanCheckChar(d.c_str()));
    }
    if (code == BS_ITF25 && d.size() % 2) d.insert(d.begin(), '0');
    switch (code) {
    case BS_CODE39:
        if (m_check.checkDigit >= BCD_MOD10 && m_check.checkDigit <= BCD_LUHN) {
            if (d.size() == 80) d.pop_back();
            const char check = m_check.checkDigit == BCD_MOD10   ? EanCheckChar(d.c_str())
                               : m_check.checkDigit == BCD_MOD43 ? Code39CheckChar(d.c_str())
                                                            : LuhnCheckChar(d.c_str());
            AppendCheck(d, check);
        }
        break;
    case BS_UPCE:
        d.front() = '0';
        break;
    case BS_CODABAR:
        if ((m_check.checkDigit == BCD_MOD10 || m_check.checkDigit == BCD_LUHN) && d.size() >= 2) {
            const std::string inner = d.substr(1, d.size() - 2);
            const char check = m_check.checkDigit == BCD_MOD10 ? EanCheckChar(inner.c_str()) : LuhnCheckChar(inner.c_str());
            if (check) {
                if (d.size() >= 80 && d.size() > 2)
                    d[d.size() - 2] = check;
                else
                    d.insert(d.end() - 1, check);
            }
        }
        break;
    case BS_ITF14:
        if (m_itf14.check) AppendCheck(d, EanCheckChar(d.c_str()));
        if (d.size() <= 13) d = PadLeft(d, 14);
        break;
    case BS_DATABAR:
        if (m_dataBar.type >= DBT_OMNI && m_dataBar.type <= DBT_LIMITED) {
            std::string item;
            std::string front;
            if (d.size() == 14) {
                item = d.substr(0, 13);
            } else if (d.size() == 15) {
                item = d.substr(2, 13);
                front = "01";
            } else if (d.size() == 16) {
                item = d.substr(2, 13);
                front = "01";
            } else {
                item = PadLeft(d, 13);
            }
            d = front + item;
            AppendCheck(d, EanCheckChar(item.c_str()));
        }
        break;
    default:
        break;
    }

    // 4. Code set C takes digit pairs.
    if (code == BS_CODE128) {
        const int mode = Code128Mode(m_code128.codeSet, m_code128.ean128 != 0);
        if (mode == C128_SET_C) {
            if (d.size() % 2) d.insert(d.begin(), '0');
        } else if (mode == GS1_128_SET_C) {
            if (d.find("^1") == std::string::npos) {
                if (d.size() % 2) d.insert(d.begin(), '0');
            } else {
                std::string joined;
                size_t start = 0;
                for (;;) {
                    const size_t sep = d.find("^1", start);
                    std::string piece = d.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
                    if (piece.size() % 2) piece += '0';
                    joined += piece;
                    if (sep == std::string::npos) break;
                    joined += "^1";
                    start = sep + 2;
                }
                d = joined;
            }
        }
    }
    return d;
}

std::string CDrawBarcode::HumanReadableOf(const std::string& prepared)
{
    std::string text = prepared;
    if (m_nSymbology == BS_CODE128 && (m_code128.ean128 || m_code128.codeSet == 4)) {
        // Caret pairs are control codes, not text; "^^" is a caret.
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '^' && i + 1 < text.size()) {
                if (text[i + 1] == '^') out += '^';
                ++i;
            } else {
                out += text[i];
            }
        }
        text = out;
    } else if (m_nSymbology == BS_CODABAR && !m_check.showStartStop) {
        text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string();
    } else if (m_nSymbology == BS_CODE39 && m_check.showStartStop) {
        text = "*" + text + "*";
    }
    if (m_bUseTemplate) text = ApplyFormatMask(m_strTemplate, text);
    return text;
}
