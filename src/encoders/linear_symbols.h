#pragma once
// Row writers of the one-dimensional symbologies, shared by the entries of
// linear_entries.cpp. Each symbology has a width function giving the exact
// row width in pixels (by the symbology's formula) and a writer that puts its
// elements into a row from the writer's position on. Data reaching these is
// already checked against the type's character set.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "encoders/bar_rows.h"
#include "encoders/symbology.h"

// Code 39 (data upper-cased, without the "*" start and stop the writer adds).
long long Code39Width(size_t n, int narrow, int wide);
void WriteCode39(CBarRows::Writer& w, std::string_view data, int narrow, int wide);
// The Full ASCII expansion of 7-bit data into Code 39 characters.
std::string Code39FullAscii(std::string_view data);
// Value 0-42 of a Code 39 character (lower case as upper case), or -1.
int Code39Value(int ch);

// Code 93 (always full ASCII): the symbol values of the data, its two check
// characters included.
std::vector<std::uint8_t> Code93Values(std::string_view data);
long long Code93Width(size_t valueCount, int narrow);
void WriteCode93(CBarRows& rows, const std::vector<std::uint8_t>& values, int narrow);

// Code 128 from a caret string: the symbol values, start symbol first.
enum class Code128Parse { Ok, TooShort, Illegal };
Code128Parse Code128Values(std::string_view caret, std::vector<std::uint8_t>& values);
long long Code128Width(size_t symbolCount, int narrow);
void WriteCode128(CBarRows& rows, const std::vector<std::uint8_t>& values, int narrow);

// EAN-13, UPC-A, EAN-8, UPC-E: modules of the symbol with its quiet zones.
int EanUpcModules(int type);
// Writes the full pattern into row 0 and the guard row into row 1 of rows
// (allocated EanUpcModules x narrow wide, 2 rows); digits are the final
// 13, 12, 8 or 8 digits (UPC-E: number system, six data digits, check).
void WriteEanUpc(CBarRows& rows, int type, std::string_view digits, int narrow);
// UPC-E: the UPC-A digits (11, without check) its number system and six
// data digits stand for.
std::string UpceToUpca(std::string_view digits7);
// Add-ons of 2 or 5 digits: 20 or 47 modules, no quiet zone.
int AddOnModules(size_t digitCount);
void WriteAddOn(CBarRows& rows, std::string_view digits, int narrow);

// The 2 of 5 family. Interleaved 2 of 5 takes an even number of digits.
long long ItfWidth(size_t n, int narrow, int wide);
void WriteItf(CBarRows::Writer& w, std::string_view digits, int narrow, int wide);
long long Industrial25Width(size_t n, int narrow, int wide);
void WriteIndustrial25(CBarRows::Writer& w, std::string_view digits, int narrow, int wide);
long long Matrix25Width(size_t n, int narrow, int wide);
void WriteMatrix25(CBarRows::Writer& w, std::string_view digits, int narrow, int wide);
long long ChinaPostWidth(size_t n, int narrow, int wide);
void WriteChinaPost(CBarRows::Writer& w, std::string_view digits, int narrow, int wide);

// Codabar, start and stop characters included in data (a-d as A-D).
long long CodabarWidth(std::string_view data, int narrow, int wide);
void WriteCodabar(CBarRows::Writer& w, std::string_view data, int narrow, int wide);
// True for the Codabar inner characters: digits and - $ : / . +
bool IsCodabarInner(int ch);
// True when ch (0-255) belongs to a character set of the symbology table.
bool IsSymbologyChar(SymbologyChars chars, int ch);
