#pragma once
// What the label's printer can do and what its clock shows, as the label
// objects and the document ask it. The printer driver base implements it
// (print/printdriver.h); a document without a driver answers with
// BaseCapability.
#include <memory>
#include <string>
#include <vector>

class CKVDoc;
struct CLocalTime;

class CPrinterCapabilities {
public:
    virtual ~CPrinterCapabilities() = default;

    // What the printer can do; 0 when it cannot. (17: the printer has a clock
    // it can print from; 5: it draws rounded shapes natively; 4: colour.)
    virtual int GetCapability(int what, int arg) = 0;

    // The answers of a printer that adds nothing of its own, for a label
    // of horizontal resolution hdpi: 2 symbology arg has a native command
    // (not the two-dimensional and unusual ones, nor code 99), 8 fixed
    // graphics are downloaded once, 10 widest module the barcode object
    // snaps to (a tenth of the dpi), 13 and 14 graphic name length 8.
    static int BaseCapability(int what, int arg, int hdpi);

    // The printer clock's rendering of a date or time for a clock format
    // index (time null: now); "" when the printer has no clock.
    virtual std::string GetClockDateText(int index, const CLocalTime* time)
    {
        (void)index;
        (void)time;
        return std::string();
    }
    virtual std::string GetClockTimeText(int index, const CLocalTime* time)
    {
        (void)index;
        (void)time;
        return std::string();
    }
    // Empties list and fills it with the clock's date (kind 0) or time
    // (kind 1) formats for now; returns the number of entries.
    virtual int GetClockFormats(int kind, std::vector<std::string>& list)
    {
        (void)kind;
        list.clear();
        return 0;
    }
};

// The document makes its driver whenever its printer changes, through the
// maker the drivers layer registers: the driver class for the label's
// language code. Without a maker, or for a language without a driver
// class, the document has none.
using PrinterDriverMaker = std::shared_ptr<CPrinterCapabilities> (*)(CKVDoc& doc, int language);
void SetPrinterDriverMaker(PrinterDriverMaker maker);
std::shared_ptr<CPrinterCapabilities> MakePrinterDriver(CKVDoc& doc, int language);
