#pragma once
// The system's ANSI code page. Strings of the model are byte strings in this
// code page; conversion to Unicode happens only at the edges (drawing,
// dialogs, the UTF-16 archive string form, the command line's output).
#include <string>
#include <string_view>

// Current code page (Windows numbering: 1252, 1250, 1251, 936, 932, 949, 950...).
int GetAnsiCodePage();
void SetAnsiCodePage(int codePage);
// The code page a locale name ("zh_CN.UTF-8", "ru_RU", "cs_CZ"...) implies:
// GBK (936) for Chinese, 1251 for Russian, 1250 for Czech and Hungarian,
// otherwise 1252.
int CodePageFromLocale(std::string_view localeName);
// The iconv name of a code page, or "" when it is not supported.
const char* CodePageCharset(int codePage);

// True when b starts a double-byte character in the current code page.
bool IsDBCSLeadByte(unsigned char b);
// Length in bytes (1 or 2) of the character starting at s[i].
size_t CharLengthAt(std::string_view s, size_t i);

// Conversions. Characters that cannot be represented become '?'.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
std::u16string AnsiToUtf16(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view utf16);

// Strict conversions for data read from outside (files, databases): they
// stop at the first text that cannot be converted instead of guessing.
// Utf8ToAnsiChecked: false when a character has no form in the code page;
// *badChar is that character (its code point) and *badOffset its byte offset
// in utf8. Invalid UTF-8 reports the code point 0xFFFD.
bool Utf8ToAnsiChecked(std::string_view utf8, std::string& out, char32_t* badChar = nullptr,
                       size_t* badOffset = nullptr);
// AnsiToUtf8Checked: false when the bytes at *badOffset are no character of
// the code page.
bool AnsiToUtf8Checked(std::string_view ansi, std::string& out, size_t* badOffset = nullptr);
// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view s);
// Offset of the first byte that breaks the UTF-8 form, npos when none does.
size_t Utf8ErrorOffset(std::string_view s);
// "U+00E9 'é'" for messages (UTF-8).
std::string DescribeCodePoint(char32_t c);
