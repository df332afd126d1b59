#pragma once
// The printer command languages by their catalogue code: the short name
// users write ("zpl", "epl"...), a title, and whether the program has a
// driver that writes the language. Several codes share a language; the
// short name stands for the plain variant.
#include <string>
#include <string_view>
#include <vector>

struct PrinterLanguageRow {
    int code;
    const char* name;   // short name; "none" when the printer has no command language
    const char* title;  // shown to the user
    bool commands;      // a command-language driver exists for the code
    bool plain;         // the code the short name selects
};

const std::vector<PrinterLanguageRow>& PrinterLanguageRows();

// The row of a code, or null.
const PrinterLanguageRow* FindPrinterLanguage(int code);
// The short name of a code ("none" for codes without a command language).
std::string PrinterLanguageName(int code);
// A code from a short name (any case) or a number written in decimal;
// -1 when the text names no language of the table.
int ParsePrinterLanguage(std::string_view text);
