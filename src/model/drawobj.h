#pragma once
// Base of every object that can stand on a label: text, barcode, picture,
// line, rectangle (and round rectangle, ellipse) and group. Holds identity,
// kind, position in label units (hundredths of a millimetre, one inch =
// 2540.2 units), quarter-turn rotation, flags, background, comment, the
// variables feeding its data and an extended property table.
#include <memory>
#include <string>
#include <vector>

#include "data/labelpos.h"
#include "data/variable_host.h"
#include "platform/archive.h"
#include "platform/property_table.h"
#include "platform/geometry.h"
#include "platform/types.h"

class CDC;
class CKVView;
class CPrinterFontTable;
struct LOGFONT;
class CKVDoc;
class CDrawGroup;
class CVariable;
class CMonoBitmap;

enum DrawObjType : int {
    OBJ_NONE = 0,
    OBJ_BARCODE = 1,
    OBJ_TEXT = 2,
    OBJ_PICTURE = 3,
    OBJ_LINE = 4,
    OBJ_RECT = 5,
    OBJ_GROUP = 6,
};

enum DrawObjFlags : DWORD {
    OF_LOCKED = 0x01,
    OF_NOPRINT = 0x04,
    OF_TEMPLATE = 0x08,
    OF_MIRROR_MASK = 0x30,  // 0 none, 1 horizontal, 2 vertical (shifted by 4)
};

// Sizing cursors offered for the handles.
enum HandleCursor : int { CURSOR_SIZENWSE = 1, CURSOR_SIZENS, CURSOR_SIZENESW, CURSOR_SIZEWE };

// Results of GetSerialMode.
enum SerialMode : int {
    SM_FIXED = 0,          // data stays the same for the whole job
    SM_PRINTER_COUNT = 1,  // a printer-side counter can produce it
    SM_PER_LABEL = 2,      // regenerated for every label
    SM_LABEL_SERIAL = 4,   // a label-counted serial in a job of more than one label
};

// Label units to device dots and back, each axis with its own resolution.
inline int UnitsToDots(int units, int dpi) { return MulDiv(units, dpi * 10, 25402); }
inline int DotsToUnitsAt(int dots, int dpi) { return MulDiv(dots, 25402, dpi * 10); }

class CDrawObj : public CObject, public CVariableUser {
    KV_DECLARE_SERIAL(CDrawObj)
public:
    CDrawObj();
    explicit CDrawObj(const CRect& position);
    ~CDrawObj() override;
    CDrawObj(const CDrawObj&) = delete;
    CDrawObj& operator=(const CDrawObj&) = delete;

    void Serialize(CArchive& ar) override;

    // ---- virtual operations, in their fixed order ----
    virtual std::string ApplyFormatMask(const std::string& mask, const std::string& data);
    virtual BOOL UsesPrinterClock();
    // Appends this object's export line (if any) to out; index counts the lines.
    virtual BOOL ExportText(std::string& out, int& index);
    virtual CRect GetDrawRect() const;
    virtual int GetDataIcon();
    virtual BOOL IsPrinterPrompt();
    virtual BOOL SetFromDefinition(const std::string& definition);
    virtual CDrawObj* Clone(CKVDoc* doc);
    virtual void GetPrintRect(CDC* dc, CLabelPos* pos, CRect* out, BOOL flag);
    virtual void Rotate(int quarterTurns, int cx, int cy, const CRect* newLabel);
    void UpdateBounds() override;
    virtual int GetSerialMode();
    virtual void AdaptToPrinter(CKVDoc* doc);
    // Size of text in label units in a font description (lfHeight in
    // hundredths of a point, lfWidth the stretch); charGap, in units, is
    // added after each character of a printer font.
    virtual CSize MeasureText(const std::string& text, const LOGFONT& font, int charGap = 0);
    virtual std::unique_ptr<CMonoBitmap> CreatePrintBitmap(CLabelPos* pos, BOOL flag);
    void RecalcSize() override;
    virtual void Refresh();
    virtual std::string GetText();
    virtual std::string GetLabelText(CLabelPos* pos);
    virtual void DrawTracker(CKVView* view, CDC* dc, int state);
    virtual void Draw(CKVView* view, CDC* dc);
    virtual CPoint GetHandle(int handle, int dx, int dy) const;
    virtual CRect GetHandleRect(int handle, CKVView* view) const;
    virtual int GetHandleCount() const;
    virtual BOOL Intersects(const CRect& r) const;
    virtual void MoveHandleTo(int handle, CPoint pt, CKVView* view);
    virtual void MoveTo(const CRect& r, CKVView* view);
    virtual int GetHandleCursor(int handle) const;
    virtual void OnOpen(CKVView* view);
    virtual int HitTest(CPoint pt, CKVView* view, BOOL selected);
    virtual void Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL flag);
    virtual void CopyFrom(const CDrawObj* src);
    virtual BOOL IsEqual(const CDrawObj* other) const;

    // ---- non-virtual operations ----
    void AddVariable(CVariable* var);
    void RemoveVariable(CVariable* var);
    // Detaches the object from every variable, then destroys it.
    void Remove();
    std::string GetProperty(int key) const { return m_properties.Get(key); }
    std::string SetProperty(int key, const std::string& value) { return m_properties.Set(key, value); }
    int SetIntProperty(int key, int value) { return m_properties.SetInt(key, value); }
    BOOL IsInside(const CRect& r) const;
    // r with the edges of handle (1..8) moved to pt; false for other handles.
    static bool MoveRectHandle(CRect& r, int handle, CPoint pt);
    void DotsToUnits(CSize* size) const;
    void RectDotsToUnits(CRect* rect) const;
    // The shared renderer of one line of text (text and barcode objects):
    // box in dc's logical units, mode 0 left, 1 right, 2 centre, 3 full,
    // dock as the text dock property; rotation, mirror and background are
    // the object's. charExtra is added after each character (dc units).
    void DrawTextString(CKVView* view, CDC* dc, const std::string& text, const LOGFONT& font, const CRect& box,
                        int mode, int dock, int charExtra = 0);
    // Width and height of text in printer dots of the label format.
    CSize MeasureTextDots(const std::string& text, const LOGFONT& font, int charGap = 0);

    // What the text and barcode objects share about their fonts and export lines.
    struct FontFields {
        const std::string& face;
        int height;  // hundredths of a point
        int width;   // the stretch (0 natural)
        bool bold, italic, underline, strikeOut;
        int charSet;
        int pitchAndFamily;
    };
    // The font description of the fields: escapement and orientation from
    // the object's rotation.
    LOGFONT FontDescription(const FontFields& f) const;
    // The corner of r that stays put for the object's rotation: top-left at
    // 0, bottom-left at 90, bottom-right at 180, top-right at 270.
    CPoint AnchorCorner(const CRect& r) const;
    // Appends the export's "String" line of a text in font at box (label
    // units): the anchor corner, face, height in 0.1 mm, the font's measured
    // width times scale / 10000, the style number and the rotation.
    void ExportStringLine(std::string& out, int& index, const CRect& box, const LOGFONT& font, int scale,
                          const std::string& text);

    // The document's printer font table (null without a document or table).
    const CPrinterFontTable* GetFontTable() const;
    // What the document's printer can do: print in colour, draw rounded
    // shapes natively. Without a driver the printer is taken as a
    // monochrome one that draws any shape.
    bool CanPrintColour() const;
    bool CanDrawRoundShapes() const;
    // The normalised position in a view's pixels, or in dc's dots when
    // there is no view.
    CRect PositionToView(CKVView* view, CDC* dc) const;

    bool IsLocked() const { return (m_dwFlags & OF_LOCKED) != 0; }
    bool IsNonPrinting() const { return (m_dwFlags & OF_NOPRINT) != 0; }
    int GetMirror() const { return int((m_dwFlags & OF_MIRROR_MASK) >> 4); }
    // The first line of the comment (up to the first carriage return).
    std::string CommentFirstLine() const;
    // Horizontal resolution of the document's label format (600 without a document).
    int FormatDpiX() const;
    int FormatDpiY() const;

    // ---- fields ----
    std::int32_t m_nID = 0;
    std::int32_t m_nType = OBJ_NONE;
    DWORD m_dwFlags = 0;
    CRect m_position;
    CKVDoc* m_pDocument = nullptr;
    CDrawGroup* m_pParent = nullptr;
    std::int32_t m_nRotation = 0;
    std::int32_t m_nBackground = 1;  // 1 transparent, 0 opaque
    std::string m_strComment;
    std::int32_t m_nReserved = 0;
    std::vector<CVariable*> m_variables;
    // Transient print state.
    int m_nOutputMethod = 0;
    int m_nVariability = 0;
    int m_nSerialStep = 0;
    int m_nPromptIndex = -1;
    CPropertyTable m_properties;

protected:
    // Repaints the object's area in view (all views when null).
    void Invalidate(CKVView* view);
    // Clone's common part: copy becomes a copy of this object and joins doc
    // (when given).
    CDrawObj* CloneInto(CDrawObj* copy, CKVDoc* doc) const;
};

// The option "Non-print object can't be selected" of the application.
bool NonPrintObjectsUnselectable();
