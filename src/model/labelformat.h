#pragma once
// The label format: the label stock and how a label is printed (sheet or
// roll, labels on it, printer, print options, data source, script, stamps),
// the document's next-id counter and an extended property table. Written
// inline at the start of every document file.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/archive.h"
#include "platform/property_table.h"
#include "platform/geometry.h"
#include "platform/types.h"

struct CPrinterInfo;
class CDrawObj;

// Extended property keys of the label format.
enum LabelFormatProperty : int {
    LFP_PAGE_NUMBERING = 257,
    LFP_COPY_FIELD = 258,
    LFP_WINDOWS_DRIVER = 259,
    LFP_SCRIPT = 260,
    LFP_PAPER_EXTRA = 262,
    LFP_BLOCKS = 263,
    LFP_AUTO_START_LABEL = 264,
    LFP_ORIENTATION = 266,
    LFP_OUTPUT_TARGET = 267,
    LFP_EXCLUSION = 277,
    LFP_TEMPLATES = 285,
    LFP_DB_FILE1 = 286,
    LFP_DB_FILE2 = 287,
    LFP_FORM_NAME = 290,
    LFP_PRINTER_SETTINGS = 300,
    LFP_PRINT_FILE = 301,
    LFP_PORT = 302,
    LFP_PICTURE_CHOSEN = 312,
    LFP_NUMBERING_OFFSET = 313,
    LFP_PASSWORD = 314,
    LFP_SIGNATURE = 32767,
};

// Option flag bits.
enum : DWORD {
    LFO_CHANGE_SERIAL = 0x1,
    LFO_PRINT_BOX = 0x2,
    LFO_PRINT_METHOD_MASK = 0x0C,
    LFO_CHANGE_SERIAL_FORM = 0x20,
    LFO_DOWNLOAD_FORM = 0x10000000,
};

inline constexpr int kLabelFormatVersion = 0x01000001;
inline constexpr const char kDefaultLastLabel[] =
    "User Define=0,256,104,75,104,75,1,1,0,3,0,0,1,0,0,0,0|1|1|1|500|500,0|0|0|0|0|600|0|600|0|600|0|600|0";
inline constexpr const char kDefaultPaperExtra[] = "0|0|0|0|0|600|0|600|0|600|0|600|0";

// Thrown while loading a format of a newer major version than this program
// reads; the document shows message 11009 and abandons the load.
class CNewerFormatException : public std::exception {
public:
    explicit CNewerFormatException(int major) : m_nMajor(major) {}
    int m_nMajor;
    const char* what() const noexcept override { return "label format of a newer version"; }
};

// The default label script of a new format.
extern const char kDefaultLabelScript[];

class CLabelFormat : public CObject {
    KV_DECLARE_SERIAL(CLabelFormat)
public:
    CLabelFormat();
    CLabelFormat(const CLabelFormat& other) : CObject() { CopyFrom(other); }
    CLabelFormat& operator=(const CLabelFormat& other)
    {
        CopyFrom(other);
        return *this;
    }

    // ---- persistent fields, in file order ----
    std::int32_t m_nVersion = kLabelFormatVersion;
    std::string m_strReserved2;
    std::string m_strCreated;   // stored encoded
    std::string m_strSaved;     // stored encoded
    std::string m_strThird;     // stored encoded
    std::string m_strRemark;    // "Y"/"N" flag character, then the remark
    std::string m_strLabelName = "Untitled";
    std::int32_t m_nReserved8[4] = {35000, 35000, 0, 0};
    std::int32_t m_nPaperCode = 9;
    std::int32_t m_nPaperWidth = 21000;
    std::int32_t m_nPaperHeight = 29700;
    std::int32_t m_nLeftMargin = 400;
    std::int32_t m_nTopMargin = 550;
    std::int32_t m_nReserved12[2] = {400, 550};
    std::int32_t m_nPageOrientation = 1;  // 1 portrait, 2 landscape
    std::int32_t m_nRows = 4;
    std::int32_t m_nColumns = 2;
    std::int32_t m_nVGap = 200;
    std::int32_t m_nHGap = 200;
    std::int32_t m_nLabelWidth = 10000;
    std::int32_t m_nLabelHeight = 7000;
    std::int32_t m_nMediaType = 0;
    std::int32_t m_nLabelShape = 1;
    std::int32_t m_nHoleType = 0;
    std::int32_t m_nHoleSize = 0;
    std::int32_t m_nHAdjust = 0;
    std::int32_t m_nVAdjust = 0;
    std::int32_t m_nStartCorner = 0;
    std::int32_t m_nOrder = 0;
    std::int32_t m_nReserved23 = 0;
    std::int32_t m_nDbKind = 1;
    std::string m_strDb[5];
    std::string m_strDbConnect;  // stored encoded
    std::int32_t m_nQuantity = 0;
    std::int32_t m_nReserved28 = 1;
    std::int32_t m_nCopies = 1;
    std::int32_t m_nStartRecord = 1;
    std::string m_strReserved31;
    std::string m_strPrinter;
    std::string m_strReserved33;
    std::int32_t m_nHDpi = 600;
    std::int32_t m_nVDpi = 600;
    std::int32_t m_nLanguage = 0;
    std::int32_t m_nSpeed = 20;
    std::int32_t m_nDarkness = 15;
    std::int32_t m_nStartOffset = 0;
    std::int32_t m_nAfterPrintAction = 0;
    std::int32_t m_nReserved40 = 0;
    DWORD m_dwOptions = LFO_CHANGE_SERIAL;
    std::int32_t m_nAfterPrintDistance = 0;
    std::vector<std::uint8_t> m_devMode;  // empty: no stored printer settings
    COLORREF m_crLabel = 0xFFFFFF;
    std::int32_t m_nReserved45[5] = {0x808000, 0, 0, 1000, 0};
    std::int32_t m_nNextID = 1;
    CPropertyTable m_properties;

    // ---- in memory only ----
    std::int32_t m_nRepeat = 1;
    std::int32_t m_nStartLabel = 0;

    // ---- sub-records, travelling inside the property table ----
    struct Blocks {  // property 263
        int enabled = 0;
        int first = 1;
        int rows = 1;
        int columns = 1;
        int vgap = 500;
        int hgap = 500;
        bool operator==(const Blocks&) const = default;
    } m_blocks;
    struct Exclusion {  // property 277: flag "|" numbers separated by ","
        int enabled = 0;
        std::vector<int> labels;
        bool operator==(const Exclusion&) const = default;
    } m_exclusion;
    struct PageNumbering {  // property 257
        int print = 0;
        int autoUpdate = 0;
        int x = 0;
        int y = 0;
        int rotation = 0;
        int fontSize = 900;  // hundredths of a point
        int style = 0;       // bit 0 bold, bit 1 italic
        int start = 1;
        std::string fontName;
        std::string text = "&D &T &F - &P";
        bool operator==(const PageNumbering&) const = default;
    } m_pageNumbering;
    std::string m_strDbFile1;  // property 286
    std::string m_strDbFile2;  // property 287

    // ---- operations ----
    void Serialize(CArchive& ar) override;

    std::string GetProperty(int key) const { return m_properties.Get(key); }
    std::string SetProperty(int key, const std::string& value) { return m_properties.Set(key, value); }
    int SetIntProperty(int key, int value) { return m_properties.SetInt(key, value); }

    CRect GetLabelRect() const { return CRect(0, 0, m_nLabelWidth, m_nLabelHeight); }
    CSize GetLabelSize() const { return CSize(m_nLabelWidth, m_nLabelHeight); }
    // Label orientation, quarter turns 0..3 (property 266).
    int GetOrientation() const;
    void SetOrientation(int quarterTurns);

    // (column, row) of label n on the page.
    CPoint GetLabelCell(int n) const;
    // Top-left corner of label n on the page, in units; where block gaps
    // separate the blocks, they take the place of the label gaps.
    CPoint GetLabelOrigin(int n) const;
    // The same in device dots of a device with the given resolution, less
    // the device's physical offsets of the printable area.
    CPoint GetLabelOriginDots(int n, int dpiX, int dpiY, int offsetX = 0, int offsetY = 0) const;
    // Size of the area the labels fill, margins on both sides.
    CSize GetPageSize() const;
    // Whether block gaps separate the blocks on the page: blocks enabled,
    // printed as graphics through the Windows driver.
    bool HasBlockGaps() const;
    int GetLabelsPerPage() const { return m_nRows * m_nColumns; }
    // Quantity as used: below 1 counts as 1.
    int GetQuantity() const { return m_nQuantity < 1 ? 1 : m_nQuantity; }

    void CopyFrom(const CLabelFormat& src);
    BOOL IsEqual(const CLabelFormat& other) const;

    // Replaces the stored printer settings with a copy of the block's own
    // length (public part plus private part); null or empty clears them.
    void SetDevMode(const std::vector<std::uint8_t>* devMode);
    // Stored settings exist and carry the printer's device name, sizes and versions.
    BOOL DevModeMatches(const CPrinterInfo& printer) const;

    BOOL IsWindowsDriverMode() const;
    BOOL IsFormDownload() const;

    // Empties list (destroying its objects) and rebuilds it from the
    // template shape definitions of property 285; returns whether the
    // property was non-empty.
    BOOL BuildTemplateObjects(std::vector<CDrawObj*>& list) const;

    std::string MakePaperDefinition() const;
    BOOL ApplyPaperDefinition(const std::string& definition);

    // Sub-record texts.
    std::string FormatBlocks() const;
    void ParseBlocks(const std::string& text);
    std::string FormatExclusion() const;
    void ParseExclusion(const std::string& text);
    std::string FormatPageNumbering() const;
    void ParsePageNumbering(const std::string& text);
};
