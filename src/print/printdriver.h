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
    // it can print from; 5: it draws rounded shapes natively.)
    virtual int GetCapability(int what, int arg) { (void)what; (void)arg; return 0; }

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
