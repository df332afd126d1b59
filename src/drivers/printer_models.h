#pragma once
// The tables the printer catalogue recognises printers by: the driver
// signature table (a driver name prefix with the driver's settings-block
// signature) and the printer model catalogue (exact driver names with
// their family, model number and command language).
#include <string>
#include <vector>

#include "platform/types.h"

struct PrinterSignatureRow {
    const char* prefix;  // compared with the driver name's start without regard to case
    WORD specVersion;
    WORD driverVersion;
    WORD driverExtra;
    int language;
    const char* brand;
};

struct PrinterModelRecord {
    const char* driverName;  // compared exactly
    int family;
    int model;
    int language;  // the catalogue language; the catalogue decides when it is kept
};

// Family codes of the model catalogue.
enum PrinterFamily : int {
    FAMILY_TEC = 1,
    FAMILY_DATAMAX = 2,
    FAMILY_ZEBRA = 3,
    FAMILY_TSC = 4,
    FAMILY_SATO = 5,
    FAMILY_INTERMEC = 9,
    FAMILY_CITIZEN = 10,
    FAMILY_CITOH = 11,
    FAMILY_ELTRON = 12,
};

// In search order.
const std::vector<PrinterSignatureRow>& PrinterSignatureTable();
const std::vector<PrinterModelRecord>& PrinterModelCatalog();

// Index of the first catalogue record with exactly that driver name, its
// record copied to record; -1 when there is none.
int LookUpPrinterModel(const std::string& driverName, PrinterModelRecord* record);
