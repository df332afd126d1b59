#pragma once
// Helpers for the byte strings of the model (ANSI code page, lengths in bytes)
// and for the printf-style texts that commands, file lines and settings use.
#include <string>
#include <string_view>
#include <vector>

// printf into a std::string.
std::string StrFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Decimal conversions that read a missing or malformed item as 0, the way
// the stored texts are read: leading blanks, an optional sign, then digits.
int AtoI(std::string_view s);
double AtoF(std::string_view s);

// Splits at every occurrence of sep; "a,,b" gives three items, "" gives one empty item.
std::vector<std::string> SplitString(std::string_view s, char sep);
std::string JoinStrings(const std::vector<std::string>& items, std::string_view sep);

std::string TrimLeft(std::string_view s, std::string_view chars = " \t\r\n");
std::string TrimRight(std::string_view s, std::string_view chars = " \t\r\n");
std::string Trim(std::string_view s, std::string_view chars = " \t\r\n");

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
std::string ToUpperAscii(std::string_view s);
std::string ToLowerAscii(std::string_view s);
// Replaces every occurrence of from by to.
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);

// Fills "%1", "%2", ... with the given texts (the message table's placeholders).
std::string FormatPlaceholders(std::string_view pattern, const std::vector<std::string>& args);
