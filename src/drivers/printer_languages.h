#pragma once
// The printer command languages by their catalogue code: the short name
// users write ("zpl", "epl"...), a title, whether the language is a command
// language, and the maker of the driver class that writes it. Several codes
// share a language; the short name stands for the plain variant. A new
// language is a row and its driver class; a code whose row has no maker yet
// gets a driver that refuses command jobs as not supported yet.
#include <string>
#include <string_view>
#include <vector>

class CKVDoc;
class CPrintDriver;

using PrintDriverMaker = CPrintDriver* (*)(CKVDoc* doc);

// The maker of a driver class D (instantiated where D is complete).
template <class D>
CPrintDriver* MakeDriver(CKVDoc* doc)
{
    return new D(doc);
}

struct PrinterLanguageRow {
    int code;
    const char* name;   // short name; "none" when the printer has no command language
    const char* title;  // shown to the user
    bool commands;      // the code stands for a command language
    bool plain;         // the code the short name selects
    PrintDriverMaker make = nullptr;  // the language's driver class; null: not built yet
};

const std::vector<PrinterLanguageRow>& PrinterLanguageRows();

// The row of a code, or null.
const PrinterLanguageRow* FindPrinterLanguage(int code);
// The short name of a code ("none" for codes without a command language).
std::string PrinterLanguageName(int code);
// A code from a short name (any case) or a number written in decimal;
// -1 when the text names no language of the table.
int ParsePrinterLanguage(std::string_view text);
