#include "model/printer_lookup.h"

namespace {

// Without a catalogue: no printer by name, the placeholder as default.
class CPlaceholderLookup : public CPrinterLookup {
public:
    CPlaceholderLookup() { m_placeholder.m_strName = kPlaceholderPrinterName; }
    const CPrinterInfo* Find(const std::string&) const override { return nullptr; }
    const CPrinterInfo& GetDefault() const override { return m_placeholder; }

private:
    CPrinterInfo m_placeholder;
};

PrinterLookupSource g_source = nullptr;

}  // namespace

void SetPrinterLookupSource(PrinterLookupSource source) { g_source = source; }

const CPrinterLookup& GetPrinterLookup()
{
    if (g_source) return g_source();
    static const CPlaceholderLookup placeholder;
    return placeholder;
}
