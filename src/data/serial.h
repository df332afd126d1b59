#pragma once
// Serial-number arithmetic on byte strings: a value is a fixed prefix
// followed by a counter whose digits are bytes of an alphabet (digit value =
// position in the alphabet). Counting up grows a counter that has no prefix
// and wraps one behind a prefix; counting down never changes the length.
#include <cstdint>
#include <string>
#include <string_view>

#include "data/labelpos.h"

enum SerialType : int {
    ST_NUMERIC = 0,
    ST_LETTERS = 1,
    ST_ALPHANUMERIC = 2,
    ST_HEXADECIMAL = 3,
    ST_CUSTOM = 4,
};

// The alphabet of a serial type; the custom text for type 4, "" for an
// unknown type.
std::string SerialAlphabet(int serialType, const std::string& custom);

// The position of the first occurrence of the byte in the alphabet, or -1.
int IndexInAlphabet(std::string_view alphabet, char c);

// Where the counter of value starts: the length of its prefix. Equal to the
// length when the last byte is no digit (the value has no counter).
size_t SerialCounterStart(std::string_view value, std::string_view alphabet);

// The value moved by increment counter steps over the alphabet.
std::string AdvanceSerial(const std::string& value, std::string_view alphabet, std::int64_t increment);

// How far the label at pos is from the start value: the label's count by the
// counting basis (0 record number, 1 label number, with the reset flag the
// copy number within the record) divided by repeat, times step.
std::int64_t SerialIncrement(const CLabelPos& pos, int countBasis, bool resetPerRecord, int repeat, int step);

// Whether a custom alphabet can be stored: printable ASCII only (32..126),
// no character twice. An empty alphabet is allowed (the value never changes).
bool IsValidSerialAlphabet(std::string_view alphabet);
