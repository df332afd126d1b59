#pragma once
// GS1 DataBar symbol patterns: the seven types turned into rows of modules
// (bar rows and separator rows). Heights, text and the bitmap are the
// encoder entry's business (databar_entry.cpp).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace databar {

enum Type {
    kOmni = 0,
    kTruncated = 1,
    kStacked = 2,
    kStackedOmni = 3,
    kLimited = 4,
    kExpanded = 5,
    kExpandedStacked = 6,
};

struct Row {
    std::vector<std::uint8_t> modules;  // one entry per module, 1 = dark
    bool separator = false;
};

struct Pattern {
    int width = 0;          // modules
    std::vector<Row> rows;  // top to bottom
};

// Element widths of one symbol character (ISO/IEC 24724 width algorithm):
// val-th combination of `elements` widths adding up to `modules`, none wider
// than maxWidth; with noNarrow the combinations without a one-module element
// are allowed too.
std::vector<int> ElementWidths(int val, int modules, int elements, int maxWidth, bool noNarrow);

// Types 0-4: the 13 digits of the item number (no check digit). Limited
// needs a first digit of 0 or 1. False when the digits are not 13 digits.
bool EncodeItemPattern(Type type, std::string_view digits13, Pattern& out);

// Expanded data errors.
enum class ExpandedError { kNone, kSyntax, kTooLong };

// Types 5 and 6: a GS1 element string, application identifiers in
// parentheses ("(01)09501101530003(3103)000123"). segmentsPerRow (even,
// 2-22) applies to Expanded Stacked only.
ExpandedError EncodeExpandedPattern(std::string_view elementString, bool stacked, int segmentsPerRow,
                                    Pattern& out);

// The bit string of the Expanded data (exposed for tests): '0'/'1' characters,
// a multiple of 12 bits long, the variable-length field filled in.
ExpandedError ExpandedBits(std::string_view elementString, int segmentsPerRow, std::string& bits);

// Turns a run-length list (first element light) into modules.
std::vector<std::uint8_t> ElementsToModules(const std::vector<int>& widths, bool firstDark = false);

}  // namespace databar
