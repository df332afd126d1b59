#pragma once
// Printers kept in the user's settings. A record with a port is a printer
// the program drives itself through that port (network socket, USB,
// parallel or serial line, file), without any spooler queue. A record
// without a port names a spooler queue and sets its language and
// resolution, which then win over what recognition finds.
//
// Section "Printers": "Count", then per record n (from 1) "Name<n>",
// "Language<n>" (-1 when not set), "Dpi<n>" (0 when not set), "Port<n>".
#include <string>
#include <vector>

struct COwnPrinterRecord {
    std::string name;
    int language = -1;
    int dpi = 0;
    std::string port;  // port text (see platform/port_address.h); "" for a spooler queue
    bool operator==(const COwnPrinterRecord&) const = default;
};

inline constexpr const char kPrintersSection[] = "Printers";

std::vector<COwnPrinterRecord> ReadOwnPrinters();
// Replaces the stored records; false with a reason when the settings
// cannot be written.
bool WriteOwnPrinters(const std::vector<COwnPrinterRecord>& records, std::string* error);
// The record of that name, or null.
const COwnPrinterRecord* FindOwnPrinter(const std::vector<COwnPrinterRecord>& records, const std::string& name);
