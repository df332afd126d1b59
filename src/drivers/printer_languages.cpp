#include "drivers/printer_languages.h"

#include "drivers/dpl_driver.h"
#include "drivers/epl_driver.h"
#include "drivers/epl_store_driver.h"
#include "drivers/tpcl_driver.h"
#include "drivers/zpl_driver.h"
#include "platform/strutil.h"

namespace {

const std::vector<PrinterLanguageRow> kLanguages = {
    {0, "none", "printer driver only", false, true},
    {1, "zpl", "ZPL II", true, true, MakeDriver<CZplDriver>},
    {2, "dpl", "DPL (Datamax driver settings)", true, false, MakeDplWinDriver<2>},
    {3, "tspl", "TSPL", true, true},
    {4, "dpl", "DPL (Datamax driver settings)", true, false, MakeDplWinDriver<4>},
    {5, "dpl", "DPL", true, true, MakeDriver<CDpl5Driver>},
    {6, "ezpl", "Godex EZPL", true, true},
    {7, "ipl", "Intermec IPL", true, true},
    {8, "dpl", "DPL (BY BTP)", true, false, MakeDriver<CDpl8Driver>},
    {9, "sbpl", "SATO SBPL", true, true},
    {10, "tpcl", "TEC TPCL", true, true, MakeDriver<CTpclDriver>},
    {11, "epl", "EPL2", true, true, MakeDriver<CEplDriver>},
    {14, "tspl", "TSPL (TSC driver settings)", true, false},
    {15, "epl", "EPL2 (driver settings, stored forms)", true, false, MakeDriver<CEplStoreDriver>},
    {16, "dpl", "DPL (Datamax driver settings)", true, false, MakeDplWinDriver<16>},
    {17, "sbpl", "SATO SBPL (FARS)", true, false},
    {19, "epl", "EPL2 (Argox)", true, false, MakeDriver<CEpl19Driver>},
    {101, "none", "printer driver only", false, false},
    {102, "none", "printer driver only", false, false},
};

}  // namespace

const std::vector<PrinterLanguageRow>& PrinterLanguageRows() { return kLanguages; }

const PrinterLanguageRow* FindPrinterLanguage(int code)
{
    for (const PrinterLanguageRow& row : kLanguages)
        if (row.code == code) return &row;
    return nullptr;
}

std::string PrinterLanguageName(int code)
{
    const PrinterLanguageRow* row = FindPrinterLanguage(code);
    return row ? row->name : "none";
}

int ParsePrinterLanguage(std::string_view text)
{
    const std::string t = ToLowerAscii(Trim(text));
    if (t.empty()) return -1;
    if (t.find_first_not_of("0123456789") == std::string::npos) {
        if (t.size() > 4) return -1;
        const int code = AtoI(t);
        return FindPrinterLanguage(code) ? code : -1;
    }
    for (const PrinterLanguageRow& row : kLanguages)
        if (row.plain && t == row.name) return row.code;
    return -1;
}
