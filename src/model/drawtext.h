#pragma once
// A text object: the data of its variables on one line, wrapped into
// several lines inside the box's width, or laid out along a circular arc,
// in a Windows font or in one of the printer's resident fonts.
#include <string>
#include <vector>

#include "model/drawobj.h"
#include "platform/font.h"

struct CPrinterFontEntry;

enum TextLayout : int { TEXT_MULTI_LINE = 0, TEXT_SINGLE_LINE = 1, TEXT_ARC = 2 };
enum TextAlign : int { TEXT_ALIGN_LEFT = 0, TEXT_ALIGN_RIGHT = 1, TEXT_ALIGN_CENTER = 2, TEXT_ALIGN_FULL = 3 };
enum TextLineSpacing : int { LINES_SINGLE = 0, LINES_ONE_HALF = 1, LINES_DOUBLE = 2, LINES_CUSTOM = 3 };

// Style bits.
enum TextStyle : int { TS_BOLD = 0x1, TS_ITALIC = 0x2, TS_WHITE_ON_BLACK = 0x4 };

// Extended property keys of text objects.
enum TextProperty : int {
    TP_VERT_ALIGN = 268,  // several lines: 0 top, 1 middle, 2 bottom
    TP_ARC_RADIUS = 272,
    TP_ARC_DIRECTION = 273,    // 0 clockwise, 1 counter-clockwise
    TP_ARC_ORIENTATION = 274,  // 1 tops away from the centre
    TP_ARC_START = 275,        // degrees
    TP_ARC_SWEEP = 276,        // degrees, 0 is a full circle
    TP_TEXT_DOCK = 289,        // single line: 0 adjust, 1 left, 2 centre, 3 right
};

// Text height a new object takes (hundredths of a point).
int DefaultTextHeight();

// One line of wrapped text with its measured size in label units.
struct CTextLine {
    std::string m_strText;
    int m_nWidth = 0;
    int m_nHeight = 0;
    bool operator==(const CTextLine&) const = default;
};

class CDrawText : public CDrawObj {
    KV_DECLARE_SERIAL(CDrawText)
public:
    CDrawText();
    explicit CDrawText(const CRect& position);

    void Serialize(CArchive& ar) override;
    BOOL ExportText(std::string& out, int& index) override;
    int GetDataIcon() override;
    CDrawObj* Clone(CKVDoc* doc) override;
    void GetPrintRect(CDC* dc, CLabelPos* pos, CRect* out, BOOL flag) override;
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

    // Wraps text into m_lines at the box's extent along the text.
    void BreakLines(const std::string& text, const LOGFONT& font);
    // The same into lines, for a line width in label units.
    void BreakLinesInto(const std::string& text, const LOGFONT& font, int lineWidth,
                        std::vector<CTextLine>& lines);

    // The font description: height in hundredths of a point, width the
    // stretch, escapement from the rotation.
    LOGFONT GetFontDescription() const;
    // The font's entry when it is a resident font of the printer, else null.
    const CPrinterFontEntry* GetPrinterFont() const;
    bool IsWhiteOnBlack() const { return (m_nStyle & TS_WHITE_ON_BLACK) != 0; }
    int GetDock() const;
    int GetVertAlign() const;
    // Gap between two lines in label units for a line height.
    int LineGap(int lineHeight) const;
    // The box the text takes with this object's settings, starting from
    // the current position (lines receives the wrapped lines).
    CRect LayoutBox(const std::string& text, std::vector<CTextLine>* lines);

    // ---- persistent fields, in file order ----
    std::int32_t m_nLayout = TEXT_SINGLE_LINE;
    std::int32_t m_nReserved1 = 0;
    std::int32_t m_nAlign = TEXT_ALIGN_LEFT;
    std::int32_t m_nCutMode = 0;
    std::int32_t m_nLineSpacing = LINES_SINGLE;
    std::int32_t m_nLineGap = 0;  // units, with custom spacing
    std::int32_t m_nCharGap = 0;  // units
    std::int32_t m_bMaskOn = 0;
    std::string m_strMask;
    std::string m_strFontName = "Arial";
    std::int32_t m_nStyle = 0;
    std::int32_t m_nCharSet = DEFAULT_CHARSET;
    std::int32_t m_nFontHeight;  // hundredths of a point
    std::int32_t m_nStretch = 0;  // hundredths of a percent, 0 natural
    std::int32_t m_nReserved2 = 0;
    std::int32_t m_bStrikeOut = 0;
    std::int32_t m_bUnderline = 0;
    std::int32_t m_nPitchAndFamily = 0;
    COLORREF m_crText = 0;
    COLORREF m_crReserved = 0xFFFFFF;

    // ---- not saved ----
    std::vector<CTextLine> m_lines;

private:
    // Draws the layout of text into box (dc's logical units); lines are the
    // wrapped lines in label units, unitBox the box in label units.
    void DrawLayout(CKVView* view, CDC* dc, const std::string& text, const std::vector<CTextLine>& lines,
                    const CRect& unitBox, const CRect& box, bool forBitmap);
    // Extra space after each character in dc's units (printer fonts only).
    int CharExtraFor(CKVView* view, CDC* dc) const;
};
