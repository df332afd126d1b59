#pragma once
// Base of the printer drivers: one per document, made for the label's
// printer. The print engine asks it to print; the label objects ask it what
// the printer can do through CPrinterCapabilities, which it implements.
#include <string>
#include <vector>

#include "model/printer_capabilities.h"

class CKVDoc;

class CPrintDriver : public CPrinterCapabilities {
public:
    explicit CPrintDriver(CKVDoc* doc) : m_pDocument(doc) {}
    ~CPrintDriver() override = default;

    // The base answers those of BaseCapability for the label's resolution.
    int GetCapability(int what, int arg) override;

    CKVDoc* m_pDocument;
};
