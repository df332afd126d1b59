#include "model/printer_capabilities.h"

#include "platform/geometry.h"

int CPrinterCapabilities::BaseCapability(int what, int arg, int hdpi)
{
    switch (what) {
    case 2:
        return (arg >= 10 && arg <= 13) || (arg >= 19 && arg <= 24) || arg == 99 ? 0 : 1;
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
