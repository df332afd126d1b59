#pragma once
// A straight line of a given thickness: horizontal, vertical or diagonal.
#include "model/drawobj.h"

enum LineDirection : int { LINE_VERTICAL = 0, LINE_HORIZONTAL = 1, LINE_DIAG_DOWN = 2, LINE_DIAG_UP = 3 };

class CDrawLine : public CDrawObj {
    KV_DECLARE_SERIAL(CDrawLine)
public:
    CDrawLine();
    explicit CDrawLine(const CRect& position);

    void Serialize(CArchive& ar) override;
    CDrawObj* Clone(CKVDoc* doc) override;
    void CopyFrom(const CDrawObj* src) override;
    BOOL IsEqual(const CDrawObj* other) const override;
    CRect GetDrawRect() const override;
    int GetHandleCount() const override;
    CPoint GetHandle(int handle, int dx, int dy) const override;
    int GetHandleCursor(int handle) const override;
    void MoveHandleTo(int handle, CPoint pt, CKVView* view) override;
    BOOL Intersects(const CRect& r) const override;
    void Rotate(int quarterTurns, int cx, int cy, const CRect* newLabel) override;
    BOOL SetFromDefinition(const std::string& definition) override;
    BOOL ExportText(std::string& out, int& index) override;
    int GetSerialMode() override { return 0; }
    void GetPrintRect(CDC* dc, CLabelPos* pos, CRect* out, BOOL flag) override;
    std::unique_ptr<CMonoBitmap> CreatePrintBitmap(CLabelPos* pos, BOOL flag) override;
    void Draw(CKVView* view, CDC* dc) override;
    void Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL flag) override;

    // Draws the line with its end points in dc's logical units
    // (a rectangle for horizontal and vertical lines).
    void DrawShape(CDC* dc, const CRect& target, int thickness) const;

    // Sets the length along the line and the thickness across it.
    void SetLength(int length, int thickness);
    // The base handle (1..8) that line handle 1 (start) or 2 (end) stands on.
    int BaseHandle(int handle) const;
    // Start and end points of the line's axis.
    CPoint StartPoint() const;
    CPoint EndPoint() const;

    std::int32_t m_nDirection = LINE_HORIZONTAL;
    std::int32_t m_nThickness = 30;
    std::int32_t m_nLineType = 0;
    COLORREF m_crLine = 0;
};
