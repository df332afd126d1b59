#include "data/serial.h"

std::string SerialAlphabet(int serialType, const std::string& custom)
{
    switch (serialType) {
    case ST_NUMERIC: return "0123456789";
    case ST_LETTERS: return "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    case ST_ALPHANUMERIC: return "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    case ST_HEXADECIMAL: return "0123456789ABCDEF";
    case ST_CUSTOM: return custom;
    default: return std::string();
    }
}

int IndexInAlphabet(std::string_view alphabet, char c)
{
    const size_t i = alphabet.find(c);
    return i == std::string_view::npos ? -1 : int(i);
}

size_t SerialCounterStart(std::string_view value, std::string_view alphabet)
{
    size_t i = value.size();
    while (i > 0 && IndexInAlphabet(alphabet, value[i - 1]) >= 0) --i;
    return i;
}

std::string AdvanceSerial(const std::string& value, std::string_view alphabet, std::int64_t c)
{
    const size_t n = value.size();
    if (n == 0 || c == 0) return value;
    const size_t start = SerialCounterStart(value, alphabet);
    if (start == n) return value;
    // At least one byte is a digit, so the alphabet is not empty.
    const std::int64_t d = std::int64_t(alphabet.size());
    const std::int64_t i = std::int64_t(start);
    std::string t = value;
    std::int64_t j = std::int64_t(n) - 1;

    if (c > 0) {
        std::int64_t carry = 0;
        while (c > 0 || carry > 0) {
            const std::int64_t digit = j >= i ? IndexInAlphabet(alphabet, t[size_t(j)]) : 0;
            const std::int64_t sum = digit + c % d + carry;
            c /= d;
            carry = sum / d;
            const char ch = alphabet[size_t(sum % d)];
            if (j >= i)
                t[size_t(j)] = ch;
            else
                t.insert(t.begin(), ch);
            --j;
            // Behind a prefix the counter keeps its width: the carry out of
            // its leftmost digit is lost.
            if (j < i && i > 0) break;
        }
        return t;
    }

    // Counting down keeps the width and wraps below zero.
    std::int64_t f = -c;
    std::int64_t borrow = 0;
    while (f > 0 || borrow > 0) {
        const std::int64_t digit = IndexInAlphabet(alphabet, t[size_t(j)]);
        std::int64_t p = digit - f % d - borrow;
        f /= d;
        if (p < 0) {
            borrow = 1;
            p += d;
        } else {
            borrow = 0;
        }
        t[size_t(j)] = alphabet[size_t(p)];
        --j;
        if (j < i) break;
    }
    return t;
}

std::int64_t SerialIncrement(const CLabelPos& pos, int countBasis, bool resetPerRecord, int repeat, int step)
{
    // A repeat below 1 (only a damaged file holds one) counts as 1.
    const std::int64_t r = repeat < 1 ? 1 : repeat;
    std::int64_t count = pos.m_nRecord;
    if (countBasis == 1) count = resetPerRecord ? pos.m_nCopy : pos.m_nLabel;
    return count / r * step;
}

bool IsValidSerialAlphabet(std::string_view alphabet)
{
    bool seen[256] = {};
    for (char ch : alphabet) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b < 32 || b > 126 || seen[b]) return false;
        seen[b] = true;
    }
    return true;
}
