#include "model/printer_capabilities.h"

#include "encoders/symbology.h"
#include "platform/geometry.h"

int CPrinterCapabilities::BaseCapability(int what, int arg, int hdpi)
{
    switch (what) {
    case 2: {
        // Code 99 (EAN/UPC with an add-on) and codes without a row have none.
        const SymbologyInfo* s = FindSymbology(arg);
        return s && s->baseNative ? 1 : 0;
    }
    case 8:
        return 1;
    case 10:
        return MulDiv(100, hdpi, 1000);
    case 13:
    case 14:
        return 8;
    default:
        return 0;
    }
}

namespace {
PrinterDriverMaker g_driverMaker = nullptr;
}  // namespace

void SetPrinterDriverMaker(PrinterDriverMaker maker) { g_driverMaker = maker; }

std::shared_ptr<CPrinterCapabilities> MakePrinterDriver(CKVDoc& doc, int language)
{
    return g_driverMaker ? g_driverMaker(doc, language) : nullptr;
}
