#pragma once
// The printer catalogue: the installed printers with what the rest of the
// program needs to know about each (name, resolution, printer settings,
// command language, brand, model, speed range, papers). Built once at
// start-up from the spooler and from the printers kept in the settings that
// the program drives through ports of its own.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/printer_lookup.h"
#include "platform/geometry.h"
#include "platform/types.h"

class ISpooler;
struct COwnPrinterRecord;
struct SpoolerPrinter;

struct CPaperEntry {
    std::string m_strName;
    int m_nWidth = 0;  // tenths of a millimetre
    int m_nHeight = 0;
    int m_nCode = 0;
};

// Name of the paper form the catalogue adds to printers without one, and
// its size in tenths of a millimetre.
inline constexpr const char kLabelUserPaper[] = "Label user paper";
inline constexpr int kLabelUserPaperWidth = 1000;
inline constexpr int kLabelUserPaperHeight = 300;
inline constexpr int kPaperCodeUser = 256;

// One printer of the catalogue: what a label takes from it (name, language,
// speeds, settings block, resolution, model, family, brand: CPrinterInfo)
// and what the catalogue knows besides.
struct CPrinterEntry : CPrinterInfo {
    std::string m_strDriver;
    int m_nSetupFlag = 0;
    CSize m_largestPaper;  // tenths of a millimetre
    CSize m_smallestPaper;
    int m_nLabelPaperCode = -1;
    std::vector<CPaperEntry> m_papers;
    bool m_bPapersRead = false;  // the paper list has been built
    int m_nCustomPaper = 0;

    // Fills the entry from the spooler's printer and recognises its
    // language; false leaves the printer out of the catalogue. A settings
    // resolution (> 0) wins over what the printer reports.
    BOOL ReadDriverInfo(const SpoolerPrinter& info, ISpooler& spooler, int settingsDpi = 0);
    // Recognises the command language from the driver name and the settings
    // block's signature; also sets brand, family, model, speeds, setup flag.
    int DetectLanguage();
    // The papers, read from the spooler on first use.
    void BuildPaperList(ISpooler& spooler);
    void ReadPapers(ISpooler& spooler);
    // Whether the printer takes a paper size of the user's.
    BOOL HasCustomPaper() const;

    // The resolution written in a driver name ("... (300 dpi)"): the digits
    // before the first "dpi" in any case; 0 when there are none.
    static int DpiFromDriverName(std::string_view driverName);
};

class CPrinterList : public CPrinterLookup {
public:
    static CPrinterList& Instance();

    // Appends an entry for every spooler printer that ReadDriverInfo
    // accepts, in the spooler's order, with the settings records' language
    // and resolution applied; false only when the spooler lists nothing.
    BOOL AddPrinters(ISpooler& spooler, const std::vector<COwnPrinterRecord>& settings,
                     std::string* error = nullptr);
    // Appends the settings records that have a port of their own (a name
    // already listed is skipped).
    void AddOwnPrinters(const std::vector<COwnPrinterRecord>& settings);
    // The entry used when there is no printer.
    void AddPlaceholderPrinter();
    // Start-up: the spooler's printers, then the own printers; with none at
    // all message 11011 and the placeholder. The default printer is the
    // spooler's. Replaces whatever the list held.
    void Build(ISpooler& spooler, const std::vector<COwnPrinterRecord>& settings);

    // The first entry of that name (case-sensitive), or null.
    const CPrinterEntry* FindPrinter(const std::string& name) const;
    CPrinterEntry* FindPrinter(const std::string& name);
    // The entry of the spooler's default printer; the first entry when that
    // is not listed.
    const CPrinterEntry& GetDefaultPrinter() const;
    const std::vector<CPrinterEntry>& Entries() const { return m_entries; }
    std::vector<CPrinterEntry>& Entries() { return m_entries; }
    // Why Build found no spooler to ask ("" when it answered).
    const std::string& SpoolerError() const { return m_strSpoolerError; }
    // Spooler printers AddPrinters left out (no resolution, papers not readable).
    const std::vector<std::string>& LeftOut() const { return m_leftOut; }
    // Whether the catalogue holds only the placeholder.
    bool RunsWithoutPrinter() const { return m_bNoPrinter; }

    // FindPrinter and GetDefaultPrinter, as the label model looks printers up.
    const CPrinterEntry* Find(const std::string& name) const override { return FindPrinter(name); }
    const CPrinterEntry& GetDefault() const override { return GetDefaultPrinter(); }

    // Replaces the catalogue (tests); the placeholder when entries is empty.
    void SetEntries(std::vector<CPrinterEntry> entries, int defaultIndex = 0);

private:
    CPrinterList();
    std::vector<CPrinterEntry> m_entries;
    std::string m_strDefault;  // the spooler's default printer
    std::vector<std::string> m_leftOut;
    std::string m_strSpoolerError;
    bool m_bNoPrinter = false;
};
