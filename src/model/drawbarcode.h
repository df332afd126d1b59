#pragma once
// The barcode label object: one symbol of one of nineteen symbologies with
// an optional human-readable line, placed, rotated and mirrored like every
// other label object. Its data comes from its variables; it is normalised
// for the symbology (PrepareData) and handed to the VOVerovo encoder, which
// returns the symbol as a monochrome bitmap at a printer resolution.
#include <memory>
#include <string>
#include <vector>

#include "encoders/symbology.h"
#include "model/barcode_options.h"
#include "model/drawobj.h"

struct LOGFONT;

// The symbology a driver is told about for EAN/UPC with an add-on: no
// printer draws those natively.
inline constexpr int kDriverSymbologyAddOn = 99;

// Human-readable placement.
enum BarcodeTextPlacement : int { BTP_DEFAULT = 0, BTP_NONE = 1, BTP_ABOVE = 2, BTP_BELOW = 3 };
// Alignment of the human-readable line against the bars.
enum BarcodeTextAlign : int { BTA_LEFT = 0, BTA_RIGHT = 1, BTA_CENTER = 2, BTA_FULL = 3 };
// m_nFontStyle bits.
enum BarcodeFontStyle : int { BFS_BOLD = 0x1, BFS_ITALIC = 0x2, BFS_REVERSE = 0x4 };
// m_check.checkDigit.
enum BarcodeCheckDigit : int { BCD_NONE = 0, BCD_MOD10 = 1, BCD_MOD43 = 2, BCD_LUHN = 3 };
// GS1 DataBar types.
enum DataBarType : int {
    DBT_OMNI = 0,
    DBT_TRUNCATED = 1,
    DBT_STACKED = 2,
    DBT_STACKED_OMNI = 3,
    DBT_LIMITED = 4,
    DBT_EXPANDED = 5,
    DBT_EXPANDED_STACKED = 6,
};

// Extended property keys: the anchors every object may carry, and the
// barcode fields that are kept in the property table rather than inline.
enum BarcodeProperty : int {
    OP_ANCHOR_H = 270,  // 0 keep the left edge, 1 the right edge, 2 the centre
    OP_ANCHOR_V = 271,  // 0 keep the top, 1 the centre, 2 the bottom
    BP_RESERVED10 = 279,
    BP_RESERVED11 = 280,
    BP_RESERVED12 = 281,
    BP_HANXIN_EC = 282,
    BP_HANXIN_ENCRYPT = 283,
    BP_HANXIN_KEY = 284,
    BP_HANXIN_VERSION = 288,
    BP_BEARER_TYPE = 303,
    BP_BEARER_THICKNESS = 304,
    BP_QUIET_ZONE = 305,
    BP_ITF14_CHECK = 306,
    BP_DATABAR_TYPE = 308,
    BP_DATABAR_SEPARATOR = 309,
    BP_DATABAR_SEGMENTS = 310,
    BP_HOLD_TO_GS1 = 311,
};

// The options of each symbology family as the object stores them; copying
// and comparing come from the compiler, storing from CDrawBarcode::VisitFields.
struct BarcodeCheckSettings {  // Code 39, Codabar, the 2 of 5 codes
    std::int32_t checkDigit = BCD_NONE;
    std::int32_t showStartStop = 0;  // Code 39 "*" around the text, Codabar start and stop shown
    friend bool operator==(const BarcodeCheckSettings&, const BarcodeCheckSettings&) = default;
};
struct Code128Settings {
    std::int32_t codeSet = 0;  // 0 auto, 1-3 A-C, 4 manual
    std::int32_t ean128 = 0;
    friend bool operator==(const Code128Settings&, const Code128Settings&) = default;
};
struct CodabarSettings {
    std::int32_t start = 0;  // 0 keep, 1-4 A-D
    std::int32_t stop = 0;
    friend bool operator==(const CodabarSettings&, const CodabarSettings&) = default;
};
struct Pdf417Settings {
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::int32_t ecLevel = 0;  // 0 auto, 1-9 levels 0-8
    std::int32_t truncated = 0;
    friend bool operator==(const Pdf417Settings&, const Pdf417Settings&) = default;
};
struct QrSettings {
    std::int32_t ecLevel = 0;  // 0 L, 1 M, 2 Q, 3 H
    friend bool operator==(const QrSettings&, const QrSettings&) = default;
};
struct EanUpcSettings {
    std::int32_t addOn = 0;  // 0 none, 1 two digits, 2 five digits
    friend bool operator==(const EanUpcSettings&, const EanUpcSettings&) = default;
};
struct HanXinSettings {
    std::int32_t ecLevel = 0;  // levels 1-4 as 0-3
    std::int32_t encrypt = 0;  // kept; the encoder is never asked to encrypt
    std::string key;
    std::int32_t version = 0;  // 0 auto, 1-84
    friend bool operator==(const HanXinSettings&, const HanXinSettings&) = default;
};
struct Itf14Settings {
    std::int32_t bearerType = 1;  // 0 none, 1 rectangle, 2 line
    std::int32_t bearerThickness = 5;
    std::int32_t quietZone = 10;
    std::int32_t check = 1;
    friend bool operator==(const Itf14Settings&, const Itf14Settings&) = default;
};
struct DataBarSettings {
    std::int32_t type = DBT_OMNI;
    std::int32_t separator = 1;
    std::int32_t segments = 11;  // segments per row divided by two
    std::int32_t hold = 0;
    friend bool operator==(const DataBarSettings&, const DataBarSettings&) = default;
};

// Inputs of the layout of bars and text inside an object rectangle, all in
// one device's units.
struct BarcodeLayoutInput {
    CRect object;          // the object rectangle, normalised
    CSize symbol;          // the symbol bitmap's width and height
    CSize text;            // width and height of the human-readable text (0 x 0 without text)
    int gap = 0;           // between bars and text
    int rotation = 0;      // quarter turns
    int placement = BTP_BELOW;
    int align = BTA_CENTER;
    int anchorH = 0;       // property 270
    int anchorV = 0;       // property 271
};

struct BarcodeLayout {
    CRect object;  // the union of bars and text after anchoring
    CRect bars;
    CRect text;
};

// Places the bars and the text inside the object rectangle by rotation,
// placement and alignment, then moves both by the anchors.
BarcodeLayout ComputeBarcodeLayout(const BarcodeLayoutInput& in);

// Inputs of the bounds recalculation, in label units unless told.
struct BarcodeSizeInput {
    CRect old;              // the current rectangle, normalised
    CSize symbol;           // bitmap size in dots (0 x 0: no bitmap)
    int dpiX = 600;
    int dpiY = 600;
    int rotation = 0;
    bool hasText = false;   // the object draws a human-readable line
    CSize text;             // its size (width 0 with full alignment)
    int align = BTA_CENTER;
    int gap = 0;
    int barHeight = 0;
    bool heightFollowsSymbol = false;
    std::string anchorH;    // properties 270 and 271 as stored ("" when absent)
    std::string anchorV;
};

struct BarcodeSize {
    CRect rect;
    int barOffset = 0;
    int barHeight = 0;
};

// The rectangle that holds symbol plus text, grown from the corner that
// the rotation fixes and aligned inside the old rectangle by the anchors.
BarcodeSize ComputeBarcodeSize(const BarcodeSizeInput& in);

class CDrawBarcode : public CDrawObj {
    KV_DECLARE_SERIAL(CDrawBarcode)
public:
    CDrawBarcode();
    explicit CDrawBarcode(const CRect& position);
    ~CDrawBarcode() override;

    void Serialize(CArchive& ar) override;
    BOOL ExportText(std::string& out, int& index) override;
    int GetDataIcon() override;
    CDrawObj* Clone(CKVDoc* doc) override;
    void Rotate(int quarterTurns, int cx, int cy, const CRect* newLabel) override;
    void AdaptToPrinter(CKVDoc* doc) override;
    std::unique_ptr<CMonoBitmap> CreatePrintBitmap(CLabelPos* pos, BOOL flag) override;
    void RecalcSize() override;
    std::string GetText() override;
    std::string GetLabelText(CLabelPos* pos) override;
    void DrawTracker(CKVView* view, CDC* dc, int state) override;
    void Draw(CKVView* view, CDC* dc) override;
    void MoveHandleTo(int handle, CPoint pt, CKVView* view) override;
    void Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL flag) override;
    void CopyFrom(const CDrawObj* src) override;
    BOOL IsEqual(const CDrawObj* other) const override;
    // The object, bars and text rectangles in dc's units (the label
    // format's printer dots without a dc) for the data of pos (the design
    // data when pos is null).
    virtual void LayoutBarcode(CDC* dc, CLabelPos* pos, CRect* object, CRect* bars, CRect* text);
    // The same for data whose symbol (at the format's resolution) is
    // already measured or made.
    void LayoutWithSymbol(CDC* dc, const std::string& data, CSize symbol, CRect* object, CRect* bars, CRect* text);

    // The data the encoder and the drivers receive for raw variable data.
    std::string PrepareData(const std::string& data) const;
    // The human-readable text for a label position, or for the design when
    // pos is null.
    std::string GetHumanReadable(CLabelPos* pos);
    // The human-readable text of already prepared data.
    std::string HumanReadableOf(const std::string& prepared);

    // The symbol of data: dpi 0 means the label format's resolution;
    // rotation (quarter turns), bar height (units) and module (1/100000
    // inch) -1 mean the object's own. The mirror is always the object's.
    std::unique_ptr<CMonoBitmap> MakeBitmap(const std::string& data, int dpi = 0, int rotation = -1,
                                            int barHeight = -1, int module = -1) const;
    // Width and height of what MakeBitmap gives; 0 x 0 on failure.
    CSize MeasureSymbol(const std::string& data, int dpi = 0, int rotation = -1, int barHeight = -1,
                        int module = -1) const;
    // Remakes m_hBitmap from the design data at the format's resolution.
    void RebuildBitmap();
    const CMonoBitmap* GetBitmap() const { return m_hBitmap.get(); }

    // Module snapping and the default human-readable font for the label's
    // printer; a given document is attached first.
    void ApplyPrinterDefaults(CKVDoc* doc);
    BOOL HeightFollowsSymbol() const;
    // Smallest bar height in label units for a module (1/100000 inch).
    int MinBarHeight(int module) const;
    int GetDriverSymbology() const;

    // The symbology has a human-readable line of the object's own.
    bool HasOwnText() const;
    // The object draws a human-readable line: own text, a placement other
    // than None and a font.
    bool DrawsText() const;
    static bool IsMatrixSymbology(int code);
    static bool IsEanUpc(int code);
    bool IsReverse() const { return (m_nFontStyle & BFS_REVERSE) != 0; }
    // The font of the human-readable line: height in 1/100 point, width
    // the stretch, escapement from the rotation.
    LOGFONT GetFontDescription() const;
    // Bars and text rectangles of the design view in label units, for a
    // text of that width (units, along the text).
    void DesignRects(int textWidth, CRect* bars, CRect* text) const;
    // The widest module in dots the printer takes for the symbology.
    int MaxModuleDots() const;
    // What the property page offers this object: module widths in whole
    // dots of the label's printer, and the ratios for its module.
    std::vector<BarcodeChoice> OfferedModuleWidths() const;
    std::vector<BarcodeChoice> OfferedRatios() const;
    // The module in dots at the format's horizontal resolution.
    int ModuleDots() const;

    // ---- stored fields (file order and property keys: VisitFields) ----
    std::int32_t m_nSymbology = BS_CODE39;
    std::int32_t m_nModuleWidth = 1000;  // 1/100000 inch
    std::int32_t m_nReserved1 = 0;
    std::int32_t m_nReserved2 = 0;
    std::int32_t m_nReserved3 = 300;
    std::int32_t m_nRatio = 300;  // wide element in percent of the narrow one
    std::int32_t m_nReserved4 = 0;
    std::int32_t m_nBarHeight = 1000;  // units
    std::int32_t m_nTextPlacement = BTP_BELOW;
    std::int32_t m_nTextAlign = BTA_CENTER;
    std::int32_t m_nReserved5 = 0;
    std::int32_t m_nTextGap = 0;     // units
    std::int32_t m_nTextOffset = 0;  // units; kept, not applied
    std::int32_t m_bUseTemplate = 0;
    std::string m_strTemplate;
    std::string m_strFontName;
    std::int32_t m_nFontStyle = 0;
    std::int32_t m_nCharSet = 1;
    std::int32_t m_nFontHeight = 900;  // 1/100 point
    std::int32_t m_nFontWidth = 0;
    std::int32_t m_nReserved6 = 0;
    std::int32_t m_bStrikeOut = 0;
    std::int32_t m_bUnderline = 0;
    std::int32_t m_nPitchAndFamily = 0;
    COLORREF m_crColor = 0;
    COLORREF m_crBackColor = 0xFFFFFF;
    std::int32_t m_nReserved7 = 0;
    std::int32_t m_nReserved8 = 0;
    std::int32_t m_nReserved9 = 0;
    std::int32_t m_nReserved10 = 0;  // kept as properties 279-281
    std::int32_t m_nReserved11 = 0;
    std::int32_t m_nReserved12 = 0;
    // The options of each family.
    BarcodeCheckSettings m_check;
    Code128Settings m_code128;
    CodabarSettings m_codabar;
    Pdf417Settings m_pdf417;
    QrSettings m_qr;
    EanUpcSettings m_eanUpc;
    HanXinSettings m_hanXin;    // kept as properties
    Itf14Settings m_itf14;      // kept as properties
    DataBarSettings m_dataBar;  // kept as properties

    // ---- not stored ----
    std::int32_t m_nBarOffset = 0;  // units

    // Every stored field once: fileField(a.f, b.f) for the fields of the
    // archive in their order, keptField(key, a.f, b.f, replacement) for the
    // ones kept in the property table (a value read below 1 becomes the
    // replacement when it is not 0). a and b are two objects (or the same
    // one twice): storing, loading, copying and comparing all walk this.
    template <class A, class B, class FileField, class KeptField>
    static void VisitFields(A& a, B& b, FileField&& fileField, KeptField&& keptField);

protected:
    std::unique_ptr<CMonoBitmap> EncodeSymbol(const std::string& data, int dpi, int rotation, int barHeight,
                                              int module) const;
    // Stores the property-kept fields into the property table, and back.
    void StorePropertyFields();
    void LoadPropertyFields();
    // A printer capability, with the base driver's answers when the
    // document has no driver.
    int Capability(int what, int arg) const;
    // Size of the human-readable text in label units.
    virtual CSize MeasureHumanReadable(const std::string& text);
    // The reverse style is drawn by the object (not left to the printer).
    bool DrawsReverse() const;
    void DrawSymbolAndText(CKVView* view, CDC* dc, const CMonoBitmap* symbol, const CRect& object, const CRect& bars,
                           const CRect& textBox, const std::string& text);
    // The human-readable line of pos in a white bitmap of the given size.
    std::unique_ptr<CMonoBitmap> MakeTextBitmap(CLabelPos* pos, const CSize& size);
    // Above and Below: the font's width or height for the new printer.
    void AdaptFontToPrinter(CKVDoc* doc);
    // The export's line of the human-readable text; text is "%" and the
    // variable's name, or the readable text itself.
    void ExportTextLine(std::string& out, int& index, const std::string& text);

    std::unique_ptr<CMonoBitmap> m_hBitmap;
};
