#pragma once
// An outlined, optionally filled rectangle, round rectangle or ellipse.
#include "model/drawobj.h"

enum RectShape : int { SHAPE_RECTANGLE = 0, SHAPE_ROUNDRECT = 1, SHAPE_ELLIPSE = 2 };

class CDrawRect : public CDrawObj {
    KV_DECLARE_SERIAL(CDrawRect)
public:
    CDrawRect();
    explicit CDrawRect(const CRect& position);

    void Serialize(CArchive& ar) override;
    CDrawObj* Clone(CKVDoc* doc) override;
    void CopyFrom(const CDrawObj* src) override;
    BOOL IsEqual(const CDrawObj* other) const override;
    BOOL Intersects(const CRect& r) const override;
    void MoveHandleTo(int handle, CPoint pt, CKVView* view) override;
    BOOL SetFromDefinition(const std::string& definition) override;
    BOOL ExportText(std::string& out, int& index) override;
    int GetSerialMode() override { return 0; }
    std::unique_ptr<CMonoBitmap> CreatePrintBitmap(CLabelPos* pos, BOOL flag) override;
    void Draw(CKVView* view, CDC* dc) override;
    void Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL flag) override;

    // Draws the shape into target (dc's logical units) with the outline
    // thickness and corner size given in dc's units; whiteInside fills an
    // unfilled shape with white (bitmaps).
    void DrawShape(CDC* dc, const CRect& target, int thickness, CSize corner, bool whiteInside) const;

    std::int32_t m_nShape = SHAPE_RECTANGLE;
    std::int32_t m_nThickness = 30;
    std::int32_t m_nLineType = 0;
    std::int32_t m_bSquare = 0;
    COLORREF m_crLine = 0;
    std::int32_t m_bFill = 0;
    std::int32_t m_nReserved1 = 0;
    std::int32_t m_nReserved2 = 0;
    COLORREF m_crFill = 0xFFFFFF;
    CPoint m_roundness = CPoint(200, 200);  // corner ellipse width and height
};
