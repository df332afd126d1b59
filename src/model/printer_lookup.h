#pragma once
// The installed printers as the label model sees them: what a label takes
// from its printer (name, resolution, language, limits, settings block) and
// the look-up of a printer by name. The printer catalogue (drivers) extends
// CPrinterInfo with what it knows besides and registers itself as the
// look-up; until it does, only the placeholder printer is known.
#include <cstdint>
#include <string>
#include <vector>

// Name of the placeholder entry used when no printer is installed.
inline constexpr const char kPlaceholderPrinterName[] = "Korvane Default Printer";

struct CPrinterInfo {
    std::string m_strName;
    int m_nLanguage = 0;  // 0: printing through the system's driver only
    int m_nMinSpeed = 0;  // tenths of an inch per second
    int m_nMaxSpeed = 0;
    std::vector<std::uint8_t> m_devMode;  // default printer settings, empty when none
    int m_nHDpi = 600;
    int m_nVDpi = 600;
    int m_nModel = 0;
    int m_nFamily = 0;
    std::string m_strBrand;
    // Driven through a port of the program's own rather than a spooler queue.
    bool m_bOwnPort = false;
    // The own port's text, or where the spooler sends the queue's output.
    std::string m_strPort;
};

class CPrinterLookup {
public:
    // The printer of that name, or null.
    virtual const CPrinterInfo* Find(const std::string& name) const = 0;
    // The default printer (the placeholder when none is installed).
    virtual const CPrinterInfo& GetDefault() const = 0;

protected:
    ~CPrinterLookup() = default;
};

// The catalogue registers a function that gives it (called on each use, so
// that nothing is built while the library loads).
using PrinterLookupSource = const CPrinterLookup& (*)();
void SetPrinterLookupSource(PrinterLookupSource source);
const CPrinterLookup& GetPrinterLookup();
