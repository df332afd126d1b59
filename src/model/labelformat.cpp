#include "model/labelformat.h"

#include <algorithm>
#include <iterator>

#include "model/printer_lookup.h"
#include "platform/devmode.h"
#include "platform/strutil.h"

KV_IMPLEMENT_SERIAL(CLabelFormat, CObject, 0)

const char kDefaultLabelScript[] =
    "Function OnBeginPrint(State)\r\n"
    "'State = 0 : Variable UpdateData\r\n"
    "'State = 1 : Label Preview\r\n"
    "'State = 2 : Label Print\r\n"
    "End Function\r\n"
    "\r\n"
    "Function OnBeginLabel()\r\n"
    "End Function\r\n"
    "\r\n"
    "Function OnEndLabel()\r\n"
    "End Function\r\n"
    "\r\n"
    "Function OnEndPrint()\r\n"
    "End Function";

CLabelFormat::CLabelFormat() { m_properties.Set(LFP_SCRIPT, kDefaultLabelScript); }

void CLabelFormat::CopyFrom(const CLabelFormat& src)
{
    if (&src == this) return;
    // Every member is a value; a plain member-wise copy copies the printer
    // settings block, the property table and the sub-records too.
    m_nVersion = src.m_nVersion;
    m_strReserved2 = src.m_strReserved2;
    m_strCreated = src.m_strCreated;
    m_strSaved = src.m_strSaved;
    m_strThird = src.m_strThird;
    m_strRemark = src.m_strRemark;
    m_strLabelName = src.m_strLabelName;
    std::copy(std::begin(src.m_nReserved8), std::end(src.m_nReserved8), m_nReserved8);
    m_nPaperCode = src.m_nPaperCode;
    m_nPaperWidth = src.m_nPaperWidth;
    m_nPaperHeight = src.m_nPaperHeight;
    m_nLeftMargin = src.m_nLeftMargin;
    m_nTopMargin = src.m_nTopMargin;
    std::copy(std::begin(src.m_nReserved12), std::end(src.m_nReserved12), m_nReserved12);
    m_nPageOrientation = src.m_nPageOrientation;
    m_nRows = src.m_nRows;
    m_nColumns = src.m_nColumns;
    m_nVGap = src.m_nVGap;
    m_nHGap = src.m_nHGap;
    m_nLabelWidth = src.m_nLabelWidth;
    m_nLabelHeight = src.m_nLabelHeight;
    m_nMediaType = src.m_nMediaType;
    m_nLabelShape = src.m_nLabelShape;
    m_nHoleType = src.m_nHoleType;
    m_nHoleSize = src.m_nHoleSize;
    m_nHAdjust = src.m_nHAdjust;
    m_nVAdjust = src.m_nVAdjust;
    m_nStartCorner = src.m_nStartCorner;
    m_nOrder = src.m_nOrder;
    m_nReserved23 = src.m_nReserved23;
    m_nDbKind = src.m_nDbKind;
    for (int i = 0; i < 5; ++i) m_strDb[i] = src.m_strDb[i];
    m_strDbConnect = src.m_strDbConnect;
    m_nQuantity = src.m_nQuantity;
    m_nReserved28 = src.m_nReserved28;
    m_nCopies = src.m_nCopies;
    m_nStartRecord = src.m_nStartRecord;
    m_strReserved31 = src.m_strReserved31;
    m_strPrinter = src.m_strPrinter;
    m_strReserved33 = src.m_strReserved33;
    m_nHDpi = src.m_nHDpi;
    m_nVDpi = src.m_nVDpi;
    m_nLanguage = src.m_nLanguage;
    m_nSpeed = src.m_nSpeed;
    m_nDarkness = src.m_nDarkness;
    m_nStartOffset = src.m_nStartOffset;
    m_nAfterPrintAction = src.m_nAfterPrintAction;
    m_nReserved40 = src.m_nReserved40;
    m_dwOptions = src.m_dwOptions;
    m_nAfterPrintDistance = src.m_nAfterPrintDistance;
    m_devMode = src.m_devMode;
    m_crLabel = src.m_crLabel;
    std::copy(std::begin(src.m_nReserved45), std::end(src.m_nReserved45), m_nReserved45);
    m_nNextID = src.m_nNextID;
    m_properties = src.m_properties;
    m_nRepeat = src.m_nRepeat;
    m_nStartLabel = src.m_nStartLabel;
    m_blocks = src.m_blocks;
    m_exclusion = src.m_exclusion;
    m_pageNumbering = src.m_pageNumbering;
    m_strDbFile1 = src.m_strDbFile1;
    m_strDbFile2 = src.m_strDbFile2;
}

namespace {

void ExchangeInts(CArchive& ar, std::int32_t* v, int n)
{
    for (int i = 0; i < n; ++i) ar.Exchange(v[i]);
}

void ExchangeEncoded(CArchive& ar, std::string& s)
{
    if (ar.IsStoring())
        ar.WriteString(EncodeText(s));
    else
        s = DecodeText(ar.ReadString());
}

}  // namespace

void CLabelFormat::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteInt(kLabelFormatVersion);
    } else {
        m_nVersion = ar.ReadInt();
        const unsigned major = std::uint32_t(m_nVersion) / 0x1000000u;
        if (major > 1) throw CNewerFormatException(int(major));
    }
    ar.Exchange(m_strReserved2);
    ExchangeEncoded(ar, m_strCreated);
    ExchangeEncoded(ar, m_strSaved);
    ExchangeEncoded(ar, m_strThird);
    ar.Exchange(m_strRemark);
    ar.Exchange(m_strLabelName);
    ExchangeInts(ar, m_nReserved8, 4);
    ar.Exchange(m_nPaperCode);
    ar.Exchange(m_nPaperWidth);
    ar.Exchange(m_nPaperHeight);
    ar.Exchange(m_nLeftMargin);
    ar.Exchange(m_nTopMargin);
    ExchangeInts(ar, m_nReserved12, 2);
    ar.Exchange(m_nPageOrientation);
    ar.Exchange(m_nRows);
    ar.Exchange(m_nColumns);
    ar.Exchange(m_nVGap);
    ar.Exchange(m_nHGap);
    ar.Exchange(m_nLabelWidth);
    ar.Exchange(m_nLabelHeight);
    ar.Exchange(m_nMediaType);
    ar.Exchange(m_nLabelShape);
    ar.Exchange(m_nHoleType);
    ar.Exchange(m_nHoleSize);
    ar.Exchange(m_nHAdjust);
    ar.Exchange(m_nVAdjust);
    ar.Exchange(m_nStartCorner);
    ar.Exchange(m_nOrder);
    ar.Exchange(m_nReserved23);
    ar.Exchange(m_nDbKind);
    for (auto& s : m_strDb) ar.Exchange(s);
    ExchangeEncoded(ar, m_strDbConnect);
    ar.Exchange(m_nQuantity);
    ar.Exchange(m_nReserved28);
    ar.Exchange(m_nCopies);
    ar.Exchange(m_nStartRecord);
    ar.Exchange(m_strReserved31);
    ar.Exchange(m_strPrinter);
    ar.Exchange(m_strReserved33);
    ar.Exchange(m_nHDpi);
    ar.Exchange(m_nVDpi);
    ar.Exchange(m_nLanguage);
    ar.Exchange(m_nSpeed);
    ar.Exchange(m_nDarkness);
    ar.Exchange(m_nStartOffset);
    ar.Exchange(m_nAfterPrintAction);
    ar.Exchange(m_nReserved40);
    ar.Exchange(m_dwOptions);
    ar.Exchange(m_nAfterPrintDistance);
    if (ar.IsStoring()) {
        ar.WriteDword(DWORD(m_devMode.size()));
        ar.Write(m_devMode.data(), m_devMode.size());
    } else {
        const DWORD n = ar.ReadDword();
        if (n > ar.Remaining()) throw CArchiveException(CArchiveException::endOfFile);
        m_devMode.resize(n);
        ar.Read(m_devMode.data(), n);
    }
    ar.Exchange(m_crLabel);
    ExchangeInts(ar, m_nReserved45, 5);
    ar.Exchange(m_nNextID);

    if (ar.IsStoring()) {
        m_properties.Set(LFP_BLOCKS, FormatBlocks());
        m_properties.Set(LFP_DB_FILE1, m_strDbFile1);
        m_properties.Set(LFP_DB_FILE2, m_strDbFile2);
        m_properties.Set(LFP_EXCLUSION, FormatExclusion());
        m_properties.Set(LFP_PAGE_NUMBERING, FormatPageNumbering());
        m_properties.Serialize(ar);
    } else {
        m_properties.Serialize(ar);
        // A file without a sub-record (older files) gets the defaults, not
        // whatever this format held before.
        m_blocks = Blocks();
        m_exclusion = Exclusion();
        m_pageNumbering = PageNumbering();
        if (const std::string b = GetProperty(LFP_BLOCKS); !b.empty()) ParseBlocks(b);
        m_strDbFile1 = GetProperty(LFP_DB_FILE1);
        m_strDbFile2 = GetProperty(LFP_DB_FILE2);
        if (const std::string e = GetProperty(LFP_EXCLUSION); !e.empty()) ParseExclusion(e);
        if (const std::string p = GetProperty(LFP_PAGE_NUMBERING); !p.empty()) ParsePageNumbering(p);
    }
}

std::string CLabelFormat::FormatBlocks() const
{
    return StrFormat("%d|%d|%d|%d|%d|%d", m_blocks.enabled, m_blocks.first, m_blocks.rows, m_blocks.columns,
                     m_blocks.vgap, m_blocks.hgap);
}

void CLabelFormat::ParseBlocks(const std::string& text)
{
    const auto f = SplitString(text, '|');
    auto at = [&](size_t i) { return i < f.size() ? AtoI(f[i]) : 0; };
    m_blocks.enabled = at(0);
    m_blocks.first = at(1);
    m_blocks.rows = at(2);
    m_blocks.columns = at(3);
    m_blocks.vgap = at(4);
    m_blocks.hgap = at(5);
}

std::string CLabelFormat::FormatExclusion() const
{
    std::string s = StrFormat("%d|", m_exclusion.enabled);
    for (size_t i = 0; i < m_exclusion.labels.size(); ++i) {
        if (i) s += ',';
        s += StrFormat("%d", m_exclusion.labels[i]);
    }
    return s;
}

void CLabelFormat::ParseExclusion(const std::string& text)
{
    const size_t bar = text.find('|');
    m_exclusion.enabled = AtoI(text.substr(0, bar));
    m_exclusion.labels.clear();
    if (bar == std::string::npos) return;
    for (const auto& item : SplitString(text.substr(bar + 1), ',')) {
        if (!Trim(item).empty()) m_exclusion.labels.push_back(AtoI(item));
    }
}

std::string CLabelFormat::FormatPageNumbering() const
{
    const PageNumbering& p = m_pageNumbering;
    return StrFormat("%d,%d,%d,%d,%d,%d,%d,%d,%s,%s", p.print, p.autoUpdate, p.x, p.y, p.rotation, p.fontSize,
                     p.style, p.start, p.fontName.c_str(), p.text.c_str());
}

void CLabelFormat::ParsePageNumbering(const std::string& text)
{
    // Eight integers and the font name, then the template text, which may
    // itself hold commas: it is everything after the ninth comma.
    std::vector<std::string> f;
    size_t start = 0;
    for (int i = 0; i < 9; ++i) {
        const size_t p = text.find(',', start);
        if (p == std::string::npos) {
            f.push_back(text.substr(start));
            start = text.size() + 1;
            break;
        }
        f.push_back(text.substr(start, p - start));
        start = p + 1;
    }
    const std::string rest = start <= text.size() ? text.substr(start) : std::string();
    auto at = [&](size_t i) { return i < f.size() ? AtoI(f[i]) : 0; };
    PageNumbering& p = m_pageNumbering;
    p.print = at(0);
    p.autoUpdate = at(1);
    p.x = at(2);
    p.y = at(3);
    p.rotation = at(4);
    p.fontSize = at(5);
    p.style = at(6);
    p.start = at(7);
    p.fontName = f.size() > 8 ? f[8] : std::string();
    p.text = rest;
}

// ---- printing mode --------------------------------------------------------

BOOL CLabelFormat::IsWindowsDriverMode() const
{
    return m_nLanguage == 0 || GetProperty(LFP_WINDOWS_DRIVER) == "Y";
}

BOOL CLabelFormat::IsFormDownload() const
{
    return !IsWindowsDriverMode() && (m_dwOptions & LFO_DOWNLOAD_FORM) != 0;
}

// ---- printer settings -----------------------------------------------------

void CLabelFormat::SetDevMode(const std::vector<std::uint8_t>* devMode)
{
    if (!devMode || devMode->empty()) {
        m_devMode.clear();
        return;
    }
    // The block is as long as it says (public part plus driver data); a
    // block whose sizes make no sense for what it holds is kept whole
    // rather than cut or read past its end.
    const CDevModeView view(*devMode);
    size_t n = devMode->size();
    const size_t declared = view.DeclaredLength();
    if (view.HasHeader() && declared >= devmode::kHeaderSize && declared <= n) n = declared;
    m_devMode.assign(devMode->begin(), devMode->begin() + std::ptrdiff_t(n));
}

BOOL CLabelFormat::DevModeMatches(const CPrinterInfo& printer) const
{
    const CDevModeView mine(m_devMode);
    const CDevModeView theirs(printer.m_devMode);
    if (!mine.HasHeader() || !theirs.HasHeader()) return FALSE;
    return mine.DeviceName() == theirs.DeviceName() && mine.PublicSize() == theirs.PublicSize() &&
           mine.DriverExtra() == theirs.DriverExtra() && mine.SpecVersion() == theirs.SpecVersion() &&
           mine.DriverVersion() == theirs.DriverVersion();
}

// ---- comparison -------------------------------------------------------------

BOOL CLabelFormat::IsEqual(const CLabelFormat& o) const
{
    if (&o == this) return TRUE;
    // Label paper and geometry.
    if (m_strLabelName != o.m_strLabelName || m_nPaperCode != o.m_nPaperCode || m_nPaperWidth != o.m_nPaperWidth ||
        m_nPaperHeight != o.m_nPaperHeight || m_nLeftMargin != o.m_nLeftMargin || m_nTopMargin != o.m_nTopMargin ||
        m_nPageOrientation != o.m_nPageOrientation || m_nRows != o.m_nRows || m_nColumns != o.m_nColumns ||
        m_nVGap != o.m_nVGap || m_nHGap != o.m_nHGap || m_nLabelWidth != o.m_nLabelWidth ||
        m_nLabelHeight != o.m_nLabelHeight || m_nMediaType != o.m_nMediaType || m_nLabelShape != o.m_nLabelShape ||
        m_nHoleType != o.m_nHoleType || m_nHoleSize != o.m_nHoleSize || m_nHAdjust != o.m_nHAdjust ||
        m_nVAdjust != o.m_nVAdjust || m_nStartCorner != o.m_nStartCorner || m_nOrder != o.m_nOrder ||
        !(m_blocks == o.m_blocks) || GetOrientation() != o.GetOrientation())
        return FALSE;
    // Print options.
    if (m_dwOptions != o.m_dwOptions || m_nQuantity != o.m_nQuantity || m_nCopies != o.m_nCopies ||
        m_nStartRecord != o.m_nStartRecord)
        return FALSE;
    // Printer.
    if (m_strPrinter != o.m_strPrinter || m_nHDpi != o.m_nHDpi || m_nVDpi != o.m_nVDpi ||
        m_nLanguage != o.m_nLanguage || IsWindowsDriverMode() != o.IsWindowsDriverMode() || m_nSpeed != o.m_nSpeed ||
        m_nDarkness != o.m_nDarkness || m_nStartOffset != o.m_nStartOffset ||
        m_nAfterPrintAction != o.m_nAfterPrintAction || m_nAfterPrintDistance != o.m_nAfterPrintDistance ||
        m_devMode != o.m_devMode)
        return FALSE;
    return TRUE;
}
