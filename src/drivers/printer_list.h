#pragma once
// The printer catalogue: the installed printers with what the rest of the
// program needs to know about each (name, resolution, printer settings,
// command language, brand, model, speed range).
#include <cstdint>
#include <string>
#include <vector>

struct CPaperEntry {
    std::string m_strName;
    int m_nWidth = 0;   // tenths of a millimetre
    int m_nHeight = 0;
    int m_nCode = 0;
};

struct CPrinterEntry {
    std::string m_strName;
    std::string m_strDriver;
    int m_nLanguage = 0;  // 0: Windows-driver printing only
    int m_nSetupFlag = 0;
    int m_nMinSpeed = 0;
    int m_nMaxSpeed = 0;
    std::vector<std::uint8_t> m_devMode;  // default printer settings, empty when none
    int m_nHDpi = 600;
    int m_nVDpi = 600;
    int m_nModel = 0;
    int m_nFamily = 0;
    std::string m_strBrand;
    int m_nLabelPaperCode = -1;
    std::vector<CPaperEntry> m_papers;
    int m_nCustomPaper = 0;
};

class CPrinterList {
public:
    static CPrinterList& Instance();

    // The entry of that name, or null.
    const CPrinterEntry* Find(const std::string& name) const;
    // The default printer; a placeholder entry (600 dpi, no command
    // language) when no printer is installed.
    const CPrinterEntry& GetDefault() const;
    const std::vector<CPrinterEntry>& Entries() const { return m_entries; }

    // Replaces the catalogue (start-up and tests).
    void SetEntries(std::vector<CPrinterEntry> entries, int defaultIndex = 0);

private:
    CPrinterList();
    std::vector<CPrinterEntry> m_entries;
    int m_default = 0;
};

// Name of the placeholder entry used when no printer is installed.
inline constexpr const char kPlaceholderPrinterName[] = "Korvane Default Printer";
