#pragma once
// Several label objects bound together so that they are selected, moved and
// turned as one. Owns its children; its position is the union of theirs.
#include <vector>

#include "model/drawobj.h"

class CDrawGroup : public CDrawObj {
    KV_DECLARE_SERIAL(CDrawGroup)
public:
    CDrawGroup();
    ~CDrawGroup() override;

    void Serialize(CArchive& ar) override;
    CDrawObj* Clone(CKVDoc* doc) override;
    void CopyFrom(const CDrawObj* src) override;
    BOOL IsEqual(const CDrawObj* other) const override;
    void MoveTo(const CRect& r, CKVView* view) override;
    void Rotate(int quarterTurns, int cx, int cy, const CRect* newLabel) override;
    void RecalcSize() override;
    void AdaptToPrinter(CKVDoc* doc) override;
    void UpdateBounds() override;
    int HitTest(CPoint pt, CKVView* view, BOOL selected) override;
    int GetSerialMode() override { return 0; }
    void DrawTracker(CKVView* view, CDC* dc, int state) override;
    void Draw(CKVView* view, CDC* dc) override;
    void Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL flag) override;

    // Position = union of the children's positions.
    void UnionChildren();
    // Appends a child (the group takes ownership).
    void AddChild(CDrawObj* child);
    // Every object of the tree below (children, grandchildren...), depth first.
    void CollectDescendants(std::vector<CDrawObj*>& out) const;

    std::vector<CDrawObj*> m_children;
};
