// The document's driver by its printer's language: the system-driver class
// for labels printed as graphics, the class of the language-table row for a
// command language, and for a language whose driver is not built yet a
// driver that says so when asked to print (never silent graphics).
#include "drivers/printer_languages.h"
#include "model/document.h"
#include "platform/strutil.h"
#include "print/printdriver.h"

namespace {

std::shared_ptr<CPrinterCapabilities> MakeDocumentDriver(CKVDoc& doc, int language)
{
    if (doc.m_format.IsWindowsDriverMode()) return std::make_shared<CGraphicsDriver>(&doc);
    const PrinterLanguageRow* row = FindPrinterLanguage(language);
    if (row && row->make) return std::shared_ptr<CPrinterCapabilities>(row->make(&doc));
    const std::string title = row ? std::string(row->title) : StrFormat("with code %d", language);
    return std::make_shared<CUnsupportedLanguageDriver>(&doc, title);
}

const bool kMakerRegistered = (SetPrinterDriverMaker(MakeDocumentDriver), true);

}  // namespace
