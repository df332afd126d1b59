#pragma once
// Base of the printer drivers: one per document, made for the label's
// printer. The print engine and the label objects ask it what the printer
// can do.
#include <string>
#include <vector>

class CKVDoc;
struct CLocalTime;

class CPrintDriver {
public:
    explicit CPrintDriver(CKVDoc* doc) : m_pDocument(doc) {}
    virtual ~CPrintDriver() = default;

    // What the printer can do; 0 when it cannot. (17: the printer has a clock
    // it can print from; 5: it draws rounded shapes natively.) The base
    // answers those of BaseCapability for the label's resolution.
    virtual int GetCapability(int what, int arg);

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

    CKVDoc* m_pDocument;
};
