// Character tests and check characters of the linear symbologies.
#include "encoders/linear_symbols.h"
#include "encoders/linear_entries.h"

namespace {
bool IsDigitCh(int ch) { return ch >= '0' && ch <= '9'; }
}  // namespace

int IsValidBarcodeChar(int typeOrMode, int ch)
{
    if (ch < 0) ch += 256;  // a signed char
    switch (typeOrMode) {
    case C128_SET_A:
    case GS1_128_SET_A:
        return ch >= 1 && ch <= 95 ? 1 : 0;
    case C128_SET_B:
    case GS1_128_SET_B:
        return ch >= 32 && ch <= 127 ? 1 : 0;
    case C128_SET_C:
        return IsDigitCh(ch) ? 1 : 0;
    case GS1_128_SET_C:
        return IsDigitCh(ch) || ch == '^' ? 1 : 0;
    case 120:  // GS1 DataBar types 0-4
    case 121:
    case 122:
    case 123:
    case 124:
        return IsDigitCh(ch) ? 1 : 0;
    default:
        break;
    }
    const SymbologyInfo* row = FindSymbology(typeOrMode);
    return IsSymbologyChar(row ? row->chars : SymbologyChars::Any, ch) ? 1 : 0;
}

bool IsSymbologyChar(SymbologyChars chars, int ch)
{
    switch (chars) {
    case SymbologyChars::Code39: return Code39Value(ch) >= 0;
    case SymbologyChars::SevenBit: return ch >= 1 && ch <= 127;
    case SymbologyChars::Digits: return IsDigitCh(ch);
    case SymbologyChars::Codabar: return IsCodabarInner(ch);
    case SymbologyChars::Any: return true;
    }
    return true;
}

int IsCodabarStartStop(int ch)
{
    return (ch >= 'A' && ch <= 'D') || (ch >= 'a' && ch <= 'd') ? 1 : 0;
}

char EanCheckChar(const char* digits)
{
    if (!digits) return 0;
    size_t n = 0;
    while (digits[n]) ++n;
    int sum = 0;
    for (size_t k = 0; k < n; ++k) {
        const char c = digits[n - 1 - k];  // k = 0 is the rightmost
        if (!IsDigitCh(c)) return 0;
        sum += (k % 2 == 0 ? 3 : 1) * (c - '0');
    }
    return char('0' + (10 - sum % 10) % 10);
}

char LuhnCheckChar(const char* digits)
{
    if (!digits) return 0;
    int sum = 0;
    for (size_t i = 0; digits[i]; ++i) {
        const char c = digits[i];
        if (!IsDigitCh(c)) return 0;
        const int d = c - '0';
        // First, third... from the left are doubled; a doubled d >= 5 counts 2d - 9.
        sum += i % 2 == 0 ? (d >= 5 ? 2 * d - 9 : 2 * d) : d;
    }
    return char('0' + (10 - sum % 10) % 10);
}
