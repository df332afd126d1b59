#pragma once
// GS1 DataBar Limited: one row of 79 modules for a 13-digit item number
// whose first digit is 0 or 1. Character tables are generated from the
// standard's tables (databar_limited_tables.cpp).
#include <cstdint>
#include <string_view>
#include <vector>

namespace databar {

// Data character values first..last: value - first = vOdd * tEven + vEven;
// the odd elements (spaces) spread oddModules over 7 elements of at most
// widestOdd, the even ones (bars) evenModules over 7 of at most widestEven
// with at least one of width 1.
struct LimitedGroup {
    int first, last, oddModules, evenModules, widestOdd, widestEven, tOdd, tEven;
};
extern const LimitedGroup kLimitedGroups[7];
// Element widths of the 89 check characters, space first, as digit strings.
extern const char kLimitedCheckWidths[89][15];

// The 14 element widths (space first) of a data character 0..2013570.
std::vector<int> LimitedCharacterWidths(int value);

// The row: guard, left character, check character, right character, guard
// and five light modules; 1 = dark. False unless digits13 is 13 digits with
// a first digit of 0 or 1.
bool EncodeLimitedRow(std::string_view digits13, std::vector<std::uint8_t>& modules);

}  // namespace databar
