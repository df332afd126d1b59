#include "drivers/printer_list.h"

#include <cctype>

#include "drivers/own_printers.h"
#include "drivers/printer_languages.h"
#include "drivers/printer_models.h"
#include "platform/devmode.h"
#include "platform/message.h"
#include "platform/spooler.h"
#include "platform/strutil.h"
#include "resources/strings.h"

namespace {

bool DevModeIs(const CDevModeView& v, WORD spec, WORD extra)
{
    return v.SpecVersion() == spec && v.DriverExtra() == extra;
}

// Fills the entry's resolution from the device's report; false when it has none.
bool DeviceResolution(ISpooler& spooler, const std::string& name, int& x, int& y)
{
    int dx = 0, dy = 0;
    if (!spooler.GetDeviceResolution(name, dx, dy) || dx <= 0) return false;
    x = dx;
    y = dy;
    return true;
}

}  // namespace

// ---- CPrinterEntry --------------------------------------------------------

int CPrinterEntry::DpiFromDriverName(std::string_view driverName)
{
    const std::string lower = ToLowerAscii(driverName);
    const size_t at = lower.find("dpi");
    if (at == std::string::npos) return 0;
    std::string digits;
    for (size_t i = at; i-- > 0;) {
        const char c = lower[i];
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits.insert(digits.begin(), c);
        else if (c == ' ' && digits.empty())
            continue;
        else
            break;
    }
    return digits.empty() ? 0 : AtoI(digits.substr(0, 9));
}

BOOL CPrinterEntry::ReadDriverInfo(const SpoolerPrinter& info, ISpooler& spooler, int settingsDpi)
{
    m_nHDpi = m_nVDpi = 0;
    m_devMode = spooler.GetDefaultDevMode(m_strName);
    if (!m_devMode.empty()) {
        const CDevModeView v(m_devMode);
        if (v.HasHeader()) {
            m_nHDpi = v.PrintQuality();
            m_nVDpi = v.YResolution();
        } else {
            m_devMode.clear();
        }
    }
    if (m_nHDpi <= 0) DeviceResolution(spooler, m_strName, m_nHDpi, m_nVDpi);
    if (m_nHDpi <= 0) m_nHDpi = DpiFromDriverName(info.driverName);
    if (settingsDpi > 0) m_nHDpi = m_nVDpi = settingsDpi;
    if (m_nHDpi <= 0) return FALSE;
    if (m_nVDpi <= 0) m_nVDpi = m_nHDpi;
    if (m_nVDpi != m_nHDpi) {
        DeviceResolution(spooler, m_strName, m_nHDpi, m_nVDpi);
        if (m_nVDpi != m_nHDpi) m_nVDpi = m_nHDpi;
    }
    SpoolerPaperList papers;
    if (!spooler.GetPapers(m_strName, papers)) return FALSE;
    m_nMinSpeed = m_nMaxSpeed = 0;
    m_strDriver = info.driverName;
    m_strPort = info.portName;
    DetectLanguage();
    return TRUE;
}

int CPrinterEntry::DetectLanguage()
{
    m_nLanguage = 0;
    m_strBrand.clear();
    m_nFamily = m_nModel = 0;
    m_nSetupFlag = 0;
    m_nMinSpeed = m_nMaxSpeed = 0;
    const bool hasDevMode = CDevModeView(m_devMode).HasHeader();
    const CDevModeView dm(m_devMode);
    const std::string& name = m_strDriver;
    const std::string lower = ToLowerAscii(name);

    // 1. The makers' driver signatures.
    if (hasDevMode) {
        for (const PrinterSignatureRow& row : PrinterSignatureTable()) {
            if (dm.SpecVersion() == row.specVersion && dm.DriverVersion() == row.driverVersion &&
                dm.DriverExtra() == row.driverExtra && StartsWith(lower, ToLowerAscii(row.prefix))) {
                m_strBrand = row.brand;
                return m_nLanguage = row.language;
            }
        }
    }

    // 2. Driver name prefixes.
    if (StartsWith(name, "BY BTP")) {
        m_nMinSpeed = 35;
        m_nMaxSpeed = 55;
        m_nSetupFlag = 2;
        return m_nLanguage = 8;
    }
    if (StartsWith(name, "Label Dr.")) {
        m_nMinSpeed = 10;
        m_nMaxSpeed = 60;
        return m_nLanguage = 5;
    }
    if (StartsWith(name, "Godex EZ-") && hasDevMode) {
        if (DevModeIs(dm, 0x400, 1410) || DevModeIs(dm, 0x401, 2052)) m_nLanguage = 6;
        if (name == "Godex EZ-2 203dpi" || name == "Godex EZ-4 203dpi") m_nLanguage = 0;
        return m_nLanguage;
    }
    if (StartsWith(name, "TSC T") && hasDevMode &&
        (DevModeIs(dm, 0x400, 553) || DevModeIs(dm, 0x401, 553) || DevModeIs(dm, 0x401, 1049)))
        return m_nLanguage = 14;
    const std::string_view first7 = std::string_view(lower).substr(0, 7);
    for (const char* prefix : {"vantrel ", "cab e4/", "meteor "})
        if (first7 == std::string_view(prefix).substr(0, 7)) return m_nLanguage = 15;
    if ((StartsWith(name, "Intermec") || StartsWith(name, "easycoder")) && hasDevMode && DevModeIs(dm, 0x401, 1320))
        return m_nLanguage = 11;
    if (StartsWith(name, "FARS ") && hasDevMode && DevModeIs(dm, 0x401, 1049)) return m_nLanguage = 17;
    if (StartsWith(name, "Argox ") && hasDevMode && DevModeIs(dm, 0x401, 1276)) return m_nLanguage = 19;

    // 3. The model catalogue; its language only with the driver builds that write it.
    PrinterModelRecord record{};
    if (LookUpPrinterModel(name, &record) >= 0) {
        m_nModel = record.model;
        m_nFamily = record.family;
        if (!hasDevMode) return m_nLanguage;
        bool keep = false;
        switch (record.language) {
        case 2:
        case 4:
        case 16: keep = DevModeIs(dm, 0x400, 1172) || DevModeIs(dm, 0x401, 1272); break;
        case 1:
        case 10: keep = DevModeIs(dm, 0x400, 1208) || DevModeIs(dm, 0x401, 1308); break;
        case 9: keep = DevModeIs(dm, 0x400, 1184) || DevModeIs(dm, 0x401, 1284); break;
        case 7:
            keep = true;
            m_nMinSpeed = 20;
            m_nMaxSpeed = 80;
            m_nSetupFlag = 0;
            break;
        case 3:
        case 11:
        case 15: keep = true; break;
        default: break;
        }
        if (keep) m_nLanguage = record.language;
    }
    return m_nLanguage;
}

void CPrinterEntry::ReadPapers(ISpooler& spooler)
{
    m_papers.clear();
    SpoolerPaperList list;
    if (!spooler.GetPapers(m_strName, list)) return;
    m_largestPaper = list.largest;
    m_smallestPaper = list.smallest;
    for (const SpoolerPaper& p : list.papers) {
        if (p.name == kLabelUserPaper) {
            m_nLabelPaperCode = p.code;
            continue;
        }
        CPaperEntry e;
        e.m_strName = p.code == kPaperCodeUser ? LoadKvString(IDS_CUSTOM_PAPER) : p.name;
        e.m_nWidth = p.width;
        e.m_nHeight = p.height;
        e.m_nCode = p.code;
        m_papers.push_back(e);
    }
}

void CPrinterEntry::BuildPaperList(ISpooler& spooler)
{
    if (m_bPapersRead) return;
    m_bPapersRead = true;
    ReadPapers(spooler);
    const std::string custom = LoadKvString(IDS_CUSTOM_PAPER);
    for (const CPaperEntry& p : m_papers)
        if (p.m_strName == custom) {
            m_nCustomPaper = 1;
            return;
        }
    if (m_nLabelPaperCode == -1) {
        if (!spooler.AddForm(m_strName, kLabelUserPaper, kLabelUserPaperWidth, kLabelUserPaperHeight)) return;
        ReadPapers(spooler);
    }
    m_papers.push_back({custom, 10000, 10000, kPaperCodeUser});
}

BOOL CPrinterEntry::HasCustomPaper() const
{
    const CDevModeView v(m_devMode);
    if (v.HasHeader() && v.DriverVersion() == 0x301) return m_nCustomPaper != 0;
    return TRUE;
}

// ---- CPrinterList ---------------------------------------------------------

CPrinterList& CPrinterList::Instance()
{
    static CPrinterList list;
    return list;
}

namespace {
// The label model looks printers up in this catalogue.
const bool kLookupRegistered =
    (SetPrinterLookupSource([]() -> const CPrinterLookup& { return CPrinterList::Instance(); }), true);
}  // namespace

CPrinterList::CPrinterList() { AddPlaceholderPrinter(); }

BOOL CPrinterList::AddPrinters(ISpooler& spooler, const std::vector<COwnPrinterRecord>& settings, std::string* error)
{
    std::vector<SpoolerPrinter> printers;
    if (!spooler.EnumPrinters(printers, error)) return FALSE;
    for (const SpoolerPrinter& info : printers) {
        const COwnPrinterRecord* own = FindOwnPrinter(settings, info.name);
        if (own && !own->port.empty()) own = nullptr;  // an own printer, not this queue's settings
        CPrinterEntry entry;
        entry.m_strName = info.name;
        if (!entry.ReadDriverInfo(info, spooler, own ? own->dpi : 0)) {
            m_leftOut.push_back(info.name);
            continue;
        }
        if (own && own->language >= 0 && own->language != entry.m_nLanguage) {
            entry.m_nLanguage = own->language;
            entry.m_nMinSpeed = entry.m_nMaxSpeed = 0;
            entry.m_nSetupFlag = 0;
        }
        m_entries.push_back(entry);
    }
    return printers.empty() ? FALSE : TRUE;
}

void CPrinterList::AddOwnPrinters(const std::vector<COwnPrinterRecord>& settings)
{
    for (const COwnPrinterRecord& r : settings) {
        if (r.port.empty() || FindPrinter(r.name)) continue;
        CPrinterEntry e;
        e.m_strName = r.name;
        e.m_nLanguage = r.language > 0 ? r.language : 0;
        e.m_nHDpi = e.m_nVDpi = r.dpi > 0 ? r.dpi : 203;
        e.m_bOwnPort = true;
        e.m_strPort = r.port;
        // A printer on a port of its own takes the label's size as its paper.
        e.m_largestPaper = CSize(10000, 10000);
        e.m_smallestPaper = CSize(100, 100);
        e.m_papers.push_back({LoadKvString(IDS_CUSTOM_PAPER), 10000, 10000, kPaperCodeUser});
        e.m_nCustomPaper = 1;
        e.m_bPapersRead = true;
        m_entries.push_back(e);
    }
}

void CPrinterList::AddPlaceholderPrinter()
{
    CPrinterEntry e;
    e.m_strName = kPlaceholderPrinterName;
    e.m_nHDpi = e.m_nVDpi = 600;
    e.m_largestPaper = CSize(2100, 2970);
    e.m_smallestPaper = CSize(1000, 1000);
    e.m_papers.push_back({"A4", 2100, 2970, 9});
    e.m_bPapersRead = true;
    m_entries.push_back(e);
}

void CPrinterList::Build(ISpooler& spooler, const std::vector<COwnPrinterRecord>& settings)
{
    m_entries.clear();
    m_strDefault.clear();
    m_leftOut.clear();
    m_strSpoolerError.clear();
    m_bNoPrinter = false;
    AddPrinters(spooler, settings, &m_strSpoolerError);
    AddOwnPrinters(settings);
    if (m_entries.empty()) {
        KvMessageBox(LoadKvString(IDS_NO_PRINTER), MSG_OK | MSG_ICONWARNING, kProductName);
        m_bNoPrinter = true;
        AddPlaceholderPrinter();
        return;
    }
    m_strDefault = spooler.GetDefaultPrinterName();
}

const CPrinterEntry* CPrinterList::FindPrinter(const std::string& name) const
{
    for (const auto& e : m_entries)
        if (e.m_strName == name) return &e;
    return nullptr;
}

CPrinterEntry* CPrinterList::FindPrinter(const std::string& name)
{
    for (auto& e : m_entries)
        if (e.m_strName == name) return &e;
    return nullptr;
}

const CPrinterEntry& CPrinterList::GetDefaultPrinter() const
{
    if (!m_strDefault.empty())
        if (const CPrinterEntry* e = FindPrinter(m_strDefault)) return *e;
    return m_entries.front();
}

void CPrinterList::SetEntries(std::vector<CPrinterEntry> entries, int defaultIndex)
{
    m_entries = std::move(entries);
    m_strDefault.clear();
    m_bNoPrinter = m_entries.empty();
    if (m_entries.empty()) AddPlaceholderPrinter();
    if (defaultIndex >= 0 && size_t(defaultIndex) < m_entries.size()) m_strDefault = m_entries[size_t(defaultIndex)].m_strName;
}
