#pragma once
// Base of the printer drivers: one per document, made for the label's
// printer. The print engine and the label objects ask it what the printer
// can do.
class CKVDoc;

class CPrintDriver {
public:
    explicit CPrintDriver(CKVDoc* doc) : m_pDocument(doc) {}
    virtual ~CPrintDriver() = default;

    // What the printer can do; 0 when it cannot. (17: the printer has a clock
    // it can print from; 5: it draws rounded shapes natively.)
    virtual int GetCapability(int what, int arg) { (void)what; (void)arg; return 0; }

    CKVDoc* m_pDocument;
};
